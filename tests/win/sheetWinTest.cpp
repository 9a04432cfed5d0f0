// The quiz sheet as real windows: the controls its build creates for each
// kind, scrolling with the platform's scroll bars, and the colours it hands
// out to its statics.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "answers/answerBoxWin.h"
#include "app/headerBarWin.h"
#include "dialogHost.h"
#include "media/mediaWin.h"
#include "pictures/pictureResourceWin.h"
#include "quiz/quizGdiWin.h"
#include "resource.h"
#include "sheet/sheetGeometry.h"
#include "sheet/sheetScrollWin.h"
#include "sheet/sheetWin.h"

namespace {

using dialogHost::ChildInfo;

class SheetTest : public dialogHost::HostedQuizTest {
protected:
    void TearDown() override {
        // Like teardown in the player: the media side destroys the main window.
        if (mediaPrepared_) {
            releaseMedia(currentQuiz, host);
            host = nullptr;
        }
        HostedQuizTest::TearDown();
    }

    void configure(int kind, int answers, int questions, int revealMode) {
        currentQuiz->kind = kind;
        if ((kind == kindAudio || kind == kindVideo) && !mediaPrepared_) {
            prepareMediaHosting(currentQuiz);
            mediaPrepared_ = true;
        }
        currentQuiz->answersPerQuestion = answers;
        currentQuiz->revealMode = revealMode;
        addQuestions(questions);
        for (int n = 1; n <= questions; ++n)
            copyText(questionAt(*currentQuiz, n)->comment, quizTextSize, ("comment " + std::to_string(n)).c_str());
    }

    HWND createSheet() {
        HWND sheet = createDialog(IDD_SHEET, sheetProc);
        EXPECT_NE(sheet, nullptr);
        return sheet;
    }

    // The controls of the rows, without the player host of the media kinds.
    static std::vector<ChildInfo> rowControls(HWND sheet) {
        std::vector<ChildInfo> rows;
        for (const ChildInfo& c : dialogHost::childrenOf(sheet))
            if (c.id != pictureControlIdBase) rows.push_back(c);
        return rows;
    }

