// Windows-side checks of the frame: code page, the quiz record's GDI objects
// and the player's own resources.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "quiz/quizGdiWin.h"
#include "resource.h"

namespace {

TEST(Platform, AnsiCodePageIsWindows1252) {
    EXPECT_EQ(GetACP(), 1252u);
}

COLORREF brushColour(GdiHandle brush) {
    LOGBRUSH info{};
    EXPECT_EQ(GetObjectA(static_cast<HGDIOBJ>(brush), sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.lbStyle, static_cast<UINT>(BS_SOLID));
    return info.lbColor;
}

LOGFONTA fontOf(GdiHandle font) {
    LOGFONTA info{};
    EXPECT_EQ(GetObjectA(static_cast<HGDIOBJ>(font), sizeof info, &info), static_cast<int>(sizeof info));
    return info;
}

TEST(QuizGdi, ConstructionMakesTheBrushesAndFonts) {
    Quiz* quiz = createQuiz();
    ASSERT_NE(quiz, nullptr);
    struct Row {
        const char* name;
        GdiHandle brush;
        COLORREF colour;
    } rows[] = {
        {"background", quiz->backgroundBrush, 0x00965F5A},
        {"wrong", quiz->wrongBrush, 0x000000FF},
        {"right", quiz->rightBrush, 0x0000FF00},
        {"anagram", quiz->anagramBrush, 0x000064FF},
        {"hint", quiz->hintBrush, 0x0026CBFF},
        {"prompt", quiz->promptBrush, 0x00C0FFFF},
    };
    for (const Row& r : rows) EXPECT_EQ(brushColour(r.brush), r.colour) << r.name;

    LOGFONTA score = fontOf(quiz->scoreFont);
    EXPECT_EQ(score.lfHeight, 25);
    EXPECT_EQ(score.lfWeight, 400);
    EXPECT_STREQ(score.lfFaceName, "Arial");
    LOGFONTA title = fontOf(quiz->titleFont);
    EXPECT_EQ(title.lfHeight, -15);
    EXPECT_EQ(title.lfWeight, 700);
    EXPECT_EQ(title.lfItalic, 1);
    EXPECT_STREQ(title.lfFaceName, "");
    EXPECT_EQ(quiz->sheetFont, nullptr);

    createSheetFont(quiz);
    LOGFONTA sheet = fontOf(quiz->sheetFont);
    EXPECT_EQ(sheet.lfHeight, 15);
    EXPECT_EQ(sheet.lfWeight, 100);
    EXPECT_EQ(sheet.lfUnderline, 0);
    destroyQuiz(quiz);
}

TEST(QuizGdi, DestructionDeletesEveryObject) {
    Quiz* quiz = createQuiz();
    createSheetFont(quiz);
    appendQuestion(*quiz, "a", "", "");
    GdiHandle objects[] = {quiz->backgroundBrush, quiz->wrongBrush, quiz->rightBrush,
                           quiz->anagramBrush,    quiz->hintBrush,  quiz->promptBrush,
                           quiz->titleFont,       quiz->sheetFont,  quiz->scoreFont};
    destroyQuiz(quiz);
    for (GdiHandle h : objects) EXPECT_EQ(GetObjectType(static_cast<HGDIOBJ>(h)), 0u);
}

TEST(Resources, DialogTemplatesHaveTheirStyles) {
    struct Row {
        int id;
        DWORD style;
    } rows[] = {{IDD_SHEET, 0x40B00040}, {IDD_HEADER, 0x40800040}};
    for (const Row& r : rows) {
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(r.id), MAKEINTRESOURCEA(5));
        ASSERT_NE(found, nullptr) << r.id;
        const DLGTEMPLATE* tmpl = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(nullptr, found)));
        ASSERT_NE(tmpl, nullptr);
        EXPECT_EQ(tmpl->style, r.style) << r.id;
        EXPECT_EQ(tmpl->dwExtendedStyle, 0u) << r.id;
        EXPECT_EQ(tmpl->cdit, 0) << r.id;
        EXPECT_EQ(tmpl->cx, 86) << r.id;
        EXPECT_EQ(tmpl->cy, 100) << r.id;
    }
}

#pragma pack(push, 2)
struct IconDirectoryEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct IconDirectory {
    WORD reserved, type, count;
    IconDirectoryEntry entries[1];
};
#pragma pack(pop)

const void* resourceData(LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(nullptr, name, type);
    return found ? LockResource(LoadResource(nullptr, found)) : nullptr;
}

bool isLightGrey(COLORREF c) {
    return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c) && GetRValue(c) >= 128 && GetRValue(c) < 255;
}

// The icon as drawn over magenta, so any transparent pixel would show; one
// COLORREF-like 0x00RRGGBB value per pixel, rows top down.
std::vector<COLORREF> drawnPixels(HICON icon) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 32;
    info.bmiHeader.biHeight = -32;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<COLORREF> pixels;
    if (canvas && bits) {
        HGDIOBJ old = SelectObject(dc, canvas);
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        RECT all = {0, 0, 32, 32};
        FillRect(dc, &all, magenta);
        DeleteObject(magenta);
        DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
        GdiFlush();
        const DWORD* p = static_cast<const DWORD*>(bits);
        for (int i = 0; i < 32 * 32; ++i) pixels.push_back(p[i] & 0x00FFFFFF);  // 0x00RRGGBB
        SelectObject(dc, old);
        DeleteObject(canvas);
    }
    DeleteDC(dc);
    return pixels;
}

struct BlackRun {
    int first = -1, last = -1, count = 0;  // black pixels along one row or column
    bool contiguous() const { return count == 0 || last - first + 1 == count; }
};

