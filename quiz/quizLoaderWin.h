// Fills the quiz record from the PATCH resources of the program.
#pragma once

#include <windows.h>

#include "quiz/quiz.h"

// Resource 104 holds the quiz, 105 its reward codes; without 104 the sample
// quiz is loaded. Also installs the codec's allocation-failure message.
void loadQuiz(Quiz* quiz);

// The same from any module (null: the program's own), so that tests can load
// quizzes written into other executables.
void loadQuizFrom(HMODULE module, Quiz* quiz);

// Every message the loader shows goes through this hook (text, caption); it
// shows a message box with an OK button unless a test replaces it.
extern void (*quizLoaderMessage)(const char* text, const char* caption);