    dialogHost::MessageBoxGuard messageBoxes_;

private:
    bool mediaPrepared_ = false;
};

// The edit control takes WS_BORDER out of its window style at creation and
// draws the border itself; every other style bit stays as created.
DWORD styleAfterCreation(const std::string& className, DWORD style) {
    return lstrcmpiA(className.c_str(), "Edit") == 0 ? style & ~WS_BORDER : style;
}

// The size the loader gives a picture of the test program, as the build sees it.
PictureSize realPictureSize(int resourceId) {
    HBITMAP bitmap = loadPictureResource(GetModuleHandleA(nullptr), resourceId, "IMG", 260, 260);
    if (!bitmap) return {};
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    DeleteObject(bitmap);
    return {true, static_cast<int>(info.bmWidth), static_cast<int>(info.bmHeight)};
}

HFONT expectedFont(SheetFontChoice choice) {
    switch (choice) {
        case SheetFontChoice::sheetFont: return asFont(currentQuiz->sheetFont);
        case SheetFontChoice::defaultGuiFont: return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        default: return nullptr;
    }
}

// ---------------------------------------------------------------------------
// The build walks the layout faithfully for every kind.

struct SheetCase {
    const char* name;
    int kind;
    int answers;
    int questions;
    int revealMode;
};

class SheetBuild : public SheetTest, public ::testing::WithParamInterface<SheetCase> {};

TEST_P(SheetBuild, CreatesEveryControlOfTheLayoutInOrder) {
    const SheetCase& c = GetParam();
    configure(c.kind, c.answers, c.questions, c.revealMode);
    HWND sheet = createSheet();
    ASSERT_NE(sheet, nullptr);

    const SheetLayout layout = layoutSheet(*currentQuiz, realPictureSize);
    EXPECT_EQ(contentWidth, layout.contentWidth);
    EXPECT_EQ(contentHeight, layout.contentHeight);

    std::vector<const ControlSpec*> created;
    for (const ControlSpec& spec : layout.controls)
        if (createsControl(spec.role)) created.push_back(&spec);
    const std::vector<ChildInfo> children = rowControls(sheet);
    ASSERT_EQ(children.size(), created.size());
    for (size_t i = 0; i < children.size(); ++i) {
        const ChildInfo& child = children[i];
        const ControlSpec& spec = *created[i];
        SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(spec.id));
        EXPECT_EQ(child.id, spec.id);
        EXPECT_EQ(lstrcmpiA(child.className.c_str(), spec.className.c_str()), 0) << child.className;
        EXPECT_EQ(child.style & ~WS_VISIBLE, styleAfterCreation(spec.className, spec.style) & ~WS_VISIBLE);
        EXPECT_EQ(child.visible, !spec.hiddenAfterCreate);
        EXPECT_EQ(child.rect.left, spec.x);
        EXPECT_EQ(child.rect.top, spec.y);
        EXPECT_EQ(child.rect.right - child.rect.left, spec.width);
        EXPECT_EQ(child.rect.bottom - child.rect.top, spec.height);
        EXPECT_EQ(child.text, spec.text);  // no progress file: the boxes start empty
        EXPECT_EQ(child.font, expectedFont(spec.font));
        EXPECT_EQ(GetWindowLongA(child.window, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY & ~WS_EX_CLIENTEDGE, 0);
        if (spec.role == ControlRole::playButton || spec.role == ControlRole::stopButton) {
            HICON icon = spec.role == ControlRole::playButton ? playIcon() : stopIcon();
            EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(child.window, BM_GETIMAGE, IMAGE_ICON, 0)), icon);
        }
        if (spec.role == ControlRole::answerBox) {
            EXPECT_EQ(GetWindowLongPtrA(child.window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(answerBoxProc));
        }
    }
}

const SheetCase sheetCases[] = {
    {"TextOneAnswer", kindText, 1, 4, 0},
    {"TextTwoAnswersStillOneBox", kindText, 2, 3, 2},
    {"PicturesOneAnswer", kindPictures, 1, 5, 0},
    {"PicturesTwoAnswersWithComments", kindPictures, 2, 4, 2},
    {"AudioOneAnswerWithComments", kindAudio, 1, 4, 3},
    {"AudioTwoAnswers", kindAudio, 2, 5, 0},
    {"VideoOneAnswer", kindVideo, 1, 3, 4},
    {"VideoTwoAnswers", kindVideo, 2, 2, 1},
    {"TextNoQuestions", kindText, 1, 0, 0},
    {"PicturesNoQuestionsTwoAnswers", kindPictures, 2, 0, 0},
    {"GridThreeAnswersShowsNoBoxes", kindAudio, 3, 2, 0},
    {"UnknownKindIsEmpty", 7, 1, 3, 0},
};

