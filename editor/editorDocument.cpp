#include "editor/editorDocument.h"

#include <algorithm>

#include "authoring/messages.h"
#include "authoring/quizFields.h"
#include "authoring/quizNames.h"
#include "authoring/quizToml.h"
#include "authoring/workflows.h"
#include "quiz/quiz.h"

namespace {

bool hasSelection(const EditorDocument& document) {
    return document.selected >= 0 && static_cast<size_t>(document.selected) < document.model.questions.size();
}

// The question field a ModelField names, or null for a quiz field.
std::string* questionText(ModelQuestion& question, ModelField field) {
    std::string ModelQuestion::*member = fieldInfo(field).questionText;
    return member ? &(question.*member) : nullptr;
}

// Item 1 of a pair is its second text, item 0 its first; a single text has no items.
std::string* quizText(QuizModel& model, ModelField field, int item) {
    const FieldInfo& info = fieldInfo(field);
    std::string QuizModel::*member = !info.quizText2 ? info.quizText
                                     : item == 0     ? info.quizText
                                     : item == 1     ? info.quizText2
                                                     : nullptr;
    return member ? &(model.*member) : nullptr;
}

// "énoncé" for "Énoncé": the first letter in lower case, accented capitals of Latin-1 included.
std::string lowerFirst(std::string text) {
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] - 'A' + 'a');
    const auto second = text.size() > 1 ? static_cast<uint8_t>(text[1]) : 0;
    if (text.size() > 1 && static_cast<uint8_t>(text[0]) == 0xC3 && second >= 0x80 && second <= 0x9E &&
        second != 0x97) {
        text[1] = static_cast<char>(second + 0x20);
    }
    return text;
}

// A value set in the form replaces what the source held under its key.
void dropExtra(std::vector<SourceExtra>& extras, ModelField field) {
    const std::string key = fieldInfo(field).key;
    extras.erase(std::remove_if(extras.begin(), extras.end(), [&](const SourceExtra& e) { return e.key == key; }),
                 extras.end());
}

std::string* textOf(EditorDocument& document, ModelField field, int item) {
    if (std::string* text = quizText(document.model, field, item)) return text;
    if (!hasSelection(document)) return nullptr;
    return questionText(document.model.questions[document.selected], field);
}

bool contains(const std::vector<std::string>& codes, const std::string& code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

}  // namespace

EditorDocument newDocument() {
    EditorDocument document;
    document.model.kind = kindText;
    document.model.questions.resize(1);
    document.saved = document.model;
    document.selected = 0;
    return document;
}

EditorDocument openedDocument(const QuizModel& model, const std::string& path) {
    EditorDocument document;
    document.model = model;
    document.saved = model;
    document.path = path;
    document.selected = model.questions.empty() ? -1 : 0;
    return document;
}

void markSaved(EditorDocument& document, const std::string& path) {
    document.saved = document.model;
    document.path = path;
}

bool addQuestion(EditorDocument& document) {
    std::vector<ModelQuestion>& questions = document.model.questions;
    if (questions.size() >= maxModelQuestions) return false;
    const int at = hasSelection(document) ? document.selected + 1 : static_cast<int>(questions.size());
    questions.insert(questions.begin() + at, ModelQuestion());
    document.selected = at;
    return true;
}

bool duplicateQuestion(EditorDocument& document) {
    std::vector<ModelQuestion>& questions = document.model.questions;
    if (!hasSelection(document) || questions.size() >= maxModelQuestions) return false;
    const ModelQuestion copy = questions[document.selected];
    questions.insert(questions.begin() + document.selected + 1, copy);
    ++document.selected;
    return true;
}

bool deleteQuestion(EditorDocument& document) {
    std::vector<ModelQuestion>& questions = document.model.questions;
    if (!hasSelection(document)) return false;
    questions.erase(questions.begin() + document.selected);
    // The one that took its place, else the new last one.
    if (static_cast<size_t>(document.selected) >= questions.size()) {
        document.selected = static_cast<int>(questions.size()) - 1;
    }
    return true;
}

bool moveQuestionUp(EditorDocument& document) {
    if (!hasSelection(document) || document.selected == 0) return false;
    std::swap(document.model.questions[document.selected], document.model.questions[document.selected - 1]);
    --document.selected;
    return true;
}

