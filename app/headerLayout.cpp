#include "app/headerLayout.h"

#include <cstring>

#include "quiz/quiz.h"

namespace {

std::string fieldText(const char* field) {
    const void* end = std::memchr(field, '\0', quizTextSize);
    size_t length = end ? static_cast<size_t>(static_cast<const char*>(end) - field) : quizTextSize;
    return std::string(field, length);
}

HeaderControlSpec headerControl(int id, const char* className, std::string text, uint32_t style, int x, int y,
                                int width, int height, HeaderFontChoice font) {
    HeaderControlSpec spec;
    spec.id = id;
    spec.className = className;
    spec.text = std::move(text);
    spec.style = style;
    spec.x = x;
    spec.y = y;
    spec.width = width;
    spec.height = height;
    spec.font = font;
    return spec;
}

constexpr uint32_t plainStatic = 0x50000000;      // WS_CHILD | WS_VISIBLE
constexpr uint32_t linkStatic = 0x50000100;       // ... | SS_NOTIFY
constexpr uint32_t centredStatic = 0x50000001;    // ... | SS_CENTER
constexpr uint32_t readOnlyEdit = 0x50000800;     // ... | ES_READONLY, no border
constexpr uint32_t separatorStatic = 0x50800000;  // ... | WS_BORDER

}  // namespace

std::string scoreText(int score, int questionCount) {
    return " " + std::to_string(score) + " / " + std::to_string(questionCount);
}

std::string linkText(const Quiz& quiz) {
    std::string text = fieldText(quiz.link);
    for (const char* prefix : {"https://", "http://", "www."}) {
        if (text.rfind(prefix, 0) == 0) text.erase(0, std::strlen(prefix));
    }
    if (!text.empty() && text.back() == '/') text.pop_back();
    return text;
}

int linkFontHeight(int clientHeight) {
    return -(clientHeight * 3 / 4);
}

std::vector<HeaderControlSpec> headerControls(const Quiz& quiz) {
    using F = HeaderFontChoice;
    return {
        headerControl(headerLinkId, "Static", linkText(quiz), linkStatic, 736, 5, 115, 18, F::linkFont),
        headerControl(headerByLabelId, "Static", "Par :", plainStatic, 736, 25, 27, 18, F::defaultGuiFont),
        headerControl(headerAuthorId, "Static", fieldText(quiz.author), plainStatic, 763, 25, 85, 18,
                      F::defaultGuiFont),
        headerControl(headerSaveButtonId, "button", "Sauver", plainStatic, 666, 25, 55, 18, F::defaultGuiFont),
        headerControl(headerExplanationsId, "Static", fieldText(quiz.explanations), plainStatic, 110, 19, 490, 27,
                      F::defaultGuiFont),
        headerControl(headerTitleId, "Static", fieldText(quiz.title), plainStatic, 110, 3, 260, 18, F::titleFont),
        headerControl(headerCodeLabelId, "Static", " Code :", plainStatic, 7, 29, 36, 15, F::defaultGuiFont),
        headerControl(headerScoreId, "Static", scoreText(0, quiz.questionCount), centredStatic, 10, 1, 80, 20,
                      F::scoreFont),
        headerControl(headerRewardCodeId, "edit", "", readOnlyEdit, 44, 29, 53, 16, F::defaultGuiFont),
        headerControl(headerSeparatorId1, "Static", "", separatorStatic, 0, 26, 100, 1, F::none),
        headerControl(headerSeparatorId2, "Static", "", separatorStatic, 100, 0, 1, 50, F::none),
        headerControl(headerSeparatorId3, "Static", "", separatorStatic, 730, 0, 1, 50, F::none),
    };
}

std::vector<HeaderPlacement> headerSizeLayout(int clientWidth) {
    const int w = clientWidth;
    return {
        {headerLinkId, w - 134, 0, 115, 18, false},         {headerByLabelId, w - 134, 25, 26, 18, false},
        {headerAuthorId, w - 107, 25, 105, 18, true},       {headerSaveButtonId, w - 204, 25, 55, 18, true},
        {headerExplanationsId, 110, 19, w - 324, 28, true}, {headerSeparatorId3, w - 145, 0, 1, 50, true},
    };
}

HeaderStaticPaint headerStaticPaint(int controlId) {
    if (controlId == headerLinkId) return HeaderStaticPaint::link;
    if (controlId >= headerFirstTransparentId && controlId <= headerScoreId) return HeaderStaticPaint::transparent;
    return HeaderStaticPaint::systemDefault;
}

MainLayout mainWindowLayout(int clientW, int clientH) {
    MainLayout layout;
    layout.sheet = {5, 50, clientW - 11, clientH - 68};
    layout.header = {5, 2, clientW - 11, 49};
    layout.footer = {clientW - 155, clientH - 16, 150, 15};
    return layout;
}

PlacedRect footerCreationRect(int clientBottom) {
    return {720, clientBottom - 16, 140, 15};
}

ScreenPoint centredPosition(const ScreenRect& desktop, const ScreenRect& window) {
    // Truncation toward zero shows only for a window larger than the desktop
    // by an odd amount: a difference of -3 gives -1, not -2. Wide arithmetic
    // keeps extreme rectangles from overflowing.
    const long long desktopW = static_cast<long long>(desktop.right) - desktop.left;
    const long long desktopH = static_cast<long long>(desktop.bottom) - desktop.top;
    const long long windowW = static_cast<long long>(window.right) - window.left;
    const long long windowH = static_cast<long long>(window.bottom) - window.top;
    return {static_cast<int>(desktop.left + (desktopW - windowW) / 2),
            static_cast<int>(desktop.top + (desktopH - windowH) / 2)};
}
