// The one quiz record and its question list. Portable: GDI objects and
// windows are held as opaque handles that only the *Win.cpp files interpret.
#pragma once

#include <cstdint>

using GdiHandle = void*;  // HFONT, HBRUSH or HWND on the Windows side

constexpr int quizTextSize = 260;    // 259 characters and the terminator
constexpr int rewardCodeCount = 96;  // one reward code per possible score
constexpr int solutionFlagCount = 260;
constexpr int mediaPrefixSize = 512;

enum QuizKind : int32_t { kindText = 0, kindPictures = 1, kindAudio = 2, kindVideo = 3 };

// What a fully answered question shows (the layout's reveal byte). Modes 2
// to 4 carry a comment per question in the layout, mode 3 a second one.
enum RevealMode : int32_t {
    revealNone = 0,
    revealSolutionPicture = 1,
    revealComment = 2,
    revealCommentAndPicture = 3,
    revealAllComments = 4,  // every comment at once, when the whole sheet is right
};

constexpr bool revealShowsComments(int32_t mode) {
    return mode == revealComment || mode == revealCommentAndPicture || mode == revealAllComments;
}
constexpr bool revealShowsPicture(int32_t mode) {
    return mode == revealSolutionPicture || mode == revealCommentAndPicture;
}

struct QuestionEntry {
    char answer1[quizTextSize];
    char answer2[quizTextSize];
    char prompt[quizTextSize];
    char comment[quizTextSize];
    // The answers each box (slot 1, 2) accepts besides its main one, packed
    // as chooseVerdictAmong takes them; null for none. Owned by the entry.
    char* otherAnswers[2];
    QuestionEntry* previous;
    QuestionEntry* next;
};

struct Quiz {
    int32_t kind;
    char title[quizTextSize];
    char author[quizTextSize];
    char explanations[quizTextSize];
    char answerCaption1[quizTextSize];
    char answerCaption2[quizTextSize];
    int32_t questionCount;
    int32_t answersPerQuestion;
    char rewardCodes[rewardCodeCount][quizTextSize];
    int32_t solutionShown[solutionFlagCount];
    int32_t revealMode;
    GdiHandle sheetFont;
    GdiHandle scoreFont;
    GdiHandle titleFont;
    int32_t allCommentsShown;
    GdiHandle sheetWindow;
    uint8_t colourRed;
    uint8_t colourBlue;
    uint8_t colourGreen;
    uint32_t colour;  // 0x00BBGGRR
    GdiHandle backgroundBrush;
    GdiHandle wrongBrush;
    GdiHandle rightBrush;
    GdiHandle anagramBrush;
    GdiHandle hintBrush;
    GdiHandle promptBrush;
    GdiHandle headerWindow;
    char mediaPrefix[mediaPrefixSize];
    QuestionEntry* firstQuestion;
    QuestionEntry* lastQuestion;
    char link[quizTextSize];  // the quiz's own web address, "" when it has none
};

// Colours of the record's brushes, as COLORREF values 0x00BBGGRR.
constexpr uint32_t defaultBackgroundColour = 0x00965F5A;
constexpr uint32_t wrongColour = 0x000000FF;
constexpr uint32_t rightColour = 0x0000FF00;
constexpr uint32_t anagramColour = 0x000064FF;
constexpr uint32_t hintColour = 0x0026CBFF;
constexpr uint32_t promptColour = 0x00C0FFFF;

// Fills every plain field with its construction value (no GDI objects: the
// Windows side creates those) and leaves the question list empty.
void initQuizValues(Quiz& quiz);

// Copies at most 259 characters of each text; longer texts are cut.
void appendQuestion(Quiz& quiz, const char* answer1, const char* answer2, const char* prompt);

// Entry n counting from 1, clamped to the last entry; n <= 0 also gives the
// last entry; null for an empty list.
QuestionEntry* questionAt(const Quiz& quiz, int n);

void releaseQuestions(Quiz& quiz);

// Bounded copy into a fixed text field: at most size - 1 bytes, always terminated.
void copyText(char* destination, int size, const char* source);

// The answer boxes that really exist: the text kind lays out one box per
// question whatever answersPerQuestion says.
int effectiveAnswersPerQuestion(const Quiz& quiz);
