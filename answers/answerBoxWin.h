// The behaviour of the answer boxes: judging on Enter and focus loss, Tab
// keeping the box in view, F1 and F2.
#pragma once

#include <windows.h>

#include "quiz/quiz.h"

extern WNDPROC previousEditProc;
extern int scrollTarget;

LRESULT CALLBACK answerBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

// Subclasses one answer box; the procedure it had is kept in previousEditProc.
void installAnswerBoxProc(HWND box);

// F1: offers the text of `box` to every box whose verdict is not "BRAVO".
void copyAnswerToOpenBoxes(Quiz* quiz, HWND box);
