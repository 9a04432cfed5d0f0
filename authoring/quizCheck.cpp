#include "authoring/quizCheck.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "answers/answerText.h"
#include "answers/verdictChoice.h"
#include "authoring/messages.h"
#include "authoring/quizFields.h"
#include "authoring/quizNames.h"
#include "authoring/windows1252.h"
#include "quiz/quiz.h"
#include "quiz/quizLayout.h"

namespace {

constexpr size_t maxTextLength = quizTextSize - 1;

class Checker {
public:
    explicit Checker(std::vector<ModelProblem>& problems) : problems_(problems) {}

    void fail(ModelField field, int question, int item, Message message,
              std::initializer_list<std::string> arguments = {}) {
        ModelProblem problem;
        problem.field = field;
        problem.question = question;
        problem.item = item;
        problem.message = messageText(message, arguments);
        problem.formMessage = formMessageText(message, arguments);
        problems_.push_back(std::move(problem));
    }

    void warn(ModelField field, int question, Message message, std::initializer_list<std::string> arguments = {}) {
        fail(field, question, -1, message, arguments);
        problems_.back().warning = true;
    }

    // What the model keeps as the author wrote it stays a problem until fixed or deleted.
    void extras(const std::vector<SourceExtra>& kept, int question) {
        for (const SourceExtra& extra : kept) {
            ModelProblem problem;
            problem.field = fieldOfKey(extra.key, question >= 0);
            problem.question = question;
            problem.line = extra.line;
            problem.message = extra.message;
            problem.formMessage = extra.formMessage;
            if (problem.field == ModelField::unknownKey) problem.key = extra.key;
            problems_.push_back(std::move(problem));
        }
    }

    // A text the player can hold: Windows-1252, at most 259 bytes there, no
    // "|" (the field separator) and no NUL; a code also no line break.
    void text(const std::string& utf8, ModelField field, int question, int item, bool isCode = false) {
        std::string ansi;
        if (!utf8ToWindows1252(utf8, ansi)) {
            if (!isValidUtf8(utf8)) {
                fail(field, question, item, Message::invalidUtf8);
            } else {
                fail(field, question, item, Message::notWindows1252, {firstForeign(utf8)});
            }
            return;
        }
        if (ansi.find('|') != std::string::npos) fail(field, question, item, Message::holdsBar);
        if (ansi.find('\0') != std::string::npos) fail(field, question, item, Message::holdsNul);
        if (ansi.size() > maxTextLength) {
            fail(field, question, item, Message::tooLong, {std::to_string(ansi.size()), std::to_string(maxTextLength)});
        }
        if (isCode && ansi.find_first_of("\r\n") != std::string::npos) {
            fail(field, question, item, Message::codeLineBreak);
        }
    }

    // The editor says more than the console's line: which scores lack a code.
    void setFormMessage(const std::string& text) { problems_.back().formMessage = text; }

private:
    // "U+0142" for the first character of valid UTF-8 that Windows-1252 lacks.
    static std::string firstForeign(const std::string& utf8) {
        for (size_t i = 0; i < utf8.size();) {
            const uint8_t lead = static_cast<uint8_t>(utf8[i]);
            const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            const std::string character = utf8.substr(i, length);
            std::string ignored;
            if (!utf8ToWindows1252(character, ignored)) {
                uint32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
                for (size_t k = 1; k < character.size(); ++k) {
                    codePoint = (codePoint << 6) | (static_cast<uint8_t>(character[k]) & 0x3F);
                }
                char name[16];
                std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(codePoint));
                return name;
            }
            i += length;
        }
        return "?";
    }

    std::vector<ModelProblem>& problems_;
};

