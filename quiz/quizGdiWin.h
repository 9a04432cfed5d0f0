// Construction and destruction of the quiz record with its GDI objects.
#pragma once

#include <windows.h>

#include "quiz/quiz.h"

// Handles are stored opaquely in the portable record; these read them back.
inline HFONT asFont(GdiHandle h) {
    return static_cast<HFONT>(h);
}
inline HBRUSH asBrush(GdiHandle h) {
    return static_cast<HBRUSH>(h);
}
inline HWND asWindow(GdiHandle h) {
    return static_cast<HWND>(h);
}

// Allocates a Quiz, gives it its construction values, its two fonts and six brushes.
Quiz* createQuiz();
// Deletes the brushes and fonts in their fixed order, releases the question list and frees the record.
void destroyQuiz(Quiz* quiz);
void createSheetFont(Quiz* quiz);

// The one quiz of the process, reached by every window procedure.
extern Quiz* currentQuiz;
