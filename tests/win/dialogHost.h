// What the header bar and sheet tests share: a hidden top-level window that
// stands in for the main window, a fresh current quiz, a private working
// folder (the progress file is read from the current directory), and a few
// readers of child windows.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "quiz/quizGdiWin.h"

namespace dialogHost {

// Wheel messages that reached the stand-in main window.
inline int& wheelMessagesSeen() {
    static int seen = 0;
    return seen;
}

inline LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEWHEEL) {
        ++wheelMessagesSeen();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

inline const char* hostClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass;
        ZeroMemory(&windowClass, sizeof windowClass);
        windowClass.lpfnWndProc = hostProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VetraTestHost";
        registered = RegisterClassA(&windowClass) != 0;
    }
    return "VetraTestHost";
}

// Runs the posted messages (the sheet's own wheel requests) to the end.
inline void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Answers every message box that the code under test opens on this thread
// (a missing media player, an undecodable picture), so a run cannot hang on
// one; remembers how many there were and the last text.
class MessageBoxGuard {
public:
    MessageBoxGuard() {
        seen() = 0;
        lastText().clear();
        timer_ = SetTimer(nullptr, 0, 100, onTimer);
    }
    ~MessageBoxGuard() { KillTimer(nullptr, timer_); }
    MessageBoxGuard(const MessageBoxGuard&) = delete;
    MessageBoxGuard& operator=(const MessageBoxGuard&) = delete;

    static int& seen() {
        static int count = 0;
        return count;
    }
    static std::string& lastText() {
        static std::string text;
        return text;
    }

private:
    static BOOL CALLBACK answer(HWND window, LPARAM) {
        char name[16] = "";
        GetClassNameA(window, name, sizeof name);
        if (std::strcmp(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
        char text[512] = "";
        GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
        lastText() = text;
        ++seen();
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), answer, 0); }

    UINT_PTR timer_ = 0;
};

struct ChildInfo {
    HWND window;
    int id;
    std::string className;
    DWORD style;
    RECT rect;  // in the parent's client coordinates
    std::string text;
    bool visible;
    HFONT font;
};

inline ChildInfo describe(HWND child) {
    ChildInfo info;
    info.window = child;
    info.id = GetDlgCtrlID(child);
    char name[64] = "";
    GetClassNameA(child, name, sizeof name);
    info.className = name;
    info.style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
    GetWindowRect(child, &info.rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&info.rect), 2);
    char text[1024] = "";
    GetWindowTextA(child, text, sizeof text);
    info.text = text;
    info.visible = (info.style & WS_VISIBLE) != 0;  // the host itself stays hidden
    info.font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
    return info;
}

// Direct children in z-order, which is creation order for children.
inline std::vector<ChildInfo> childrenOf(HWND parent) {
    std::vector<ChildInfo> out;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        out.push_back(describe(child));
    return out;
}

inline RECT rectIn(HWND parent, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Resizes `window` so that its client area is width x height.
inline void setClientSize(HWND window, int width, int height) {
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const int extraW = (outer.right - outer.left) - client.right;
    const int extraH = (outer.bottom - outer.top) - client.bottom;
    SetWindowPos(window, nullptr, 0, 0, width + extraW, height + extraH, SWP_NOZORDER | SWP_NOMOVE);
}

// A hidden main window, a fresh current quiz and a private current directory
// for the life of one test.
class HostedQuizTest : public ::testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryA(MAX_PATH, savedDirectory_);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        GetTempFileNameA(temp, "vsh", 0, workDirectory_);
        DeleteFileA(workDirectory_);
        ASSERT_TRUE(CreateDirectoryA(workDirectory_, nullptr));
        ASSERT_TRUE(SetCurrentDirectoryA(workDirectory_));

        host = CreateWindowExA(0, hostClass(), "host", WS_OVERLAPPEDWINDOW, 0, 0, 1200, 900, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(host, nullptr);
        currentQuiz = createQuiz();
        wheelMessagesSeen() = 0;
    }

    void TearDown() override {
        for (HWND dialog : dialogs_) {
            if (IsWindow(dialog)) DestroyWindow(dialog);
        }
        if (host) DestroyWindow(host);
        pumpMessages();
        destroyQuiz(currentQuiz);
        currentQuiz = nullptr;
        SetCurrentDirectoryA(savedDirectory_);
        removeWorkDirectory();
    }

    // Questions "prompt n" with answers "answer n" / "second n"; N follows.
    void addQuestions(int count) {
        for (int n = 1; n <= count; ++n) {
            const std::string a = "answer " + std::to_string(n);
            const std::string b = "second " + std::to_string(n);
            const std::string p = "prompt " + std::to_string(n);
            appendQuestion(*currentQuiz, a.c_str(), b.c_str(), p.c_str());
        }
        currentQuiz->questionCount = count;
    }

    HWND createDialog(int templateId, DLGPROC procedure) {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), host, procedure, 0);
        if (dialog) dialogs_.push_back(dialog);
        return dialog;
    }

    std::string workFile(const char* name) const { return std::string(workDirectory_) + "\\" + name; }

    HWND host = nullptr;

private:
    void removeWorkDirectory() {
        WIN32_FIND_DATAA found;
        const std::string pattern = std::string(workDirectory_) + "\\*";
        HANDLE search = FindFirstFileA(pattern.c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileA(workFile(found.cFileName).c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(workDirectory_);
    }

    char savedDirectory_[MAX_PATH] = "";
    char workDirectory_[MAX_PATH] = "";
    std::vector<HWND> dialogs_;
};

}  // namespace dialogHost