bool moveQuestionDown(EditorDocument& document) {
    if (!hasSelection(document) || static_cast<size_t>(document.selected) + 1 >= document.model.questions.size()) {
        return false;
    }
    std::swap(document.model.questions[document.selected], document.model.questions[document.selected + 1]);
    ++document.selected;
    return true;
}

bool selectQuestion(EditorDocument& document, int index) {
    if (index < 0 || static_cast<size_t>(index) >= document.model.questions.size()) return false;
    document.selected = index;
    return true;
}

namespace {

// The answers a box accepts besides its main one (item 1 of a field of
// accepted answers) of the selected question; null for another field.
std::vector<std::string>* othersOf(EditorDocument& document, ModelField field, int item) {
    std::vector<std::string> ModelQuestion::*member = fieldInfo(field).questionOthers;
    if (!member || item != 1 || !hasSelection(document)) return nullptr;
    return &(document.model.questions[document.selected].*member);
}

}  // namespace

std::string fieldText(const EditorDocument& document, ModelField field, int item) {
    if (const std::vector<std::string>* others = othersOf(const_cast<EditorDocument&>(document), field, item)) {
        return rewardCodesText(*others);
    }
    const std::string* text = textOf(const_cast<EditorDocument&>(document), field, item);
    return text ? *text : std::string();
}

bool setFieldText(EditorDocument& document, ModelField field, const std::string& utf8, int item) {
    if (std::vector<std::string>* others = othersOf(document, field, item)) {
        // One per line; the empty lines at the end are the author's next one.
        const std::vector<std::string> lines = rewardCodesFromText(utf8);
        if (lines == *others) return false;
        *others = lines;
        dropExtra(document.model.questions[document.selected].extras, field);
        return true;
    }
    std::string* text = textOf(document, field, item);
    if (!text || *text == utf8) return false;
    *text = utf8;
    if (isQuestionField(field)) {
        dropExtra(document.model.questions[document.selected].extras, field);
    } else {
        dropExtra(document.model.extras, field);
    }
    return true;
}

void fieldChanged(EditorDocument& document, ModelField field) {
    dropExtra(document.model.extras, field);
}

bool deleteKeptValue(EditorDocument& document, const ModelProblem& problem) {
    if (problem.field != ModelField::unknownKey || problem.key.empty()) return false;
    std::vector<SourceExtra>* extras = &document.model.extras;
    if (problem.question >= 0) {
        if (static_cast<size_t>(problem.question) >= document.model.questions.size()) return false;
        extras = &document.model.questions[problem.question].extras;
    }
    const size_t before = extras->size();
    extras->erase(
        std::remove_if(extras->begin(), extras->end(), [&](const SourceExtra& e) { return e.key == problem.key; }),
        extras->end());
    return extras->size() != before;
}

std::string keptValueText(const EditorDocument& document, const ModelProblem& problem) {
    if (problem.field != ModelField::unknownKey) return "";
    const std::vector<SourceExtra>* extras = &document.model.extras;
    if (problem.question >= 0) {
        if (static_cast<size_t>(problem.question) >= document.model.questions.size()) return "";
        extras = &document.model.questions[problem.question].extras;
    }
    for (const SourceExtra& extra : *extras) {
        if (extra.key == problem.key) return extra.key + " = " + extra.value;
    }
    return "";
}

bool fieldEnabled(const QuizModel& model, const ModelQuestion& question, ModelField field) {
    const FieldInfo& info = fieldInfo(field);
    return fieldUsed(model, field) || (info.questionText && !(question.*info.questionText).empty());
}

int previewSlot(ModelField field) {
    int slot = 0;
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldInfo& info = fieldTable()[i];
        // A picture of the picture kind; a clip has nothing to preview.
        if (!info.media || info.kinds != kindBit(kindPictures)) continue;
        if (info.field == field) return slot < previewCount ? slot : -1;
        ++slot;
    }
    return -1;
}

ModelField previewedField(int slot) {
    for (int i = 0; i < fieldCount(); ++i) {
        if (previewSlot(fieldTable()[i].field) == slot) return fieldTable()[i].field;
    }
    return ModelField::none;
}

std::string questionListLine(int index, const ModelQuestion& question, bool hasProblem, int32_t kind) {
    std::string line = std::to_string(index + 1) + ". ";
    const std::string& media = kind == kindPictures                     ? question.picture
                               : kind == kindAudio || kind == kindVideo ? question.clip
                                                                        : std::string();
    const size_t slash = media.find_last_of("/\\");
    const std::string file = slash == std::string::npos ? media : media.substr(slash + 1);
    if (!file.empty()) {
        line += file;
        if (!question.answer.empty()) line += u8" \u2014 " + question.answer;
    } else {
        line += question.answer.empty() ? std::string(u8"(sans r\u00E9ponse)") : question.answer;
    }
    if (hasProblem) line += " (!)";
    return line;
}

