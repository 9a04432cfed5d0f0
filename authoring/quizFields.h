// Every value a quiz source can hold, named once: its key in a source, its
// label in the editor's form, its column names in a spreadsheet, the kinds
// of quiz that use it and whether it names a media file. The TOML reader and
// writer, the check, the CSV import, the editor's form and the messages loop
// over this table, so a new value is one row here (plus its player side).
#pragma once

#include <cstdint>
#include <string>

#include "authoring/quizModel.h"
#include "authoring/quizNames.h"

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

struct FieldInfo {
    ModelField field;
    const char* key;    // as a source names it ("" for none)
    const char* label;  // as the editor's form names it, UTF-8, without the colon
    // Spreadsheet column names, the first as a French author reads it; a
    // header cell matches any of them ignoring case, accents, spaces, "_" and "-".
    const char* columns[4];
    unsigned kinds;  // the kinds of quiz whose player shows it
    FieldForm form;
    bool media;                                // a path to a picture or clip
    std::string QuizModel::*quizText;          // a text of the quiz, else null
    std::string ModelQuestion::*questionText;  // a text of a question, else null
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
// How a problem of a spreadsheet names a field: its header as the file
// wrote it when known, else the field's first column name.
std::string columnName(ModelField field);

// The words the editor's form shows for the kinds and reveal modes, by
// value (a source names them with kindNames and revealNames).
extern const char* const kindLabels[kindNameCount];
extern const char* const revealLabels[revealNameCount];
