#include "answers/judgeWin.h"

#include <cstring>
#include <string>

#include "answers/answerText.h"
#include "answers/screenReaderWin.h"
#include "answers/verdict.h"
#include "pictures/pictureResourceWin.h"
#include "quiz/quizGdiWin.h"
#include "resources/resource.h"

namespace {

constexpr int labelReadMax = 254;  // a verdict label never holds more
constexpr int solutionPictureSide = 260;

// A control that does not exist reads as empty, whatever the platform leaves
// in the buffer on failure.
void readControlText(HWND parent, int id, char* out, int size) {
    out[0] = '\0';
    GetDlgItemTextA(parent, id, out, size);
}

bool labelReadsRight(HWND sheet, int labelId) {
    char text[labelReadMax + 1];
    readControlText(sheet, labelId, text, sizeof text);
    return std::strcmp(text, verdictRight) == 0;
}

// The accepted answer of question n, slot 1 or 2, and the others it has
// (null for none). A quiz whose question list is empty has no entry at all:
// it is judged against an empty answer.
const char* acceptedAnswer(const Quiz* quiz, int question, int slot, char out[answerTextSize]) {
    const QuestionEntry* entry = questionAt(*quiz, question);
    copyText(out, answerTextSize, entry ? (slot == 2 ? entry->answer2 : entry->answer1) : "");
    return entry ? entry->otherAnswers[slot == 2 ? 1 : 0] : nullptr;
}

int boxCount(const Quiz* quiz) {
    const int perQuestion = effectiveAnswersPerQuestion(*quiz);
    return quiz->questionCount > 0 && perQuestion > 0 ? quiz->questionCount * perQuestion : 0;
}

// Every box of the question holds its accepted answer, read afresh.
bool questionFullyAnswered(const Quiz* quiz, HWND sheet, int question) {
    const int perQuestion = effectiveAnswersPerQuestion(*quiz);
    for (int slot = 1; slot <= perQuestion; ++slot) {
        char accepted[answerTextSize];
        char typed[answerTextSize];
        const char* others = acceptedAnswer(quiz, question, slot, accepted);
        readControlText(sheet, answerBoxId(question, slot, perQuestion), typed, sizeof typed);
        if (!answerMatchesAny(accepted, others, typed)) return false;
    }
    return true;
}

void showComment(HWND sheet, int question, bool shown) {
    HWND label = GetDlgItem(sheet, commentLabelIdBase + question);
    if (label) ShowWindow(label, shown ? SW_SHOWNORMAL : SW_HIDE);
}

// Puts the solution picture in place of the question's own, once. No picture
// leaves the flag clear so a later right answer tries again.
void showSolutionPicture(Quiz* quiz, HWND sheet, int question) {
    if (question < 1 || question > solutionFlagCount) return;
    if (quiz->solutionShown[question - 1]) return;
    HBITMAP solution = loadPictureResource(GetModuleHandleA(nullptr), solutionResourceIdBase + question, "IMG",
                                           solutionPictureSide, solutionPictureSide);
    if (!solution) return;
    quiz->solutionShown[question - 1] = 1;
    HWND control = GetDlgItem(sheet, pictureControlIdBase + question);
    if (!control) {
        DeleteObject(solution);  // nowhere to show it: do not keep it
        return;
    }
    HGDIOBJ old = reinterpret_cast<HGDIOBJ>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (old) DeleteObject(old);
    SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(solution));
}

// What a fully answered question shows, question by question.
void revealQuestion(Quiz* quiz, HWND sheet, int question) {
    switch (quiz->revealMode) {
        case revealSolutionPicture: showSolutionPicture(quiz, sheet, question); break;
        case revealComment: showComment(sheet, question, true); break;
        case revealCommentAndPicture:
            showComment(sheet, question, true);
            showSolutionPicture(quiz, sheet, question);
            break;
        default: break;
    }
}

bool everyLabelRight(const Quiz* quiz, HWND sheet) {
    const int boxes = boxCount(quiz);
    if (boxes == 0) return false;
    for (int k = 0; k < boxes; ++k) {
        if (!labelReadsRight(sheet, firstVerdictLabelId + k)) return false;
    }
    return true;
}

