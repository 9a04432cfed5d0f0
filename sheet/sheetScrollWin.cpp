#include "sheet/sheetScrollWin.h"

#include "answers/answerBoxWin.h"
#include "answers/verdictBrush.h"
#include "quiz/quizGdiWin.h"
#include "sheet/scrollMath.h"
#include "sheet/sheetWin.h"

namespace {

void applyAxis(HWND sheet, int bar, const ScrollAxisSetup& axis) {
    SCROLLINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    info.nMin = axis.min;
    info.nMax = axis.max;
    // A content of zero or one pixel gives a negative page; the platform
    // reads it as "no page" and collapses the range, which disables the bar.
    info.nPage = static_cast<UINT>(axis.page);
    SetScrollInfo(sheet, bar, &info, TRUE);
}

struct AxisState {
    int min;
    int max;
    int page;
    int pos;
    int trackPos;
};

AxisState readAxis(HWND sheet, int bar) {
    SCROLLINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    GetScrollInfo(sheet, bar, &info);
    return {info.nMin, info.nMax, static_cast<int>(info.nPage), info.nPos, info.nTrackPos};
}

// Sets the position, lets the platform limit it to the last page, and
// returns how far the children have to move to follow.
int moveTo(HWND sheet, int bar, int oldPos, int wanted) {
    SCROLLINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = wanted;
    SetScrollInfo(sheet, bar, &info, TRUE);
    return oldPos - GetScrollPos(sheet, bar);
}

COLORREF quizColourTextColour(const Quiz& quiz) {
    return blackTextOnQuizColour(quiz.colourRed, quiz.colourGreen) ? RGB(0, 0, 0) : RGB(255, 255, 255);
}

GdiHandle verdictBrush(const Quiz& quiz, HWND label) {
    char text[quizTextSize] = "";
    GetWindowTextA(label, text, quizTextSize);
    switch (verdictBrushFor(text)) {
        case VerdictBrush::anagram: return quiz.anagramBrush;
        case VerdictBrush::right: return quiz.rightBrush;
        case VerdictBrush::wrong: return quiz.wrongBrush;
        case VerdictBrush::hint: return quiz.hintBrush;
        default: return nullptr;
    }
}

}  // namespace

void setUpScrollBars(HWND sheet) {
    RECT client;
    GetClientRect(sheet, &client);
    const ScrollBarSetup setup =
        scrollBarSetup(client.right - client.left, client.bottom - client.top, contentWidth, contentHeight);
    if (setup.horizontal.resetPosition) SetScrollPos(sheet, SB_HORZ, 0, FALSE);
    if (setup.vertical.resetPosition) SetScrollPos(sheet, SB_VERT, 0, FALSE);
    applyAxis(sheet, SB_HORZ, setup.horizontal);
    applyAxis(sheet, SB_VERT, setup.vertical);
}

void resizeSheet(HWND sheet) {
    const int oldV = GetScrollPos(sheet, SB_VERT);
    const int oldH = GetScrollPos(sheet, SB_HORZ);
    setUpScrollBars(sheet);
    const int dy = oldV - GetScrollPos(sheet, SB_VERT);
    const int dx = oldH - GetScrollPos(sheet, SB_HORZ);
    if (dx || dy) ScrollWindow(sheet, dx, dy, nullptr, nullptr);
}

void scrollSheetVertically(HWND sheet, int request) {
    const AxisState axis = readAxis(sheet, SB_VERT);
    const int wanted =
        requestedVerticalPosition(request, axis.pos, axis.page, axis.min, axis.max, axis.trackPos, scrollTarget);
    const int dy = moveTo(sheet, SB_VERT, axis.pos, wanted);
    if (dy) ScrollWindow(sheet, 0, dy, nullptr, nullptr);
}

void scrollSheetHorizontally(HWND sheet, int request) {
    const AxisState axis = readAxis(sheet, SB_HORZ);
    const int wanted = requestedHorizontalPosition(request, axis.pos, axis.page, axis.min, axis.max, axis.trackPos);
    const int dx = moveTo(sheet, SB_HORZ, axis.pos, wanted);
    if (dx) ScrollWindow(sheet, dx, 0, nullptr, nullptr);
}

void postWheelRequest(HWND sheet, WPARAM wParam) {
    const int request = wheelRequest(static_cast<uint32_t>(wParam));
    if (request) PostMessageA(sheet, WM_VSCROLL, static_cast<WPARAM>(request), 0);
}

INT_PTR sheetStaticBrush(HDC dc, HWND control) {
    if (!currentQuiz) return 0;
    const Quiz& quiz = *currentQuiz;
    // The text kind has one box per question whatever the quiz says, so its
    // verdict labels are counted the way they were laid out.
    const SheetStaticPaint paint =
        classifySheetStatic(GetWindowLongA(control, GWL_ID), quiz.questionCount, effectiveAnswersPerQuestion(quiz));
    GdiHandle brush = nullptr;
    switch (paint) {
        case SheetStaticPaint::quizColourLabel:
            SetTextColor(dc, quizColourTextColour(quiz));
            brush = quiz.backgroundBrush;
            break;
        case SheetStaticPaint::verdictLabel: brush = verdictBrush(quiz, control); break;
        case SheetStaticPaint::promptLabel: brush = quiz.promptBrush; break;
        default: break;
    }
    // Text cells take the colour under them rather than a white box.
    if (brush) SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(brush);
}
