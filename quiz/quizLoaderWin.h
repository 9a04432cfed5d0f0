// Fills the quiz record from the PATCH resources of the program.
#pragma once

#include <windows.h>

#include "quiz/quiz.h"

void loadQuiz(Quiz* quiz);