void showAllComments(Quiz* quiz, HWND sheet) {
    quiz->allCommentsShown = 1;
    for (int n = 1; n <= quiz->questionCount; ++n) showComment(sheet, n, true);
}

// revealAllComments shows every comment once the whole sheet is right.
void revealWhenSheetRight(Quiz* quiz, HWND sheet) {
    if (quiz->revealMode != revealAllComments || quiz->allCommentsShown) return;
    if (everyLabelRight(quiz, sheet)) showAllComments(quiz, sheet);
}

// A question shows its comment after the build when typing its answers now
// would: every box holds the accepted answer and at least one box is not
// empty (an empty box never gets a verdict, so it reveals nothing).
bool revealedByRestoredAnswers(const Quiz* quiz, HWND sheet, int question) {
    const int perQuestion = effectiveAnswersPerQuestion(*quiz);
    bool anyRight = false;
    for (int slot = 1; slot <= perQuestion; ++slot) {
        if (labelReadsRight(sheet, answerBoxId(question, slot, perQuestion) + verdictLabelOffset)) anyRight = true;
    }
    return anyRight && questionFullyAnswered(quiz, sheet, question);
}

}  // namespace

void judgeAnswer(Quiz* quiz, HWND sheet, int boxId) {
    if (!quiz) return;
    const int labelId = boxId + verdictLabelOffset;
    char current[labelReadMax + 1];
    readControlText(sheet, labelId, current, sizeof current);

    int question = 0;
    int slot = 1;
    boxQuestionAndSlot(boxId, effectiveAnswersPerQuestion(*quiz), question, slot);
    char accepted[answerTextSize];
    const char* others = acceptedAnswer(quiz, question, slot, accepted);
    char typed[answerTextSize];
    readControlText(sheet, boxId, typed, sizeof typed);

    const char* verdict = chooseVerdictAmong(accepted, others, typed);
    if (std::strcmp(verdict, current) == 0) return;
    SetDlgItemTextA(sheet, labelId, verdict);

    const bool right = std::strcmp(verdict, verdictRight) == 0;
    if (!right) {
        showComment(sheet, question, false);
        quiz->allCommentsShown = 0;
    } else if (quiz->revealMode != revealNone && questionFullyAnswered(quiz, sheet, question)) {
        revealQuestion(quiz, sheet, question);
    }
    revealWhenSheetRight(quiz, sheet);
    const std::string scoreBefore = headerScoreText(quiz);
    updateScore(quiz, sheet);
    announceJudgement(quiz, sheet, labelId, scoreBefore);
}

void updateScore(Quiz* quiz, HWND sheet) {
    if (!quiz) return;
    char label[labelReadMax + 1];
    const int score = countScore(quiz->questionCount, effectiveAnswersPerQuestion(*quiz), [&](int boxNumber) {
        readControlText(sheet, verdictLabelIdBase + boxNumber, label, sizeof label);
        return static_cast<const char*>(label);
    });
    char scoreText[scoreTextSize];
    formatScore(scoreText, score, quiz->questionCount);
    HWND header = asWindow(quiz->headerWindow);
    SetDlgItemTextA(header, headerScoreId, scoreText);
    SetDlgItemTextA(header, headerRewardCodeId, rewardText(*quiz, score));
}

void applyRevealsAfterBuild(Quiz* quiz, HWND sheet) {
    if (!quiz) return;
    switch (quiz->revealMode) {
        case revealSolutionPicture:
        case revealComment:
        case revealCommentAndPicture:
            for (int n = 1; n <= quiz->questionCount; ++n) {
                const bool revealed = revealedByRestoredAnswers(quiz, sheet, n);
                if (revealed)
                    revealQuestion(quiz, sheet, n);
                else if (quiz->revealMode != revealSolutionPicture)
                    showComment(sheet, n, false);
            }
            break;
        case revealAllComments:
            // The build counted before the last comment label existed.
            if (everyLabelRight(quiz, sheet)) {
                showAllComments(quiz, sheet);
            } else {
                quiz->allCommentsShown = 0;
                for (int n = 1; n <= quiz->questionCount; ++n) showComment(sheet, n, false);
            }
            break;
        default: break;
    }
}
