#include "app/shellWin.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return runPlayer(instance); }
