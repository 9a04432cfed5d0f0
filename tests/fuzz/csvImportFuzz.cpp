// The CSV import on arbitrary bytes, into an empty model and into one that
// already holds questions: it either appends valid UTF-8 questions and keeps
// one reward code per score, or leaves the model exactly as it was and says
// why, on a line the file has. Both runs must agree, since what a table holds
// does not depend on the quiz it goes into. Then the same bytes, cut into
// cells, are written as a table the way a spreadsheet would write it, and
// must read back cell for cell.

#include <algorithm>
#include <string>
#include <vector>

#include "authoring/csvImport.h"
#include "authoring/windows1252.h"
#include "tests/fuzz/fuzzCheck.h"

namespace {

int physicalLines(const std::string& bytes) {
    int lines = 1;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'))) ++lines;
    }
    return lines;
}

QuizModel populatedModel() {
    QuizModel model;
    model.kind = kindPictures;
    model.title = "Formes";
    for (int i = 0; i < 3; ++i) {
        ModelQuestion q;
        q.answer = "forme " + std::to_string(i);
        q.picture = "media/" + std::to_string(i) + ".png";
        model.questions.push_back(q);
    }
    model.rewardCodes = {"UN", "DEUX"};  // one short: the import must not care
    return model;
}

bool questionIsUtf8(const ModelQuestion& q) {
    for (const std::string* text :
         {&q.answer, &q.answer2, &q.prompt, &q.comment, &q.comment2, &q.picture, &q.solution, &q.clip}) {
        if (!isValidUtf8(*text) || text->find('\0') != std::string::npos) return false;
    }
    return true;
}

// Returns the questions appended, or an empty list on failure.
std::vector<ModelQuestion> checkImport(const std::string& bytes, const QuizModel& before) {
    QuizModel model = before;
    ModelProblem earlier;
    earlier.message = "earlier";
    std::vector<ModelProblem> problems{earlier};
    const bool ok = importQuestionsCsv(bytes, model, problems);
    FUZZ_CHECK(problems[0].message == "earlier", "problems already there are kept");
    if (!ok) {
        FUZZ_CHECK(model == before, "a failed import leaves the model as it was");
        FUZZ_CHECK(problems.size() >= 2, "a failed import says why");
        FUZZ_CHECK(problems.size() <= 1 + 51, "problems are capped");
        const int lines = physicalLines(bytes);
        for (size_t i = 1; i < problems.size(); ++i) {
            FUZZ_CHECK(problems[i].line >= 1 && problems[i].line <= lines, "each problem names a line of the file");
            FUZZ_CHECK(!problems[i].message.empty() && isValidUtf8(problems[i].message), "each problem has a message");
        }
        return {};
    }
    FUZZ_CHECK(problems.size() == 1, "a successful import reports nothing");
    FUZZ_CHECK(model.questions.size() > before.questions.size(), "a successful import appends questions");
    FUZZ_CHECK(model.questions.size() <= maxModelQuestions, "never more questions than the player holds");
    FUZZ_CHECK(std::equal(before.questions.begin(), before.questions.end(), model.questions.begin()),
               "the questions already there stay first, untouched");
    FUZZ_CHECK(model.rewardCodes.size() == std::max(before.rewardCodes.size(), model.questions.size()),
               "one reward code per score, none lost");
    for (size_t i = 0; i < model.rewardCodes.size(); ++i) {
        const bool imported = i >= before.questions.size() && i < model.questions.size();
        if (!imported) {
            FUZZ_CHECK(model.rewardCodes[i] == (i < before.rewardCodes.size() ? before.rewardCodes[i] : ""),
                       "codes of other scores are kept");
        }
        FUZZ_CHECK(isValidUtf8(model.rewardCodes[i]), "reward codes are UTF-8");
    }
    // The reveal mode changes only to show what the rows brought.
    if (model.reveal != before.reveal) {
        bool comments = false, solutions = false;
        for (size_t i = before.questions.size(); i < model.questions.size(); ++i) {
            comments = comments || !model.questions[i].comment.empty() || !model.questions[i].comment2.empty();
            solutions = solutions || !model.questions[i].solution.empty();
        }
        FUZZ_CHECK((comments && revealShowsComments(model.reveal)) || (solutions && revealShowsPicture(model.reveal)),
                   "a new reveal mode shows what the table gave");
    }
    QuizModel rest = model;
    rest.questions = before.questions;
    rest.rewardCodes = before.rewardCodes;
    rest.reveal = before.reveal;
    FUZZ_CHECK(rest == before, "only questions, codes and the reveal mode change");
    std::vector<ModelQuestion> added(model.questions.begin() + static_cast<long>(before.questions.size()),
                                     model.questions.end());
    for (const ModelQuestion& q : added) FUZZ_CHECK(questionIsUtf8(q), "appended texts are valid UTF-8");
    return added;
}

