#include "authoring/quizCheck.h"

#include <algorithm>
#include <cstdio>

#include "authoring/messages.h"
#include "authoring/quizNames.h"
#include "authoring/windows1252.h"
#include "quiz/quiz.h"

namespace {

constexpr size_t maxTextLength = quizTextSize - 1;

class Checker {
public:
    explicit Checker(std::vector<ModelProblem>& problems) : problems_(problems) {}

    void fail(ModelField field, int question, int item, std::string message) {
        ModelProblem problem;
        problem.field = field;
        problem.question = question;
        problem.item = item;
        problem.message = std::move(message);
        problems_.push_back(std::move(problem));
    }

    // A text the player can hold: Windows-1252, at most 259 bytes there, no
    // "|" (the field separator) and no NUL; a code also no line break.
    void text(const std::string& utf8, ModelField field, int question, int item, bool isCode = false) {
        std::string ansi;
        if (!utf8ToWindows1252(utf8, ansi)) {
            if (!isValidUtf8(utf8)) {
                fail(field, question, item, messageText(Message::invalidUtf8));
            } else {
                fail(field, question, item, messageText(Message::notWindows1252, {firstForeign(utf8)}));
            }
            return;
        }
        if (ansi.find('|') != std::string::npos) fail(field, question, item, messageText(Message::holdsBar));
        if (ansi.find('\0') != std::string::npos) fail(field, question, item, messageText(Message::holdsNul));
        if (ansi.size() > maxTextLength) {
            fail(field, question, item,
                 messageText(Message::tooLong, {std::to_string(ansi.size()), std::to_string(maxTextLength)}));
        }
        if (isCode && ansi.find_first_of("\r\n") != std::string::npos) {
            fail(field, question, item, messageText(Message::codeLineBreak));
        }
    }

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

void checkQuestion(Checker& check, const QuizModel& model, const ModelQuestion& question, int index) {
    if (question.answer.empty()) {
        check.fail(ModelField::answer, index, -1, messageText(Message::answerMissing));
    } else {
        check.text(question.answer, ModelField::answer, index, -1);
    }
    if (model.answersPerQuestion == 2) {
        if (question.answer2.empty()) {
            check.fail(ModelField::answer2, index, -1, messageText(Message::answer2Missing));
        } else {
            check.text(question.answer2, ModelField::answer2, index, -1);
        }
    } else if (!question.answer2.empty()) {
        check.fail(ModelField::answer2, index, -1, messageText(Message::answer2Unused));
    }
    check.text(question.prompt, ModelField::prompt, index, -1);
    if (!question.comment.empty()) {
        if (revealShowsComments(model.reveal)) {
            check.text(question.comment, ModelField::comment, index, -1);
        } else {
            check.fail(ModelField::comment, index, -1, messageText(Message::commentUnused));
        }
    }
    if (!question.comment2.empty()) {
        if (model.reveal == revealCommentAndPicture) {
            check.text(question.comment2, ModelField::comment2, index, -1);
        } else {
            check.fail(ModelField::comment2, index, -1, messageText(Message::comment2Unused));
        }
    }
    // Without a kind nobody knows which media belong; the missing kind is reported once.
    if (model.kind < 0 || model.kind >= kindNameCount) return;
    const bool pictures = model.kind == kindPictures;
    const bool clips = model.kind == kindAudio || model.kind == kindVideo;
    const struct {
        ModelField field;
        const std::string& path;
        bool wanted;
        Message missing;
    } media[] = {
        {ModelField::picture, question.picture, pictures, Message::pictureMissing},
        {ModelField::solution, question.solution, pictures && revealShowsPicture(model.reveal),
         Message::solutionMissing},
        {ModelField::clip, question.clip, clips, Message::clipMissing},
    };
    for (const auto& m : media) {
        if (m.path.empty() && m.wanted) check.fail(m.field, index, -1, messageText(m.missing));
        if (!m.path.empty() && !m.wanted) check.fail(m.field, index, -1, messageText(Message::mediaUnused));
    }
}

}  // namespace

std::vector<ModelProblem> checkQuiz(const QuizModel& model) {
    std::vector<ModelProblem> problems;
    Checker check(problems);
    if (model.kind < 0 || model.kind >= kindNameCount) {
        check.fail(ModelField::kind, -1, -1,
                   messageText(model.kind == modelKindUnset ? Message::kindMissing : Message::kindChoice));
    }
    if (model.title.empty()) {
        check.fail(ModelField::title, -1, -1, messageText(Message::titleMissing));
    } else {
        check.text(model.title, ModelField::title, -1, -1);
    }
    check.text(model.author, ModelField::author, -1, -1);
    check.text(model.explanations, ModelField::explanations, -1, -1);
    if (model.answersPerQuestion != 1 && model.answersPerQuestion != 2) {
        check.fail(ModelField::answersPerQuestion, -1, -1, messageText(Message::answersChoice));
    }
    check.text(model.caption1, ModelField::captions, -1, 0);
    check.text(model.caption2, ModelField::captions, -1, 1);
    if (model.reveal < 0 || model.reveal >= revealNameCount) {
        check.fail(ModelField::reveal, -1, -1, messageText(Message::revealChoice));
    } else if (revealShowsPicture(model.reveal) && model.kind >= 0 && model.kind != kindPictures) {
        check.fail(ModelField::reveal, -1, -1, messageText(Message::revealNeedsPictures));
    }

    const size_t count = model.questions.size();
    if (count == 0) {
        check.fail(ModelField::questions, -1, -1, messageText(Message::noQuestion));
    } else if (count > maxModelQuestions) {
        check.fail(ModelField::questions, static_cast<int>(maxModelQuestions), -1,
                   messageText(Message::tooManyQuestions, {std::to_string(count), std::to_string(maxModelQuestions)}));
    }
    for (size_t i = 0; i < count; ++i) checkQuestion(check, model, model.questions[i], static_cast<int>(i));

    if (model.rewardCodes.empty() && count > 0) {
        check.fail(ModelField::rewardCodes, -1, -1, messageText(Message::rewardCodesMissing));
    } else if (model.rewardCodes.size() != count && count <= maxModelQuestions) {
        check.fail(
            ModelField::rewardCodes, -1, -1,
            messageText(Message::rewardCodeCount, {std::to_string(model.rewardCodes.size()), std::to_string(count)}));
    }
    for (size_t i = 0; i < model.rewardCodes.size(); ++i) {
        check.text(model.rewardCodes[i], ModelField::rewardCodes, -1, static_cast<int>(i), true);
    }
    return problems;
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
                      std::vector<ModelProblem>& problems) {
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
        for (ModelProblem& problem : checkQuiz(read)) {
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
    const bool clean = found.empty();
    problems.insert(problems.end(), found.begin(), found.end());
    return clean;
}

std::string problemField(const ModelProblem& problem) {
    static const char* const keys[modelFieldCount] = {
        "",         "kind",   "title",   "author",       "explanations", "answers_per_question",
        "captions", "reveal", "colour",  "reward_codes", "question",     "answer",
        "answer2",  "prompt", "comment", "comment2",     "picture",      "solution",
        "clip",     "",
    };
    const int field = static_cast<int>(problem.field);
    const std::string key = problem.field == ModelField::unknownKey ? problem.key
                            : field >= 0 && field < modelFieldCount ? keys[field]
                                                                    : "";
    const bool inQuestion = problem.question >= 0 && field > static_cast<int>(ModelField::questions);
    if (inQuestion) return "question " + std::to_string(problem.question + 1) + ", " + key;
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
