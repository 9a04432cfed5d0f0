// vetraprobe: looks at another process's windows the way a tester would.
// Reads texts, rectangles, styles and visibility; posts and sends messages;
// finds and dismisses message boxes. One command per run; output is one
// record per line, fields separated by tabs, so shell and Python read it.
#include <windows.h>
// After windows.h, whose types it uses.
#include <oleacc.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string escape(const std::string& text) {
    std::string escaped;
    for (unsigned char c : text) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\t')
            escaped += "\\t";
        else if (c == '\r')
            escaped += "\\r";
        else if (c == '\n')
            escaped += "\\n";
        else if (c < 0x20 || c >= 0x80) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            escaped += hex;
        } else
            escaped += static_cast<char>(c);
    }
    return escaped;
}

// `flags` may add SMTO_BLOCK: no other message (an event) handled meanwhile.
std::string textOf(HWND window, UINT flags = 0) {
    char buffer[4096] = "";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG | flags, 2000, &copied))
        return "";
    return escape(buffer);
}

void printWindow(HWND window, int depth) {
    char className[256] = "";
    GetClassNameA(window, className, sizeof className);
    RECT r;
    GetWindowRect(window, &r);
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    HWND parent = GetParent(window);
    if (parent) ScreenToClient(parent, &origin);
    std::printf("%d\t%lu\t%lu\t%ld\t%s\t0x%08lX\t0x%08lX\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%d\t%s\n", depth,
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)),
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(parent)),
                static_cast<long>(GetWindowLongA(window, GWL_ID)), className,
                static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)), r.left, r.top, r.right - r.left,
                r.bottom - r.top, r.left + origin.x, r.top + origin.y, client.right, client.bottom,
                IsWindowVisible(window) ? 1 : 0, textOf(window).c_str());
}

struct Tree {
    HWND root;
    int depth;
};

BOOL CALLBACK printChild(HWND child, LPARAM data) {
    Tree* tree = reinterpret_cast<Tree*>(data);
    if (GetParent(child) != tree->root) return TRUE;  // direct children only, in z-order
    printWindow(child, tree->depth);
    Tree inner = {child, tree->depth + 1};
    EnumChildWindows(child, printChild, reinterpret_cast<LPARAM>(&inner));
    return TRUE;
}

