#include "app/headerBarWin.h"
#include "app/headerLayout.h"
#include "app/highContrastWin.h"
#include "app/shellWin.h"
#include "media/mediaWin.h"
#include "quiz/quizGdiWin.h"
#include "quiz/quizLoaderWin.h"
#include "resources/resource.h"
#include "sheet/progressFileWin.h"
#include "sheet/scrollMath.h"
#include "sheet/sheetWin.h"

namespace {

const char mainClassName[] = "WindowsApp";
HBRUSH footerBrush = nullptr;
HWND mainWindow = nullptr;
HWND headerBar = nullptr;
HWND quizSheet = nullptr;

// The footer is placed for real by the first WM_SIZE; this only creates it.
void onCreate(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    const PlacedRect at = footerCreationRect(client.bottom);
    createStatic(window, footerText, at.x, at.y, at.width, at.height, footerLabelId);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadIconA(nullptr, IDI_QUESTION)));
}

// Places the two dialogs and the footer; a minimised window keeps the last layout.
void onSize(HWND window, WPARAM kind) {
    if (kind == SIZE_MINIMIZED) return;
    RECT client;
    GetClientRect(window, &client);
    const MainLayout layout = mainWindowLayout(client.right - client.left, client.bottom - client.top);
    SetWindowPos(quizSheet, nullptr, layout.sheet.x, layout.sheet.y, layout.sheet.width, layout.sheet.height,
                 SWP_NOZORDER);
    SetWindowPos(headerBar, nullptr, layout.header.x, layout.header.y, layout.header.width, layout.header.height,
                 SWP_NOZORDER);
    SetWindowPos(GetDlgItem(window, footerLabelId), nullptr, layout.footer.x, layout.footer.y, layout.footer.width,
                 layout.footer.height, SWP_NOOWNERZORDER | SWP_NOACTIVATE);
}

// Closing saves the answers first; the window itself is destroyed at teardown.
void onClose() {
    saveProgress(currentQuiz);
    DeleteFileA("vetra.mp3");
    PostQuitMessage(0);
}

LRESULT onCtlColorStatic(HWND control) {
    if (GetWindowLongA(control, GWL_ID) == footerLabelId) return reinterpret_cast<LRESULT>(footerBrush);
    return 0;
}

void centreOnDesktop(HWND window) {
    RECT desktop, own;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &own);
    const ScreenPoint at = centredPosition({desktop.left, desktop.top, desktop.right, desktop.bottom},
                                           {own.left, own.top, own.right, own.bottom});
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

// A window the rest of start-up cannot do without; say so rather than run blind.
bool check(HWND window, const char* what) {
    if (window) return true;
    char text[160];
    wsprintfA(text,
              "Impossible de cr\xE9"
              "er %s.",
              what);
    shellMessageBox(nullptr, text, "Vetra information", MB_ICONINFORMATION);
    return false;
}

int messageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(quizSheet, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

void teardown() {
    if (quizSheet) EndDialog(quizSheet, 0);
    if (headerBar) DestroyWindow(headerBar);
    releaseMedia(currentQuiz, mainWindow);
    DeleteObject(footerBrush);
    footerBrush = nullptr;
    destroyQuiz(currentQuiz);
    currentQuiz = nullptr;
    mainWindow = headerBar = quizSheet = nullptr;
}

}  // namespace

int(WINAPI* shellMessageBox)(HWND owner, LPCSTR text, LPCSTR caption, UINT style) = MessageBoxA;

bool registerMainClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1);
    windowClass.lpszClassName = mainClassName;
    return RegisterClassExA(&windowClass) != 0;
}

void setFrameDialogs(HWND header, HWND sheet) {
    headerBar = header;
    quizSheet = sheet;
}

HWND createStatic(HWND parent, const char* text, int x, int y, int width, int height, int id) {
    HWND control =
        CreateWindowExA(0, "Static", text, WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return control;
}

void forwardWheel(HWND sheet, WPARAM wParam) {
    const int request = wheelRequest(static_cast<uint32_t>(wParam));
    if (request) PostMessageA(sheet, WM_VSCROLL, static_cast<WPARAM>(request), 0);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (coloursLeftToSystem(message)) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_CREATE: onCreate(window); return 0;
        case WM_SIZE: onSize(window, wParam); return 0;
        case WM_CLOSE: onClose(); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        case WM_CTLCOLORSTATIC: return onCtlColorStatic(reinterpret_cast<HWND>(lParam));
        case WM_MOUSEWHEEL: forwardWheel(quizSheet, wParam); return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

int runPlayer(HINSTANCE instance) {
    if (!registerMainClass(instance)) {
        shellMessageBox(nullptr,
                        "Erreur dans la cr\xE9"
                        "ation de la fen\xEAtre principale",
                        "Vetra information", MB_ICONINFORMATION);
        return 0;
    }
    footerBrush = CreateSolidBrush(footerBrushColour);
    currentQuiz = createQuiz();
    loadQuiz(currentQuiz);
    prepareMediaHosting(currentQuiz);

    mainWindow = CreateWindowExA(0, mainClassName, currentQuiz->title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                 CW_USEDEFAULT, 544, 375, nullptr, nullptr, instance, nullptr);
    int result = 0;
    if (check(mainWindow, "la fen\xEAtre principale")) {
        centreOnDesktop(mainWindow);
        // The header must exist before the sheet: building the sheet judges
        // the restored answers, which writes the score into the header.
        headerBar = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_HEADER), mainWindow, headerBarProc, 0);
        ShowWindow(headerBar, SW_SHOWNORMAL);
        currentQuiz->headerWindow = headerBar;
        quizSheet = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SHEET), mainWindow, sheetProc, 0);
        currentQuiz->sheetWindow = quizSheet;
        if (check(headerBar, "la barre de titre") && check(quizSheet, "la feuille du quiz")) {
            ShowWindow(mainWindow, SW_SHOWNORMAL);
            ShowWindow(quizSheet, SW_SHOWNORMAL);
            SendMessageA(quizSheet, WM_VSCROLL, SB_TOP, 0);
            result = messageLoop();
        }
    }
    teardown();
    return result;
}
