#include "quiz/quizGdiWin.h"

#include <cstring>
#include <new>

namespace {

HFONT makeFont(LONG height, LONG weight, BYTE italic, const char* face) {
    LOGFONTA font;
    std::memset(&font, 0, sizeof font);
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfItalic = italic;
    lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

}  // namespace

Quiz* currentQuiz = nullptr;

Quiz* createQuiz() {
    Quiz* quiz = new Quiz;
    initQuizValues(*quiz);
    quiz->backgroundBrush = CreateSolidBrush(defaultBackgroundColour);
    quiz->wrongBrush = CreateSolidBrush(wrongColour);
    quiz->rightBrush = CreateSolidBrush(rightColour);
    quiz->anagramBrush = CreateSolidBrush(anagramColour);
    quiz->hintBrush = CreateSolidBrush(hintColour);
    quiz->promptBrush = CreateSolidBrush(promptColour);
    quiz->scoreFont = makeFont(25, 400, 0, "Arial");
    quiz->titleFont = makeFont(-15, 700, 1, "");
    return quiz;
}

void destroyQuiz(Quiz* quiz) {
    if (!quiz) return;
    GdiHandle owned[] = {quiz->backgroundBrush, quiz->wrongBrush, quiz->rightBrush, quiz->anagramBrush, quiz->hintBrush,
                         quiz->promptBrush,     quiz->titleFont,  quiz->sheetFont,  quiz->scoreFont};
    for (GdiHandle h : owned) {
        if (h) DeleteObject(static_cast<HGDIOBJ>(h));
    }
    releaseQuestions(*quiz);
    delete quiz;
}

void createSheetFont(Quiz* quiz) {
    // A sheet built twice must not leak the first font.
    if (quiz->sheetFont) DeleteObject(static_cast<HGDIOBJ>(quiz->sheetFont));
    quiz->sheetFont = makeFont(15, 100, 0, "");
}
