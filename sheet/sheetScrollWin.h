// Scrolling and colouring of the quiz sheet: the rest of sheetProc after the build.
#pragma once

#include <windows.h>

// Both scroll bars from the client size and the content size.
void setUpScrollBars(HWND sheet);

// WM_SIZE: new ranges, and the children follow the positions the platform kept.
void resizeSheet(HWND sheet);

// WM_VSCROLL and WM_HSCROLL with a request in the low word of wParam (the
// sheet's own 500, 501 and 502 included on the vertical bar).
void scrollSheetVertically(HWND sheet, int request);
void scrollSheetHorizontally(HWND sheet, int request);

// WM_MOUSEWHEEL: one notch posts one 50-pixel request to the sheet itself.
void postWheelRequest(HWND sheet, WPARAM wParam);

// WM_CTLCOLORSTATIC: the brush for `control` (0 for the system colours).
INT_PTR sheetStaticBrush(HDC dc, HWND control);
