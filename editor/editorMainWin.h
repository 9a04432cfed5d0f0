// The editor's main window: the question list, the quiz's and the selected
// question's fields, the problems of the quiz and the status line.
#pragma once

#include <windows.h>

#include <string>

// Registers the window class; false when the platform refuses it.
bool registerEditorWindow(HINSTANCE instance);
// Creates and shows the main window, opening `path` (UTF-8) when not empty.
HWND createEditorWindow(HINSTANCE instance, const std::string& path, int show);
// Keys the editor takes before the dialog navigation does: Enter in the
// answer field goes on to the next question's answer, so that a list of
// pictures is answered one after the other from the keyboard. True when taken.
bool editorTakesKey(const MSG& message);
// The menu accelerators (Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+B, F5).
HACCEL createEditorAccelerators();
