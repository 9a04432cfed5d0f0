#include "authoring/quizFields.h"

namespace {

using F = ModelField;
using Q = ModelQuestion;
using M = QuizModel;
constexpr unsigned pictureKind = kindBit(kindPictures);
// The player shows comments beside a picture or a clip, never in a text quiz.
constexpr unsigned commentKinds = pictureKind | clipKinds;

constexpr FieldInfo fields[] = {
    {F::none, "", u8"Fichier", {}, everyKind, FieldForm::none, false, nullptr, nullptr},
    {F::kind, "kind", u8"Type", {}, everyKind, FieldForm::choice, false, nullptr, nullptr},
    {F::title, "title", u8"Titre", {}, everyKind, FieldForm::text, false, &M::title, nullptr},
    {F::author, "author", u8"Auteur", {}, everyKind, FieldForm::text, false, &M::author, nullptr},
    {F::explanations,
     "explanations",
     u8"Explications",
     {},
     everyKind,
     FieldForm::text,
     false,
     &M::explanations,
     nullptr},
    {F::link, "link", u8"Adresse web", {}, everyKind, FieldForm::text, false, &M::link, nullptr},
    {F::answersPerQuestion,
     "answers_per_question",
     u8"R\u00E9ponses par question",
     {},
     everyKind,
     FieldForm::number,
     false,
     nullptr,
     nullptr},
    {F::captions, "captions", u8"L\u00E9gende", {}, everyKind, FieldForm::textPair, false, nullptr, nullptr},
    {F::reveal,
     "reveal",
     u8"Apr\u00E8s une bonne r\u00E9ponse",
     {},
     everyKind,
     FieldForm::choice,
     false,
     nullptr,
     nullptr},
    {F::colour, "colour", u8"Couleur", {}, everyKind, FieldForm::colour, false, nullptr, nullptr},
    {F::rewardCodes,
     "reward_codes",
     u8"Codes de r\u00E9compense",
     {"code"},
     everyKind,
     FieldForm::textList,
     false,
     nullptr,
     nullptr},
    {F::questions, "question", u8"Questions", {}, everyKind, FieldForm::questions, false, nullptr, nullptr},
    {F::answer,
     "answer",
     u8"R\u00E9ponse",
     {u8"r\u00E9ponse", "answer", u8"r\u00E9ponse1", "answer1"},
     everyKind,
     FieldForm::text,
     false,
     nullptr,
     &Q::answer},
    {F::answer2,
     "answer2",
     u8"R\u00E9ponse 2",
     {u8"r\u00E9ponse2", "answer2"},
     everyKind,
     FieldForm::text,
     false,
     nullptr,
     &Q::answer2},
    {F::prompt,
     "prompt",
     u8"\u00C9nonc\u00E9",
     {u8"\u00E9nonc\u00E9", "prompt", "consigne"},
     everyKind,
     FieldForm::text,
     false,
     nullptr,
     &Q::prompt},
    {F::comment,
     "comment",
     u8"Commentaire",
     {"commentaire", "comment", "commentaire1", "comment1"},
     commentKinds,
     FieldForm::text,
     false,
     nullptr,
     &Q::comment},
    {F::comment2,
     "comment2",
     u8"Commentaire 2",
     {"commentaire2", "comment2"},
     pictureKind,
     FieldForm::text,
     false,
     nullptr,
     &Q::comment2},
    {F::picture, "picture", u8"Image", {"image", "picture"}, pictureKind, FieldForm::text, true, nullptr, &Q::picture},
    {F::solution,
     "solution",
     u8"Image solution",
     {"solution", "image solution"},
     pictureKind,
     FieldForm::text,
     true,
     nullptr,
     &Q::solution},
    {F::clip, "clip", u8"Extrait", {"extrait", "clip"}, clipKinds, FieldForm::text, true, nullptr, &Q::clip},
    {F::unknownKey, "", u8"Cl\u00E9", {}, 0, FieldForm::none, false, nullptr, nullptr},
};
constexpr int count = static_cast<int>(sizeof fields / sizeof fields[0]);

// A row left out or moved would make a field name another's values.
constexpr bool inOrder() {
    for (int i = 0; i < count; ++i) {
        if (static_cast<int>(fields[i].field) != i) return false;
    }
    return count == static_cast<int>(ModelField::unknownKey) + 1;
}
static_assert(inOrder(), "one row per field, in the order of ModelField");

// Base letters of U+00C0..U+00FF, 0 where there is none (Æ, ß, ×...).
const char latinBase[65] =
    "aaaaaa\0ceeeeiiii\0nooooo\0ouuuuy\0\0"
    "aaaaaa\0ceeeeiiii\0nooooo\0ouuuuy\0y";

// A column header as compared: lower case, without accents, spaces, "_" or "-".
std::string normaliseName(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        const unsigned char next = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
        if (c == ' ' || c == '\t' || c == '_' || c == '-') continue;
        if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c - 'A' + 'a');
        } else if (c == 0xC3 && next >= 0x80 && next <= 0xBF && latinBase[next - 0x80]) {
            out += latinBase[next - 0x80];
            ++i;
        } else if ((c == 0xC2 && next == 0xA0) || (c == 0xCC && next >= 0x80) ||
                   (c == 0xCD && next >= 0x80 && next <= 0xAF)) {
            ++i;  // no-break space, or a combining accent (U+0300..U+036F) of a decomposed letter
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace

const char* const kindLabels[kindNameCount] = {u8"texte", u8"images", u8"audio", u8"vid\u00E9o"};
const char* const revealLabels[revealNameCount] = {
    u8"rien de plus",          u8"l'image solution", u8"le commentaire", u8"le commentaire et l'image solution",
    u8"tous les commentaires",
};

const FieldInfo& fieldInfo(ModelField field) {
    const int index = static_cast<int>(field);
    return fields[index >= 0 && index < count ? index : 0];
}

const FieldInfo* fieldTable() {
    return fields;
}

int fieldCount() {
    return count;
}

ModelField fieldOfKey(const std::string& key, bool isQuestion) {
    for (const FieldInfo& info : fields) {
        if (*info.key && key == info.key && isQuestionField(info.field) == isQuestion) return info.field;
    }
    return ModelField::unknownKey;
}

ModelField fieldOfColumn(const std::string& header) {
    const std::string name = normaliseName(header);
    if (name.empty()) return ModelField::none;
    for (const FieldInfo& info : fields) {
        for (const char* column : info.columns) {
            if (column && normaliseName(column) == name) return info.field;
        }
    }
    return ModelField::unknownKey;
}

std::string columnNames() {
    std::string out;
    auto add = [&out](const FieldInfo& info) {
        if (!info.columns[0]) return;
        if (!out.empty()) out += ", ";
        out += info.columns[0];
        // The English name too, when it is another word.
        const char* other = info.columns[1];
        if (other && normaliseName(other) != normaliseName(info.columns[0]) &&
            std::string(other).find(' ') == std::string::npos) {
            out += std::string(" (") + other + ")";
        }
    };
    // The question's columns, then the score's code, as a table is laid out.
    for (const FieldInfo& info : fields) {
        if (isQuestionField(info.field)) add(info);
    }
    add(fieldInfo(ModelField::rewardCodes));
    return out;
}

std::string columnName(ModelField field) {
    const FieldInfo& info = fieldInfo(field);
    return info.columns[0] ? info.columns[0] : info.key;
}
