// The version of the programs, in one place. The player's, quizpack's and the
// editor's version records, the editor's About box and the player's footer
// read it from here; CMake's project() parses VETRA_VERSION_NUMBERS and gives
// it to the three manifests, and scripts/dist names the zip after it. The
// text is the numbers joined by dots (a unit test holds them together): the
// resource compiler needs both forms as they are.
#pragma once

#define VETRA_VERSION_NUMBERS 2, 1, 4, 3
#define VETRA_VERSION_TEXT "2.1.4.3"
