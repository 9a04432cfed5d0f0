// The progress file: the typed answers kept between runs.
#pragma once

#include <windows.h>

#include "quiz/quiz.h"

void saveProgress(Quiz* quiz);
