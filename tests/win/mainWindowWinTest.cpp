// The main window as real windows: its class, its icons, the layout it gives
// the header bar and the sheet, what closing does, and start-up when the
// class cannot be registered.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/headerBarWin.h"
#include "app/shellWin.h"
#include "dialogHost.h"
#include "guiObjectsWin.h"
#include "playerFrameWin.h"
#include "quiz/quizGdiWin.h"
#include "resource.h"
#include "sheet/sheetWin.h"

namespace {

using playerFrame::createMainWindow;
using playerFrame::takeQuitMessage;

TEST(MainWindowClass, IsRegisteredWithItsFields) {
    ASSERT_TRUE(playerFrame::mainClassReady());
    WNDCLASSEXA found{};
    found.cbSize = sizeof found;
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "WindowsApp", &found));
    EXPECT_EQ(found.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(found.lpfnWndProc, mainWindowProc);
    EXPECT_EQ(found.cbClsExtra, 0);
    EXPECT_EQ(found.cbWndExtra, 0);
    EXPECT_EQ(found.hInstance, GetModuleHandleA(nullptr));
    EXPECT_EQ(found.hIcon, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(found.hIconSm, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(found.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(found.hbrBackground, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_SCROLLBAR + 1)));
    EXPECT_EQ(found.lpszMenuName, nullptr);

    // An ANSI class: its windows take ANSI texts.
    HWND window = createMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowUnicode(window));
    DestroyWindow(window);
    EXPECT_TRUE(takeQuitMessage()) << "WM_DESTROY ends the loop";
}

struct ShownMessage {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};
std::vector<ShownMessage> shownMessages;

int WINAPI recordMessage(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    shownMessages.push_back({owner, text, caption, style});
    return IDOK;
}

// A second registration of the class fails as a refused first one would.
TEST(MainWindowClass, RegistrationFailureSaysSoAndCreatesNothing) {
    ASSERT_TRUE(playerFrame::mainClassReady());
    ASSERT_EQ(currentQuiz, nullptr);
    shownMessages.clear();
    shellMessageBox = recordMessage;
    // Should start-up go on regardless, its loop ends at once instead of hanging the run.
    PostQuitMessage(0);
    const long gdiBefore = guiObjects::gdiCount();
    const long userBefore = guiObjects::userCount();
    const int result = runPlayer(GetModuleHandleA(nullptr));
    const long gdiAfter = guiObjects::gdiCount();
    const long userAfter = guiObjects::userCount();
    shellMessageBox = MessageBoxA;
    takeQuitMessage();
    ASSERT_NE(gdiBefore, -1);

    EXPECT_EQ(result, 0);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].owner, nullptr);
    EXPECT_EQ(shownMessages[0].text,
              "Erreur dans la cr\xE9"
              "ation de la fen\xEAtre principale");
    EXPECT_EQ(shownMessages[0].caption, "Vetra information");
    EXPECT_EQ(shownMessages[0].style, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(currentQuiz, nullptr);
    EXPECT_EQ(gdiAfter, gdiBefore) << "no footer brush, no quiz brushes or fonts";
    EXPECT_EQ(userAfter, userBefore) << "no window";
}

class MainWindow : public playerFrame::PlayerFrameTest {
protected:
    void buildFrame(int questions) {
        addQuestions(questions);
        PlayerFrameTest::buildFrame();
    }
};

TEST_F(MainWindow, CreationSetsTheQuestionMarkAsBigIconOnly) {
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(host, WM_GETICON, ICON_BIG, 0)), LoadIconA(nullptr, IDI_QUESTION));
    // The small icon stays the class's: none is set on the window.
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(host, WM_GETICON, ICON_SMALL, 0)), nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrA(host, GCLP_HICONSM)), LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_NE(LoadIconA(nullptr, IDI_QUESTION), LoadIconA(nullptr, IDI_APPLICATION));
}

struct FrameLayout {
    RECT sheet, header, footer;
};

std::string describe(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ") " + std::to_string(r.right - r.left) +
           " x " + std::to_string(r.bottom - r.top);
}

