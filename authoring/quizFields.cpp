#include "authoring/quizFields.h"

#include <initializer_list>

#include "authoring/windows1252.h"

namespace {

using F = ModelField;
using Q = ModelQuestion;
using M = QuizModel;
using S = QuizSource;
using SQ = QuizSourceQuestion;
constexpr unsigned pictureKind = kindBit(kindPictures);
// The player shows comments beside a picture or a clip, never in a text quiz.
constexpr unsigned commentKinds = pictureKind | clipKinds;

// A row of the table, written as what it is, then where its value lives.
struct Row : FieldInfo {
    constexpr Row(F field, const char* key, const char* label, FieldForm form, unsigned kinds = everyKind)
        : FieldInfo() {
        this->field = field;
        this->key = key;
        this->label = label;
        this->form = form;
        this->kinds = kinds;
    }
    constexpr Row columnsOf(std::initializer_list<const char*> names) const {
        Row r = *this;
        int i = 0;
        for (const char* name : names) r.columns[i++] = name;
        return r;
    }
    template <size_t n>
    constexpr Row choosing(const char* const (&labels)[n], const char* const* sourceNames = nullptr) const {
        Row r = *this;
        r.choices = labels;
        r.names = sourceNames;
        r.choiceCount = static_cast<int>(n);
        return r;
    }
    constexpr Row refusing(Message message) const {
        Row r = *this;
        r.formProblem = message;
        return r;
    }
    constexpr Row askedFirst() const {
        Row r = *this;
        r.writtenFirst = true;
        return r;
    }
    constexpr Row usedWhen(FieldUse when) const {
        Row r = *this;
        r.use = when;
        return r;
    }
    // A text of the quiz; without a place in the layout it travels otherwise.
    constexpr Row text(std::string M::*model, std::string S::*layoutText = nullptr) const {
        Row r = *this;
        r.quizText = model;
        r.layout.text = layoutText;
        return r;
    }
    constexpr Row pair(std::string M::*first, std::string M::*second, std::string S::*layoutFirst,
                       std::string S::*layoutSecond) const {
        Row r = text(first, layoutFirst);
        r.quizText2 = second;
        r.layout.text2 = layoutSecond;
        return r;
    }
    constexpr Row number(int32_t M::*model, int32_t S::*layoutNumber) const {
        Row r = *this;
        r.quizNumber = model;
        r.layout.number = layoutNumber;
        return r;
    }
    constexpr Row colour(uint8_t M::*red, uint8_t M::*green, uint8_t M::*blue, uint8_t S::*layoutRed,
                         uint8_t S::*layoutGreen, uint8_t S::*layoutBlue) const {
        Row r = *this;
        r.quizBytes[0] = red;
        r.quizBytes[1] = green;
        r.quizBytes[2] = blue;
        r.layout.bytes[0] = layoutRed;
        r.layout.bytes[1] = layoutGreen;
        r.layout.bytes[2] = layoutBlue;
        return r;
    }
    constexpr Row list(std::vector<std::string> M::*model, std::vector<std::string> S::*layoutList) const {
        Row r = *this;
        r.quizList = model;
        r.layout.list = layoutList;
        return r;
    }
    constexpr Row question(std::string Q::*model, std::string SQ::*layoutText = nullptr) const {
        Row r = *this;
        r.questionText = model;
        r.layout.questionText = layoutText;
        return r;
    }
    // A box's accepted answers: its main one in the layout, the others in a
    // resource of their own (107), so that a player without it still reads 104.
    constexpr Row accepted(std::string Q::*main, std::string SQ::*layoutText,
                           std::vector<std::string> Q::*others) const {
        Row r = question(main, layoutText);
        r.questionOthers = others;
        r.formProblem = Message::acceptedForm;
        return r;
    }
    // A path to a picture or a clip, which travels as a resource of its own.
    constexpr Row mediaFile(std::string Q::*model) const {
        Row r = question(model);
        r.media = true;
        return r;
    }
};

using Form = FieldForm;
constexpr FieldInfo fields[] = {
    Row(F::none, "", u8"Fichier", Form::none),
    Row(F::kind, "kind", u8"Type", Form::choice)
        .choosing(kindLabels, kindNames)
        .refusing(Message::kindChoice)
        .number(&M::kind, &S::kind),
    Row(F::title, "title", u8"Titre", Form::text).text(&M::title, &S::title),
    Row(F::author, "author", u8"Auteur", Form::text).text(&M::author, &S::author),
    Row(F::explanations, "explanations", u8"Explications", Form::text).text(&M::explanations, &S::explanations),
    // Resource 106, so that a player without it still reads 104.
    Row(F::link, "link", u8"Adresse web", Form::text).text(&M::link),
    Row(F::answersPerQuestion, "answers_per_question", u8"R\u00E9ponses par question", Form::number)
        .choosing(answerCountLabels)
        .refusing(Message::answersChoice)
        .number(&M::answersPerQuestion, &S::answersPerQuestion),
    Row(F::captions, "captions", u8"L\u00E9gende", Form::textPair)
        .refusing(Message::captionsForm)
        .pair(&M::caption1, &M::caption2, &S::caption1, &S::caption2),
    Row(F::reveal, "reveal", u8"Apr\u00E8s une bonne r\u00E9ponse", Form::choice)
        .choosing(revealLabels, revealNames)
        .refusing(Message::revealChoice)
        .number(&M::reveal, &S::revealMode),
    Row(F::colour, "colour", u8"Couleur", Form::colour)
        .refusing(Message::colourForm)
        .colour(&M::colourRed, &M::colourGreen, &M::colourBlue, &S::colourRed, &S::colourGreen, &S::colourBlue),
    Row(F::rewardCodes, "reward_codes", u8"Codes de r\u00E9compense", Form::textList)
        .columnsOf({"code"})
        .refusing(Message::rewardCodesForm)
        .list(&M::rewardCodes, &S::rewardCodes),
    Row(F::questions, "question", u8"Questions", Form::questions),
    Row(F::answer, "answer", u8"R\u00E9ponse", Form::text)
        .columnsOf({u8"r\u00E9ponse", "answer", u8"r\u00E9ponse1", "answer1"})
        .accepted(&Q::answer, &SQ::answer1, &Q::otherAnswers),
    Row(F::answer2, "answer2", u8"R\u00E9ponse 2", Form::text)
        .columnsOf({u8"r\u00E9ponse2", "answer2"})
        .usedWhen(FieldUse::secondAnswer)
        .accepted(&Q::answer2, &SQ::answer2, &Q::otherAnswers2),
    Row(F::prompt, "prompt", u8"\u00C9nonc\u00E9", Form::text)
        .columnsOf({u8"\u00E9nonc\u00E9", "prompt", "consigne"})
        .askedFirst()
        .question(&Q::prompt, &SQ::prompt),
    // Wanted whatever the kind when the mode shows comments: the mode is then the problem, said once.
    Row(F::comment, "comment", u8"Commentaire", Form::text, commentKinds)
        .columnsOf({"commentaire", "comment", "commentaire1", "comment1"})
        .usedWhen(FieldUse::comment)
        .question(&Q::comment, &SQ::comment),
    Row(F::comment2, "comment2", u8"Commentaire 2", Form::text, pictureKind)
        .columnsOf({"commentaire2", "comment2"})
        .usedWhen(FieldUse::secondComment)
        .question(&Q::comment2, &SQ::secondComment),
    Row(F::picture, "picture", u8"Image", Form::text, pictureKind)
        .columnsOf({"image", "picture"})
        .mediaFile(&Q::picture),
    Row(F::solution, "solution", u8"Image solution", Form::text, pictureKind)
        .columnsOf({"solution", "image solution"})
        .usedWhen(FieldUse::solution)
        .mediaFile(&Q::solution),
    Row(F::clip, "clip", u8"Extrait", Form::text, clipKinds).columnsOf({"extrait", "clip"}).mediaFile(&Q::clip),
    Row(F::unknownKey, "", u8"Cl\u00E9", Form::none, 0),
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

const char* const answerCountLabels[2] = {"1", "2"};
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

bool fieldUsed(const QuizModel& model, ModelField field) {
    const FieldInfo& info = fieldInfo(field);
    const bool kindKnown = model.kind >= 0 && model.kind < kindNameCount;
    // A value of every kind is used before the kind is chosen too.
    const bool kindShows = info.kinds == everyKind || (kindKnown && (info.kinds & kindBit(model.kind)));
    switch (info.use) {
        case FieldUse::secondAnswer: return model.answersPerQuestion == 2;
        case FieldUse::comment: return revealShowsComments(model.reveal);
        case FieldUse::secondComment: return model.reveal == revealCommentAndPicture;
        case FieldUse::solution: return revealShowsPicture(model.reveal) && kindShows;
        case FieldUse::always: break;
    }
    return kindShows;
}

namespace {

// A checked text always converts; anything else would have been a problem.
std::string ansi(const std::string& utf8) {
    std::string out;
    utf8ToWindows1252(utf8, out);
    return out;
}

}  // namespace

bool sameValue(const FieldInfo& info, const QuizModel& a, const QuizModel& b) {
    for (std::string QuizModel::*text : {info.quizText, info.quizText2}) {
        if (text && a.*text != b.*text) return false;
    }
    if (info.quizNumber && a.*info.quizNumber != b.*info.quizNumber) return false;
    for (uint8_t QuizModel::*byte : info.quizBytes) {
        if (byte && a.*byte != b.*byte) return false;
    }
    if (info.quizList && a.*info.quizList != b.*info.quizList) return false;
    if (info.form == FieldForm::questions && a.questions != b.questions) return false;
    return true;
}

bool sameValue(const FieldInfo& info, const ModelQuestion& a, const ModelQuestion& b) {
    if (info.questionOthers && a.*info.questionOthers != b.*info.questionOthers) return false;
    return !info.questionText || a.*info.questionText == b.*info.questionText;
}

void copyToLayout(const FieldInfo& info, const QuizModel& model, QuizSource& source) {
    const LayoutPlace& to = info.layout;
    if (info.quizText && to.text) source.*to.text = ansi(model.*info.quizText);
    if (info.quizText2 && to.text2) source.*to.text2 = ansi(model.*info.quizText2);
    if (info.quizNumber && to.number) source.*to.number = model.*info.quizNumber;
    for (int i = 0; i < 3; ++i) {
        if (info.quizBytes[i] && to.bytes[i]) source.*to.bytes[i] = model.*info.quizBytes[i];
    }
    if (info.quizList && to.list) {
        for (const std::string& text : model.*info.quizList) (source.*to.list).push_back(ansi(text));
    }
}

void copyToLayout(const FieldInfo& info, const ModelQuestion& question, QuizSourceQuestion& layout) {
    if (info.questionText && info.layout.questionText) {
        layout.*info.layout.questionText = ansi(question.*info.questionText);
    }
}

void copyFromLayout(const FieldInfo& info, const QuizSource& source, QuizModel& model) {
    const LayoutPlace& from = info.layout;
    if (info.quizText && from.text) model.*info.quizText = windows1252ToUtf8(source.*from.text);
    if (info.quizText2 && from.text2) model.*info.quizText2 = windows1252ToUtf8(source.*from.text2);
    if (info.quizNumber && from.number) model.*info.quizNumber = source.*from.number;
    for (int i = 0; i < 3; ++i) {
        if (info.quizBytes[i] && from.bytes[i]) model.*info.quizBytes[i] = source.*from.bytes[i];
    }
    if (info.quizList && from.list) {
        for (const std::string& text : source.*from.list) (model.*info.quizList).push_back(windows1252ToUtf8(text));
    }
}

void copyFromLayout(const FieldInfo& info, const QuizSourceQuestion& layout, ModelQuestion& question) {
    if (info.questionText && info.layout.questionText) {
        question.*info.questionText = windows1252ToUtf8(layout.*info.layout.questionText);
    }
}
