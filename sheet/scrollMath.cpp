#include "sheet/scrollMath.h"

#include <algorithm>

#include "resources/resource.h"

namespace {

ScrollAxisSetup axisSetup(int client, int content) {
    ScrollAxisSetup axis;
    axis.resetPosition = content <= client;
    const int shown = axis.resetPosition ? content : client;
    axis.min = 0;
    axis.max = content - 2;
    axis.page = shown - 1;
    return axis;
}

// Positions, pages and targets are ints from the platform; the sums are
// done wide so that no request can overflow before it is clamped.
int clampToRange(long long wanted, int min, int max) {
    if (wanted > max) wanted = max;
    if (wanted < min) wanted = min;
    return static_cast<int>(wanted);
}

// System scroll-bar requests (SB_*).
constexpr int sbLineUp = 0;
constexpr int sbLineDown = 1;
constexpr int sbPageUp = 2;
constexpr int sbPageDown = 3;
constexpr int sbThumbTrack = 5;
constexpr int sbTop = 6;
constexpr int sbBottom = 7;

}  // namespace

ScrollBarSetup scrollBarSetup(int clientW, int clientH, int contentWidth, int contentHeight) {
    return {axisSetup(clientW, contentWidth), axisSetup(clientH, contentHeight)};
}

int wheelRequest(uint32_t wParam) {
    const uint32_t amount = wParam >> 16;
    if (amount == 120) return scrollRequestUp50;
    if (amount == 65416) return scrollRequestDown50;
    return 0;
}

int requestedVerticalPosition(int request, int pos, int page, int min, int max, int trackPos, int scrollTarget) {
    long long wanted = pos;
    switch (request) {
        case sbLineUp: wanted = static_cast<long long>(pos) - verticalLineStep; break;
        case sbLineDown: wanted = static_cast<long long>(pos) + verticalLineStep; break;
        case sbPageUp: wanted = static_cast<long long>(pos) - page; break;
        case sbPageDown: wanted = static_cast<long long>(pos) + page; break;
        case sbThumbTrack: wanted = trackPos; break;
        case sbTop: wanted = 0; break;
        case sbBottom: wanted = max; break;
        case scrollRequestDown50: wanted = static_cast<long long>(pos) + 50; break;
        case scrollRequestUp50: wanted = static_cast<long long>(pos) - 50; break;
        case scrollRequestTarget: wanted = scrollTarget; break;
        default: break;  // SB_THUMBPOSITION, SB_ENDSCROLL and the rest keep the position
    }
    return clampToRange(wanted, min, max);
}

int requestedHorizontalPosition(int request, int pos, int page, int min, int max, int trackPos) {
    long long wanted = pos;
    switch (request) {
        case sbLineUp: wanted = static_cast<long long>(pos) - 1; break;
        case sbLineDown: wanted = static_cast<long long>(pos) + 1; break;
        case sbPageUp: wanted = static_cast<long long>(pos) - page; break;
        case sbPageDown: wanted = static_cast<long long>(pos) + page; break;
        case sbThumbTrack: wanted = trackPos; break;
        default: break;
    }
    return clampToRange(wanted, min, max);
}

int platformClampedPosition(int pos, int min, int max, int page) {
    // The platform first makes the range and the page consistent: an inverted
    // range collapses to its minimum and the page never exceeds the range.
    if (max < min) max = min;
    const long long span = static_cast<long long>(max) - min + 1;
    const long long usedPage = std::clamp<long long>(page, 0, span);
    const long long last = max - std::max<long long>(usedPage - 1, 0);
    return clampToRange(pos, min, static_cast<int>(last));
}

bool blackTextOnQuizColour(uint8_t red, uint8_t green) {
    return red > 69 || green > 69;
}

SheetStaticPaint classifySheetStatic(int controlId, int questionCount, int answersPerQuestion) {
    const long long boxes = static_cast<long long>(questionCount) * answersPerQuestion;
    const long long id = controlId;
    if (id == numberLabelId || id == captionLabelId || (id > commentLabelIdBase && id <= commentLabelIdBase + boxes)) {
        return SheetStaticPaint::quizColourLabel;
    }
    if (id > verdictLabelIdBase && id <= verdictLabelIdBase + boxes) return SheetStaticPaint::verdictLabel;
    if (id == promptLabelId) return SheetStaticPaint::promptLabel;
    return SheetStaticPaint::systemDefault;
}
