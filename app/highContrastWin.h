// Windows' high-contrast mode: the player then leaves its windows' colours
// (the quiz colour, the verdict brushes, the header's blue) to the system.
// The verdict texts say everything the colours said.
#pragma once

#include <windows.h>

// Whether the mode is on (SPI_GETHIGHCONTRAST); tests replace it.
extern bool (*highContrastOn)();

// True for a colour message (WM_CTLCOLOR...) that the window should leave
// to the default handling, because high contrast is on.
bool coloursLeftToSystem(UINT message);
