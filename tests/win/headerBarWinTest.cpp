// The header bar as real windows: its controls, their fonts, the layout on a
// size change and the colours it hands out.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/headerBarWin.h"
#include "app/headerLayout.h"
#include "dialogHost.h"
#include "quiz/quizGdiWin.h"
#include "resource.h"
#include "sheet/sheetWin.h"

namespace {

using dialogHost::ChildInfo;

class HeaderBar : public dialogHost::HostedQuizTest {
protected:
    HWND createBar() {
        HWND bar = createDialog(IDD_HEADER, headerBarProc);
        EXPECT_NE(bar, nullptr);
        return bar;
    }
};

LOGFONTA fontInfo(HFONT font) {
    LOGFONTA info{};
    EXPECT_EQ(GetObjectA(font, sizeof info, &info), static_cast<int>(sizeof info));
    return info;
}

TEST_F(HeaderBar, CreatesItsTwelveControlsInOrder) {
    copyText(currentQuiz->title, quizTextSize, "Capitales d'Europe");
    copyText(currentQuiz->author, quizTextSize,
             "Ren\xE9"
             "e");
    copyText(currentQuiz->explanations, quizTextSize, "Une capitale par case.");
    currentQuiz->questionCount = 12;
    HWND bar = createBar();
    HFONT gui = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HFONT title = asFont(currentQuiz->titleFont);
    HFONT score = asFont(currentQuiz->scoreFont);
    struct Expected {
        int id;
        const char* cls;
        const char* text;
        DWORD style;
        int x, y, w, h;
        HFONT font;  // checked separately for the link
    } expected[] = {
        {24, "Static", "", 0x50000100, 736, 5, 115, 18, nullptr},
        {25, "Static", "Par :", 0x50000000, 736, 25, 27, 18, gui},
        {26, "Static",
         "Ren\xE9"
         "e",
         0x50000000, 763, 25, 85, 18, gui},
        {27, "Button", "Sauver", 0x50000000, 666, 25, 55, 18, gui},
        {28, "Static", "Une capitale par case.", 0x50000000, 110, 19, 490, 27, gui},
        {29, "Static", "Capitales d'Europe", 0x50000000, 110, 3, 260, 18, title},
        {31, "Static", " Code :", 0x50000000, 7, 29, 36, 15, gui},
        {32, "Static", " 0 / 12", 0x50000001, 10, 1, 80, 20, score},
        {30, "Edit", "", 0x50000800, 44, 29, 53, 16, gui},
        {120, "Static", "", 0x50800000, 0, 26, 100, 1, nullptr},
        {121, "Static", "", 0x50800000, 100, 0, 1, 50, nullptr},
        {122, "Static", "", 0x50800000, 730, 0, 1, 50, nullptr},
    };
    const std::vector<ChildInfo> children = dialogHost::childrenOf(bar);
    ASSERT_EQ(children.size(), 12u);
    for (size_t i = 0; i < children.size(); ++i) {
        const ChildInfo& c = children[i];
        const Expected& e = expected[i];
        SCOPED_TRACE("control " + std::to_string(e.id));
        EXPECT_EQ(c.id, e.id);
        EXPECT_EQ(lstrcmpiA(c.className.c_str(), e.cls), 0) << c.className;
        EXPECT_EQ(c.text, e.text);
        EXPECT_EQ(c.style, e.style);
        EXPECT_EQ(c.rect.left, e.x);
        EXPECT_EQ(c.rect.top, e.y);
        EXPECT_EQ(c.rect.right - c.rect.left, e.w);
        EXPECT_EQ(c.rect.bottom - c.rect.top, e.h);
        EXPECT_EQ(GetWindowLongA(c.window, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY & ~WS_EX_CLIENTEDGE, 0);
        if (e.id != headerLinkId) {
            EXPECT_EQ(c.font, e.font);
        }
    }
}

TEST_F(HeaderBar, ScoreStartsAtZeroOfTheQuestionCount) {
    for (int count : {0, 1, 96}) {
        currentQuiz->questionCount = count;
        HWND bar = createBar();
        char text[64] = "";
        GetDlgItemTextA(bar, headerScoreId, text, sizeof text);
        EXPECT_EQ(std::string(text), " 0 / " + std::to_string(count));
        GetDlgItemTextA(bar, headerRewardCodeId, text, sizeof text);
        EXPECT_STREQ(text, "") << count;
        DestroyWindow(bar);
    }
}

TEST_F(HeaderBar, LinkGetsAnUnderlinedFontAndTheHandCursor) {
    HWND bar = createBar();
    HWND link = GetDlgItem(bar, headerLinkId);
    LOGFONTA font = fontInfo(reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0)));
    EXPECT_EQ(font.lfHeight, -13);
    EXPECT_EQ(font.lfWeight, 400);
    EXPECT_EQ(font.lfUnderline, 1);
    EXPECT_EQ(font.lfItalic, 0);
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfCharSet, 0);
    EXPECT_STREQ(font.lfFaceName, "");
    HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_CURSOR));
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(link, GCLP_HCURSOR)), hand);
    // The class is shared: every static shows the hand from now on.
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(GetDlgItem(bar, 25), GCLP_HCURSOR)), hand);
}

