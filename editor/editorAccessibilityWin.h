// The editor's window as a screen reader meets it: every field named by its
// label, the previews and the score column by what they show, the status
// line's messages and the Problems list's new problems announced politely.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

// After the controls are made: `labels` pairs each control id with the
// static that labels it. Reads the labels when a screen reader asks, so
// the names follow the form.
void exposeEditorToScreenReaders(HWND window, const std::vector<std::pair<int, HWND>>& labels);
