// Questions kept in a spreadsheet, saved as CSV, appended to a quiz model.
#pragma once

#include <string>
#include <vector>

#include "authoring/quizModel.h"

// Appends one question per data row of `bytes`, a table whose first row
// names its columns (answer, answer2, prompt, comment, comment2, picture,
// solution, clip, code, or their French names, in any order). Reads what a
// spreadsheet writes: ";", "," or tab separators (found from the header
// row), quoted fields, CRLF or LF, a UTF-8 byte-order mark, and Windows-1252
// files (a file that is not valid UTF-8). A "code" column sets the reward
// code of the score equal to the new question's number. Every problem is
// added to `problems` with the line it was found on; on any problem the model
// is left as it was and false is returned.
bool importQuestionsCsv(const std::string& bytes, QuizModel& model, std::vector<ModelProblem>& problems);