struct Search {
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK matchTop(HWND window, LPARAM data) {
    Search* search = reinterpret_cast<Search*>(data);
    char className[256] = "", title[512] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (search->className && std::strcmp(search->className, className) != 0) return TRUE;
    if (search->title && std::strcmp(search->title, title) != 0) return TRUE;
    if (!IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND findTop(const char* className, const char* title) {
    Search search = {className, title, nullptr};
    EnumWindows(matchTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitTop(const char* className, const char* title, int milliseconds) {
    for (int waited = 0;; waited += 50) {
        HWND found = findTop(className, title);
        if (found || waited >= milliseconds) return found;
        Sleep(50);
    }
}

HWND handleArg(const char* text) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(text, nullptr, 0)));
}

const char* orNull(const char* text) {
    return std::strcmp(text, "-") == 0 ? nullptr : text;
}

BOOL CALLBACK boxText(HWND child, LPARAM data) {
    char className[64] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 && GetWindowLongA(child, GWL_ID) == 0xFFFF) {
        *reinterpret_cast<std::string*>(data) = textOf(child);
        return FALSE;
    }
    return TRUE;
}

int usage() {
    std::fprintf(
        stderr,
        "usage: vetraprobe wait CLASS|- TITLE|- MS      -> handle\n"
        "       vetraprobe tree HANDLE                  -> one line per descendant\n"
        "       vetraprobe info HANDLE                  -> the window itself\n"
        "       vetraprobe child HANDLE ID              -> handle of the descendant with that id\n"
        "       vetraprobe post|send HANDLE MSG WPARAM LPARAM [COUNT]  (COUNT: post only)\n"
        "       vetraprobe settext HANDLE TEXT\n"
        "       vetraprobe settextw HANDLE TEXT          -> the same in UTF-16, any character\n"
        "       vetraprobe move HANDLE X Y W H          -> moves and sizes a window\n"
        "       vetraprobe msgbox CAPTION MS            -> the text of that message box\n"
        "       vetraprobe dismiss CAPTION MS           -> presses its OK button\n"
        "       vetraprobe focus HANDLE                 -> brings the top window forward\n"
        "       vetraprobe focused HANDLE               -> the window holding the keyboard focus in\n"
        "                                                  the thread of HANDLE (0 when none)\n"
        "       vetraprobe active HANDLE                -> the active top-level window of that thread\n"
        "       vetraprobe at X Y                       -> the window under that screen point\n"
        "       vetraprobe items HANDLE                 -> a list box's lines (Windows-1252), then its selection\n"
        "       vetraprobe answer CAPTION ID MS         -> presses the button ID of that message box\n"
        "       vetraprobe drop HANDLE X Y FILE...      -> drops files on the window at X, Y (client)\n"
        "       vetraprobe codepages                    -> the ANSI and OEM code pages Wine gives this process\n"
        "       vetraprobe msaa HANDLE                  -> id, role, name, value, description of each\n"
        "                                                  descendant, read through MSAA (Windows-1252)\n"
        "       vetraprobe events HANDLE|0 STOP         -> the live-region and name-change events of the\n"
        "                                                  process of HANDLE (0: of every process), one a line,\n"
        "                                                  after a line 'ready', until 'stop STOP' is run\n"
        "       vetraprobe stop STOP                    -> ends the 'events' run of that name\n");
    return 2;
}

// ---- Through the accessibility interface, as a screen reader reads ---------

std::string narrow(BSTR text) {
    if (!text) return "";
    char buffer[4096] = "";
    WideCharToMultiByte(1252, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    SysFreeString(text);
    return escape(buffer);
}

// One line per descendant: id, handle, role, name, value, description; the
// role is -1 and the texts empty where the object answers nothing.
BOOL CALLBACK printAccessible(HWND child, LPARAM) {
    IAccessible* object = nullptr;
    long role = -1;
    std::string name, value, description;
    if (SUCCEEDED(AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&object))) &&
        object) {
        VARIANT self;
        VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        VARIANT roleValue;
        VariantInit(&roleValue);
        if (SUCCEEDED(object->get_accRole(self, &roleValue)) && roleValue.vt == VT_I4) role = roleValue.lVal;
        BSTR text = nullptr;
        if (object->get_accName(self, &text) == S_OK) name = narrow(text);
        text = nullptr;
        if (object->get_accValue(self, &text) == S_OK) value = narrow(text);
        text = nullptr;
        if (object->get_accDescription(self, &text) == S_OK) description = narrow(text);
        object->Release();
    }
    std::printf("%ld\t%lu\t%ld\t%s\t%s\t%s\n", static_cast<long>(GetWindowLongA(child, GWL_ID)),
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(child)), role, name.c_str(), value.c_str(),
                description.c_str());
    return TRUE;
}

constexpr DWORD eventLiveRegionChanged = 0x8019;

// Out of context: the events come as messages to this thread, in the order
// the other process raised them. Under Wine they are sent messages, so the
// text is read without handling the next event meanwhile (that would print
// the events in reverse).
void CALLBACK printEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG objectId, LONG childId, DWORD, DWORD) {
    if (event != eventLiveRegionChanged && event != EVENT_OBJECT_NAMECHANGE) return;
    if (objectId != OBJID_CLIENT || childId != CHILDID_SELF || !window) return;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    std::printf("0x%04lX\t%lu\t%ld\t%lu\t%s\n", static_cast<unsigned long>(event),
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)),
                static_cast<long>(GetWindowLongA(window, GWL_ID)), static_cast<unsigned long>(process),
                textOf(window, SMTO_BLOCK).c_str());
    std::fflush(stdout);
}

