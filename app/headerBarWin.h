// The header bar: title, author, explanations, score, reward code, "Sauver" and the link.
#pragma once

#include <windows.h>

INT_PTR CALLBACK headerBarProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// How a click on the link opens the address; ShellExecuteA, or a recorder in the tests.
extern HINSTANCE(WINAPI* headerShellExecute)(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                             INT show);

// Underlined font three quarters of the control's client height, and the
// pointing hand as the class cursor of the link's class ("Static", so every
// static of the program shows it). Returns the font, which the caller owns.
HFONT applyLinkStyle(HWND link);