INSTANTIATE_TEST_SUITE_P(SheetKinds, SheetBuild, ::testing::ValuesIn(sheetCases),
                         [](const ::testing::TestParamInfo<SheetCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// Places worked out by hand for a few controls of each kind.

struct Spot {
    int id;
    int occurrence;  // shared ids (153, 156, 3000): which one, from 0
    const char* text;
    int x, y, w, h;
    DWORD style;
};

void expectSpots(HWND sheet, const std::vector<Spot>& spots) {
    const std::vector<ChildInfo> children = dialogHost::childrenOf(sheet);
    for (const Spot& s : spots) {
        SCOPED_TRACE("id " + std::to_string(s.id) + " #" + std::to_string(s.occurrence));
        const ChildInfo* found = nullptr;
        int seen = 0;
        for (const ChildInfo& c : children)
            if (c.id == s.id && seen++ == s.occurrence) found = &c;
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->text, s.text);
        EXPECT_EQ(found->rect.left, s.x);
        EXPECT_EQ(found->rect.top, s.y);
        EXPECT_EQ(found->rect.right - found->rect.left, s.w);
        EXPECT_EQ(found->rect.bottom - found->rect.top, s.h);
        EXPECT_EQ(found->style, styleAfterCreation(found->className, s.style));
    }
}

TEST_F(SheetTest, TextRowsByHand) {
    configure(kindText, 1, 3, 0);
    HWND sheet = createSheet();
    expectSpots(sheet, {
                           {153, 1, "2.", 26, 32, 19, 17, 0x50000002},
                           {3000, 1, "prompt 2", 50, 30, 550, 20, 0x50800201},
                           {4002, 0, "", 610, 30, 170, 20, 0x50810281},
                           {5002, 0, "?", 790, 30, 100, 20, 0x50800201},
                           {5003, 0, "?", 790, 55, 100, 20, 0x50800201},
                       });
    EXPECT_EQ(contentHeight, 80);
    EXPECT_EQ(contentWidth, 900);
}

TEST_F(SheetTest, AudioGridWithTwoAnswersByHand) {
    configure(kindAudio, 2, 4, 0);
    copyText(currentQuiz->answerCaption1, quizTextSize, "Titre");
    copyText(currentQuiz->answerCaption2, quizTextSize, "Artiste");
    HWND sheet = createSheet();
    expectSpots(sheet, {
                           {156, 0, "Titre", 4, 7, 95, 20, 0x50000000},
                           {156, 1, "Artiste", 3, 27, 95, 20, 0x50000000},
                           {153, 1, "2.", 368, 7, 27, 17, 0x50000002},
                           {4003, 0, "", 416, 5, 181, 20, 0x50810081},
                           {5003, 0, "?", 596, 5, 60, 20, 0x50800201},
                           {4004, 0, "", 416, 24, 181, 20, 0x50810081},
                           {5004, 0, "?", 596, 24, 60, 20, 0x50800201},
                           {6002, 0, "", 396, 5, 20, 20, 0x50010041},
                           {7002, 0, "", 396, 25, 20, 19, 0x50010041},
                           {156, 2, "Titre", 4, 67, 95, 20, 0x50000000},
                           {4007, 0, "", 126, 65, 181, 20, 0x50810081},
                       });
    EXPECT_EQ(contentHeight, 125);
    EXPECT_EQ(contentWidth, 970);
}

TEST_F(SheetTest, VideoGridWithCommentsByHand) {
    configure(kindVideo, 1, 1, 2);
    HWND sheet = createSheet();
    expectSpots(sheet, {
                           {153, 0, "1.", 18, 217, 27, 17, 0x50000002},
                           {4001, 0, "", 66, 215, 240, 20, 0x50810081},
                           {5001, 0, "?", 66, 234, 240, 20, 0x50800201},
                           {6001, 0, "", 46, 215, 20, 20, 0x50010041},
                           {7001, 0, "", 46, 235, 20, 19, 0x50010041},
                           {8001, 0, "comment 1", 46, 261, 260, 65, 0x40000001},  // hidden
                       });
    EXPECT_EQ(contentHeight, 355);
    EXPECT_EQ(contentWidth, 910);
}

TEST_F(SheetTest, PictureGridWithoutPicturesByHand) {
    configure(kindPictures, 1, 2, 0);
    HWND sheet = createSheet();
    expectSpots(sheet, {
                           {9901, 0, "", 46, 5, 260, 0, 0x5080020E},
                           {9902, 0, "", 336, 5, 260, 0, 0x5080020E},
                           {4001, 0, "", 46, 15, 260, 20, 0x50810081},
                           {5001, 0, "?", 46, 34, 260, 20, 0x50800201},
                           {153, 1, "2.", 308, 17, 27, 17, 0x50000002},
                       });
    EXPECT_EQ(contentHeight, 75);
    EXPECT_EQ(contentWidth, 910);
}

TEST_F(SheetTest, TabGoesThroughBoxesAndButtonsInCreationOrder) {
    configure(kindAudio, 1, 2, 0);
    HWND sheet = createSheet();
    const int expected[] = {4001, 6001, 7001, 4002, 6002, 7002, 4001};
    HWND at = GetDlgItem(sheet, expected[0]);
    for (size_t i = 1; i < sizeof expected / sizeof expected[0]; ++i) {
        at = GetNextDlgTabItem(sheet, at, FALSE);
        EXPECT_EQ(GetDlgCtrlID(at), expected[i]) << "step " << i;
    }
}

// ---------------------------------------------------------------------------
// What the build takes from the progress file, the judge and the pictures.

class SheetBuildInputs : public SheetTest {
protected:
    // The progress file of the test program, in the test's own folder.
    void writeProgress(const std::string& bytes) {
        std::ofstream out(workFile("win_tests.txt"), std::ios::binary);
        out << bytes;
    }

    static std::string textOf(HWND sheet, int id) {
        char text[300] = "";
        GetDlgItemTextA(sheet, id, text, sizeof text);
        return text;
    }
};

TEST_F(SheetBuildInputs, BoxesStartWithTheSavedLinesAndAreJudgedAtOnce) {
    configure(kindText, 1, 4, 0);
    writeProgress("answer 1\r\nnope\r\n\r\nanswer 4\r\n");
    HWND header = createDialog(IDD_HEADER, headerBarProc);
    currentQuiz->headerWindow = header;
    HWND sheet = createSheet();
    struct Row {
        int box;
        const char* text;
        const char* verdict;
    } rows[] = {{1, "answer 1", "BRAVO"}, {2, "nope", "FAUX"}, {3, "", "?"}, {4, "answer 4", "BRAVO"}};
    for (const Row& r : rows) {
        EXPECT_EQ(textOf(sheet, 4000 + r.box), r.text) << "box " << r.box;
        EXPECT_EQ(textOf(sheet, 5000 + r.box), r.verdict) << "box " << r.box;
    }
    // Judging during the build writes the score into the header bar.
    EXPECT_EQ(textOf(header, 32), " 2 / 4");
}

TEST_F(SheetBuildInputs, TwoAnswersTakeTheLinesInBoxOrder) {
    configure(kindAudio, 2, 2, 0);
    writeProgress("answer 1\r\nsecond 1\r\nx\r\nsecond 2\r\nleft over\r\n");
    HWND sheet = createSheet();
    const char* expected[] = {"answer 1", "second 1", "x", "second 2"};
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(textOf(sheet, 4000 + k), expected[k - 1]) << "box " << k;
    EXPECT_EQ(textOf(sheet, 5001), "BRAVO");
    EXPECT_EQ(textOf(sheet, 5002), "BRAVO");
    EXPECT_EQ(textOf(sheet, 5004), "BRAVO");
}

SIZE imageSize(HWND control) {
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info{};
    if (!bitmap || GetObjectA(bitmap, sizeof info, &info) != static_cast<int>(sizeof info)) return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

// The test program carries pictures for questions 61, 62 and 64 only; the
// twenty lines before them have none (ten pixels above their boxes, lines
// 70 apart), so question 61's line starts at 5 + 20 x 70.
TEST_F(SheetBuildInputs, PictureGroupsAreSizedByTheirTallestPicture) {
    configure(kindPictures, 1, 64, 0);
    HWND sheet = createSheet();
    struct Row {
        int n;
        int x, y, w, h;  // the picture control
        int imageW, imageH;
        int boxTop;
    } rows[] = {
        {61, 46, 1445, 260, 100, 260, 100, 1595},  // 40 lower than the line's tallest (180)
        {62, 336, 1405, 260, 180, 260, 180, 1595},
        {63, 626, 1495, 260, 0, 0, 0, 1595},        // absent: no height, centred on the line
        {64, 111, 1655, 130, 260, 130, 260, 1925},  // a tall picture is centred across
        {1, 46, 5, 260, 0, 0, 0, 15},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("question " + std::to_string(r.n));
        HWND picture = GetDlgItem(sheet, 9900 + r.n);
        ASSERT_NE(picture, nullptr);
        const RECT at = dialogHost::rectIn(sheet, picture);
        EXPECT_EQ(at.left, r.x);
        EXPECT_EQ(at.top, r.y);
        EXPECT_EQ(at.right - at.left, r.w);
        EXPECT_EQ(at.bottom - at.top, r.h);
        const SIZE image = imageSize(picture);
        EXPECT_EQ(image.cx, r.imageW);
        EXPECT_EQ(image.cy, r.imageH);
        EXPECT_EQ(dialogHost::rectIn(sheet, GetDlgItem(sheet, 4000 + r.n)).top, r.boxTop);
    }
    EXPECT_EQ(contentHeight, 1985);
}

TEST_F(SheetBuildInputs, ARestoredRightAnswerKeepsItsSolutionPicture) {
    configure(kindPictures, 1, 62, 1);
    std::string lines;
    for (int n = 1; n <= 62; ++n) lines += n == 61 ? "answer 61\r\n" : "\r\n";
    writeProgress(lines);
    HWND sheet = createSheet();
    EXPECT_EQ(textOf(sheet, 5061), "BRAVO");
    EXPECT_NE(currentQuiz->solutionShown[60], 0);
    // The solution (100 x 130, fitted to 200 x 260) stays in place of the
    // question's own picture; the control keeps the own picture's size.
    const SIZE image = imageSize(GetDlgItem(sheet, 9961));
    EXPECT_EQ(image.cx, 200);
    EXPECT_EQ(image.cy, 260);
    const RECT at = dialogHost::rectIn(sheet, GetDlgItem(sheet, 9961));
    EXPECT_EQ(at.bottom - at.top, 100);
    EXPECT_EQ(imageSize(GetDlgItem(sheet, 9962)).cy, 180);
}

// ---------------------------------------------------------------------------
// Scrolling.

class SheetScroll : public SheetTest {
protected:
    // A text sheet of 39 rows (980 pixels) whose content is then declared
    // `height` high, shown in a clientW x clientH client area.
    HWND scrolledSheet(int height, int clientW, int clientH) {
        configure(kindText, 1, 39, 0);
        HWND sheet = shownSheet();
        contentHeight = height;
        dialogHost::setClientSize(sheet, clientW, clientH);
        RECT client;
        GetClientRect(sheet, &client);
        EXPECT_EQ(client.right, clientW);
        EXPECT_EQ(client.bottom, clientH);
        return sheet;
    }

    // ScrollWindow moves the children only of a window that can be drawn,
    // as the sheet always is in the player.
    HWND shownSheet() {
        HWND sheet = createSheet();
        ShowWindow(host, SW_SHOWNOACTIVATE);
        ShowWindow(sheet, SW_SHOWNOACTIVATE);
        return sheet;
    }

    static int firstBoxTop(HWND sheet) { return dialogHost::rectIn(sheet, GetDlgItem(sheet, 4001)).top; }
    static int firstBoxLeft(HWND sheet) { return dialogHost::rectIn(sheet, GetDlgItem(sheet, 4001)).left; }
    static void vscroll(HWND sheet, int request) { SendMessageA(sheet, WM_VSCROLL, static_cast<WPARAM>(request), 0); }
};

TEST_F(SheetScroll, LineDownStepsAndStopsAtTheLastPage) {
    HWND sheet = scrolledSheet(1000, 500, 300);
    ASSERT_EQ(GetScrollPos(sheet, SB_VERT), 0);
    ASSERT_EQ(firstBoxTop(sheet), 5);
    struct Step {
        int position;
        int moved;
    } steps[] = {{310, 310}, {620, 310}, {700, 80}, {700, 0}};
    int top = firstBoxTop(sheet);
    for (const Step& s : steps) {
        vscroll(sheet, SB_LINEDOWN);
        EXPECT_EQ(GetScrollPos(sheet, SB_VERT), s.position);
        EXPECT_EQ(top - firstBoxTop(sheet), s.moved) << "to " << s.position;
        top = firstBoxTop(sheet);
    }
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(sheet, SB_VERT, &info));
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 998);
    EXPECT_EQ(info.nPage, 299u);
}

