#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "app/headerLayout.h"
#include "quiz/quiz.h"
#include "quiz/quizLayout.h"

namespace {

const HeaderPlacement* placementOf(const std::vector<HeaderPlacement>& table, int id) {
    for (const HeaderPlacement& p : table)
        if (p.id == id) return &p;
    return nullptr;
}

TEST(HeaderLayout, ControlsInCreationOrder) {
    std::unique_ptr<Quiz> quiz(new Quiz);
    initQuizValues(*quiz);
    copyText(quiz->title, quizTextSize, "Capitales");
    copyText(quiz->author, quizTextSize, "Lise");
    copyText(quiz->explanations, quizTextSize, "Une r\xE9ponse par case");
    quiz->questionCount = 12;
    using F = HeaderFontChoice;
    struct Expected {
        int id;
        const char* cls;
        std::string text;
        uint32_t style;
        int x, y, w, h;
        F font;
    } expected[] = {
        {24, "Static", "", 0x50000100, 736, 5, 115, 18, F::linkFont},
        {25, "Static", "Par :", 0x50000000, 736, 25, 27, 18, F::defaultGuiFont},
        {26, "Static", "Lise", 0x50000000, 763, 25, 85, 18, F::defaultGuiFont},
        {27, "button", "Sauver", 0x50000000, 666, 25, 55, 18, F::defaultGuiFont},
        {28, "Static", "Une r\xE9ponse par case", 0x50000000, 110, 19, 490, 27, F::defaultGuiFont},
        {29, "Static", "Capitales", 0x50000000, 110, 3, 260, 18, F::titleFont},
        {31, "Static", " Code :", 0x50000000, 7, 29, 36, 15, F::defaultGuiFont},
        {32, "Static", " 0 / 12", 0x50000001, 10, 1, 80, 20, F::scoreFont},
        {30, "edit", "", 0x50000800, 44, 29, 53, 16, F::defaultGuiFont},
        {120, "Static", "", 0x50800000, 0, 26, 100, 1, F::none},
        {121, "Static", "", 0x50800000, 100, 0, 1, 50, F::none},
        {122, "Static", "", 0x50800000, 730, 0, 1, 50, F::none},
    };
    std::vector<HeaderControlSpec> controls = headerControls(*quiz);
    ASSERT_EQ(controls.size(), 12u);
    for (size_t i = 0; i < controls.size(); ++i) {
        const HeaderControlSpec& c = controls[i];
        const Expected& e = expected[i];
        const std::string what = "control " + std::to_string(e.id);
        EXPECT_EQ(c.id, e.id) << what;
        EXPECT_EQ(c.className, e.cls) << what;
        EXPECT_EQ(c.text, e.text) << what;
        EXPECT_EQ(c.style, e.style) << what;
        EXPECT_EQ(c.x, e.x) << what;
        EXPECT_EQ(c.y, e.y) << what;
        EXPECT_EQ(c.width, e.w) << what;
        EXPECT_EQ(c.height, e.h) << what;
        EXPECT_EQ(c.font, e.font) << what;
    }
}

// The link shows the words a reader recognises, and nothing for a quiz
// without an address (its resource absent, or holding anything but one).
TEST(HeaderLayout, LinkShowsTheQuizsOwnAddressOnly) {
    struct Case {
        const char* resource;  // nullptr: no link resource
        const char* shown;
    } cases[] = {
        {nullptr, ""},
        {"https://www.ecole.example.fr/", "ecole.example.fr"},
        {"http://club.example.org/cm2", "club.example.org/cm2"},
        {"https://", ""},
        {"file:///C:/Windows/system32/calc.exe", ""},
        {"calc.exe", ""},
        {"https://ecole.example.fr/a b", ""},
        {"https://\xE9"
         "cole.fr",
         ""},
        {"https://ecole.example.fr/\"onclick", ""},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Quiz> quiz(new Quiz);
        initQuizValues(*quiz);
        const std::string text = c.resource ? c.resource : "";
        readQuizLink(*quiz, c.resource ? reinterpret_cast<const uint8_t*>(text.data()) : nullptr, text.size());
        EXPECT_EQ(linkText(*quiz), c.shown) << text;
        EXPECT_EQ(std::string(quiz->link), *c.shown ? text : "") << text;
        EXPECT_EQ(headerControls(*quiz)[0].text, c.shown) << text;
    }
}

TEST(HeaderLayout, ScoreText) {
    struct Case {
        int score, count;
        const char* text;
    } cases[] = {{0, 12, " 0 / 12"}, {0, 0, " 0 / 0"}, {7, 255, " 7 / 255"}, {-1, 3, " -1 / 3"}};
    for (const Case& c : cases) EXPECT_EQ(scoreText(c.score, c.count), c.text) << c.text;

    std::unique_ptr<Quiz> quiz(new Quiz);
    initQuizValues(*quiz);
    quiz->questionCount = 0;
    EXPECT_EQ(headerControls(*quiz)[7].text, " 0 / 0");
}

TEST(HeaderLayout, LongTextsAreBounded) {
    std::unique_ptr<Quiz> quiz(new Quiz);
    initQuizValues(*quiz);
    std::memset(quiz->author, 'a', quizTextSize);  // no terminator at all
    EXPECT_EQ(headerControls(*quiz)[2].text, std::string(quizTextSize, 'a'));
}

TEST(HeaderLayout, LinkFontHeight) {
    struct Case {
        int clientHeight, height;
    } cases[] = {{18, -13}, {16, -12}, {1, 0}, {0, 0}, {-5, 3}};
    for (const Case& c : cases) EXPECT_EQ(linkFontHeight(c.clientHeight), c.height) << c.clientHeight;
}

TEST(HeaderLayout, SizeTableAt600) {
    const std::vector<HeaderPlacement> table = headerSizeLayout(600);
    ASSERT_EQ(table.size(), 6u);
    const int order[] = {24, 25, 26, 27, 28, 122};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(table[i].id, order[i]) << i;
    struct Expected {
        int id, x, y, w, h;
        bool invalidate;
    } expected[] = {
        {24, 466, 0, 115, 18, false}, {25, 466, 25, 26, 18, false}, {26, 493, 25, 105, 18, true},
        {27, 396, 25, 55, 18, true},  {28, 110, 19, 276, 28, true}, {122, 455, 0, 1, 50, true},
    };
    for (const Expected& e : expected) {
        const HeaderPlacement* p = placementOf(table, e.id);
        ASSERT_NE(p, nullptr) << e.id;
        EXPECT_EQ(p->x, e.x) << e.id;
        EXPECT_EQ(p->y, e.y) << e.id;
        EXPECT_EQ(p->width, e.w) << e.id;
        EXPECT_EQ(p->height, e.h) << e.id;
        EXPECT_EQ(p->invalidate, e.invalidate) << e.id;
    }
    // A wider bar moves the right-hand group and widens the explanations alike.
    const std::vector<HeaderPlacement> wider = headerSizeLayout(700);
    for (int id : {24, 25, 26, 27, 122}) EXPECT_EQ(placementOf(wider, id)->x, placementOf(table, id)->x + 100) << id;
    EXPECT_EQ(placementOf(wider, 28)->width, 376);
    EXPECT_EQ(placementOf(wider, 28)->x, 110);
}

TEST(HeaderLayout, StaticPaint) {
    struct Case {
        int id;
        HeaderStaticPaint paint;
    } cases[] = {
        {24, HeaderStaticPaint::link},           {20, HeaderStaticPaint::transparent},
        {25, HeaderStaticPaint::transparent},    {30, HeaderStaticPaint::transparent},
        {32, HeaderStaticPaint::transparent},    {19, HeaderStaticPaint::systemDefault},
        {33, HeaderStaticPaint::systemDefault},  {120, HeaderStaticPaint::systemDefault},
        {122, HeaderStaticPaint::systemDefault},
    };
    for (const Case& c : cases) EXPECT_EQ(headerStaticPaint(c.id), c.paint) << c.id;
}

TEST(MainWindowLayout, PlacesSheetHeaderAndFooter) {
    struct Case {
        int w, h;
        PlacedRect sheet, header, footer;
    } cases[] = {
        {528, 336, {5, 50, 517, 268}, {5, 2, 517, 49}, {373, 320, 150, 15}},
        {11, 68, {5, 50, 0, 0}, {5, 2, 0, 49}, {-144, 52, 150, 15}},
        {0, 0, {5, 50, -11, -68}, {5, 2, -11, 49}, {-155, -16, 150, 15}},
    };
    for (const Case& c : cases) {
        const MainLayout l = mainWindowLayout(c.w, c.h);
        const std::string what = std::to_string(c.w) + "x" + std::to_string(c.h);
        const PlacedRect* got[] = {&l.sheet, &l.header, &l.footer};
        const PlacedRect* want[] = {&c.sheet, &c.header, &c.footer};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(got[i]->x, want[i]->x) << what << " rect " << i;
            EXPECT_EQ(got[i]->y, want[i]->y) << what << " rect " << i;
            EXPECT_EQ(got[i]->width, want[i]->width) << what << " rect " << i;
            EXPECT_EQ(got[i]->height, want[i]->height) << what << " rect " << i;
        }
    }
    const PlacedRect footer = footerCreationRect(336);
    EXPECT_EQ(footer.x, 720);
    EXPECT_EQ(footer.y, 320);
    EXPECT_EQ(footer.width, 140);
    EXPECT_EQ(footer.height, 15);
    EXPECT_STREQ(footerText,
                 "R\xE9"
                 "alis\xE9 avec la version 2.1.4.3  ");
}

TEST(MainWindowLayout, CentredPosition) {
    struct Case {
        ScreenRect desktop, window;
        int x, y;
    } cases[] = {
        {{0, 0, 1024, 768}, {10, 20, 554, 395}, 240, 196},
        {{0, 0, 1025, 769}, {0, 0, 544, 375}, 240, 197},              // odd differences truncate
        {{0, 0, 300, 200}, {0, 0, 544, 375}, -122, -87},              // -244/2, -175/2 toward zero
        {{100, 50, 403, 250}, {0, 0, 544, 375}, 100 - 120, 50 - 87},  // -241/2 = -120
    };
    for (const Case& c : cases) {
        const ScreenPoint p = centredPosition(c.desktop, c.window);
        EXPECT_EQ(p.x, c.x) << c.desktop.right << "x" << c.desktop.bottom;
        EXPECT_EQ(p.y, c.y) << c.desktop.right << "x" << c.desktop.bottom;
    }
}

}  // namespace