// Rows and columns of black pixels; false when a pixel is neither black nor light grey.
bool blackRuns(const std::vector<COLORREF>& pixels, BlackRun rows[32], BlackRun columns[32], std::string& why) {
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const DWORD rgb = pixels[y * 32 + x];
            const COLORREF c = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
            if (c != 0 && !isLightGrey(c)) {
                why = "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is neither black nor light grey";
                return false;
            }
            if (c != 0) continue;
            for (BlackRun* r : {&rows[y], &columns[x]}) {
                const int at = r == &rows[y] ? x : y;
                if (r->first < 0) r->first = at;
                r->last = at;
                ++r->count;
            }
        }
    }
    return true;
}

// A black triangle with its flat side on the left and its point on the
// right: every column one vertical run about the same middle, the runs
// shrinking from left to right, every row starting on the left edge.
std::string playShapeProblem(const BlackRun rows[32], const BlackRun columns[32]) {
    int left = -1, right = -1;
    for (int x = 0; x < 32; ++x) {
        if (columns[x].count == 0) continue;
        if (left < 0) left = x;
        right = x;
    }
    if (left < 0) return "no black pixel";
    const int middleTwice = columns[left].first + columns[left].last;
    for (int x = left; x <= right; ++x) {
        const BlackRun& c = columns[x];
        if (c.count == 0 || !c.contiguous()) return "column " + std::to_string(x) + " is not one run";
        if (c.first + c.last != middleTwice) return "column " + std::to_string(x) + " is off the middle";
        if (x > left && c.count > columns[x - 1].count) return "column " + std::to_string(x) + " grows to the right";
    }
    if (columns[left].count < 3 * columns[right].count) return "no point on the right";
    if (right - left < 8) return "too small";
    for (int y = 0; y < 32; ++y) {
        if (rows[y].count == 0) continue;
        if (!rows[y].contiguous() || rows[y].first != left) return "row " + std::to_string(y) + " leaves the left edge";
    }
    return "";
}

// A filled black square, about the middle of the icon.
std::string stopShapeProblem(const BlackRun rows[32], const BlackRun columns[32]) {
    int top = -1, bottom = -1, left = 32, right = -1, black = 0;
    for (int y = 0; y < 32; ++y) {
        if (rows[y].count == 0) continue;
        if (top < 0) top = y;
        bottom = y;
        left = std::min(left, rows[y].first);
        right = std::max(right, rows[y].last);
        black += rows[y].count;
    }
    (void)columns;
    if (top < 0) return "no black pixel";
    const int width = right - left + 1, height = bottom - top + 1;
    if (width != height) return "not square: " + std::to_string(width) + " x " + std::to_string(height);
    if (black != width * height) return "not filled";
    if (width < 8) return "too small";
    if (std::abs(left - (31 - right)) > 1 || std::abs(top - (31 - bottom)) > 1) return "off centre";
    return "";
}

TEST(Resources, PlayAndStopIconsAreMonochromeTriangleAndSquare) {
    HINSTANCE self = GetModuleHandleA(nullptr);
    struct Row {
        const char* name;
        int id;
        std::string (*shapeProblem)(const BlackRun[32], const BlackRun[32]);
    } rows[] = {{"play", IDI_PLAY, playShapeProblem}, {"stop", IDI_STOP, stopShapeProblem}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        // As stored: one 32 x 32 image of one bit per pixel, black and a light grey.
        const IconDirectory* group =
            static_cast<const IconDirectory*>(resourceData(MAKEINTRESOURCEA(r.id), RT_GROUP_ICON));
        ASSERT_NE(group, nullptr);
        ASSERT_EQ(group->count, 1);
        const IconDirectoryEntry& entry = group->entries[0];
        EXPECT_EQ(entry.width, 32);
        EXPECT_EQ(entry.height, 32);
        EXPECT_EQ(entry.bitCount, 1);
        EXPECT_EQ(entry.colourCount, 2);
        const BITMAPINFO* image = static_cast<const BITMAPINFO*>(resourceData(MAKEINTRESOURCEA(entry.id), RT_ICON));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->bmiHeader.biBitCount, 1);
        EXPECT_EQ(image->bmiHeader.biWidth, 32);
        EXPECT_EQ(image->bmiHeader.biHeight, 64);  // colour bits and mask
        COLORREF palette[2];
        for (int i = 0; i < 2; ++i) {
            const RGBQUAD& q = image->bmiColors[i];
            palette[i] = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
        }
        EXPECT_TRUE((palette[0] == 0 && isLightGrey(palette[1])) || (palette[1] == 0 && isLightGrey(palette[0])))
            << std::hex << palette[0] << " " << palette[1];

        // As loaded and drawn: opaque, and the shape its button needs.
        HICON icon = static_cast<HICON>(LoadImageA(self, MAKEINTRESOURCEA(r.id), IMAGE_ICON, 32, 32, 0));
        ASSERT_NE(icon, nullptr);
        const std::vector<COLORREF> pixels = drawnPixels(icon);
        DestroyIcon(icon);
        ASSERT_EQ(pixels.size(), 32u * 32u);
        BlackRun rowsRun[32], columnsRun[32];
        std::string why;
        ASSERT_TRUE(blackRuns(pixels, rowsRun, columnsRun, why)) << why;
        EXPECT_EQ(r.shapeProblem(rowsRun, columnsRun), "");
    }
}

TEST(Resources, CursorAndFileIconLoad) {
    HINSTANCE self = GetModuleHandleA(nullptr);
    HCURSOR hand = LoadCursorA(self, MAKEINTRESOURCEA(IDC_LINK_CURSOR));
    ASSERT_NE(hand, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 6u);
    EXPECT_EQ(info.yHotspot, 0u);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    EXPECT_NE(LoadIconA(self, "A"), nullptr);
}

}  // namespace