// The address is drawn in one piece: a static would break an over-long one
// at its slashes and show only the first piece.
TEST_F(HeaderBar, LinkTextFitsItsControl) {
    struct Case {
        const char* address;
        const char* begins;  // what the reader recognises
    } cases[] = {{"https://ecole.example.fr", "ecole.example.fr"},
                 {"https://www.ecole-elementaire-jules-ferry.example.fr/cm2/", "ecole-elem"}};
    for (const Case& c : cases) {
        copyText(currentQuiz->link, quizTextSize, c.address);
        HWND bar = createBar();
        HWND link = GetDlgItem(bar, headerLinkId);
        char shown[quizTextSize] = "";
        GetWindowTextA(link, shown, sizeof shown);
        RECT client;
        GetClientRect(link, &client);
        HDC dc = GetDC(link);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0)));
        SIZE extent{};
        GetTextExtentPoint32A(dc, shown, lstrlenA(shown), &extent);
        SelectObject(dc, old);
        ReleaseDC(link, dc);
        EXPECT_LE(extent.cx, client.right) << shown;
        EXPECT_LE(extent.cy, client.bottom) << shown;
        EXPECT_EQ(std::string(shown).rfind(c.begins, 0), 0u) << shown;
        DestroyWindow(bar);
    }
}

TEST_F(HeaderBar, LinkFontHeightComesFromTheClientHeight) {
    struct Case {
        int height;
        DWORD style;
        int fontHeight;
    } cases[] = {
        {18, 0, -13}, {20, 0, -15},         {40, 0, -30},
        {1, 0, 0},    {20, WS_BORDER, -13},  // a bordered control loses two pixels of client height
    };
    for (const Case& c : cases) {
        HWND control = CreateWindowExA(0, "Static", "x", WS_CHILD | c.style, 0, 0, 100, c.height, host, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
        HFONT made = applyLinkStyle(control);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), made);
        EXPECT_EQ(fontInfo(made).lfHeight, c.fontHeight) << "height " << c.height << " style " << c.style;
        DestroyWindow(control);
        DeleteObject(made);
    }
}

TEST_F(HeaderBar, SizeKeepsTheRightCornerAnchored) {
    HWND bar = createBar();
    struct Case {
        int width;
        int id;
        int x, y, w, h;
    } cases[] = {
        {600, 24, 466, 0, 115, 18},
        {600, 25, 466, 25, 26, 18},
        {600, 26, 493, 25, 105, 18},
        {600, 27, 396, 25, 55, 18},
        {600, 28, 110, 19, 276, 28},
        {600, 122, 455, 0, 1, 50},
        {700, 24, 566, 0, 115, 18},
        {700, 26, 593, 25, 105, 18},
        {700, 28, 110, 19, 376, 28},
        {700, 122, 555, 0, 1, 50},
        // Controls that do not follow the edge keep their creation places.
        {700, 29, 110, 3, 260, 18},
        {700, 32, 10, 1, 80, 20},
        {700, 121, 100, 0, 1, 50},
    };
    for (const Case& c : cases) {
        dialogHost::setClientSize(bar, c.width, 49);
        RECT client;
        GetClientRect(bar, &client);
        ASSERT_EQ(client.right, c.width);
        const RECT r = dialogHost::rectIn(bar, GetDlgItem(bar, c.id));
        SCOPED_TRACE("width " + std::to_string(c.width) + " control " + std::to_string(c.id));
        EXPECT_EQ(r.left, c.x);
        EXPECT_EQ(r.top, c.y);
        EXPECT_EQ(r.right - r.left, c.w);
        EXPECT_EQ(r.bottom - r.top, c.h);
    }
    // Moving does not reshuffle the paint order of the overlapping statics.
    const int order[] = {24, 25, 26, 27, 28, 29, 31, 32, 30, 120, 121, 122};
    const std::vector<ChildInfo> children = dialogHost::childrenOf(bar);
    ASSERT_EQ(children.size(), 12u);
    for (size_t i = 0; i < children.size(); ++i) EXPECT_EQ(children[i].id, order[i]) << "position " << i;
}

COLORREF brushColour(HBRUSH brush) {
    LOGBRUSH info{};
    if (GetObjectA(brush, sizeof info, &info) != static_cast<int>(sizeof info)) return CLR_INVALID;
    return info.lbColor;
}

