// The names a quiz source gives to the model's numbered values.
#pragma once

#include <cstdint>

#include "quiz/quiz.h"

// By kind (kindText .. kindVideo).
constexpr const char* kindNames[] = {"text", "pictures", "audio", "video"};
constexpr int kindNameCount = 4;

// By reveal mode, revealNone to revealAllComments.
constexpr const char* revealNames[] = {"none", "solution-picture", "comment", "comment-and-picture", "all-comments"};
constexpr int revealNameCount = 5;