TEST_F(SheetScroll, RequestsMoveTheSheetAndItsChildren) {
    HWND sheet = scrolledSheet(1000, 500, 300);
    struct Step {
        const char* name;
        int request;
        int target;  // scrollTarget for 502
        int position;
    } steps[] = {
        {"own down 50", 500, 0, 50},
        {"own down 50 again", 500, 0, 100},
        {"own up 50", 501, 0, 50},
        {"page down", SB_PAGEDOWN, 0, 349},
        {"page up", SB_PAGEUP, 0, 50},
        {"line up clamps", SB_LINEUP, 0, 0},
        {"bottom", SB_BOTTOM, 0, 700},
        {"top", SB_TOP, 0, 0},
        {"target", 502, 333, 333},
        {"target below", 502, -50, 0},
        {"target above", 502, 5000, 700},
        {"up 50 from the end", 501, 0, 650},
        {"end scroll", SB_ENDSCROLL, 0, 650},
        {"thumb position", SB_THUMBPOSITION, 0, 650},
        {"unknown", 77, 0, 650},
    };
    for (const Step& s : steps) {
        scrollTarget = s.target;
        vscroll(sheet, s.request);
        EXPECT_EQ(GetScrollPos(sheet, SB_VERT), s.position) << s.name;
        EXPECT_EQ(firstBoxTop(sheet), 5 - s.position) << s.name;
    }
}

TEST_F(SheetScroll, HorizontalBarMovesByPixelsAndPages) {
    HWND sheet = scrolledSheet(1000, 500, 300);  // content 900 wide
    struct Step {
        int request;
        int position;
    } steps[] = {{SB_LINERIGHT, 1},   {SB_LINERIGHT, 2}, {SB_LINELEFT, 1}, {SB_PAGERIGHT, 400},
                 {SB_LINERIGHT, 400}, {SB_PAGELEFT, 0},  {SB_LINELEFT, 0}, {SB_RIGHT, 0}};
    for (const Step& s : steps) {
        SendMessageA(sheet, WM_HSCROLL, static_cast<WPARAM>(s.request), 0);
        EXPECT_EQ(GetScrollPos(sheet, SB_HORZ), s.position) << "request " << s.request;
        EXPECT_EQ(firstBoxLeft(sheet), 610 - s.position) << "request " << s.request;
    }
}

bool scrollBarDisabled(HWND window, LONG which) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetScrollBarInfo(window, which, &info));
    return (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) != 0;
}

TEST_F(SheetScroll, ContentThatFitsLeavesDisabledBarsAtZero) {
    configure(kindText, 1, 2, 0);  // 55 high, 900 wide
    HWND sheet = shownSheet();
    dialogHost::setClientSize(sheet, 1000, 300);
    EXPECT_TRUE(scrollBarDisabled(sheet, OBJID_VSCROLL));
    EXPECT_TRUE(scrollBarDisabled(sheet, OBJID_HSCROLL));
    EXPECT_TRUE(GetWindowLongA(sheet, GWL_STYLE) & WS_VSCROLL) << "shown, not hidden";
    for (int request : {SB_LINEDOWN, SB_PAGEDOWN, SB_BOTTOM, 500}) {
        vscroll(sheet, request);
        EXPECT_EQ(GetScrollPos(sheet, SB_VERT), 0) << request;
        EXPECT_EQ(firstBoxTop(sheet), 5) << request;
    }
    SendMessageA(sheet, WM_HSCROLL, SB_PAGERIGHT, 0);
    EXPECT_EQ(firstBoxLeft(sheet), 610);

    // A content that no longer fits enables the bar again.
    dialogHost::setClientSize(sheet, 1000, 40);
    EXPECT_FALSE(scrollBarDisabled(sheet, OBJID_VSCROLL));
}

TEST_F(SheetScroll, EnlargingAtTheBottomMovesTheChildrenDown) {
    HWND sheet = scrolledSheet(1000, 500, 300);
    vscroll(sheet, SB_BOTTOM);
    ASSERT_EQ(GetScrollPos(sheet, SB_VERT), 700);
    ASSERT_EQ(firstBoxTop(sheet), -695);
    dialogHost::setClientSize(sheet, 500, 400);
    EXPECT_EQ(GetScrollPos(sheet, SB_VERT), 600);
    EXPECT_EQ(firstBoxTop(sheet), -595);
    // Tall enough for everything: back to the top, bar disabled.
    dialogHost::setClientSize(sheet, 500, 1200);
    EXPECT_EQ(GetScrollPos(sheet, SB_VERT), 0);
    EXPECT_EQ(firstBoxTop(sheet), 5);
    EXPECT_TRUE(scrollBarDisabled(sheet, OBJID_VSCROLL));
}

TEST_F(SheetScroll, WheelPostsOneStepAndPassesTheMessageOn) {
    HWND sheet = scrolledSheet(1000, 500, 300);
    scrollTarget = 100;
    vscroll(sheet, 502);
    ASSERT_EQ(GetScrollPos(sheet, SB_VERT), 100);
    struct Notch {
        int amount;
        int position;
    } notches[] = {{-120, 150}, {120, 100}, {240, 100}, {-60, 100}, {0, 100}};
    for (const Notch& n : notches) {
        dialogHost::wheelMessagesSeen() = 0;
        SendMessageA(sheet, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(n.amount)), MAKELPARAM(10, 10));
        dialogHost::pumpMessages();
        EXPECT_EQ(GetScrollPos(sheet, SB_VERT), n.position) << "amount " << n.amount;
        EXPECT_EQ(dialogHost::wheelMessagesSeen(), 1) << "amount " << n.amount << " reaches the main window";
    }
}

