#include "app/headerBarWin.h"

INT_PTR CALLBACK headerBarProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }
