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

// The last question whose clip plays: ids and resources beyond it are never used.
constexpr int lastMediaClip = 96;

// A click on play button 6001..6096 or stop button 7001..7096.
void onMediaCommand(Quiz* quiz, HWND sheet, int controlId);

// Teardown: clip files removed, main window destroyed, player libraries released.
void releaseMedia(Quiz* quiz, HWND mainWindow);

// Writes clip resource IMG r (r = 400 + n) of the program to the clip file of
// n; type 1 is audio (.mp3), 2 video (.avi). 1 once every byte is on disk;
// 0 when the resource is absent or unreadable or the file could not be
// written whole, and then no clip file is left behind.
int writeClipFile(const Quiz* quiz, int resourceId, int type);

// "%svetra%d.mp3" (type 1) or "%svetra%d.avi" (type 2) with the quiz's mediaPrefix.
void clipFileName(const Quiz* quiz, int clip, int type, char* name, int size);
