#include "authoring/csvImport.h"

#include <cstddef>
#include <exception>
#include <initializer_list>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "authoring/messages.h"
#include "authoring/quizFields.h"
#include "authoring/quizNames.h"
#include "authoring/quizToml.h"
#include "authoring/windows1252.h"

namespace {

// The choices of one cell, each without the spaces around it.
std::vector<std::string> splitChoices(const std::string& text) {
    std::vector<std::string> out(1);
    for (char c : text) {
        if (c == '|') {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    for (std::string& choice : out) {
        const size_t first = choice.find_first_not_of(" \t");
        const size_t last = choice.find_last_not_of(" \t");
        choice = first == std::string::npos ? std::string() : choice.substr(first, last - first + 1);
    }
    return out;
}

// A value quoted back to the user: one line, at most 40 characters, cut on a
// character boundary (the text is UTF-8 by then).
std::string excerpt(const std::string& text) {
    constexpr size_t maxCharacters = 40;
    std::string out;
    size_t characters = 0;
    for (char c : text) {
        const bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
        if (!continuation && ++characters > maxCharacters) {
            out += "\xE2\x80\xA6";  // ellipsis
            break;
        }
        out += c == '\n' ? ' ' : c;
    }
    return out;
}

// Spreadsheets name their columns A, B, ..., Z, AA, ...
std::string columnLetters(size_t index) {
    std::string out;
    for (size_t n = index + 1; n > 0; n = (n - 1) / 26) out.insert(out.begin(), static_cast<char>('A' + (n - 1) % 26));
    return out;
}

// ---------------------------------------------------------------------------
// Columns: the fields a spreadsheet may name (see fieldOfColumn). A header
// cell matches a name ignoring case, accents, spaces, "_" and "-", so
// "Réponse 2", "REPONSE2" and "answer_2" are all answer2.

constexpr int unnamedColumn = -1;  // empty header cell: its values must be empty
constexpr int unknownColumn = -2;  // already reported; its values are ignored

// The column of a header cell: its field's index, or unnamed / unknown.
int findColumn(const std::string& name) {
    const ModelField field = fieldOfColumn(name);
    if (field == ModelField::none) return unnamedColumn;
    if (field == ModelField::unknownKey) return unknownColumn;
    return static_cast<int>(field);
}

// ---------------------------------------------------------------------------
// Records. One pass over the text, never looking back, so that a file of any
// shape costs time in proportion to its size.

struct Field {
    std::string text;
    int line = 0;  // where the field begins
};

struct RecordIssue {
    Message message;
    int line;
    size_t field;  // index in the record
};

struct Record {
    std::vector<Field> fields;
    std::vector<RecordIssue> issues;
    int line = 0;
    bool unterminated = false;  // the rest of the file was swallowed by a quote

    bool blank() const {
        for (const Field& f : fields) {
            if (!f.text.empty()) return false;
        }
        return true;
    }
};

// Reads RFC 4180 records: a field is quoted when its first non-blank
// character is '"'; a doubled quote inside is one quote; CRLF, LF and a lone
// CR (old Mac spreadsheets) all end a line. Spaces around an unquoted field
// are dropped, since a spreadsheet never writes them and a person typing
// "Paris ; Lyon" does not mean them. `separator` 0 means a table of one
// column: a line is then one field whatever it holds.
class RecordReader {
public:
    RecordReader(const std::string& text, size_t position, int line, char separator)
        : text_(text), position_(position), line_(line), separator_(separator) {}

    int line() const { return line_; }

    bool next(Record& record) {
        record = Record();
        if (position_ >= text_.size()) return false;
        record.line = line_;
        for (;;) {
            record.fields.emplace_back();
            readField(record);
            if (record.unterminated || position_ >= text_.size()) return true;
            if (separator_ != 0 && text_[position_] == separator_) {
                ++position_;
                continue;
            }
            skipLineBreak();
            return true;
        }
    }

private:
    bool isBlank(char c) const { return c == ' ' || (c == '\t' && separator_ != '\t'); }
    bool isLineBreak(char c) const { return c == '\r' || c == '\n'; }
    bool endsField(char c) const { return (separator_ != 0 && c == separator_) || isLineBreak(c); }

    void skipLineBreak() {
        if (text_[position_] == '\r' && position_ + 1 < text_.size() && text_[position_ + 1] == '\n') ++position_;
        ++position_;
        ++line_;
    }

    void skipBlanks() {
        while (position_ < text_.size() && isBlank(text_[position_])) ++position_;
    }

    void readField(Record& record) {
        Field& field = record.fields.back();
        const size_t index = record.fields.size() - 1;
        skipBlanks();
        field.line = line_;
        if (position_ < text_.size() && text_[position_] == '"') {
            if (!readQuoted(field.text)) {
                record.issues.push_back({Message::csvUnterminatedQuote, field.line, index});
                record.unterminated = true;
                return;
            }
            skipBlanks();
            if (position_ >= text_.size() || endsField(text_[position_])) return;
            record.issues.push_back({Message::csvTextAfterQuote, line_, index});
        }
        // Unquoted text (or what follows a misplaced closing quote): up to
        // the separator or the end of the line, quotes included as typed.
        const size_t start = position_;
        while (position_ < text_.size() && !endsField(text_[position_])) ++position_;
        field.text.append(text_, start, position_ - start);
        while (!field.text.empty() && isBlank(field.text.back())) field.text.pop_back();
    }

    // From an opening quote; false when the file ends before its closing one.
    // Line breaks inside become "\n" whatever the file used.
    bool readQuoted(std::string& out) {
        ++position_;
        while (position_ < text_.size()) {
            const char c = text_[position_];
            if (c == '"') {
                if (position_ + 1 < text_.size() && text_[position_ + 1] == '"') {
                    out += '"';
                    position_ += 2;
                    continue;
                }
                ++position_;
                return true;
            }
            if (isLineBreak(c)) {
                out += '\n';
                skipLineBreak();
                continue;
            }
            const size_t start = position_;
            while (position_ < text_.size() && text_[position_] != '"' && !isLineBreak(text_[position_])) ++position_;
            out.append(text_, start, position_ - start);
        }
        return false;
    }

    const std::string& text_;
    size_t position_;
    int line_;
    char separator_;
};

// The separator is the candidate that splits the header row into the most
// fields; on a tie ";" (a French spreadsheet) wins, then tab (which no one
// types in a column name), then ",". A header of one column has none, so that
// a "," or ";" typed in an unquoted answer stays part of it.
char detectSeparator(const std::string& text, size_t position, int line) {
    char best = 0;
    size_t bestFields = 1;
    for (char candidate : {';', '\t', ','}) {
        RecordReader reader(text, position, line, candidate);
        Record header;
        reader.next(header);
        if (header.fields.size() > bestFields) {
            best = candidate;
            bestFields = header.fields.size();
        }
    }
    return best;
}

// ---------------------------------------------------------------------------
// The import itself.

constexpr size_t maxProblems = 50;

int lineAt(const std::string& text, size_t end) {
    int line = 1;
    for (size_t i = 0; i < end && i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++line;
    }
    return line;
}

class CsvImport {
public:
    explicit CsvImport(const QuizModel& model) : model_(model) {}

    std::vector<ModelProblem> problems;
    std::vector<ModelQuestion> questions;               // the rows read, at most what the model can still take
    std::vector<std::pair<size_t, std::string>> codes;  // index in `questions`, code
    bool hasCodeColumn = false;
    std::set<ModelField> filled;  // the question fields some row gives a value

    void run(const std::string& bytes) {
        if (bytes.size() >= 2 &&
            ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
            report(Message::csvUtf16, 1);
            return;
        }
        const size_t nul = bytes.find('\0');
        if (nul != std::string::npos) {
            report(Message::csvNulByte, lineAt(bytes, nul));
            return;
        }
        // Converting keeps every line break byte, so line numbers survive it.
        const bool bom = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
        std::string text = bom ? bytes.substr(3) : bytes;
        if (!isValidUtf8(text)) text = windows1252ToUtf8(text);
        readTable(text);
    }

    void reportOutOfMemory() {
        problems.clear();
        report(Message::csvOutOfMemory, 1);
    }

private:
    // False once the list is full, so that a file of a million broken rows
    // does not make a million messages.
    bool report(Message id, int line, ModelField field = ModelField::none, int question = -1,
                std::initializer_list<std::string> args = {}, std::string column = {}) {
        if (stopped_) return false;
        ModelProblem problem;
        problem.field = field;
        problem.question = question;
        problem.line = line;
        problem.column = std::move(column);
        if (problems.size() >= maxProblems) {
            problem.message = messageText(Message::csvTooManyProblems);
            problems.push_back(problem);
            stopped_ = true;
            return false;
        }
        problem.message = messageText(id, args);
        problems.push_back(problem);
        return true;
    }

    void readTable(const std::string& text) {
        // Blank lines above the header are skipped.
        size_t position = 0;
        int line = 1;
        for (size_t i = 0; i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n');
             ++i) {
            if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
                ++line;
                position = i + 1;
            }
        }
        if (position >= text.size() || text.find_first_not_of(" \t", position) == std::string::npos) {
            report(Message::csvEmptyFile, 1, ModelField::questions);
            return;
        }
        const int headerLine = line;
        RecordReader reader(text, position, line, detectSeparator(text, position, line));
        Record record;
        reader.next(record);
        readHeader(record);
        if (record.unterminated) return;

        size_t rows = 0;
        int lineOfFirstTooMany = 0;
        int firstTooMany = -1;  // its question index
        const size_t room =
            maxModelQuestions > model_.questions.size() ? maxModelQuestions - model_.questions.size() : 0;
        while (!stopped_ && reader.next(record)) {
            if (record.blank() && record.issues.empty()) continue;
            // Rows are counted in the table, so that every front-end names the same one.
            readRow(record, static_cast<int>(rows));
            ++rows;
            if (rows > room && lineOfFirstTooMany == 0) {
                lineOfFirstTooMany = record.line;
                firstTooMany = static_cast<int>(model_.questions.size() + rows - 1);
            }
            if (record.unterminated) return;
        }
        if (rows == 0) {
            report(Message::csvNoQuestion, headerLine, ModelField::questions);
        } else if (lineOfFirstTooMany != 0) {
            const size_t total = model_.questions.size() + rows;
            report(Message::csvTooManyQuestions, lineOfFirstTooMany, ModelField::questions, firstTooMany,
                   {std::to_string(total), std::to_string(model_.questions.size()), std::to_string(rows),
                    std::to_string(maxModelQuestions), std::to_string(firstTooMany + 1)});
        }
    }

    void reportIssues(const Record& record, int question) {
        for (const RecordIssue& issue : record.issues) {
            ModelField field = ModelField::none;
            std::string column;
            if (issue.field < columnOf_.size() && columnOf_[issue.field] >= 0) {
                field = static_cast<ModelField>(columnOf_[issue.field]);
                column = headers_[issue.field];
            }
            report(issue.message, issue.line, field, question, {}, column);
        }
    }

    void readHeader(const Record& header) {
        int seen[modelFieldCount];
        for (int& s : seen) s = -1;
        columnOf_.assign(header.fields.size(), unnamedColumn);
        headers_.assign(header.fields.size(), std::string());
        for (size_t i = 0; i < header.fields.size(); ++i) {
            const Field& cell = header.fields[i];
            // A name whose quote never closes is the rest of the file, not a name.
            if (header.unterminated && i + 1 == header.fields.size()) break;
            const int k = findColumn(cell.text);
            columnOf_[i] = k;
            headers_[i] = excerpt(cell.text);
            if (k == unknownColumn) {
                report(Message::csvUnknownColumn, cell.line, ModelField::unknownKey, -1,
                       {columnLetters(i), excerpt(cell.text), columnNames()});
            } else if (k >= 0 && seen[k] >= 0) {
                report(Message::csvDuplicateColumn, cell.line, static_cast<ModelField>(k), -1,
                       {columnLetters(i), excerpt(cell.text), columnLetters(static_cast<size_t>(seen[k])),
                        excerpt(header.fields[static_cast<size_t>(seen[k])].text)});
                columnOf_[i] = unknownColumn;
            } else if (k >= 0) {
                seen[k] = static_cast<int>(i);
                if (k == static_cast<int>(ModelField::rewardCodes)) hasCodeColumn = true;
            }
        }
        reportIssues(header, -1);
        if (seen[static_cast<int>(ModelField::answer)] < 0 && !header.unterminated) {
            report(Message::csvNoAnswerColumn, header.line, ModelField::answer);
        }
    }

    void readRow(const Record& record, int question) {
        reportIssues(record, question);
        ModelQuestion row;
        std::string code;
        bool extraReported = false;
        for (size_t i = 0; i < record.fields.size(); ++i) {
            const Field& cell = record.fields[i];
            if (i >= columnOf_.size()) {
                // A trailing separator typed by hand adds an empty field; only a value is wrong.
                if (!cell.text.empty() && !extraReported) {
                    extraReported = true;
                    report(Message::csvExtraValue, cell.line, ModelField::none, question,
                           {columnLetters(i), excerpt(cell.text), std::to_string(columnOf_.size())});
                }
                continue;
            }
            const int k = columnOf_[i];
            if (k == unnamedColumn) {
                if (!cell.text.empty()) {
                    report(Message::csvValueWithoutName, cell.line, ModelField::none, question,
                           {columnLetters(i), excerpt(cell.text)});
                }
            } else if (k >= 0) {
                const FieldInfo& info = fieldInfo(static_cast<ModelField>(k));
                if (info.questionOthers && cell.text.find('|') != std::string::npos) {
                    // "Amsterdam | Amsterdam aux Pays-Bas": an answer never holds "|", so it parts the choices.
                    std::vector<std::string> texts = splitChoices(cell.text);
                    row.*info.questionText = texts[0];
                    (row.*info.questionOthers).assign(texts.begin() + 1, texts.end());
                    filled.insert(info.field);
                } else if (info.questionText) {
                    row.*info.questionText = cell.text;
                    if (!cell.text.empty()) filled.insert(info.field);
                } else {
                    code = cell.text;
                }
            }
        }
        if (problems.empty() && model_.questions.size() + questions.size() < maxModelQuestions) {
            if (hasCodeColumn) codes.emplace_back(questions.size(), std::move(code));
            questions.push_back(std::move(row));
        }
    }

    const QuizModel& model_;
    std::vector<int> columnOf_;         // column of each header field: its ModelField, or unnamed / unknown
    std::vector<std::string> headers_;  // each header cell as the file writes it
    bool stopped_ = false;
};

}  // namespace

namespace {

// The reveal mode that shows what the table gives, so that an imported table
// builds as it comes: the quiz's own when it already does.
int32_t revealFor(const QuizModel& model, const std::set<ModelField>& filled) {
    const bool pictures = model.kind == kindPictures || model.kind == modelKindUnset;
    const bool comment2 = filled.count(ModelField::comment2) && pictures;
    const bool comments = filled.count(ModelField::comment) || comment2;
    const bool solution = filled.count(ModelField::solution) && pictures;
    const int32_t current = model.reveal;
    const bool shown = (!comments || revealShowsComments(current)) && (!solution || revealShowsPicture(current)) &&
                       (!comment2 || current == revealCommentAndPicture);
    if (shown || (!comments && !solution)) return current;
    if (comment2 || (comments && (solution || revealShowsPicture(current))) ||
        (solution && revealShowsComments(current))) {
        return revealCommentAndPicture;
    }
    return solution ? revealSolutionPicture : revealComment;
}

}  // namespace

std::string revealChosenNotice(int32_t mode, bool inFormWords) {
    if (mode < 0 || mode >= revealNameCount) return "";
    return inFormWords ? formMessageText(Message::csvRevealChosen, {revealLabels[mode]})
                       : messageText(Message::csvRevealChosen, {revealLabels[mode], revealNames[mode]});
}

bool importQuestionsCsv(const std::string& bytes, QuizModel& model, std::vector<ModelProblem>& problems,
                        CsvImportSummary* summary) {
    try {
        CsvImport import(model);
        try {
            import.run(bytes);
        } catch (const std::exception&) {
            import.reportOutOfMemory();
        }
        if (!import.problems.empty()) {
            problems.insert(problems.end(), import.problems.begin(), import.problems.end());
            return false;
        }
        // Built aside and swapped in, so that a failure half-way leaves the model as it was.
        std::vector<ModelQuestion> questions = model.questions;
        questions.insert(questions.end(), import.questions.begin(), import.questions.end());
        std::vector<std::string> codes = model.rewardCodes;
        if (codes.size() < questions.size()) codes.resize(questions.size());
        for (const auto& code : import.codes) codes[model.questions.size() + code.first] = code.second;
        const int32_t reveal = revealFor(model, import.filled);
        model.questions.swap(questions);
        model.rewardCodes.swap(codes);
        if (summary) {
            summary->questions = import.questions.size();
            summary->revealChosen = reveal != model.reveal ? reveal : -1;
        }
        model.reveal = reveal;
        return true;
    } catch (...) {
        // Even the report could not be made; say at least that nothing was read.
        try {
            ModelProblem problem;
            problem.line = 1;
            problem.message = messageText(Message::csvOutOfMemory);
            problems.push_back(problem);
        } catch (...) {
        }
        return false;
    }
}