void dispatchWaiting() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// Measured under Wine 8: a hook for one process receives nothing when it
// also asks WINEVENT_SKIPOWNPROCESS, so this one does not ask it.
int listenToEvents(HWND window, const char* stopName) {
    DWORD process = 0;
    if (window && !GetWindowThreadProcessId(window, &process)) return 1;
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, stopName);
    if (!stop) return 1;
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, eventLiveRegionChanged, nullptr, printEvent, process,
                                         0, WINEVENT_OUTOFCONTEXT);
    if (!hook) return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    while (MsgWaitForMultipleObjects(1, &stop, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) dispatchWaiting();
    // What was raised before the stop is already queued here.
    dispatchWaiting();
    UnhookWinEvent(hook);
    CloseHandle(stop);
    return 0;
}

struct ChildSearch {
    LONG id;
    HWND found;
};

BOOL CALLBACK matchChild(HWND child, LPARAM data) {
    ChildSearch* search = reinterpret_cast<ChildSearch*>(data);
    if (GetWindowLongA(child, GWL_ID) == search->id) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string command = argv[1];
    if (command == "wait" && argc == 5) {
        HWND found = waitTop(orNull(argv[2]), orNull(argv[3]), std::atoi(argv[4]));
        if (!found) return 1;
        std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(found)));
        return 0;
    }
    if (command == "tree" && argc == 3) {
        Tree tree = {handleArg(argv[2]), 0};
        EnumChildWindows(tree.root, printChild, reinterpret_cast<LPARAM>(&tree));
        return 0;
    }
    if (command == "info" && argc == 3) {
        HWND window = handleArg(argv[2]);
        if (!IsWindow(window)) return 1;
        printWindow(window, 0);
        return 0;
    }
    if (command == "child" && argc == 4) {
        ChildSearch search = {std::atol(argv[3]), nullptr};
        EnumChildWindows(handleArg(argv[2]), matchChild, reinterpret_cast<LPARAM>(&search));
        if (!search.found) return 1;
        std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(search.found)));
        return 0;
    }
    if ((command == "post" && (argc == 6 || argc == 7)) || (command == "send" && argc == 6)) {
        HWND window = handleArg(argv[2]);
        UINT message = static_cast<UINT>(std::strtoul(argv[3], nullptr, 0));
        WPARAM wParam = static_cast<WPARAM>(std::strtoul(argv[4], nullptr, 0));
        LPARAM lParam = static_cast<LPARAM>(std::strtol(argv[5], nullptr, 0));
        if (command == "post") {
            // A count queues that many at once: a burst the program works through without pause.
            const int count = argc == 7 ? std::atoi(argv[6]) : 1;
            for (int i = 0; i < count; ++i) {
                if (!PostMessageA(window, message, wParam, lParam)) return 1;
            }
            return 0;
        }
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result)) return 1;
        std::printf("%lu\n", static_cast<unsigned long>(result));
        return 0;
    }
    if (command == "move" && argc == 7) {
        return SetWindowPos(handleArg(argv[2]), nullptr, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                            std::atoi(argv[6]), SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    }
    if (command == "settextw" && argc == 4) {
        // The wide command line keeps characters the ANSI code page lacks.
        int count = 0;
        LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
        if (!wide || count != 4) return 1;
        DWORD_PTR result = 0;
        const BOOL sent = SendMessageTimeoutW(handleArg(argv[2]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide[3]),
                                              SMTO_ABORTIFHUNG, 5000, &result);
        LocalFree(wide);
        return sent ? 0 : 1;
    }
    if (command == "settext" && argc == 4) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(handleArg(argv[2]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]),
                                   SMTO_ABORTIFHUNG, 5000, &result)
                   ? 0
                   : 1;
    }
    if ((command == "msgbox" || command == "dismiss") && argc == 4) {
        HWND box = waitTop("#32770", argv[2], std::atoi(argv[3]));
        if (!box) return 1;
        if (command == "msgbox") {
            std::string text;
            EnumChildWindows(box, boxText, reinterpret_cast<LPARAM>(&text));
            std::printf("%s\n", text.c_str());
            return 0;
        }
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    if ((command == "focused" || command == "active") && argc == 3) {
        // Another thread's focus is invisible to GetFocus; the thread's GUI state tells it, and its
        // active top-level window too (the one Alt+F4 and the system menu act on).
        GUITHREADINFO state;
        ZeroMemory(&state, sizeof state);
        state.cbSize = sizeof state;
        const DWORD thread = GetWindowThreadProcessId(handleArg(argv[2]), nullptr);
        if (!thread || !GetGUIThreadInfo(thread, &state)) return 1;
        HWND shown = command == "focused" ? state.hwndFocus : state.hwndActive;
        std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(shown)));
        return 0;
    }
    if (command == "at" && argc == 4) {
        // The window a click at this screen point goes to, as the program's side sees it.
        POINT point = {std::atoi(argv[2]), std::atoi(argv[3])};
        std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(WindowFromPoint(point))));
        return 0;
    }
    if (command == "items" && argc == 3) {
        // One line per item, escaped like window texts, then "selected\tN".
        HWND list = handleArg(argv[2]);
        DWORD_PTR count = 0, selected = 0;
        if (!SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count)) return 1;
        for (DWORD_PTR i = 0; i < count; ++i) {
            // Wide: Wine hands an ANSI LB_GETTEXT to a Unicode list of another process unconverted.
            wchar_t wide[4096] = L"";
            DWORD_PTR length = 0;
            if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 2000, &length) ||
                length >= sizeof wide / sizeof wide[0])
                return 1;
            DWORD_PTR copied = 0;
            SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG, 2000, &copied);
            char buffer[8192] = "";
            WideCharToMultiByte(1252, 0, wide, -1, buffer, sizeof buffer, nullptr, nullptr);
            std::printf("%s\n", escape(buffer).c_str());
        }
        SendMessageTimeoutA(list, LB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &selected);
        std::printf("selected\t%ld\n", static_cast<long>(static_cast<LRESULT>(selected)));
        return 0;
    }
    if (command == "answer" && argc == 5) {
        HWND box = waitTop("#32770", argv[2], std::atoi(argv[4]));
        if (!box) return 1;
        return PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0) ? 0 : 1;
    }
    if (command == "drop" && argc >= 6) {
        // The DROPFILES block the shell would hand over, written into the
        // target process: a handle of this process would mean nothing there.
        int count = 0;
        LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
        if (!wide || count < 6) return 1;
        std::wstring names;
        for (int i = 5; i < count; ++i) names.append(wide[i]).push_back(L'\0');
        names.push_back(L'\0');
        LocalFree(wide);
        std::string block(sizeof(DROPFILES) + names.size() * sizeof(wchar_t), '\0');
        DROPFILES header = {};
        header.pFiles = sizeof(DROPFILES);
        header.pt.x = std::atoi(argv[3]);
        header.pt.y = std::atoi(argv[4]);
        header.fWide = TRUE;
        std::memcpy(&block[0], &header, sizeof header);
        std::memcpy(&block[sizeof header], names.data(), names.size() * sizeof(wchar_t));
        HWND window = handleArg(argv[2]);
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
        if (!process) return 1;
        void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        const bool written = remote && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
        CloseHandle(process);
        return written && PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0) ? 0 : 1;
    }
    if (command == "msaa" && argc == 3) {
        if (FAILED(CoInitialize(nullptr))) return 1;
        EnumChildWindows(handleArg(argv[2]), printAccessible, 0);
        CoUninitialize();
        return 0;
    }
    if (command == "events" && argc == 4) return listenToEvents(handleArg(argv[2]), argv[3]);
    if (command == "stop" && argc == 3) {
        HANDLE stop = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
        if (!stop) return 1;
        const BOOL set = SetEvent(stop);
        CloseHandle(stop);
        return set ? 0 : 1;
    }
    if (command == "codepages" && argc == 2) {
        std::printf("%u\t%u\n", GetACP(), GetOEMCP());
        return 0;
    }
    if (command == "focus" && argc == 3) {
        return SetForegroundWindow(handleArg(argv[2])) ? 0 : 1;
    }
    return usage();
}
