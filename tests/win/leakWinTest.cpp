// A long session on a shown frame: the player's GDI and USER objects stay
// as many as they were after thousands of verdict changes, hundreds of
// solution pictures swapped in, clips played and stopped, and resizes.
// guiObjectsWin.h says how the objects are counted under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "answers/judgeWin.h"
#include "answers/verdict.h"
#include "guiObjectsWin.h"
#include "media/mediaSeamsWin.h"
#include "media/mediaWin.h"
#include "pictures/pictureResourceWin.h"
#include "playerFrameWin.h"

namespace {

struct Counts {
    long gdi;
    long user;
};

// Paints whatever the last step invalidated, as the message loop would, then counts.
Counts settledCounts(HWND main) {
    RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    dialogHost::pumpMessages();
    const Counts counts{guiObjects::gdiCount(), guiObjects::userCount()};
    // A figure that cannot be taken would compare equal to itself and prove nothing.
    if (counts.gdi < 1) ADD_FAILURE() << "no way to count GDI objects (" << guiObjects::measure() << ")";
    return counts;
}

void report(const char* what, const Counts& before, const Counts& after) {
    std::printf("[ figures  ] %s: GDI %ld -> %ld, USER %ld -> %ld (%s)\n", what, before.gdi, after.gdi, before.user,
                after.user, guiObjects::measure().c_str());
}

TEST(GuiObjects, TheMeasureSeesObjectsComeAndGo) {
    SetLastError(0);
    const DWORD systemBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD systemError = GetLastError();
    const long gdiBefore = guiObjects::gdiCount();
    ASSERT_GE(gdiBefore, 1) << "no way to count GDI objects";
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < 100; ++i) brushes.push_back(CreateSolidBrush(RGB(i, 2 * i, 255 - i)));
    const DWORD systemWith = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    EXPECT_EQ(guiObjects::gdiCount(), gdiBefore + 100);
    if (!guiObjects::systemCounts()) {
        // The table is read as it is laid out: a brush's entry says "brush".
        const guiObjects::WineGdiEntry* entry = guiObjects::wineGdiEntry(brushes[0]);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->type, 0x10);
        EXPECT_EQ(entry->unique, HIWORD(reinterpret_cast<UINT_PTR>(brushes[0])));
    }
    for (HBRUSH brush : brushes) DeleteObject(brush);
    EXPECT_EQ(guiObjects::gdiCount(), gdiBefore);
    std::printf("[ figures  ] GetGuiResources(GR_GDIOBJECTS): %lu before, %lu with 100 more brushes (last error %lu)\n",
                systemBefore, systemWith, systemError);

    // The platform gives a thread with windows an input-method window of its
    // own, for as long as the thread has one: keep one throughout.
    HWND first = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const long userBefore = guiObjects::userCount();
    std::vector<HWND> windows;
    for (int i = 0; i < 10; ++i) {
        HWND top = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 5, 5, top, nullptr, nullptr, nullptr);
        windows.push_back(top);
    }
    EXPECT_EQ(guiObjects::userCount(), userBefore + 20);
    for (HWND w : windows) DestroyWindow(w);
    EXPECT_EQ(guiObjects::userCount(), userBefore);
    DestroyWindow(first);
}

class LongSession : public playerFrame::PlayerFrameTest {
protected:
    void TearDown() override {
        // The media side destroys the main window at teardown, as in the player.
        if (mediaPrepared_) {
            releaseMedia(currentQuiz, host);
            host = nullptr;
        }
        PlayerFrameTest::TearDown();
    }
    void showFrame(int kind, int questions, int revealMode) {
        currentQuiz->kind = kind;
        currentQuiz->revealMode = revealMode;
        if (kind == kindAudio || kind == kindVideo) {
            prepareMediaHosting(currentQuiz);
            mediaPrepared_ = true;
        }
        addQuestions(questions);
        buildFrame();
        ShowWindow(host, SW_SHOWNORMAL);
        ShowWindow(sheet, SW_SHOWNORMAL);
        dialogHost::setClientSize(host, 700, 500);
    }
    void type(int box, const char* text) {
        SetDlgItemTextA(sheet, 4000 + box, text);
        judgeAnswer(currentQuiz, sheet, 4000 + box);
    }
    std::string verdict(int box) const {
        char text[64] = "";
        GetDlgItemTextA(sheet, 5000 + box, text, sizeof text);
        return text;
    }
    dialogHost::MessageBoxGuard messageBoxes_;

private:
    bool mediaPrepared_ = false;
};

