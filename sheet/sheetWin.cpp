#include "sheet/sheetWin.h"

INT_PTR CALLBACK sheetProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }
