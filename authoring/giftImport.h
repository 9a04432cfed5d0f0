// Question banks written in GIFT, Moodle's plain-text format.
#pragma once

#include <string>

#include "authoring/questionBank.h"

// Reads every question of a GIFT file (UTF-8, or Windows-1252 when it is
// not valid UTF-8): "//" comment lines, "$CATEGORY:" lines, "::name::",
// the escapes \~ \= \# \{ \} \: \\ \n, the [html] [moodle] [plain]
// [markdown] markers, questions of several lines parted by blank lines.
// A short-answer question {=a =b#feedback ####general} and a numerical one
// with a single exact value {#1789} become questions; every other type is
// counted in `reading.leftOut`. False on a file that is not GIFT, with
// `broken` saying what and where (its line).
bool readGiftBank(const std::string& bytes, BankReading& reading, ModelProblem& broken);
