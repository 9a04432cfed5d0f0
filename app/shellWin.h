// The player's frame: start-up, main window, message loop and teardown.
#pragma once

#include <windows.h>

// Runs the whole player; returns the process exit code.
int runPlayer(HINSTANCE instance);

// Registers the main window class "WindowsApp"; false when the system refuses.
bool registerMainClass(HINSTANCE instance);

// The header bar and sheet that WM_SIZE places; start-up sets them as it
// creates them, a test that builds its own frame sets them here.
void setFrameDialogs(HWND header, HWND sheet);

// How the frame shows its messages; MessageBoxA, or a recorder in the tests.
extern int(WINAPI* shellMessageBox)(HWND owner, LPCSTR text, LPCSTR caption, UINT style);

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

HWND createStatic(HWND parent, const char* text, int x, int y, int width, int height, int id);

// Posts one 50-pixel scroll request to the sheet for a wheel notch of exactly +-120.
void forwardWheel(HWND sheet, WPARAM wParam);
