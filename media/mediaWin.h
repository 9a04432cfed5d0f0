// Clips of the audio and video kinds through the Windows Media Player control.
#pragma once

#include <windows.h>

#include "quiz/quiz.h"

// Start-up, before any window: atl.dll and COM for the audio and video kinds.
void prepareMediaHosting(Quiz* quiz);

// First step of the sheet build for the audio and video kinds: the button
// icons, the player host (id 9900) and the player control.
void setUpPlayer(Quiz* quiz, HWND sheet);
HICON playIcon();
HICON stopIcon();

// A click on play button 6001..6096 or stop button 7001..7096.
void onMediaCommand(Quiz* quiz, HWND sheet, int controlId);

// Teardown: clip files removed, main window destroyed, player libraries released.
void releaseMedia(Quiz* quiz, HWND mainWindow);
