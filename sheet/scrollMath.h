// Scroll arithmetic and label colouring of the quiz sheet, without the
// platform. One scroll unit is one pixel.
#pragma once

#include <cstdint>

struct ScrollAxisSetup {
    bool resetPosition;  // the content fits: position 0 (no redraw) before the range is set
    int min;
    int max;   // content - 2
    int page;  // (client, or content when it fits) - 1
};

struct ScrollBarSetup {
    ScrollAxisSetup horizontal;
    ScrollAxisSetup vertical;
};

// Ranges and pages for SetScrollInfo (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL).
// With them the largest reachable position is content - client, and content
// that fits gives a page covering the whole range, so the bar shows disabled.
ScrollBarSetup scrollBarSetup(int clientW, int clientH, int contentWidth, int contentHeight);

// The sheet's own WM_VSCROLL requests beside the system's SB_* codes.
constexpr int scrollRequestDown50 = 500;
constexpr int scrollRequestUp50 = 501;
constexpr int scrollRequestTarget = 502;
constexpr int verticalLineStep = 310;

// The sheet's scroll request for a WM_MOUSEWHEEL wParam: 501 (up 50) for one
// notch away from the user, 500 (down 50) for one notch towards, else 0.
int wheelRequest(uint32_t wParam);

// New vertical position for a WM_VSCROLL request (low word of wParam),
// clamped to [min, max]. Unknown requests keep the position.
int requestedVerticalPosition(int request, int pos, int page, int min, int max, int trackPos, int scrollTarget);

// The same for WM_HSCROLL: lines are one pixel; no top, bottom or own requests.
int requestedHorizontalPosition(int request, int pos, int page, int min, int max, int trackPos);

// The position the platform keeps after SetScrollInfo(SIF_POS): it never
// goes past max - page + 1, so a request beyond the last page stops there.
int platformClampedPosition(int pos, int min, int max, int page);

// Number labels, captions and comments are drawn on the quiz colour; black
// text reads on a light colour, white on a dark one.
bool blackTextOnQuizColour(uint8_t red, uint8_t green);

enum class SheetStaticPaint {
    systemDefault,    // picture controls, player host, anything unknown: 0
    quizColourLabel,  // number, caption and comment labels
    verdictLabel,
    promptLabel,
};

// WM_CTLCOLORSTATIC of the sheet by control id, for N questions of M answers.
SheetStaticPaint classifySheetStatic(int controlId, int questionCount, int answersPerQuestion);
