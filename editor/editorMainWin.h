// The editor's main window: the question list, the quiz's and the selected
// question's fields, the problems of the quiz and the status line.
#pragma once

#include <windows.h>

#include <string>

// Registers the window class; false when the platform refuses it.
bool registerEditorWindow(HINSTANCE instance);
// Creates and shows the main window, opening `path` (UTF-8) when not empty.
HWND createEditorWindow(HINSTANCE instance, const std::string& path, int show);
// The menu accelerators (Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+B, F5).
HACCEL createEditorAccelerators();