// ---------------------------------------------------------------------------
// Colours.

COLORREF brushColour(INT_PTR brush) {
    LOGBRUSH info{};
    if (GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof info, &info) != static_cast<int>(sizeof info))
        return CLR_INVALID;
    return info.lbColor;
}

INT_PTR colourFor(HWND sheet, HWND control, HDC dc) {
    return sheetProc(sheet, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
}

TEST_F(SheetTest, VerdictLabelsAreColouredByTheirExactText) {
    configure(kindPictures, 2, 2, 2);
    HWND sheet = createSheet();
    HWND label = GetDlgItem(sheet, 5003);
    ASSERT_NE(label, nullptr);
    struct Case {
        const char* text;
        GdiHandle brush;
    } cases[] = {
        {"BRAVO", currentQuiz->rightBrush},
        {"FAUX", currentQuiz->wrongBrush},
        {"Anagramme", currentQuiz->anagramBrush},
        {"Trop long", currentQuiz->hintBrush},
        {"y a de l'id\xE9"
         "e",
         currentQuiz->hintBrush},
        {"bravo", currentQuiz->hintBrush},
        {"BRAVO ", currentQuiz->hintBrush},
        {"", currentQuiz->hintBrush},
        {"?", nullptr},
    };
    HDC dc = CreateCompatibleDC(nullptr);
    for (const Case& c : cases) {
        SetWindowTextA(label, c.text);
        EXPECT_EQ(colourFor(sheet, label, dc), reinterpret_cast<INT_PTR>(c.brush)) << '"' << c.text << '"';
    }
    DeleteDC(dc);
}

TEST_F(SheetTest, StaticsAreColouredByTheirId) {
    configure(kindAudio, 1, 2, 2);
    currentQuiz->colourRed = 200;
    HWND sheet = createSheet();
    struct Case {
        int id;
        GdiHandle brush;
    } cases[] = {
        {153, currentQuiz->backgroundBrush},
        {8001, currentQuiz->backgroundBrush},
        {8002, currentQuiz->backgroundBrush},
        {5001, nullptr},  // "?"
        {9900, nullptr},  // the player host, when there is one
    };
    HDC dc = CreateCompatibleDC(nullptr);
    for (const Case& c : cases) {
        HWND control = GetDlgItem(sheet, c.id);
        if (!control) continue;  // no player host without the player
        EXPECT_EQ(colourFor(sheet, control, dc), reinterpret_cast<INT_PTR>(c.brush)) << c.id;
    }
    EXPECT_EQ(sheetProc(sheet, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(sheet)),
              reinterpret_cast<INT_PTR>(currentQuiz->backgroundBrush));
    EXPECT_EQ(brushColour(sheetProc(sheet, WM_CTLCOLORDLG, 0, 0)), defaultBackgroundColour);
    DeleteDC(dc);
}

TEST_F(SheetTest, PromptsHaveTheirBrushAndStrangersNone) {
    configure(kindText, 1, 2, 0);
    HWND sheet = createSheet();
    HDC dc = CreateCompatibleDC(nullptr);
    HWND prompt = GetDlgItem(sheet, 3000);
    EXPECT_EQ(colourFor(sheet, prompt, dc), reinterpret_cast<INT_PTR>(currentQuiz->promptBrush));
    // Statics that are not the sheet's (or ids beyond the last box) keep the system colours.
    HWND stray = CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 1, 1, sheet,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(5003)), nullptr, nullptr);
    SetWindowTextA(stray, "BRAVO");
    EXPECT_EQ(colourFor(sheet, stray, dc), 0);
    DeleteDC(dc);
}