// Each step changes the label (right, wrong, one letter off), and with it the
// comment, the score and the reward code; every label is painted again.
TEST_F(LongSession, VerdictChangesKeepTheObjectCount) {
    showFrame(kindText, 3, 2);
    const char* typed[] = {"answer 1", "zzz", "answer 2"};
    int changes = 0;
    std::string last = verdict(1);
    auto step = [&](int i) {
        type(1, typed[i % 3]);
        const std::string now = verdict(1);
        if (now != last) ++changes;
        last = now;
        RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
    for (int i = 0; i < 30; ++i) step(i);  // the platform's first-use caches
    const Counts before = settledCounts(host);
    changes = 0;
    for (int i = 30; i < 5030; ++i) step(i);
    const Counts after = settledCounts(host);
    EXPECT_EQ(changes, 5000);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
    report("5000 verdict changes", before, after);
}

// Question 61 of a picture quiz has its own picture (IMG 461) and a solution
// picture (IMG 10461). Forth: a right answer puts the solution in place of
// what the control shows, which the player must delete. Back: the test puts
// the question's own picture back (the player never does) and clears the
// shown flag, so that the next right answer swaps again.
TEST_F(LongSession, SolutionPictureSwapsDeleteWhatTheyReplace) {
    showFrame(kindPictures, 64, 1);
    HWND picture = GetDlgItem(sheet, 9961);
    ASSERT_NE(picture, nullptr);
    auto shown = [&] { return reinterpret_cast<HGDIOBJ>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)); };
    ASSERT_NE(shown(), nullptr);
    int replacedButAlive = 0;
    auto cycle = [&] {
        HGDIOBJ own = shown();
        type(61, "answer 61");
        HGDIOBJ solution = shown();
        if (solution == own || GetObjectType(own) != 0) ++replacedButAlive;
        type(61, "zzz");
        RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        HBITMAP back = loadPictureResource(GetModuleHandleA(nullptr), 461, "IMG", 260, 260);
        HGDIOBJ previous = reinterpret_cast<HGDIOBJ>(
            SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(back)));
        if (previous) DeleteObject(previous);
        currentQuiz->solutionShown[60] = 0;
        RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
    for (int i = 0; i < 5; ++i) cycle();
    const Counts before = settledCounts(host);
    replacedButAlive = 0;
    for (int i = 0; i < 200; ++i) cycle();
    const Counts after = settledCounts(host);
    EXPECT_EQ(replacedButAlive, 0) << "pictures swapped out but not deleted";
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
    report("200 solution pictures swapped in and back", before, after);
}

// The real player control, as the sheet hosts it, with the one clip it can
// play under Wine without codec or sound (IMG 493, question 93). Wine 8's
// control takes about 2 s to stop, so this runs 10 cycles after 2 to warm
// up; the 200 cycles run against the recording player in mediaWinTest.cpp.
TEST_F(LongSession, PlayAndStopWithTheRealControlKeepTheObjectCount) {
    showFrame(kindVideo, 93, 0);
    ASSERT_FALSE(playerIsMissing());
    auto cycle = [&] {
        SendMessageA(sheet, WM_COMMAND, 6093, 0);
        SendMessageA(sheet, WM_COMMAND, 7093, 0);
        RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        dialogHost::pumpMessages();
    };
    for (int i = 0; i < 2; ++i) cycle();
    const Counts before = settledCounts(host);
    for (int i = 0; i < 10; ++i) cycle();
    const Counts after = settledCounts(host);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
    EXPECT_EQ(GetFileAttributesA("vetra93.avi"), INVALID_FILE_ATTRIBUTES) << "stopped: no clip file left";
    EXPECT_EQ(messageBoxes_.seen(), 0) << dialogHost::MessageBoxGuard::lastText();
    report("10 play and stop cycles of the real control", before, after);
}

// Sizes that show and hide the scroll bars and move every header control.
TEST_F(LongSession, ResizesKeepTheObjectCount) {
    showFrame(kindText, 30, 0);
    const SIZE sizes[] = {{600, 400}, {900, 700}, {400, 250}, {544, 375}, {1000, 200}};
    int i = 0;
    auto resize = [&] {
        const SIZE s = sizes[i++ % 5];
        dialogHost::setClientSize(host, s.cx, s.cy);
        RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
    for (int n = 0; n < 10; ++n) resize();
    const Counts before = settledCounts(host);
    for (int n = 0; n < 100; ++n) resize();
    const Counts after = settledCounts(host);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
    report("100 resizes", before, after);
}

}  // namespace
