#include "authoring/questionBank.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "answers/answerText.h"
#include "answers/verdictChoice.h"
#include "authoring/csvImport.h"
#include "authoring/messages.h"
#include "authoring/quizAssembly.h"
#include "authoring/quizCheck.h"
#include "authoring/quizFields.h"
#include "authoring/windows1252.h"

namespace {

// The named entities an editor writes into French questions; others stay as typed.
const struct {
    const char* name;
    uint32_t code;
} namedEntities[] = {
    {"amp", '&'},      {"lt", '<'},       {"gt", '>'},       {"quot", '"'},     {"apos", '\''},    {"nbsp", ' '},
    {"eacute", 0xE9},  {"egrave", 0xE8},  {"ecirc", 0xEA},   {"euml", 0xEB},    {"agrave", 0xE0},  {"acirc", 0xE2},
    {"ccedil", 0xE7},  {"icirc", 0xEE},   {"iuml", 0xEF},    {"ocirc", 0xF4},   {"ugrave", 0xF9},  {"ucirc", 0xFB},
    {"uuml", 0xFC},    {"Eacute", 0xC9},  {"Egrave", 0xC8},  {"Agrave", 0xC0},  {"Ccedil", 0xC7},  {"oelig", 0x153},
    {"OElig", 0x152},  {"laquo", 0xAB},   {"raquo", 0xBB},   {"deg", 0xB0},     {"times", 0xD7},   {"divide", 0xF7},
    {"euro", 0x20AC},  {"rsquo", 0x2019}, {"lsquo", 0x2018}, {"ldquo", 0x201C}, {"rdquo", 0x201D}, {"hellip", 0x2026},
    {"ndash", 0x2013}, {"mdash", 0x2014}, {"copy", 0xA9},    {"sup2", 0xB2},
};

// An entity at `at` ("&...;"): its character appended and its length, or 0.
size_t decodeEntity(const std::string& text, size_t at, std::string& out) {
    // Looked for close by only, so that a text of lone "&" costs time in proportion to its size.
    size_t end = at + 1;
    while (end < text.size() && end - at <= 12 && text[end] != ';') ++end;
    if (end >= text.size() || text[end] != ';' || end - at > 12 || end == at + 1) return 0;
    const std::string name = text.substr(at + 1, end - at - 1);
    uint32_t code = 0;
    if (name[0] == '#') {
        const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
        const std::string digits = name.substr(hex ? 2 : 1);
        if (digits.empty()) return 0;
        for (char c : digits) {
            const int d = c >= '0' && c <= '9'          ? c - '0'
                          : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                        : -1;
            if (d < 0) return 0;
            code = code * (hex ? 16 : 10) + static_cast<uint32_t>(d);
            if (code > 0x10FFFF) return 0;
        }
        if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    } else {
        for (const auto& entity : namedEntities) {
            if (name == entity.name) code = entity.code;
        }
        if (code == 0) return 0;
    }
    appendUtf8(out, code == 0xA0 ? ' ' : code);
    return end - at + 1;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Whether a "<" at `at` opens a tag (or a comment), rather than being a sign.
bool opensTag(const std::string& text, size_t at) {
    if (at + 1 >= text.size()) return false;
    const char c = text[at + 1];
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '/' || c == '!';
}

// Tags inside a word ("<em>Paris</em>.") leave no space; the others part words.
bool isInlineTag(const std::string& html, size_t at) {
    size_t i = at + 1;
    if (i < html.size() && html[i] == '/') ++i;
    std::string name;
    while (i < html.size() && ((html[i] >= 'a' && html[i] <= 'z') || (html[i] >= 'A' && html[i] <= 'Z') ||
                               (html[i] >= '0' && html[i] <= '9'))) {
        name += static_cast<char>(html[i] >= 'A' && html[i] <= 'Z' ? html[i] + 32 : html[i]);
        ++i;
    }
    for (const char* inlineTag :
         {"a",    "b",     "i",   "u",    "s",    "em", "strong", "span", "sup", "sub", "font",
          "code", "small", "big", "mark", "abbr", "q",  "strike", "del",  "ins", "tt",  "var"}) {
        if (name == inlineTag) return true;
    }
    return false;
}

}  // namespace

void leaveOut(BankReading& reading, const std::string& typeWords) {
    for (auto& entry : reading.leftOut) {
        if (entry.first == typeWords) {
            ++entry.second;
            return;
        }
    }
    reading.leftOut.emplace_back(typeWords, 1);
}

std::string collapseSpaces(const std::string& text) {
    std::string out;
    bool space = false;
    for (char c : text) {
        if (isSpace(c)) {
            space = !out.empty();
            continue;
        }
        if (space) out += ' ';
        space = false;
        out += c;
    }
    return out;
}

std::string htmlToText(const std::string& html) {
    std::string out;
    for (size_t i = 0; i < html.size(); ++i) {
        const char c = html[i];
        if (c == '<' && opensTag(html, i)) {
            const bool comment = html.compare(i, 4, "<!--") == 0;
            const size_t end = comment ? html.find("-->", i) : html.find('>', i);
            if (end == std::string::npos) break;  // a tag cut off: nothing after it is text
            if (!comment && !isInlineTag(html, i)) out += ' ';
            i = end + (comment ? 2 : 0);
            continue;
        }
        if (c == '&') {
            const size_t used = decodeEntity(html, i, out);
            if (used > 0) {
                i += used - 1;
                continue;
            }
        }
        out += c;
    }
    return collapseSpaces(out);
}

std::string textExcerpt(const std::string& text, size_t characters) {
    size_t count = 0, end = 0;
    for (; end < text.size(); ++end) {
        const bool continuation = (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80;
        if (!continuation && ++count > characters) break;
    }
    return text.substr(0, end);
}

std::string categoryName(const std::string& path) {
    std::string name, part;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '/' && i + 1 < path.size() && path[i + 1] == '/') {
            part += '/';
            ++i;
        } else if (path[i] == '/') {
            if (!collapseSpaces(part).empty()) name = part;
            part.clear();
        } else {
            part += path[i];
        }
    }
    if (!collapseSpaces(part).empty()) name = part;
    name = collapseSpaces(name);
    return name == "$course$" || name == "$system$" || name == "$module$" || name == "top" ? "" : name;
}