bool questionHasProblem(const std::vector<ModelProblem>& problems, int index) {
    for (const ModelProblem& problem : problems) {
        if (problem.question == index && problem.field > ModelField::questions) return true;
    }
    return false;
}

std::string revealChoiceLabel(int32_t kind, int32_t mode) {
    if (mode < 0 || mode >= revealNameCount) return "";
    std::string label = revealLabels[mode];
    if (kind == kindText && revealShowsComments(mode)) label += u8" (un quiz de texte ne les montre pas)";
    return label;
}

std::vector<ModelProblem> listedProblems(const std::vector<ModelProblem>& problems,
                                         const std::vector<ModelProblem>& warnings) {
    std::vector<ModelProblem> listed = problems;
    for (const ModelProblem& warning : warnings) {
        if (warning.field != ModelField::none) listed.push_back(warning);
    }
    return listed;
}

std::string formLabel(ModelField field, int item) {
    std::string label = fieldInfo(field).label;
    if (field == ModelField::captions && item >= 0) label += " " + std::to_string(item + 1);
    return label + " :";
}

std::string problemLine(const ModelProblem& problem) {
    const int field = static_cast<int>(problem.field);
    const FieldInfo& info = fieldInfo(field >= 0 && field < fieldCount() ? problem.field : ModelField::none);
    std::string where = info.label;
    if (problem.field == ModelField::unknownKey) where += u8" \u00AB " + problem.key + u8" \u00BB";
    if (!problem.column.empty()) where = u8"Colonne \u00AB " + problem.column + u8" \u00BB";
    if ((isQuestionField(problem.field) || problem.field == ModelField::unknownKey || !problem.column.empty()) &&
        problem.question >= 0) {
        where = "Question " + std::to_string(problem.question + 1) + ", " + lowerFirst(where);
    } else if (problem.item >= 0 && problem.field == ModelField::captions) {
        where += " " + std::to_string(problem.item + 1);
    } else if (problem.item >= 0 && problem.field == ModelField::rewardCodes) {
        where = u8"Code du score " + std::to_string(problem.item + 1);
    }
    const std::string& message = problem.formMessage.empty() ? problem.message : problem.formMessage;
    return where + (problem.warning ? u8" (attention) : " : " : ") + message;
}

std::string statusLine(size_t questions, size_t problems, size_t warnings) {
    std::string line =
        counted(questions, "question", "questions") + ", " + counted(problems, u8"probl\u00E8me", u8"probl\u00E8mes");
    if (warnings > 0) line += ", " + counted(warnings, "avertissement", "avertissements");
    return line;
}

std::string picturesRowWarning(const QuizModel& model) {
    return picturesRowWarningText(model);
}

std::string windowTitle(const std::string& path, bool dirty) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = path.empty() ? "Sans titre" : slash == std::string::npos ? path : path.substr(slash + 1);
    return name + (dirty ? "*" : "") + u8" \u2014 Atelier Vetra";
}

std::string buildRefusedText(size_t problems) {
    return u8"Le quiz ne peut pas \u00EAtre construit : il reste " +
           counted(problems, u8"probl\u00E8me", u8"probl\u00E8mes") +
           u8" \u00E0 corriger (voir la liste des probl\u00E8mes).";
}

std::string rewardCodesText(const std::vector<std::string>& codes) {
    std::string text;
    for (size_t i = 0; i < codes.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += codes[i];
    }
    return text;
}

std::vector<std::string> rewardCodesFromText(const std::string& text) {
    std::vector<std::string> codes;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        codes.push_back(line);
        start = end + 1;
    }
    while (!codes.empty() && codes.back().empty()) codes.pop_back();
    return codes;
}

std::string rewardScoresText(size_t questions, size_t codes) {
    std::string text;
    for (size_t score = 1; score <= std::max(questions, codes); ++score) {
        if (score > 1) text += "\r\n";
        text += score > questions ? messageText(Message::rewardScoreExtra)
                                  : countedMessage(score, Message::rewardScoreOne, Message::rewardScoreMany);
    }
    return text;
}

