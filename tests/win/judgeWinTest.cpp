// Judging on real controls: verdict labels, reveals, score and reward code,
// and the answer boxes' keys and focus handling.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "answerSheetWin.h"
#include "answers/answerBoxWin.h"
#include "answers/judgeWin.h"
#include "answers/verdict.h"

namespace {

const std::vector<QuestionSpec> capitals = {
    {"Paris", "Rome", "Comment 1"},
    {"Oslo", "Lima", "Comment 2"},
    {"Bern", "Kiev", "Comment 3"},
};

SheetSpec gridSheet(int revealMode, int answersPerQuestion, std::vector<QuestionSpec> questions = capitals) {
    SheetSpec spec;
    spec.kind = kindAudio;
    spec.answersPerQuestion = answersPerQuestion;
    spec.revealMode = revealMode;
    spec.questions = std::move(questions);
    return spec;
}

std::string comments(const AnswerSheet& sheet) {
    std::string shown;
    for (int n = 1; n <= sheet.quiz.questionCount; ++n) shown += sheet.commentShown(n) ? 'S' : '-';
    return shown;
}

TEST(JudgeVerdict, WritesTheVerdictForTheTypedText) {
    struct Row {
        const char* accepted;
        const char* typed;
        const char* verdict;
    } rows[] = {
        {"oui", "ou", verdictWrong},
        {"oui", "OUI", verdictRight},
        {"Paris", "  paris ", verdictRight},
        {"Paris", "pari", verdictOneEdit},
        {"Paris", "Prais", verdictAnagram},
        {"Paris", "Paris France", verdictTooLong},
        {"Leonard de Vinci", "Leonard de Vin", verdictTwoEdits},
        {"Leonard de Vinci", "Leonard de V", verdictTooShort},
        {"Leonard de Vinci", "Leonard de", verdictNotFar},
        {"Christophe Colomb", "Christofe Kolomb", verdictClose},
        {"Marseille", "Marse", verdictWrong},
    };
    for (const Row& r : rows) {
        AnswerSheet sheet(gridSheet(0, 1, {{r.accepted, "", ""}}));
        sheet.type(1, r.typed);
        EXPECT_EQ(sheet.verdict(1), r.verdict) << r.accepted << " / " << r.typed;
        EXPECT_EQ(sheet.text(1), r.typed) << "the box keeps what was typed";
    }
}

// The header is rewritten only when a verdict label changes, so an unchanged
// marker shows that nothing after the comparison ran.
TEST(JudgeVerdict, LabelAndScoreChangeOnlyWithTheVerdict) {
    AnswerSheet sheet(gridSheet(0, 1));
    struct Step {
        const char* typed;
        const char* verdict;
        const char* score;  // null: the header keeps the marker
    } steps[] = {
        {"", "?", nullptr},            // an empty box beside "?" changes nothing
        {"Paris", "BRAVO", " 1 / 3"},  // a change updates the score
        {"paris", "BRAVO", nullptr},   // another text, same verdict
        {"pari", "Quasiment", " 0 / 3"},
        {"pari", "Quasiment", nullptr},
        {"", "?", " 0 / 3"},
    };
    for (const Step& s : steps) {
        sheet.markHeader();
        sheet.type(1, s.typed);
        EXPECT_EQ(sheet.verdict(1), s.verdict) << "'" << s.typed << "'";
        if (s.score) {
            EXPECT_EQ(sheet.score(), s.score) << "'" << s.typed << "'";
        } else {
            EXPECT_TRUE(sheet.headerMarked()) << "'" << s.typed << "' must not update the score";
        }
    }
}

TEST(JudgeScore, CountsFullyAnsweredQuestionsAndShowsTheirCode) {
    AnswerSheet sheet(gridSheet(0, 2));
    struct Step {
        int box;
        const char* typed;
        const char* score;
        const char* reward;
    } steps[] = {
        {1, "Paris", " 0 / 3", "      "},  // half a question counts nothing
        {2, "Rome", " 1 / 3", "CODE1"},   {3, "Oslo", " 1 / 3", "CODE1"}, {4, "Lima", " 2 / 3", "CODE2"},
        {5, "Bern", " 2 / 3", "CODE2"},   {6, "Kiev", " 3 / 3", "CODE3"}, {1, "Pariss", " 2 / 3", "CODE2"},
    };
    for (const Step& s : steps) {
        sheet.type(s.box, s.typed);
        EXPECT_EQ(sheet.score(), s.score) << "box " << s.box << " " << s.typed;
        EXPECT_EQ(sheet.reward(), s.reward) << "box " << s.box << " " << s.typed;
    }
}

TEST(JudgeScore, ScoreAboveTheLastCodeShowsNoCode) {
    std::vector<QuestionSpec> many(97, QuestionSpec{"yes", "", ""});
    AnswerSheet sheet(gridSheet(0, 1, many));
    for (int k = 1; k <= 96; ++k) sheet.type(k, "yes");
    EXPECT_EQ(sheet.score(), " 96 / 97");
    EXPECT_EQ(sheet.reward(), "CODE96");
    sheet.type(97, "yes");
    EXPECT_EQ(sheet.score(), " 97 / 97");
    EXPECT_EQ(sheet.reward(), "");
}

// Comment visibility after each judged box, with two answers per question.
TEST(JudgeReveal, CommentsFollowTheRevealMode) {
    struct Step {
        int box;
        const char* typed;
        const char* shown;  // per question: S shown, - hidden
    };
    struct Row {
        const char* name;
        int mode;
        std::vector<Step> steps;
    } rows[] = {
        {"mode 2, second box last",
         2,
         {{1, "Paris", "---"}, {2, "Rome", "S--"}, {1, "Pari", "---"}, {1, "Paris", "S--"}, {2, "", "---"}}},
        {"mode 2, first box last", 2, {{2, "rome", "---"}, {1, " paris", "S--"}, {3, "Oslo", "S--"}}},
        {"mode 3", 3, {{3, "Oslo", "---"}, {4, "Lima", "-S-"}, {4, "Limaa", "---"}}},
        {"mode 0", 0, {{1, "Paris", "---"}, {2, "Rome", "---"}}},
        {"mode 1", 1, {{1, "Paris", "---"}, {2, "Rome", "---"}}},
        {"mode 4",
         4,
         {{1, "Paris", "---"},
          {2, "Rome", "---"},
          {3, "Oslo", "---"},
          {4, "Lima", "---"},
          {5, "Bern", "---"},
          {6, "Kiev", "SSS"},
          {3, "Osl", "S-S"},  // only the question that went wrong hides its comment
          {3, "Oslo", "SSS"}}},
    };
    for (const Row& r : rows) {
        AnswerSheet sheet(gridSheet(r.mode, 2));
        for (const Step& s : r.steps) {
            sheet.type(s.box, s.typed);
            EXPECT_EQ(comments(sheet), s.shown) << r.name << ": box " << s.box << " '" << s.typed << "'";
            if (r.mode == 4) {
                EXPECT_EQ(sheet.quiz.allCommentsShown, std::string(s.shown) == "SSS" ? 1 : 0) << r.name;
            }
        }
    }
}

// "Fully answered" reads the other box afresh: a right label beside a box
// whose text changed since is not enough.
TEST(JudgeReveal, FullyAnsweredReadsTheBoxesAfresh) {
    AnswerSheet sheet(gridSheet(2, 2));
    sheet.type(1, "Paris");
    sheet.setText(1, "Parisx");  // changed but not judged: its label still says BRAVO
    sheet.type(2, "Rome");
    EXPECT_EQ(sheet.verdict(1), "BRAVO");
    EXPECT_FALSE(sheet.commentShown(1));
}

// A picture sheet of 58 questions: IMG 10457 is question 57's solution
// picture; question 58 has none.
SheetSpec pictureSheet(int revealMode) {
    SheetSpec spec = gridSheet(revealMode, 1, std::vector<QuestionSpec>(58, QuestionSpec{"Rhin", "", "Un fleuve"}));
    spec.kind = kindPictures;
    return spec;
}

HBITMAP shownPicture(const AnswerSheet& sheet, int n) {
    return reinterpret_cast<HBITMAP>(SendMessageA(GetDlgItem(sheet.sheet, 9900 + n), STM_GETIMAGE, IMAGE_BITMAP, 0));
}

HBITMAP putOwnPicture(const AnswerSheet& sheet, int n) {
    HBITMAP own = CreateBitmap(4, 4, 1, 32, nullptr);
    SendMessageA(GetDlgItem(sheet.sheet, 9900 + n), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(own));
    return own;
}

TEST(JudgeReveal, SolutionPictureReplacesTheQuestionPictureOnce) {
    for (int mode : {1, 3}) {
        AnswerSheet sheet(pictureSheet(mode));
        HBITMAP own = putOwnPicture(sheet, 57);
        sheet.type(57, "Rhi");
        EXPECT_EQ(shownPicture(sheet, 57), own) << "mode " << mode << ": a wrong answer reveals nothing";
        sheet.type(57, "rhin");
        HBITMAP solution = shownPicture(sheet, 57);
        ASSERT_NE(solution, nullptr) << "mode " << mode;
        EXPECT_NE(solution, own) << "mode " << mode;
        EXPECT_EQ(GetObjectType(own), 0u) << "mode " << mode << ": the question's picture is deleted";
        BITMAP info{};
        ASSERT_EQ(GetObjectA(solution, sizeof info, &info), static_cast<int>(sizeof info)) << "mode " << mode;
        EXPECT_TRUE(info.bmWidth <= 260 && info.bmHeight <= 260) << "mode " << mode;
        EXPECT_EQ(sheet.quiz.solutionShown[56], 1) << "mode " << mode;
        EXPECT_EQ(sheet.commentShown(57), mode == 3) << "mode " << mode;

        sheet.type(57, "Rhone");  // the solution stays when the answer goes wrong
        sheet.type(57, "Rhin");   // and is not loaded again
        EXPECT_EQ(shownPicture(sheet, 57), solution) << "mode " << mode;
    }
}

TEST(JudgeReveal, MissingSolutionPictureKeepsTheQuestionPicture) {
    // The flag stays clear so that a later right answer tries again.
    AnswerSheet sheet(pictureSheet(1));
    HBITMAP own = putOwnPicture(sheet, 58);
    sheet.type(58, "Rhin");
    EXPECT_EQ(sheet.verdict(58), "BRAVO");
    EXPECT_EQ(sheet.quiz.solutionShown[57], 0);
    EXPECT_EQ(shownPicture(sheet, 58), own);
    EXPECT_EQ(GetObjectType(own), static_cast<DWORD>(OBJ_BITMAP));
}

// The text kind lays out one box per question even when the quiz says two:
// box 4000 + n is question n's first answer, and one right box scores.
TEST(JudgeTextKind, OneBoxPerQuestionWhateverTheAnswerCount) {
    SheetSpec spec = gridSheet(0, 2);
    spec.kind = kindText;
    AnswerSheet sheet(spec);
    ASSERT_EQ(sheet.boxCount(), 3);
    sheet.type(2, "Oslo");
    EXPECT_EQ(sheet.verdict(2), "BRAVO");
    EXPECT_EQ(sheet.score(), " 1 / 3");
    sheet.type(3, "Kiev");  // question 3's second answer is not asked for
    EXPECT_EQ(sheet.verdict(3), "FAUX");
    sheet.type(1, "Paris");
    sheet.type(3, "Bern");
    EXPECT_EQ(sheet.score(), " 3 / 3");
    EXPECT_EQ(sheet.reward(), "CODE3");
}

TEST(JudgeMissingEntry, AnEmptyListIsJudgedAgainstAnEmptyAnswer) {
    SheetSpec spec = gridSheet(2, 1, {});
    spec.questionCount = 2;
    AnswerSheet sheet(spec);
    sheet.type(1, "Paris");
    EXPECT_EQ(sheet.verdict(1), "FAUX");
    sheet.type(1, "   ");
    EXPECT_EQ(sheet.verdict(1), "?");
    EXPECT_EQ(sheet.score(), " 0 / 2");
    EXPECT_EQ(comments(sheet), "--");
}

TEST(JudgeMissingEntry, AQuestionBeyondTheListUsesTheLastEntry) {
    SheetSpec spec = gridSheet(0, 1, {{"Paris", "", ""}, {"Oslo", "", ""}});
    spec.questionCount = 3;
    AnswerSheet sheet(spec);
    sheet.type(3, "oslo");
    EXPECT_EQ(sheet.verdict(3), "BRAVO");
}

// After a restart the sheet judges every restored box before the comment
// labels exist; afterwards the reveals must be those of answers typed now.
TEST(JudgeRevealsAfterBuild, MatchTheRevealsOfAnswersTypedInThisRun) {
    struct Row {
        const char* name;
        int mode;
        int answersPerQuestion;
        std::vector<std::string> restored;
        const char* shown;
        int allShown;
    } rows[] = {
        {"mode 2, one answer", 2, 1, {"Paris", "", "bern "}, "S-S", 0},
        {"mode 2, two answers", 2, 2, {"Paris", "Rome", "Oslo", "", "BERN", "kiev"}, "S-S", 0},
        {"mode 2, a wrong second answer", 2, 2, {"Paris", "Roma", "Oslo", "Lima", "", ""}, "-S-", 0},
        {"mode 3, two answers", 3, 2, {"Paris", "Rome", "Oslo", "Lim", "Bern", "Kiev"}, "S-S", 0},
        {"mode 4, all right", 4, 2, {"Paris", "Rome", "Oslo", "Lima", "Bern", "Kiev"}, "SSS", 1},
        {"mode 4, one answer, all right", 4, 1, {"Paris", "Oslo", "Bern"}, "SSS", 1},
        {"mode 4, one wrong", 4, 2, {"Paris", "Rome", "Oslo", "Lima", "Bern", "Kie"}, "---", 0},
        {"mode 1 shows no comment", 1, 1, {"Paris", "Oslo", "Bern"}, "---", 0},
        {"mode 0 shows no comment", 0, 1, {"Paris", "Oslo", "Bern"}, "---", 0},
    };
    for (const Row& r : rows) {
        SheetSpec spec = gridSheet(r.mode, r.answersPerQuestion);
        spec.restored = r.restored;
        AnswerSheet restored(spec);
        applyRevealsAfterBuild(&restored.quiz, restored.sheet);
        EXPECT_EQ(comments(restored), r.shown) << r.name;
        EXPECT_EQ(restored.quiz.allCommentsShown, r.allShown) << r.name;

        spec.restored.clear();
        AnswerSheet typed(spec);
        for (size_t k = 0; k < r.restored.size(); ++k) typed.type(static_cast<int>(k + 1), r.restored[k].c_str());
        EXPECT_EQ(comments(typed), comments(restored)) << r.name << ": typed in this run";
        EXPECT_EQ(typed.score(), restored.score()) << r.name;
    }
}

TEST(JudgeRevealsAfterBuild, Mode4ShowsTheLastCommentTheBuildCouldNot) {
    SheetSpec spec = gridSheet(4, 1);
    spec.restored = {"Paris", "Oslo", "Bern"};
    AnswerSheet sheet(spec);
    // The last label did not exist when the last box made the sheet right.
    EXPECT_EQ(comments(sheet), "SS-");
    applyRevealsAfterBuild(&sheet.quiz, sheet.sheet);
    EXPECT_EQ(comments(sheet), "SSS");
    sheet.type(2, "Osloo");
    EXPECT_EQ(comments(sheet), "S-S");
}

// --- Answer boxes -----------------------------------------------------------

int passedOnCount(HWND box, UINT message, WPARAM wParam) {
    int count = 0;
    for (const SeenMessage& m : AnswerSheet::passedOn) {
        if (m.window == box && m.message == message && m.wParam == wParam) ++count;
    }
    return count;
}

std::pair<int, int> selection(HWND box) {
    DWORD start = 0, end = 0;
    SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
}

TEST(AnswerBox, TypingJudgesNothingUntilEnterIsReleased) {
    AnswerSheet sheet(gridSheet(0, 1));
    HWND box = sheet.box(1);
    SetFocus(box);
    for (char c : std::string("Paris")) SendMessageA(box, WM_CHAR, static_cast<WPARAM>(c), 1);
    SendMessageA(box, WM_KEYUP, 'S', 0xC0000001);
    EXPECT_EQ(sheet.text(1), "Paris");
    EXPECT_EQ(sheet.verdict(1), "?");

    SendMessageA(box, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(SendMessageA(box, WM_CHAR, '\r', 1), 0);
    EXPECT_EQ(SendMessageA(box, WM_CHAR, '\t', 1), 0);
    EXPECT_EQ(sheet.verdict(1), "?") << "the key press judges nothing";
    EXPECT_EQ(SendMessageA(box, WM_KEYUP, VK_RETURN, 0xC0000001), 1);
    EXPECT_EQ(sheet.verdict(1), "BRAVO");
    EXPECT_EQ(sheet.text(1), "Paris") << "Enter and Tab never become text";
    EXPECT_EQ(passedOnCount(box, WM_CHAR, '\r'), 0);
    EXPECT_EQ(passedOnCount(box, WM_CHAR, '\t'), 0);
    EXPECT_EQ(passedOnCount(box, WM_KEYUP, VK_RETURN), 0);
    EXPECT_EQ(passedOnCount(box, WM_CHAR, 'P'), 1);
}

TEST(AnswerBox, AltEnterJudgesOnThePress) {
    AnswerSheet sheet(gridSheet(0, 1));
    sheet.setText(1, "Pari");
    EXPECT_EQ(SendMessageA(sheet.box(1), WM_SYSKEYDOWN, VK_RETURN, 0x20000001), 1);
    EXPECT_EQ(sheet.verdict(1), "Quasiment");
}

TEST(AnswerBox, LeavingABoxJudgesItAndEnteringSelectsAll) {
    AnswerSheet sheet(gridSheet(0, 1));
    SetFocus(sheet.box(1));
    sheet.setText(1, "Paris");
    sheet.setText(2, "Lima");
    EXPECT_EQ(sheet.verdict(1), "?");
    SetFocus(sheet.box(2));
    EXPECT_EQ(sheet.verdict(1), "BRAVO");
    EXPECT_EQ(sheet.verdict(2), "?");
    EXPECT_EQ(selection(sheet.box(2)), std::make_pair(0, 4));
    EXPECT_EQ(passedOnCount(sheet.box(2), WM_SETFOCUS, reinterpret_cast<WPARAM>(sheet.box(1))), 1);
    SetFocus(sheet.box(1));
    EXPECT_EQ(sheet.verdict(2), "FAUX");
}

TEST(AnswerBox, TabKeepsTheBoxInView) {
    AnswerSheet sheet(gridSheet(0, 1));
    RECT sheetRect;
    GetWindowRect(sheet.sheet, &sheetRect);
    const int height = sheetRect.bottom - sheetRect.top;
    struct Row {
        const char* name;
        int y;  // box top in sheet client coordinates (20 pixels high)
        bool scrolls;
    } rows[] = {
        {"inside", 100, false},
        {"touching the top", 0, false},
        {"partly below", height - 10, true},
        {"wholly below", height + 200, true},
        {"partly above", -5, true},
        {"wholly above", -300, true},
    };
    HWND box = sheet.box(2);
    for (const Row& r : rows) {
        SetWindowPos(box, nullptr, 10, r.y, 170, 20, SWP_NOZORDER);
        RECT boxRect;
        GetWindowRect(box, &boxRect);
        AnswerSheet::sheetScrolls.clear();
        scrollTarget = 12345;
        SendMessageA(box, WM_KEYUP, VK_TAB, 0xC0000001);
        EXPECT_EQ(scrollTarget, boxRect.top - 360) << r.name;
        ASSERT_EQ(AnswerSheet::sheetScrolls.size(), r.scrolls ? 1u : 0u) << r.name;
        if (r.scrolls) {
            EXPECT_EQ(LOWORD(AnswerSheet::sheetScrolls[0].wParam), 502) << r.name;
            EXPECT_EQ(AnswerSheet::sheetScrolls[0].lParam, 0) << r.name;
        }
    }
    EXPECT_EQ(passedOnCount(box, WM_KEYUP, VK_TAB), 6) << "Tab goes on to the box";
}

TEST(AnswerBox, PageKeysAskTheBoxItselfToScroll) {
    AnswerSheet sheet(gridSheet(0, 1));
    HWND box = sheet.box(1);
    struct Row {
        UINT message;
        WPARAM key;
        WPARAM request;
    } rows[] = {
        {WM_KEYUP, VK_PRIOR, SB_PAGEUP},  {WM_KEYUP, VK_UP, SB_PAGEUP},         {WM_KEYUP, VK_NEXT, SB_PAGEDOWN},
        {WM_KEYUP, VK_DOWN, SB_PAGEDOWN}, {WM_SYSKEYDOWN, VK_PRIOR, SB_PAGEUP}, {WM_SYSKEYDOWN, VK_NEXT, SB_PAGEDOWN},
    };
    for (const Row& r : rows) {
        AnswerSheet::passedOn.clear();
        SendMessageA(box, r.message, r.key, 0xC0000001);
        EXPECT_EQ(passedOnCount(box, WM_VSCROLL, r.request), 1) << "key " << r.key;
        EXPECT_EQ(passedOnCount(box, r.message, r.key), 1) << "key " << r.key << " is passed on";
    }
    EXPECT_TRUE(AnswerSheet::sheetScrolls.empty()) << "the sheet itself does not scroll";
}

TEST(AnswerBox, F1OffersTheTextToEveryBoxNotYetRight) {
    AnswerSheet sheet(gridSheet(
        0, 1, {{"Paris", "", ""}, {"Rome", "", ""}, {"Parisien", "", ""}, {"Pairs", "", ""}, {"Oslo", "", ""}}));
    sheet.type(2, "Rome");
    sheet.type(5, "oslo");
    sheet.type(3, "abc");
    sheet.setText(1, "Paris");
    HWND box = sheet.box(1);
    SetFocus(box);
    AnswerSheet::passedOn.clear();
    SendMessageA(box, WM_KEYUP, VK_F1, 0xC0000001);

    const char* texts[] = {"Paris", "Rome", "Paris", "Paris", "oslo"};
    const char* verdicts[] = {"BRAVO", "BRAVO", "FAUX", "Anagramme", "BRAVO"};
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(sheet.text(k), texts[k - 1]) << "box " << k;
        EXPECT_EQ(sheet.verdict(k), verdicts[k - 1]) << "box " << k;
    }
    for (const SeenMessage& m : AnswerSheet::passedOn) {
        EXPECT_FALSE(m.message == WM_SETFOCUS && (m.window == sheet.box(2) || m.window == sheet.box(5)))
            << "a right box never gets the focus";
    }
    EXPECT_EQ(GetFocus(), box);
    EXPECT_EQ(selection(box), std::make_pair(0, 5));
    EXPECT_EQ(sheet.score(), " 3 / 5");
    EXPECT_EQ(passedOnCount(box, WM_KEYUP, VK_F1), 1);
}

TEST(AnswerBox, F1OnASheetThatIsAllRightChangesNothing) {
    AnswerSheet sheet(gridSheet(0, 2));
    const char* right[] = {"Paris", "rome", "Oslo", "Lima", "Bern", "Kiev"};
    for (int k = 1; k <= 6; ++k) sheet.type(k, right[k - 1]);
    HWND box = sheet.box(3);
    SetFocus(box);
    sheet.markHeader();
    AnswerSheet::passedOn.clear();
    SendMessageA(box, WM_KEYUP, VK_F1, 0xC0000001);
    for (int k = 1; k <= 6; ++k) EXPECT_EQ(sheet.text(k), right[k - 1]) << "box " << k;
    EXPECT_TRUE(sheet.headerMarked());
    EXPECT_EQ(GetFocus(), box);
    for (const SeenMessage& m : AnswerSheet::passedOn) EXPECT_NE(m.message, static_cast<UINT>(WM_KILLFOCUS));
}

TEST(AnswerBox, InstallingTwiceStillReachesTheEditControl) {
    AnswerSheet sheet(gridSheet(0, 1));
    installAnswerBoxProc(sheet.box(1));
    SetFocus(sheet.box(1));
    SendMessageA(sheet.box(1), WM_CHAR, 'x', 1);
    EXPECT_EQ(sheet.text(1), "x");
}

}  // namespace