FrameLayout layoutOf(HWND main, HWND header, HWND sheet) {
    return {dialogHost::rectIn(main, sheet), dialogHost::rectIn(main, header),
            dialogHost::rectIn(main, GetDlgItem(main, 8000))};
}

RECT placed(int x, int y, int width, int height) {
    return {x, y, x + width, y + height};
}

// Swallows the platform's own size notification, so that only the WM_SIZE a
// test sends reaches the window while the client area already has its new size.
LRESULT CALLBACK withoutSizeNotice(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGED) return 0;
    return CallWindowProcA(mainWindowProc, window, message, wParam, lParam);
}

TEST_F(MainWindow, SizeLaysOutTheFrameUnlessMinimised) {
    buildFrame(3);
    struct Case {
        const char* name;
        WPARAM kind;
        bool laidOut;
    } cases[] = {
        {"restored", SIZE_RESTORED, true},
        {"minimised", SIZE_MINIMIZED, false},
        {"maximised", SIZE_MAXIMIZED, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogHost::setClientSize(host, 600, 400);
        const FrameLayout before = layoutOf(host, header, sheet);
        ASSERT_EQ(describe(before.sheet), describe(placed(5, 50, 589, 332)));

        SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(withoutSizeNotice));
        dialogHost::setClientSize(host, 500, 300);
        SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mainWindowProc));
        ASSERT_EQ(describe(layoutOf(host, header, sheet).sheet), describe(before.sheet)) << "nothing moved yet";
        SendMessageA(host, WM_SIZE, c.kind, MAKELPARAM(500, 300));

        const FrameLayout after = layoutOf(host, header, sheet);
        const FrameLayout expected =
            c.laidOut ? FrameLayout{placed(5, 50, 489, 232), placed(5, 2, 489, 49), placed(345, 284, 150, 15)} : before;
        EXPECT_EQ(describe(after.sheet), describe(expected.sheet));
        EXPECT_EQ(describe(after.header), describe(expected.header));
        EXPECT_EQ(describe(after.footer), describe(expected.footer));
    }

    // Minimised for real: the client area shrinks to nothing, the frame stays.
    dialogHost::setClientSize(host, 600, 400);
    const FrameLayout before = layoutOf(host, header, sheet);
    ShowWindow(host, SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(IsIconic(host));
    const FrameLayout after = layoutOf(host, header, sheet);
    EXPECT_EQ(describe(after.sheet), describe(before.sheet));
    EXPECT_EQ(describe(after.header), describe(before.header));
    EXPECT_EQ(describe(after.footer), describe(before.footer));
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string fileBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    char bytes[256];
    DWORD got = 0;
    ReadFile(file, bytes, sizeof bytes, &got, nullptr);
    CloseHandle(file);
    return std::string(bytes, got);
}

void writeFile(const std::string& path, const char* bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes, lstrlenA(bytes), &written, nullptr);
    CloseHandle(file);
}

TEST_F(MainWindow, CloseSavesDeletesTheOldClipAndEndsTheLoop) {
    buildFrame(2);
    struct Case {
        const char* name;
        bool clipThere;
    } cases[] = {{"with vetra.mp3", true}, {"without vetra.mp3", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(workFile("win_tests.txt").c_str());
        if (c.clipThere) writeFile(workFile("vetra.mp3"), "ID3");
        writeFile(workFile("vetra1.mp3"), "ID3");  // a numbered clip is the media side's to remove
        SetDlgItemTextA(sheet, 4002, "Oslo");

        SendMessageA(host, WM_CLOSE, 0, 0);

        EXPECT_FALSE(fileExists(workFile("vetra.mp3")));
        EXPECT_TRUE(fileExists(workFile("vetra1.mp3")));
        EXPECT_EQ(fileBytes(workFile("win_tests.txt")), "\r\nOslo\r\n") << "the answers are saved";
        EXPECT_TRUE(IsWindow(host)) << "the window is destroyed at teardown, not here";
        EXPECT_TRUE(takeQuitMessage());
    }
}

}  // namespace