void addAcceptedAnswer(ModelQuestion& question, const std::string& answer) {
    if (answer.empty()) return;  // "{=a =}": nothing a learner could type
    if (question.answer.empty() && question.otherAnswers.empty()) {
        question.answer = answer;
        return;
    }
    // Moodle's "Paris" and "paris" are one answer for a judge that folds case.
    std::string ansi;
    char folded[answerTextSize], earlier[answerTextSize];
    if (!utf8ToWindows1252(answer, ansi)) return question.otherAnswers.push_back(answer);
    normaliseAccepted(ansi.c_str(), folded);
    std::vector<const std::string*> seen{&question.answer};
    for (const std::string& other : question.otherAnswers) seen.push_back(&other);
    for (const std::string* text : seen) {
        std::string before;
        if (!utf8ToWindows1252(*text, before)) continue;
        normaliseAccepted(before.c_str(), earlier);
        if (std::strcmp(folded, earlier) == 0) return;
    }
    question.otherAnswers.push_back(answer);
}

namespace {

// The first problem of a question's own texts, as the check finds it in a
// quiz of that question alone; none when it can go into a quiz.
bool textProblem(const ModelQuestion& question, ModelProblem& found) {
    QuizModel alone;
    alone.kind = kindText;
    alone.title = "-";
    alone.reveal = revealComment;
    alone.rewardCodes = {"-"};
    alone.questions = {question};
    alone.questions[0].picture.clear();
    for (const ModelProblem& problem : checkQuiz(alone)) {
        if (problem.warning || problem.question != 0) continue;
        if (problem.field == ModelField::answer || problem.field == ModelField::prompt ||
            problem.field == ModelField::comment) {
            found = problem;
            return true;
        }
    }
    return false;
}

ModelProblem problemAt(int line, const std::string& message) {
    ModelProblem problem;
    problem.line = line;
    problem.message = message;
    return problem;
}

// The media folder's names: the bank's own, made unique when two questions
// embed different files under one name.
std::string uniqueName(std::map<std::string, const std::vector<uint8_t>*>& taken, const BankFile& file, int number) {
    std::string name = file.name;
    for (char& c : name) {
        if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
            c = '_';
    }
    if (name.empty() || name == "." || name == "..") name = "image";
    for (int attempt = 0;; ++attempt) {
        const std::string candidate =
            attempt == 0 ? name : std::to_string(number) + "-" + std::to_string(attempt) + "-" + name;
        auto found = taken.find(candidate);
        if (found == taken.end()) {
            taken[candidate] = &file.bytes;
            return candidate;
        }
        if (*found->second == file.bytes) return candidate;
    }
}

}  // namespace

