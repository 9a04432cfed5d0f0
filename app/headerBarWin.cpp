#include "app/headerBarWin.h"

#include <shellapi.h>

#include <cstring>

#include "answers/screenReaderWin.h"
#include "app/headerLayout.h"
#include "app/highContrastWin.h"
#include "quiz/quizGdiWin.h"
#include "resources/resource.h"
#include "sheet/progressFileWin.h"

namespace {

// Paints the bar and its statics; lives from WM_INITDIALOG to WM_DESTROY.
HBRUSH headerBrush = nullptr;
// The link's underlined font. Only the link uses it, so it goes with the bar
// (which lives as long as the program).
HFONT linkFont = nullptr;

HFONT fontFor(HeaderFontChoice choice) {
    switch (choice) {
        case HeaderFontChoice::defaultGuiFont: return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        case HeaderFontChoice::titleFont: return currentQuiz ? asFont(currentQuiz->titleFont) : nullptr;
        case HeaderFontChoice::scoreFont: return currentQuiz ? asFont(currentQuiz->scoreFont) : nullptr;
        default: return nullptr;
    }
}

HWND createControl(HWND dialog, const HeaderControlSpec& spec) {
    return CreateWindowExA(0, spec.className.c_str(), spec.text.c_str(), spec.style, spec.x, spec.y, spec.width,
                           spec.height, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)),
                           GetModuleHandleA(nullptr), nullptr);
}

// A static breaks a text too wide at its slashes and shows the first piece
// only. An address too wide shows its site alone, and a site too wide is
// cut at its end, with "\x85" saying so.
void fitLinkText(HWND link) {
    char text[quizTextSize] = "";
    GetWindowTextA(link, text, sizeof text);
    RECT client;
    GetClientRect(link, &client);
    HDC dc = GetDC(link);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0)));
    const auto fits = [&](int length) {
        SIZE extent{};
        return GetTextExtentPoint32A(dc, text, length, &extent) && extent.cx <= client.right;
    };
    const int whole = lstrlenA(text);
    int length = whole;
    if (!fits(length)) {
        const char* slash = std::strchr(text, '/');
        if (slash) length = static_cast<int>(slash - text);
        text[length] = '\0';
    }
    while (length > 1 && !fits(length)) {
        --length;
        text[length - 1] = '\x85';
        text[length] = '\0';
    }
    SelectObject(dc, old);
    ReleaseDC(link, dc);
    if (length != whole) SetWindowTextA(link, text);
}

// Builds every control of the bar; their places hold only until the first WM_SIZE.
BOOL onInitDialog(HWND dialog) {
    headerBrush = CreateSolidBrush(headerBrushColour);
    if (!currentQuiz) return TRUE;
    for (const HeaderControlSpec& spec : headerControls(*currentQuiz)) {
        HWND control = createControl(dialog, spec);
        if (spec.font == HeaderFontChoice::linkFont) {
            linkFont = applyLinkStyle(control);
            fitLinkText(control);
            continue;
        }
        HFONT font = fontFor(spec.font);
        if (font) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    exposeHeaderToScreenReaders(dialog);
    return TRUE;
}

// Keeps the link, author and "Sauver" on the right edge and lets the
// explanations take the width in between.
void onSize(HWND dialog) {
    RECT client;
    GetClientRect(dialog, &client);
    for (const HeaderPlacement& p : headerSizeLayout(client.right - client.left)) {
        HWND control = GetDlgItem(dialog, p.id);
        // The creation order is also the paint order of the overlapping
        // title and explanations; moving must not reshuffle it.
        SetWindowPos(control, nullptr, p.x, p.y, p.width, p.height, SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOZORDER);
        if (p.invalidate) InvalidateRect(control, nullptr, FALSE);
    }
}

// Only plain clicks act: the whole wParam is the control id.
void onCommand(WPARAM wParam) {
    if (wParam == static_cast<WPARAM>(headerLinkId)) {
        // A quiz without an address of its own has nothing to open.
        if (currentQuiz && currentQuiz->link[0])
            headerShellExecute(nullptr, "open", currentQuiz->link, nullptr, nullptr, SW_SHOWNORMAL);
    } else if (wParam == static_cast<WPARAM>(headerSaveButtonId)) {
        saveProgress(currentQuiz);
    }
}

// The statics sit on the bar's colour; the separators keep the system look.
INT_PTR onCtlColorStatic(HDC dc, HWND control) {
    switch (headerStaticPaint(GetWindowLongA(control, GWL_ID))) {
        case HeaderStaticPaint::link:
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, headerLinkTextColour);
            return reinterpret_cast<INT_PTR>(headerBrush);
        case HeaderStaticPaint::transparent: SetBkMode(dc, TRANSPARENT); return reinterpret_cast<INT_PTR>(headerBrush);
        default: return FALSE;
    }
}

void onDestroy() {
    if (headerBrush) DeleteObject(headerBrush);
    headerBrush = nullptr;
    if (linkFont) DeleteObject(linkFont);
    linkFont = nullptr;
}

}  // namespace

HINSTANCE(WINAPI* headerShellExecute)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT) = ShellExecuteA;

HFONT applyLinkStyle(HWND link) {
    RECT client;
    GetClientRect(link, &client);
    LOGFONTA font;
    std::memset(&font, 0, sizeof font);
    font.lfHeight = linkFontHeight(client.bottom - client.top);
    font.lfWeight = FW_NORMAL;
    font.lfUnderline = TRUE;
    HFONT made = CreateFontIndirectA(&font);
    SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(made), FALSE);

    HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_CURSOR));
    SetClassLongPtrA(link, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(hand));
    return made;
}

INT_PTR CALLBACK headerBarProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (coloursLeftToSystem(message)) return FALSE;
    switch (message) {
        case WM_INITDIALOG: return onInitDialog(dialog);
        case WM_SIZE: onSize(dialog); return FALSE;
        case WM_COMMAND: onCommand(wParam); return FALSE;
        case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(headerBrush);
        case WM_CTLCOLORSTATIC: return onCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DESTROY: onDestroy(); return FALSE;
        default: return FALSE;
    }
}