// Two media paths naming one file, as Windows compares names: "\\" and "/"
// alike, ASCII letters without regard to case.
bool samePath(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i] == '/' ? '\\' : a[i], y = b[i] == '/' ? '\\' : b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// With thirty questions, "30 codes pour 32 questions" leaves the author
// counting lines: the form names the scores without a code, or the codes
// beyond the last score.
std::string rewardCodeCountForm(const std::vector<std::string>& codes, size_t count) {
    std::string detail;
    if (codes.size() < count) {
        const size_t first = codes.size() + 1;
        if (first == count) {
            detail = messageText(Message::rewardCodeLackingOne, {std::to_string(count)});
        } else {
            const Message join = first + 1 == count ? Message::listAnd : Message::listRange;
            detail = messageText(Message::rewardCodesLacking,
                                 {messageText(join, {std::to_string(first), std::to_string(count)})});
        }
    } else {
        const size_t shown = 5;
        std::vector<std::string> quoted;
        for (size_t i = count; i < codes.size() && quoted.size() < shown; ++i) {
            quoted.push_back(u8"\u00AB " + codes[i] + u8" \u00BB");
        }
        std::string list = listedItems(quoted);
        if (codes.size() - count > shown) {
            list = quoted.front();
            for (size_t i = 1; i < quoted.size(); ++i) list += ", " + quoted[i];
            list += u8", \u2026";
        }
        detail = codes.size() - count == 1
                     ? messageText(Message::rewardCodeLeftOverOne, {list})
                     : messageText(Message::rewardCodesLeftOver, {std::to_string(codes.size() - count), list});
    }
    return messageText(Message::rewardCodesForScores, {std::to_string(codes.size()), std::to_string(count), detail});
}

// What a missing value of a question field says, for those every question needs.
Message missingMessage(ModelField field) {
    switch (field) {
        case ModelField::answer: return Message::answerMissing;
        case ModelField::answer2: return Message::answer2Missing;
        case ModelField::picture: return Message::pictureMissing;
        case ModelField::solution: return Message::solutionMissing;
        default: return Message::clipMissing;
    }
}

// What an unused value says: media left aside by the kind, texts by the mode.
Message unusedMessage(ModelField field) {
    switch (field) {
        case ModelField::answer2: return Message::answer2Unused;
        case ModelField::comment: return Message::commentUnused;
        case ModelField::comment2: return Message::comment2Unused;
        default: return Message::mediaUnused;
    }
}

// The answers a box accepts besides its main one: each a text of its own,
// none empty, none that the judge would take for one accepted before it.
void checkOtherAnswers(Checker& check, const ModelQuestion& question, const FieldInfo& info, int index, bool wanted) {
    const std::vector<std::string>& others = question.*info.questionOthers;
    if (!others.empty() && !wanted) return check.fail(info.field, index, 1, unusedMessage(info.field));
    std::vector<std::string> seen{question.*info.questionText};
    for (size_t k = 0; k < others.size(); ++k) {
        const int item = static_cast<int>(k) + 1;
        if (others[k].empty()) {
            check.fail(info.field, index, item, Message::otherAnswerEmpty);
            continue;
        }
        std::string ansi, before;
        utf8ToWindows1252(others[k], ansi);
        char folded[answerTextSize], earlier[answerTextSize];
        normaliseAccepted(ansi.c_str(), folded);
        const bool repeated = std::any_of(seen.begin(), seen.end(), [&](const std::string& text) {
            utf8ToWindows1252(text, before);
            normaliseAccepted(before.c_str(), earlier);
            return std::strcmp(folded, earlier) == 0;
        });
        if (repeated) {
            check.fail(info.field, index, item, Message::otherAnswerRepeated, {others[k]});
        } else {
            check.text(others[k], info.field, index, item);
        }
        seen.push_back(others[k]);
    }
}

void checkQuestion(Checker& check, const QuizModel& model, const ModelQuestion& question, int index) {
    // Without a kind nobody knows which media belong; the missing kind is reported once.
    const bool kindKnown = model.kind >= 0 && model.kind < kindNameCount;
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldInfo& info = fieldTable()[i];
        if (!isQuestionField(info.field)) continue;
        if (info.media && !kindKnown) continue;
        const std::string& value = question.*info.questionText;
        const bool wanted = fieldUsed(model, info.field);
        // Every question needs its answers and the media of its kind; a prompt or a comment may stay empty.
        const bool needed =
            wanted && (info.media || info.field == ModelField::answer || info.field == ModelField::answer2);
        if (value.empty()) {
            if (needed || info.field == ModelField::answer)
                check.fail(info.field, index, -1, missingMessage(info.field));
        } else if (!wanted && info.field != ModelField::prompt && info.field != ModelField::answer) {
            check.fail(info.field, index, -1, unusedMessage(info.field));
        } else if (!info.media) {
            check.text(value, info.field, index, -1);
        }
        if (info.questionOthers) checkOtherAnswers(check, question, info, index, wanted);
    }
    check.extras(question.extras, index);
}