TEST_F(HeaderBar, ColoursItsStaticsOnTheHeaderBrush) {
    HWND bar = createBar();
    HBRUSH dialogBrush = reinterpret_cast<HBRUSH>(headerBarProc(bar, WM_CTLCOLORDLG, 0, 0));
    ASSERT_NE(dialogBrush, nullptr);
    EXPECT_EQ(brushColour(dialogBrush), 0x00FF8080u);

    struct Case {
        int id;
        bool coloured;
        COLORREF text;  // CLR_INVALID: left as it was
    } cases[] = {
        {24, true, 0x00FF3232},    {25, true, CLR_INVALID},   {26, true, CLR_INVALID},   {28, true, CLR_INVALID},
        {29, true, CLR_INVALID},   {30, true, CLR_INVALID},   {31, true, CLR_INVALID},   {32, true, CLR_INVALID},
        {120, false, CLR_INVALID}, {121, false, CLR_INVALID}, {122, false, CLR_INVALID},
    };
    HDC dc = CreateCompatibleDC(nullptr);
    for (const Case& c : cases) {
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, 0x00123456);
        const INT_PTR result = headerBarProc(bar, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                             reinterpret_cast<LPARAM>(GetDlgItem(bar, c.id)));
        SCOPED_TRACE("control " + std::to_string(c.id));
        if (!c.coloured) {
            EXPECT_EQ(result, FALSE);
            EXPECT_EQ(GetBkMode(dc), OPAQUE);
            continue;
        }
        EXPECT_EQ(reinterpret_cast<HBRUSH>(result), dialogBrush);
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
        EXPECT_EQ(GetTextColor(dc), c.text == CLR_INVALID ? 0x00123456u : c.text);
    }
    DeleteDC(dc);

    DestroyWindow(bar);
    EXPECT_EQ(GetObjectType(dialogBrush), 0u) << "the header brush dies with the bar";
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

struct ShellCall {
    HWND owner;
    std::string verb, file;
    bool noParameters, noDirectory;
    INT show;
};
std::vector<ShellCall> shellCalls;

HINSTANCE WINAPI recordShellCall(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT show) {
    shellCalls.push_back(
        {owner, verb ? verb : "<null>", file ? file : "<null>", parameters == nullptr, directory == nullptr, show});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));  // above 32: done
}

TEST_F(HeaderBar, OnlyAClickOnTheLinkOpensTheQuizsAddress) {
    const char* const address = "https://ecole.example.fr/cm2";
    copyText(currentQuiz->link, quizTextSize, address);
    HWND bar = createBar();
    char shown[128] = "";
    GetDlgItemTextA(bar, headerLinkId, shown, sizeof shown);
    EXPECT_STREQ(shown, "ecole.example.fr");  // the site, as the whole address is too wide
    struct Case {
        const char* name;
        WPARAM wParam;
        bool opens;
    } cases[] = {
        {"click on the link", static_cast<WPARAM>(headerLinkId), true},
        {"double click on the link", MAKEWPARAM(headerLinkId, STN_DBLCLK), false},
        {"another control", 25, false},
        {"Sauver", static_cast<WPARAM>(headerSaveButtonId), false},
    };
    struct Restore {
        ~Restore() { headerShellExecute = ShellExecuteA; }
    } restore;
    headerShellExecute = recordShellCall;
    for (const Case& c : cases) {
        shellCalls.clear();
        SendMessageA(bar, WM_COMMAND, c.wParam, 0);
        SCOPED_TRACE(c.name);
        ASSERT_EQ(shellCalls.size(), c.opens ? 1u : 0u);
        if (!c.opens) continue;
        const ShellCall& call = shellCalls[0];
        EXPECT_EQ(call.owner, nullptr);
        EXPECT_EQ(call.verb, "open");
        EXPECT_EQ(call.file, address);
        EXPECT_TRUE(call.noParameters);
        EXPECT_TRUE(call.noDirectory);
        EXPECT_EQ(call.show, SW_SHOWNORMAL);
    }
}

TEST_F(HeaderBar, WithoutAnAddressTheLinkShowsAndOpensNothing) {
    HWND bar = createBar();
    char shown[128] = "x";
    GetDlgItemTextA(bar, headerLinkId, shown, sizeof shown);
    EXPECT_STREQ(shown, "");
    struct Restore {
        ~Restore() { headerShellExecute = ShellExecuteA; }
    } restore;
    headerShellExecute = recordShellCall;
    shellCalls.clear();
    SendMessageA(bar, WM_COMMAND, static_cast<WPARAM>(headerLinkId), 0);
    EXPECT_TRUE(shellCalls.empty());
}

TEST_F(HeaderBar, SauverSavesEveryAnswerBox) {
    addQuestions(3);
    HWND bar = createBar();
    currentQuiz->headerWindow = bar;
    HWND sheet = createDialog(IDD_SHEET, sheetProc);
    ASSERT_NE(sheet, nullptr);
    currentQuiz->sheetWindow = sheet;
    SetDlgItemTextA(sheet, 4001, "Paris");
    SetDlgItemTextA(sheet, 4003, "Rome");

    // Any other notification of the button (its high word) saves nothing.
    SendMessageA(bar, WM_COMMAND, MAKEWPARAM(headerSaveButtonId, BN_SETFOCUS), 0);
    EXPECT_EQ(GetFileAttributesA(workFile("win_tests.txt").c_str()), INVALID_FILE_ATTRIBUTES);

    SendMessageA(bar, WM_COMMAND, headerSaveButtonId, 0);
    EXPECT_EQ(fileBytes(workFile("win_tests.txt")), "Paris\r\n\r\nRome\r\n");
}

}  // namespace