bool importQuestionBank(const BankReading& reading, QuizModel& model, const BankImportOptions& options,
                        BankImportResult& result) {
    result = BankImportResult();
    for (const auto& type : reading.leftOut) {
        result.notices.push_back(
            countedMessage(type.second, Message::bankLeftOutOne, Message::bankLeftOut, {type.first}));
    }
    if (reading.partialAnswers > 0) {
        result.notices.push_back(countedMessage(reading.partialAnswers, Message::bankPartialOne, Message::bankPartial));
    }
    if (reading.usesCase) result.notices.push_back(messageText(Message::bankUsesCase));

    // Questions whose texts the player cannot hold are left out, and said.
    std::vector<const BankQuestion*> kept;
    for (const BankQuestion& bank : reading.questions) {
        ModelProblem found;
        if (!textProblem(bank.question, found)) {
            kept.push_back(&bank);
            continue;
        }
        const std::string label = fieldInfo(found.field).label;
        ModelProblem warning = problemAt(
            bank.line,
            messageText(Message::bankQuestionLeftOut, {std::to_string(bank.number), bank.name, label, found.message}));
        warning.warning = true;
        result.warnings.push_back(warning);
    }
    if (kept.empty()) {
        result.problems.push_back(problemAt(1, messageText(Message::bankNoQuestion)));
        result.problems.back().field = ModelField::questions;
        return false;
    }
    const size_t total = model.questions.size() + kept.size();
    if (total > maxModelQuestions) {
        result.problems.push_back(problemAt(
            1, messageText(Message::bankTooManyQuestions,
                           {std::to_string(kept.size()), std::to_string(total), std::to_string(maxModelQuestions)})));
        result.problems.back().field = ModelField::questions;
        return false;
    }

    const bool everyOnePicture =
        std::all_of(kept.begin(), kept.end(), [](const BankQuestion* q) { return q->pictures.size() == 1; });
    int32_t kind = model.kind;
    if (kind == modelKindUnset) kind = everyOnePicture ? kindPictures : kindText;
    const bool withPictures = kind == kindPictures && everyOnePicture;

    std::vector<ModelQuestion> questions = model.questions;
    std::map<std::string, const std::vector<uint8_t>*> taken;
    std::set<std::string> written;
    bool comments = false;
    for (const BankQuestion* bank : kept) {
        ModelQuestion question = bank->question;
        const int index = static_cast<int>(questions.size());
        for (const BankFile& file : bank->pictures) {
            const std::string name = uniqueName(taken, file, bank->number);
            if (written.insert(name).second) result.mediaToWrite.push_back({name, file.bytes});
            if (!withPictures) {
                result.picturesLeftAside.push_back(name);
                continue;
            }
            // Read as the player reads it, from the bytes the bank carries.
            const FileReader reader = [&file](const std::string&, std::vector<uint8_t>& bytes) {
                bytes = file.bytes;
                return true;
            };
            std::vector<uint8_t> bytes;
            const std::string message = mediaProblem(name, true, reader, playerReadsPng, bytes);
            if (!message.empty()) {
                ModelProblem problem = problemAt(bank->line, message);
                problem.field = ModelField::picture;
                problem.question = index;
                result.problems.push_back(problem);
            }
            question.picture = options.mediaPrefix + name;
        }
        comments = comments || !question.comment.empty();
        questions.push_back(std::move(question));
    }
    if (!result.problems.empty()) {
        result.mediaToWrite.clear();
        return false;
    }
    if (!result.picturesLeftAside.empty()) {
        ModelProblem warning = problemAt(0, messageText(Message::bankPicturesLeftAside,
                                                        {options.mediaFolder, listedItems(result.picturesLeftAside)}));
        warning.warning = true;
        result.warnings.push_back(warning);
    }
    model.kind = kind;
    model.questions.swap(questions);
    if (model.rewardCodes.size() < model.questions.size()) model.rewardCodes.resize(model.questions.size());
    if (comments && !revealShowsComments(model.reveal)) {
        model.reveal = revealComment;
        result.revealChosen = revealComment;
    }
    if (model.title.empty() && !reading.category.empty()) model.title = reading.category;
    result.imported = kept.size();
    return true;
}
