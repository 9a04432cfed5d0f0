// Questions kept in a spreadsheet, saved as CSV, appended to a quiz model.
#pragma once

#include <string>
#include <vector>

#include "authoring/quizModel.h"

// Appends one question per data row of `bytes`, a table whose first row
// names its columns (see columnNames: réponse, énoncé, commentaire, image,
// code..., or their English names, in any order). Reads what a
// spreadsheet writes: ";", "," or tab separators (found from the header
// row), quoted fields, CRLF or LF, a UTF-8 byte-order mark, and Windows-1252
// files (a file that is not valid UTF-8). A "code" column sets the reward
// code of the score equal to the new question's number. Every problem is
// added to `problems` with the line it was found on; on any problem the model
// is left as it was and false is returned.
//
// A table with comments or solution pictures must build as it comes: when
// the quiz's reveal mode would leave them aside, the import chooses one that
// shows them ("comment", "solution-picture", or "comment-and-picture" for
// both), and says so in `summary`. Problems of a row name it by its place in
// the table (question 1 is the first row under the header), and a cell's by
// its column's header as the file writes it.
struct CsvImportSummary {
    size_t questions = 0;       // rows imported
    int32_t revealChosen = -1;  // the reveal mode the import set, -1 when it kept the quiz's
};
bool importQuestionsCsv(const std::string& bytes, QuizModel& model, std::vector<ModelProblem>& problems,
                        CsvImportSummary* summary = nullptr);

// What the report says of a reveal mode the import chose: in a source's words
// (quizpack) or in the editor's form words; "" for none.
std::string revealChosenNotice(int32_t mode, bool inFormWords);