// The same file on two questions is most often a slip of the mouse.
void checkSharedMedia(Checker& check, const QuizModel& model) {
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldInfo& info = fieldTable()[i];
        if (!info.media) continue;
        for (size_t n = 0; n < model.questions.size(); ++n) {
            const std::string& path = model.questions[n].*info.questionText;
            if (path.empty()) continue;
            for (size_t before = 0; before < n; ++before) {
                if (samePath(model.questions[before].*info.questionText, path)) {
                    check.warn(info.field, static_cast<int>(n), Message::mediaShared,
                               {path, std::to_string(before + 1)});
                    break;
                }
            }
        }
    }
}

}  // namespace

std::vector<ModelProblem> checkQuiz(const QuizModel& model) {
    std::vector<ModelProblem> problems;
    Checker check(problems);
    if (model.kind < 0 || model.kind >= kindNameCount) {
        check.fail(ModelField::kind, -1, -1, model.kind == modelKindUnset ? Message::kindMissing : Message::kindChoice);
    }
    if (model.title.empty()) {
        check.fail(ModelField::title, -1, -1, Message::titleMissing);
    } else {
        check.text(model.title, ModelField::title, -1, -1);
    }
    check.text(model.author, ModelField::author, -1, -1);
    check.text(model.explanations, ModelField::explanations, -1, -1);
    // The player opens it in the browser: nothing else may pass for an address.
    if (!model.link.empty() && !isWebAddress(model.link)) check.fail(ModelField::link, -1, -1, Message::linkForm);
    if (model.answersPerQuestion != 1 && model.answersPerQuestion != 2) {
        check.fail(ModelField::answersPerQuestion, -1, -1, Message::answersChoice);
    }
    check.text(model.caption1, ModelField::captions, -1, 0);
    check.text(model.caption2, ModelField::captions, -1, 1);
    if (model.reveal < 0 || model.reveal >= revealNameCount) {
        check.fail(ModelField::reveal, -1, -1, Message::revealChoice);
    } else if (revealShowsPicture(model.reveal) && model.kind >= 0 && model.kind != kindPictures) {
        check.fail(ModelField::reveal, -1, -1, Message::revealNeedsPictures);
    }
    check.extras(model.extras, -1);

    const size_t count = model.questions.size();
    if (count == 0) {
        check.fail(ModelField::questions, -1, -1, Message::noQuestion);
    } else if (count > maxModelQuestions) {
        check.fail(ModelField::questions, static_cast<int>(maxModelQuestions), -1, Message::tooManyQuestions,
                   {std::to_string(count), std::to_string(maxModelQuestions)});
    }
    for (size_t i = 0; i < count; ++i) checkQuestion(check, model, model.questions[i], static_cast<int>(i));

    if (model.rewardCodes.empty() && count > 0) {
        check.fail(ModelField::rewardCodes, -1, -1, Message::rewardCodesMissing);
    } else if (model.rewardCodes.size() != count && count <= maxModelQuestions) {
        check.fail(ModelField::rewardCodes, -1, -1, Message::rewardCodeCount,
                   {std::to_string(model.rewardCodes.size()), std::to_string(count)});
        check.setFormMessage(rewardCodeCountForm(model.rewardCodes, count));
    }
    for (size_t i = 0; i < model.rewardCodes.size(); ++i) {
        check.text(model.rewardCodes[i], ModelField::rewardCodes, -1, static_cast<int>(i), true);
    }
    return problems;
}

std::vector<ModelProblem> quizWarnings(const QuizModel& model) {
    std::vector<ModelProblem> warnings;
    Checker check(warnings);
    const bool commentsHidden = model.kind == kindText && revealShowsComments(model.reveal);
    if (commentsHidden) check.warn(ModelField::reveal, -1, Message::commentNotShown);
    // The text kind lays out one box per question.
    if (model.kind == kindText && model.answersPerQuestion == 2) {
        check.warn(ModelField::answersPerQuestion, -1, Message::textQuizOneBox);
    }
    checkSharedMedia(check, model);
    return warnings;
}

