#include "answers/answerBoxWin.h"

// Placeholders until the answer box behaviour lands.
WNDPROC previousEditProc = nullptr;
int scrollTarget = 0;

LRESULT CALLBACK answerBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(previousEditProc, box, message, wParam, lParam);
}

void installAnswerBoxProc(HWND box) {
    previousEditProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(answerBoxProc)));
}

void copyAnswerToOpenBoxes(Quiz*, HWND) {}
