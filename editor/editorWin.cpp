// Atelier Vetra, the quiz editor: start-up, the message loop, teardown.
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <string>

#include "authoring/filesWin.h"
#include "editor/editorWindowWin.h"

namespace {

// The quiz named on the command line, in UTF-8 (any character, whatever the
// system's code page); "" when there is none.
std::string commandLineFile() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) return "";
    const std::string path = count > 1 ? utf8FromWide(arguments[1]) : "";
    LocalFree(arguments);
    return path;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    if (!registerEditorWindow(instance)) return 1;
    HWND window = createEditorWindow(instance, commandLineFile(), show);
    if (!window) return 1;
    HACCEL accelerators = createEditorAccelerators();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(window, accelerators, &message)) continue;
        if (editorTakesKey(window, message)) continue;
        // Tab and Shift+Tab move between the fields, as in a dialog.
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DestroyAcceleratorTable(accelerators);
    return static_cast<int>(message.wParam);
}
