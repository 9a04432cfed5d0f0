// The header bar: title, author, explanations, score, reward code, "Sauver" and the link.
#pragma once

#include <windows.h>

INT_PTR CALLBACK headerBarProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
