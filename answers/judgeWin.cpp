#include "answers/judgeWin.h"

// Placeholders until judging lands.
void judgeAnswer(Quiz*, HWND, int) {}
void updateScore(Quiz*, HWND) {}
void applyRevealsAfterBuild(Quiz*, HWND) {}
