// Every value a quiz source can hold, named once: its key in a source, its
// label in the editor's form, its column names in a spreadsheet, the kinds
// of quiz that use it and when, whether it names a media file, where the
// model keeps it and where the player's quiz layout carries it. The TOML
// reader and writer, the check, the CSV import, the model's comparison, the
// assembly and the extraction, the editor's form, the web page's data and
// the messages loop over this table. A new value is one row here, plus what
// the player does with it (and, when the layout cannot carry it, the
// resource it travels in); docs/style.md lists every place a row reaches.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "authoring/messages.h"
#include "authoring/quizModel.h"
#include "authoring/quizNames.h"
#include "quiz/quizLayout.h"

// How a value is written in a source, which decides how it is read and written.
enum class FieldForm : uint8_t {
    none,       // no value of its own (the source as a whole, an unknown key)
    choice,     // one of a list of names (kind, reveal)
    number,     // an integer (answers per question)
    text,       // a text of the quiz or of a question
    textPair,   // up to two texts (captions)
    textList,   // any number of texts (reward codes)
    colour,     // "#RRGGBB" or [r, g, b]
    questions,  // the [[question]] tables
};

constexpr unsigned kindBit(int kind) {
    return 1u << kind;
}
constexpr unsigned everyKind = 0xF;
constexpr unsigned clipKinds = kindBit(kindAudio) | kindBit(kindVideo);

// When a quiz of the field's kinds uses a question's value, besides its kind.
enum class FieldUse : uint8_t {
    always,
    secondAnswer,   // answers_per_question = 2
    comment,        // a reveal mode that shows comments
    secondComment,  // the mode that shows a comment and the solution picture
    solution,       // a reveal mode that shows the solution picture
};

// Where the player's quiz layout (QuizSource, resources 104 and 105) carries
// a value, by its form; all null for a value that travels otherwise (the web
// address in a resource of its own, media as resources of their own).
struct LayoutPlace {
    std::string QuizSource::*text = nullptr;   // text; a pair's first
    std::string QuizSource::*text2 = nullptr;  // a pair's second
    int32_t QuizSource::*number = nullptr;     // choice, number
    uint8_t QuizSource::*bytes[3] = {};        // colour: red, green, blue
    std::vector<std::string> QuizSource::*list = nullptr;
    std::string QuizSourceQuestion::*questionText = nullptr;
};

struct FieldInfo {
    ModelField field = ModelField::none;
    const char* key = "";    // as a source names it ("" for none)
    const char* label = "";  // as the editor's form names it, UTF-8, without the colon
    // Spreadsheet column names, the first as a French author reads it; a
    // header cell matches any of them ignoring case, accents, spaces, "_" and "-".
    const char* columns[4] = {};
    unsigned kinds = 0;  // the kinds of quiz whose player shows it
    FieldForm form = FieldForm::none;
    FieldUse use = FieldUse::always;
    bool media = false;         // a path to a picture or clip
    bool writtenFirst = false;  // what a question asks: first in its [[question]] table
    // A choice or a number: the words the form offers, by value (a number's
    // from 1), and for a choice the names a source gives them.
    const char* const* choices = nullptr;
    const char* const* names = nullptr;
    int choiceCount = 0;
    Message formProblem = Message::tomlSyntax;  // what a value of another form says
    // Where the model keeps the value, by its form (the others null).
    std::string QuizModel::*quizText = nullptr;   // a text of the quiz; a pair's first
    std::string QuizModel::*quizText2 = nullptr;  // a pair's second
    int32_t QuizModel::*quizNumber = nullptr;     // choice, number
    uint8_t QuizModel::*quizBytes[3] = {};        // colour: red, green, blue
    std::vector<std::string> QuizModel::*quizList = nullptr;
    std::string ModelQuestion::*questionText = nullptr;  // a text of a question
    // An accepted answer: the others a box accepts (a source lists them after the main one).
    std::vector<std::string> ModelQuestion::*questionOthers = nullptr;
    LayoutPlace layout;
};

// The row of a field; every ModelField has one, in the enumeration's order.
const FieldInfo& fieldInfo(ModelField field);
// The rows of every field, in the enumeration's order.
const FieldInfo* fieldTable();
int fieldCount();

// Whether a field belongs to a question ([[question]] tables), not to the quiz.
constexpr bool isQuestionField(ModelField field) {
    return field > ModelField::questions && field < ModelField::unknownKey;
}

// The field named by a key of a source's root table (isQuestion false) or
// of a [[question]] table; ModelField::unknownKey when none.
ModelField fieldOfKey(const std::string& key, bool isQuestion);

// The field named by a spreadsheet column header, ModelField::none when none.
ModelField fieldOfColumn(const std::string& header);
// The known column names, as a message lists them: "réponse (answer), ...".
std::string columnNames();

// Whether a quiz uses a question field: its kind shows it and, for some, its
// answer count or reveal mode asks for it.
bool fieldUsed(const QuizModel& model, ModelField field);

// A value of the model, whatever its form, through the table: whether two
// models (or two questions) hold the same one, and its copy into the
// player's layout (texts converted to Windows-1252) and back (to UTF-8).
bool sameValue(const FieldInfo& info, const QuizModel& a, const QuizModel& b);
bool sameValue(const FieldInfo& info, const ModelQuestion& a, const ModelQuestion& b);
void copyToLayout(const FieldInfo& info, const QuizModel& model, QuizSource& source);
void copyToLayout(const FieldInfo& info, const ModelQuestion& question, QuizSourceQuestion& layout);
void copyFromLayout(const FieldInfo& info, const QuizSource& source, QuizModel& model);
void copyFromLayout(const FieldInfo& info, const QuizSourceQuestion& layout, ModelQuestion& question);

// The words the editor's form shows for the kinds and reveal modes, by
// value (a source names them with kindNames and revealNames).
extern const char* const kindLabels[kindNameCount];
extern const char* const revealLabels[revealNameCount];
extern const char* const answerCountLabels[2];