int previewSide(int width, int height) {
    const int gap = 12;
    for (const int side : {260, 130}) {
        if (2 * side + gap <= width && side <= height) return side;
    }
    return 0;
}

bool completeRewardCodes(QuizModel& model, const std::function<uint32_t()>& random) {
    static const char letters[] = "23456789ABCDEFGHJKLMNPQRSTUVWXYZ";
    std::vector<std::string>& codes = model.rewardCodes;
    if (codes.size() < model.questions.size()) codes.resize(model.questions.size());
    bool changed = false;
    for (size_t n = 0; n < codes.size(); ++n) {
        if (!codes[n].empty()) continue;
        std::string fresh;
        // A poor random source must not hang the window: after enough draws
        // the score's number makes the code new.
        for (int attempt = 0; attempt < 100 && (fresh.empty() || contains(codes, fresh)); ++attempt) {
            fresh.clear();
            for (int i = 0; i < 6; ++i) fresh += letters[random() % (sizeof letters - 1)];
        }
        for (int suffix = static_cast<int>(n) + 1; contains(codes, fresh); suffix += static_cast<int>(codes.size())) {
            fresh = fresh.substr(0, 6) + "-" + std::to_string(suffix);
        }
        codes[n] = fresh;
        changed = true;
    }
    return changed;
}

bool isUntouchedNewQuiz(const EditorDocument& document) {
    return document.path.empty() && !document.isDirty() && document.model == newDocument().model;
}

bool importIntoDocument(EditorDocument& document, const std::function<bool(QuizModel& model)>& import) {
    QuizModel model = document.model;
    if (isUntouchedNewQuiz(document)) model.questions.clear();
    const size_t before = model.questions.size();
    if (!import(model) || model.questions.size() <= before) return false;
    document.model = std::move(model);
    document.selected = static_cast<int>(before);
    return true;
}

namespace {

// What a draft keeps of the values the quiz would leave aside anyway.
void dropUnusedValues(QuizModel& model) {
    model.extras.clear();
    for (ModelQuestion& q : model.questions) {
        q.extras.clear();
        for (int i = 0; i < fieldCount(); ++i) {
            const FieldInfo& info = fieldTable()[i];
            if (info.questionText && !fieldUsed(model, info.field)) (q.*info.questionText).clear();
        }
    }
}

}  // namespace

TrialDraft trialDraft(const QuizModel& model,
                      const std::function<std::vector<ModelProblem>(const QuizModel& model)>& check) {
    TrialDraft draft;
    QuizModel& m = draft.model;
    m = model;
    dropUnusedValues(m);
    if (m.title.empty()) m.title = messageText(Message::untitled);
    std::vector<bool> left(m.questions.size(), false);
    for (const ModelProblem& problem : check(m)) {
        if (problem.warning || problem.field <= ModelField::questions || problem.question < 0) continue;
        if (static_cast<size_t>(problem.question) < left.size()) left[problem.question] = true;
    }
    std::vector<ModelQuestion> kept;
    for (size_t i = 0; i < left.size(); ++i) {
        if (left[i]) {
            draft.leftOut.push_back(static_cast<int>(i));
        } else {
            kept.push_back(std::move(m.questions[i]));
        }
    }
    m.questions = std::move(kept);
    // A code per score kept, in order: the scores that remain are 1..kept.
    m.rewardCodes.resize(m.questions.size());
    for (const ModelProblem& problem : check(m)) {
        if (problem.field == ModelField::rewardCodes && problem.item >= 0 &&
            static_cast<size_t>(problem.item) < m.rewardCodes.size()) {
            m.rewardCodes[problem.item].clear();
        }
    }
    draft.remaining = errorCount(check(m));
    return draft;
}

std::string trialNotice(const TrialDraft& draft, size_t problems) {
    if (problems == 0) return "";
    if (draft.leftOut.empty()) {
        return messageText(Message::trialDraft, {counted(problems, u8"probl\u00E8me", u8"probl\u00E8mes")});
    }
    std::vector<std::string> numbers;
    for (const int index : draft.leftOut) numbers.push_back(std::to_string(index + 1));
    return draft.leftOut.size() == 1 ? messageText(Message::trialLeftOutOne, {numbers.front()})
                                     : messageText(Message::trialLeftOut, {listedItems(numbers)});
}

std::string trialRefusedText(size_t remaining) {
    return messageText(Message::trialRefused, {counted(remaining, u8"probl\u00E8me", u8"probl\u00E8mes")});
}