void locateProblems(const SourceLines& lines, std::vector<ModelProblem>& problems) {
    auto at = [](const std::vector<int>& list, int item) {
        return item >= 0 && static_cast<size_t>(item) < list.size() ? list[item] : 0;
    };
    const int field0 = static_cast<int>(ModelField::none);
    for (ModelProblem& problem : problems) {
        if (problem.line > 0) continue;
        const int field = static_cast<int>(problem.field);
        if (field <= field0 || field >= modelFieldCount) continue;
        int line = 0;
        if (problem.field == ModelField::captions) line = at(lines.captions, problem.item);
        if (problem.field == ModelField::rewardCodes) line = at(lines.rewardCodes, problem.item);
        if (problem.question >= 0 && static_cast<size_t>(problem.question) < lines.questions.size()) {
            const QuestionLines& question = lines.questions[problem.question];
            if (line == 0) line = question.fields[field];
            if (line == 0) line = question.table;
        } else if (line == 0) {
            line = lines.fields[field];
        }
        problem.line = line;
    }
}

bool readAndCheckQuiz(const std::string& text, QuizModel& model, SourceLines& lines,
                      std::vector<ModelProblem>& problems, std::vector<ModelProblem>* warnings) {
    std::vector<ModelProblem> found;
    QuizModel read;
    SourceLines where;
    readQuizToml(text, read, where, found);
    // A syntax error is the one problem of the reading about the source as a whole.
    const bool parsed =
        std::none_of(found.begin(), found.end(), [](const ModelProblem& p) { return p.field == ModelField::none; });
    if (parsed) {
        // A value the reading refused is absent from the model; the check
        // would only say so a second time.
        std::vector<ModelProblem> checked = checkQuiz(read);
        for (ModelProblem& warning : quizWarnings(read)) checked.push_back(std::move(warning));
        for (ModelProblem& problem : checked) {
            const bool refused = std::any_of(found.begin(), found.end(), [&](const ModelProblem& p) {
                return p.field == problem.field && p.question == problem.question;
            });
            if (!refused) found.push_back(std::move(problem));
        }
        locateProblems(where, found);
        model = std::move(read);
        lines = std::move(where);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const ModelProblem& a, const ModelProblem& b) { return a.line < b.line; });
    const bool clean = errorCount(found) == 0;
    for (ModelProblem& problem : found) {
        if (!problem.warning) {
            problems.push_back(std::move(problem));
        } else if (warnings) {
            warnings->push_back(std::move(problem));
        }
    }
    return clean;
}

std::string problemField(const ModelProblem& problem) {
    const bool inQuestion = problem.question >= 0 && problem.field > ModelField::questions;
    const std::string question = inQuestion ? "question " + std::to_string(problem.question + 1) : "";
    // A spreadsheet's problem names the column as the file does.
    if (!problem.column.empty()) {
        const std::string column = u8"colonne \u00AB " + problem.column + u8" \u00BB";
        return question.empty() ? column : question + ", " + column;
    }
    const std::string key = problem.field == ModelField::unknownKey ? problem.key : fieldInfo(problem.field).key;
    // An answer's list counts from its main answer, as the source writes it: answer[2] is the first other.
    if (inQuestion && problem.item > 0 && fieldInfo(problem.field).questionOthers) {
        return question + ", " + key + "[" + std::to_string(problem.item + 1) + "]";
    }
    if (inQuestion) return question + ", " + key;
    if (problem.item >= 0 && (problem.field == ModelField::captions || problem.field == ModelField::rewardCodes)) {
        return key + "[" + std::to_string(problem.item + 1) + "]";
    }
    return key;
}

std::string formatProblem(const std::string& file, const ModelProblem& problem) {
    std::string out = file;
    if (problem.line > 0) out += ":" + std::to_string(problem.line);
    const std::string field = problemField(problem);
    if (!field.empty()) out += ": " + field;
    return out + ": " + problem.message;
}