TEST_F(SheetTest, QuizColourLabelsGetBlackOrWhiteText) {
    struct Case {
        int red, green;
        COLORREF text;
    } cases[] = {
        {50, 69, 0x00FFFFFF}, {70, 69, 0x00000000},   {69, 69, 0x00FFFFFF},
        {0, 70, 0x00000000},  {255, 255, 0x00000000}, {0, 0, 0x00FFFFFF},
    };
    configure(kindPictures, 2, 1, 2);
    HWND sheet = createSheet();
    HDC dc = CreateCompatibleDC(nullptr);
    for (int id : {153, 156, 8001}) {
        HWND label = GetDlgItem(sheet, id);
        ASSERT_NE(label, nullptr) << id;
        for (const Case& c : cases) {
            currentQuiz->colourRed = static_cast<uint8_t>(c.red);
            currentQuiz->colourGreen = static_cast<uint8_t>(c.green);
            currentQuiz->colourBlue = 255;
            SetTextColor(dc, 0x00123456);
            SetBkMode(dc, OPAQUE);
            EXPECT_EQ(colourFor(sheet, label, dc), reinterpret_cast<INT_PTR>(currentQuiz->backgroundBrush));
            EXPECT_EQ(GetTextColor(dc), c.text) << "id " << id << " red " << c.red << " green " << c.green;
            EXPECT_EQ(GetBkMode(dc), TRANSPARENT) << id;
        }
    }
    DeleteDC(dc);
}

// Judging the text kind lays out one box per question whatever the quiz
// says; its verdict labels are coloured even when the count of answers per
// question is not 1.
TEST_F(SheetTest, TextVerdictLabelsAreColouredWhateverTheAnswerCount) {
    for (int answers : {0, 1, 2, 5}) {
        releaseQuestions(*currentQuiz);
        configure(kindText, answers, 3, 0);
        HWND sheet = createSheet();
        HWND label = GetDlgItem(sheet, 5003);
        ASSERT_NE(label, nullptr) << answers;
        SetWindowTextA(label, "BRAVO");
        HDC dc = CreateCompatibleDC(nullptr);
        EXPECT_EQ(colourFor(sheet, label, dc), reinterpret_cast<INT_PTR>(currentQuiz->rightBrush)) << answers;
        DeleteDC(dc);
        DestroyWindow(sheet);
    }
}

}  // namespace
