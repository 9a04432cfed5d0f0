// Windows-side checks of the frame: code page, the quiz record's GDI objects
// and the player's own resources.
#include <windows.h>

#include <gtest/gtest.h>

#include "quiz/quizGdiWin.h"
#include "resource.h"

namespace {

TEST(Platform, AnsiCodePageIsWindows1252) { EXPECT_EQ(GetACP(), 1252u); }

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
        {"background", quiz->backgroundBrush, 0x00965F5A}, {"wrong", quiz->wrongBrush, 0x000000FF},
        {"right", quiz->rightBrush, 0x0000FF00},           {"anagram", quiz->anagramBrush, 0x000064FF},
        {"hint", quiz->hintBrush, 0x0026CBFF},             {"prompt", quiz->promptBrush, 0x00C0FFFF},
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
    GdiHandle objects[] = {quiz->backgroundBrush, quiz->wrongBrush, quiz->rightBrush, quiz->anagramBrush,
                           quiz->hintBrush, quiz->promptBrush, quiz->titleFont, quiz->sheetFont, quiz->scoreFont};
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

TEST(Resources, IconsAndCursorLoad) {
    HINSTANCE self = GetModuleHandleA(nullptr);
    for (int id : {IDI_PLAY, IDI_STOP}) {
        HICON icon = static_cast<HICON>(LoadImageA(self, MAKEINTRESOURCEA(id), IMAGE_ICON, 32, 32, 0));
        ASSERT_NE(icon, nullptr) << id;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP mask{};
        GetObjectA(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, 32) << id;
        EXPECT_EQ(info.hbmColor == nullptr ? mask.bmHeight : mask.bmHeight * 2, 64) << "monochrome " << id;
        DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DestroyIcon(icon);
    }
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
