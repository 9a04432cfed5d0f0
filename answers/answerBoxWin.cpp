#include "answers/answerBoxWin.h"

#include <cstring>

#include "answers/answerText.h"
#include "answers/judgeWin.h"
#include "answers/screenReaderWin.h"
#include "answers/verdict.h"
#include "quiz/quizGdiWin.h"
#include "resources/resource.h"
#include "sheet/progressFileWin.h"
#include "sheet/scrollMath.h"

WNDPROC previousEditProc = nullptr;
int scrollTarget = 0;

namespace {

constexpr int selectAllEnd = 260;
constexpr int scrollTargetMargin = 360;

LRESULT passOn(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!previousEditProc) return DefWindowProcA(box, message, wParam, lParam);
    return CallWindowProcA(previousEditProc, box, message, wParam, lParam);
}

void judgeBox(HWND box) {
    judgeAnswer(currentQuiz, GetParent(box), GetDlgCtrlID(box));
}

// The dialog manager has already moved the focus here on the key press; a
// box outside the sheet's window asks the sheet to scroll towards it.
void keepInView(HWND box) {
    HWND sheet = GetParent(box);
    RECT boxRect, sheetRect;
    if (!GetWindowRect(box, &boxRect) || !GetWindowRect(sheet, &sheetRect)) return;
    scrollTarget = boxRect.top - scrollTargetMargin;
    if (boxRect.bottom > sheetRect.bottom || boxRect.top < sheetRect.top) {
        SendMessageA(sheet, WM_VSCROLL, scrollRequestTarget, 0);
    }
}

// Keys act on release (on press with Alt). Only Enter stops here.
LRESULT onKey(HWND box, UINT message, WPARAM key, LPARAM lParam) {
    switch (key) {
        case VK_RETURN: judgeBox(box); return 1;
        case VK_TAB: keepInView(box); break;
        case VK_PRIOR:
        case VK_UP: SendMessageA(box, WM_VSCROLL, SB_PAGEUP, 0); break;
        case VK_NEXT:
        case VK_DOWN: SendMessageA(box, WM_VSCROLL, SB_PAGEDOWN, 0); break;
        case VK_F1: copyAnswerToOpenBoxes(currentQuiz, box); break;
        case VK_F2: saveProgress(currentQuiz); break;
        default: break;
    }
    return passOn(box, message, key, lParam);
}

}  // namespace

LRESULT CALLBACK answerBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS: SendMessageA(box, EM_SETSEL, 0, selectAllEnd); break;
        case WM_KILLFOCUS: judgeBox(box); break;
        case WM_GETOBJECT:
            if (LRESULT object = answerBoxAccessibleObject(box, wParam, lParam)) return object;
            break;
        case WM_KEYUP:
        case WM_SYSKEYDOWN: return onKey(box, message, wParam, lParam);
        case WM_CHAR:
            // Enter and Tab are commands here, never text.
            if (wParam == VK_RETURN || wParam == VK_TAB) return 0;
            break;
        default: break;
    }
    return passOn(box, message, wParam, lParam);
}

void installAnswerBoxProc(HWND box) {
    WNDPROC before =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(answerBoxProc)));
    // Installing twice must not make the procedure forward to itself.
    if (before && before != answerBoxProc) previousEditProc = before;
}

// Each focus change judges the box being left, so every box that receives
// the text is judged with it before the focus comes back.
void copyAnswerToOpenBoxes(Quiz* quiz, HWND box) {
    if (!quiz) return;
    char text[answerTextSize];
    text[0] = '\0';
    GetWindowTextA(box, text, sizeof text);
    HWND sheet = GetParent(box);
    const int perQuestion = effectiveAnswersPerQuestion(*quiz);
    const int boxes = quiz->questionCount > 0 && perQuestion > 0 ? quiz->questionCount * perQuestion : 0;
    for (int id = firstAnswerBoxId; id < firstAnswerBoxId + boxes; ++id) {
        char verdict[answerTextSize];
        verdict[0] = '\0';
        GetDlgItemTextA(sheet, id + verdictLabelOffset, verdict, sizeof verdict);
        if (std::strcmp(verdict, verdictRight) == 0) continue;
        HWND target = GetDlgItem(sheet, id);
        if (!target) continue;
        SetWindowTextA(target, text);
        SetFocus(target);
    }
    SetFocus(box);
}
