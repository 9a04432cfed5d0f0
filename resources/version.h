// The version of the programs, in one place: the player's, quizpack's and the
// editor's version records and the editor's About box read it from here.
#pragma once

#define VETRA_VERSION_NUMBERS 2, 1, 4, 3
#define VETRA_VERSION_TEXT "2.1.4.3"
