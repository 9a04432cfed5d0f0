// waitsheet: starts a player and times its start-up from outside.
//
//   waitsheet PLAYER.exe LAST_BOX_ID [TIMEOUT_MS]
//
// Prints one line "created=<ms> built=<ms>": the time from CreateProcess to
// the player's main window existing (still hidden: the quiz is loaded, the
// header and sheet not yet built), and to the main window being visible with
// the answer box LAST_BOX_ID on it (the sheet complete). The player is then
// ended at once, so it writes no progress file and every run starts alike.
// Exit code 0 on success, 1 on a timeout or when the player ends first, 2 on
// bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr DWORD pollMilliseconds = 5;

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK matchMainWindow(HWND window, LPARAM data) {
    Search* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "WindowsApp") != 0) return TRUE;
    search->found = window;
    return FALSE;
}

// Hidden windows count: the main window exists before it is shown.
HWND findMainWindow(DWORD processId) {
    Search search = {processId, nullptr};
    EnumWindows(matchMainWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct BoxSearch {
    LONG id;
    bool found;
};

// The answer boxes sit on the sheet, a child dialog of the main window;
// EnumChildWindows walks every level.
BOOL CALLBACK matchBox(HWND window, LPARAM data) {
    BoxSearch* search = reinterpret_cast<BoxSearch*>(data);
    if (GetWindowLongA(window, GWL_ID) != search->id) return TRUE;
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpiA(className, "Edit") != 0) return TRUE;
    search->found = true;
    return FALSE;
}

bool hasBox(HWND mainWindow, LONG id) {
    BoxSearch search = {id, false};
    EnumChildWindows(mainWindow, matchBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

double millisecondsSince(const LARGE_INTEGER& start, const LARGE_INTEGER& frequency) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: waitsheet PLAYER.exe LAST_BOX_ID [TIMEOUT_MS]\n");
        return 2;
    }
    const LONG boxId = std::atol(argv[2]);
    const double timeout = argc > 3 ? std::atof(argv[3]) : 60000.0;

    // The full path, as a relative one would be read against the new
    // working folder.
    char path[MAX_PATH];
    char* name = nullptr;
    const DWORD length = GetFullPathNameA(argv[1], sizeof path, path, &name);
    if (length == 0 || length >= sizeof path || name == nullptr) {
        std::fprintf(stderr, "waitsheet: cannot read the path %s\n", argv[1]);
        return 2;
    }
    char commandLine[MAX_PATH + 2];
    wsprintfA(commandLine, "\"%s\"", path);
    // The player's folder as its working folder, as when it is double-clicked.
    char folder[MAX_PATH];
    lstrcpynA(folder, path, static_cast<int>(name - path) + 1);

    LARGE_INTEGER frequency, start;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &process)) {
        std::fprintf(stderr, "waitsheet: cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }

    double created = -1.0, built = -1.0;
    while (built < 0.0) {
        const double now = millisecondsSince(start, frequency);
        if (now > timeout) break;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
        HWND window = findMainWindow(process.dwProcessId);
        if (window && created < 0.0) created = millisecondsSince(start, frequency);
        if (window && IsWindowVisible(window) && hasBox(window, boxId))
            built = millisecondsSince(start, frequency);
        else
            Sleep(pollMilliseconds);
    }

    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (built < 0.0) {
        std::fprintf(stderr, "waitsheet: no complete sheet (main window %s, answer box %ld)\n",
                     created < 0.0 ? "never appeared" : "appeared", boxId);
        return 1;
    }
    std::printf("created=%.1f built=%.1f\n", created, built);
    return 0;
}