// Line breaks inside a quoted value all read as "\n".
std::string withLf(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// A cell as a spreadsheet writes it: as it is when nothing in it could be
// misread, else quoted with its quotes doubled.
std::string writeCell(const std::string& cell, char separator) {
    const bool plain =
        cell.find_first_of(std::string("\"\r\n") + separator) == std::string::npos &&
        (cell.empty() || (cell.front() != ' ' && cell.front() != '\t' && cell.back() != ' ' && cell.back() != '\t'));
    if (plain) return cell;
    std::string out = "\"";
    for (char c : cell) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

void roundTrip(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    const char separators[] = {';', ',', '\t'};
    const char separator = separators[in.take(1) % 3];
    const char* const lineEnds[] = {"\r\n", "\n", "\r"};
    const std::string lineEnd = lineEnds[in.take(1) % 3];
    std::vector<std::vector<std::string>> rows;
    while (in.size > 0 && rows.size() < maxModelQuestions) {
        std::vector<std::string> row;
        for (int k = 0; k < 3; ++k) {
            std::string cell = in.takeUntil(0x01);
            cell.erase(std::remove(cell.begin(), cell.end(), '\0'), cell.end());
            row.push_back(cell);
        }
        rows.push_back(row);
    }
    std::string file = std::string("answer") + separator + "comment" + separator + "code" + lineEnd;
    for (const auto& row : rows) {
        file += writeCell(row[0], separator) + separator + writeCell(row[1], separator) + separator +
                writeCell(row[2], separator) + lineEnd;
    }
    const bool utf8 = isValidUtf8(file);
    std::vector<std::vector<std::string>> expected;
    for (const auto& row : rows) {
        if (row[0].empty() && row[1].empty() && row[2].empty()) continue;  // a spreadsheet's empty row
        std::vector<std::string> cells;
        for (const std::string& cell : row) cells.push_back(withLf(utf8 ? cell : windows1252ToUtf8(cell)));
        expected.push_back(cells);
    }
    QuizModel model;
    std::vector<ModelProblem> problems;
    const bool ok = importQuestionsCsv(file, model, problems);
    FUZZ_CHECK(ok == !expected.empty(), "a table written cell by cell reads back");
    if (!ok) return;
    FUZZ_CHECK(model.questions.size() == expected.size(), "one question per written row");
    for (size_t i = 0; i < expected.size(); ++i) {
        // A "|" parts the box's accepted answers, each without the spaces around it.
        std::vector<std::string> accepted(1);
        for (char c : expected[i][0]) {
            if (c == '|') {
                accepted.emplace_back();
            } else {
                accepted.back() += c;
            }
        }
        if (accepted.size() > 1) {
            for (std::string& text : accepted) {
                const size_t first = text.find_first_not_of(" \t"), last = text.find_last_not_of(" \t");
                text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
            }
        }
        FUZZ_CHECK(model.questions[i].answer == accepted[0], "answer reads back");
        FUZZ_CHECK(model.questions[i].otherAnswers == std::vector<std::string>(accepted.begin() + 1, accepted.end()),
                   "the other accepted answers read back");
        FUZZ_CHECK(model.questions[i].comment == expected[i][1], "comment reads back");
        FUZZ_CHECK(model.rewardCodes[i] == expected[i][2], "code reads back");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<ModelQuestion> alone = checkImport(bytes, QuizModel());
    const std::vector<ModelQuestion> after = checkImport(bytes, populatedModel());
    if (!after.empty()) FUZZ_CHECK(alone == after, "what a table holds does not depend on the quiz");
    if (!alone.empty() && alone.size() + 3 <= maxModelQuestions) {
        FUZZ_CHECK(alone == after, "a table that fits reads the same into a quiz with questions");
    }
    roundTrip(data, size);
    return 0;
}
