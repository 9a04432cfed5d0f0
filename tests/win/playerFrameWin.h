// A frame like the player's for the tests: the real main window (class
// "WindowsApp", mainWindowProc) with the real header bar and sheet as its
// children, a fresh current quiz and a private working folder.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include "app/headerBarWin.h"
#include "app/shellWin.h"
#include "dialogHost.h"
#include "quiz/quizGdiWin.h"
#include "resource.h"
#include "sheet/sheetWin.h"

namespace playerFrame {

// The class outlives every test once registered, by the program's own
// function, the first time a test needs it.
inline bool mainClassReady() {
    static const bool ready = [] {
        WNDCLASSEXA found{};
        found.cbSize = sizeof found;
        return GetClassInfoExA(GetModuleHandleA(nullptr), "WindowsApp", &found) ||
               registerMainClass(GetModuleHandleA(nullptr));
    }();
    return ready;
}

inline HWND createMainWindow() {
    return CreateWindowExA(0, "WindowsApp", "titre", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 544, 375,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// A WM_QUIT the window posted, taken off the queue so it cannot end a later loop.
inline bool takeQuitMessage() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

class PlayerFrameTest : public dialogHost::HostedQuizTest {
protected:
    void SetUp() override {
        HostedQuizTest::SetUp();
        ASSERT_TRUE(mainClassReady());
        DestroyWindow(host);
        host = createMainWindow();
        ASSERT_NE(host, nullptr);
    }
    void TearDown() override {
        setFrameDialogs(nullptr, nullptr);
        HostedQuizTest::TearDown();
        takeQuitMessage();
    }
    // The header bar first, then the sheet, as start-up makes them.
    void buildFrame() {
        header = createDialog(IDD_HEADER, headerBarProc);
        currentQuiz->headerWindow = header;
        sheet = createDialog(IDD_SHEET, sheetProc);
        currentQuiz->sheetWindow = sheet;
        ASSERT_NE(header, nullptr);
        ASSERT_NE(sheet, nullptr);
        setFrameDialogs(header, sheet);
    }
    HWND header = nullptr;
    HWND sheet = nullptr;
};

}  // namespace playerFrame
