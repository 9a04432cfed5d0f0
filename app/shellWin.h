// The player's frame: start-up, main window, message loop and teardown.
#pragma once

#include <windows.h>

// Runs the whole player; returns the process exit code.
int runPlayer(HINSTANCE instance);

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

HWND createStatic(HWND parent, const char* text, int x, int y, int width, int height, int id);

// Posts one 50-pixel scroll request to the sheet for a wheel notch of exactly +-120.
void forwardWheel(HWND sheet, WPARAM wParam);
