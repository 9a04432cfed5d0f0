// Clips of the audio and video kinds through the Windows Media Player control.
#pragma once

#include <windows.h>

#include "quiz/quiz.h"

void prepareMediaHosting(Quiz* quiz);
void releaseMedia(Quiz* quiz, HWND mainWindow);
