// What the media buttons reach outside the program, gathered so that the
// Windows-side tests can put a recording player and shell in its place.
#pragma once

#include <windows.h>

#include "quiz/quiz.h"

struct PlayerPlatform {
    // Creates the player control; writes an IWMPPlayer pointer on success.
    HRESULT (*createPlayer)(void** player);
    // AtlAxAttachControl; null when atl.dll does not offer it.
    HRESULT(WINAPI* attachControl)(IUnknown* control, HWND host, IUnknown** container);
    // Hands a clip file to its default program (only without the player).
    void (*openWithShell)(HWND owner, const char* file);
};

// The player set-up with the given platform; setUpPlayer uses the real one.
void setUpPlayerWith(Quiz* quiz, HWND sheet, const PlayerPlatform& platform);

// Read-outs for the tests.
int currentClipNumber();
bool playerIsMissing();
bool playerIsPresent();
