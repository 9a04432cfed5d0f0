// Judging one answer box and showing the score.
#pragma once

#include <windows.h>

#include "quiz/quiz.h"

// Judges box `boxId` of the sheet and writes its verdict label on a change,
// with the reveals and the score update that a change brings.
void judgeAnswer(Quiz* quiz, HWND sheet, int boxId);

// Recounts the fully answered questions and writes controls 32 and 30 of the header.
void updateScore(Quiz* quiz, HWND sheet);

// After the sheet is built: the reveals the restored answers call for, as if
// they had been typed in this run (comment labels did not exist yet while
// the boxes were judged during the build).
void applyRevealsAfterBuild(Quiz* quiz, HWND sheet);
