// A quiz source file (TOML, UTF-8) read into a QuizModel and written back.
// Reading only complains about what the model cannot hold (syntax, unknown
// keys, a value of the wrong form); whether the quiz makes sense is
// checkQuiz's business, so that a half-written quiz still loads whole.
#pragma once

#include <string>
#include <vector>

#include "authoring/quizModel.h"

constexpr int modelFieldCount = static_cast<int>(ModelField::unknownKey) + 1;

// Where each value of a source was read from (line numbers from 1, 0 when
// the source had no such key), so that a problem found later can point at it.
struct QuestionLines {
    int table = 0;                     // the line of its [[question]]
    int fields[modelFieldCount] = {};  // by ModelField (answer .. clip)
};

struct SourceLines {
    int fields[modelFieldCount] = {};  // quiz keys by ModelField
    std::vector<int> captions;         // one per item read
    std::vector<int> rewardCodes;
    std::vector<QuestionLines> questions;
};

// Fills `model` and `lines` from a source. Every value the model can hold is
// kept, even one that checkQuiz will refuse (a comment the reveal mode never
// shows). A key the model cannot read (unknown, or of the wrong form) is
// reported and kept in the model's `extras` as the author wrote it, so
// writing the model back loses nothing. A syntax error, described in French,
// leaves `model` and `lines` as they were. Problems are appended with their
// line; true when there are none.
bool readQuizToml(const std::string& text, QuizModel& model, SourceLines& lines, std::vector<ModelProblem>& problems);

// The model as a source in canonical form: UTF-8, LF line ends, the quiz keys
// in a fixed order, then a blank line and a [[question]] table per question.
// Empty texts and default values are left out, except kind, title, colour
// and reward_codes, which every source shows. The codes go on one line while
// that line stays within 100 characters, else one code per line. Writing the
// same model always gives the same bytes, and reading them back gives the
// same model. What the model kept as the author wrote it is written under
// its key: in place of the model's value for a known key, else after the
// table's own keys. (Comments of a source read earlier are not kept.)
std::string writeQuizToml(const QuizModel& model);
