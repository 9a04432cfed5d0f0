// The quiz sheet: one row or cell per question, scrolling and colours.
#pragma once

#include <windows.h>

INT_PTR CALLBACK sheetProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam);

// Extent of what the build laid out, in pixels; the scroll ranges come from it.
extern int contentWidth;
extern int contentHeight;
