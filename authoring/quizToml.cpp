#include "authoring/quizToml.h"

#include <cstdio>
#include <string_view>

#include "authoring/messages.h"
#include "authoring/quizNames.h"
#include "authoring/windows1252.h"

// Parse failures come back as a result object, not as an exception.
#define TOML_EXCEPTIONS 0
#include <toml++/toml.h>

namespace {

// ---- Reading ----------------------------------------------------------------

int lineOf(const toml::node& node) {
    return static_cast<int>(node.source().begin.line);
}

int& slot(int (&fields)[modelFieldCount], ModelField field) {
    return fields[static_cast<int>(field)];
}

// Collects what the model cannot hold, each with its line.
class Reader {
public:
    explicit Reader(std::vector<ModelProblem>& problems) : problems_(problems) {}

    void fail(const toml::node& node, ModelField field, int question, int item, Message message) {
        report(lineOf(node), field, question, item, messageText(message));
    }

    void report(int line, ModelField field, int question, int item, std::string message, std::string key = {}) {
        ModelProblem problem;
        problem.field = field;
        problem.question = question;
        problem.item = item;
        problem.line = line;
        problem.message = std::move(message);
        problem.key = std::move(key);
        problems_.push_back(std::move(problem));
    }

    bool text(const toml::node& node, ModelField field, int question, int item, std::string& out) {
        const toml::value<std::string>* value = node.as_string();
        if (!value) {
            fail(node, field, question, item, Message::notText);
            return false;
        }
        out = value->get();
        return true;
    }

    // One of a list of names; the index is the stored value.
    bool choice(const toml::node& node, ModelField field, const char* const* names, int count, Message message,
                int32_t& out) {
        if (const toml::value<std::string>* value = node.as_string()) {
            for (int i = 0; i < count; ++i) {
                if (value->get() == names[i]) {
                    out = i;
                    return true;
                }
            }
        }
        fail(node, field, -1, -1, message);
        return false;
    }

    void unknownKeys(const toml::table& table, const char* const* known, int count, int question) {
        for (auto&& [key, node] : table) {
            bool found = false;
            for (int i = 0; i < count && !found; ++i) found = key.str() == known[i];
            if (!found) {
                const std::string name(key.str());
                report(lineOf(node), ModelField::unknownKey, question, -1,
                       messageText(Message::unknownKey, {joinedNames(known, count)}), name);
            }
        }
    }

private:
    static std::string joinedNames(const char* const* names, int count) {
        std::string out;
        for (int i = 0; i < count; ++i) out += std::string(i ? ", " : "") + names[i];
        return out;
    }

    std::vector<ModelProblem>& problems_;
};

const char* const quizKeys[] = {"answers_per_question", "author", "captions", "colour",
                                "explanations",         "kind",   "question", "reveal",
                                "reward_codes",         "title"};
const char* const questionKeys[] = {"answer",   "answer2", "clip",   "comment",
                                    "comment2", "picture", "prompt", "solution"};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool readColour(const toml::node& node, uint8_t rgb[3]) {
    if (const toml::value<std::string>* text = node.as_string()) {
        const std::string& s = text->get();
        if (s.size() != 7 || s[0] != '#') return false;
        for (int i = 0; i < 3; ++i) {
            const int high = hexDigit(s[1 + 2 * i]), low = hexDigit(s[2 + 2 * i]);
            if (high < 0 || low < 0) return false;
            rgb[i] = static_cast<uint8_t>(high * 16 + low);
        }
        return true;
    }
    const toml::array* list = node.as_array();
    if (!list || list->size() != 3) return false;
    for (size_t i = 0; i < 3; ++i) {
        const toml::value<int64_t>* part = (*list)[i].as_integer();
        if (!part || part->get() < 0 || part->get() > 255) return false;
        rgb[i] = static_cast<uint8_t>(part->get());
    }
    return true;
}

// A list of texts whose entries keep their places: an entry that is not a
// text is reported and held as an empty one.
void readTextList(Reader& reader, const toml::array& list, ModelField field, std::vector<std::string>& out,
                  std::vector<int>& lines) {
    out.assign(list.size(), std::string());
    lines.assign(list.size(), 0);
    for (size_t i = 0; i < list.size(); ++i) {
        lines[i] = lineOf(list[i]);
        reader.text(list[i], field, -1, static_cast<int>(i), out[i]);
    }
}

struct QuestionKey {
    const char* name;
    ModelField field;
    std::string ModelQuestion::*member;
    bool media;
};

const QuestionKey questionFields[] = {
    {"answer", ModelField::answer, &ModelQuestion::answer, false},
    {"answer2", ModelField::answer2, &ModelQuestion::answer2, false},
    {"prompt", ModelField::prompt, &ModelQuestion::prompt, false},
    {"comment", ModelField::comment, &ModelQuestion::comment, false},
    {"comment2", ModelField::comment2, &ModelQuestion::comment2, false},
    {"picture", ModelField::picture, &ModelQuestion::picture, true},
    {"solution", ModelField::solution, &ModelQuestion::solution, true},
    {"clip", ModelField::clip, &ModelQuestion::clip, true},
};

void readQuestion(Reader& reader, const toml::table& table, int index, ModelQuestion& question, QuestionLines& lines) {
    lines.table = lineOf(table);
    reader.unknownKeys(table, questionKeys, static_cast<int>(sizeof questionKeys / sizeof questionKeys[0]), index);
    for (const QuestionKey& key : questionFields) {
        const toml::node* node = table.get(key.name);
        if (!node) continue;
        slot(lines.fields, key.field) = lineOf(*node);
        std::string value;
        if (!reader.text(*node, key.field, index, -1, value)) continue;
        // An empty path names no file; the model would take it for no path at all.
        if (key.media && value.empty()) {
            reader.fail(*node, key.field, index, -1, Message::mediaPathForm);
            continue;
        }
        question.*key.member = std::move(value);
    }
}

void readRoot(Reader& reader, const toml::table& root, QuizModel& model, SourceLines& lines) {
    reader.unknownKeys(root, quizKeys, static_cast<int>(sizeof quizKeys / sizeof quizKeys[0]), -1);
    auto at = [&](const char* key, ModelField field) {
        const toml::node* node = root.get(key);
        if (node) slot(lines.fields, field) = lineOf(*node);
        return node;
    };
    if (const toml::node* node = at("kind", ModelField::kind)) {
        reader.choice(*node, ModelField::kind, kindNames, kindNameCount, Message::kindChoice, model.kind);
    }
    if (const toml::node* node = at("title", ModelField::title))
        reader.text(*node, ModelField::title, -1, -1, model.title);
    if (const toml::node* node = at("author", ModelField::author)) {
        reader.text(*node, ModelField::author, -1, -1, model.author);
    }
    if (const toml::node* node = at("explanations", ModelField::explanations)) {
        reader.text(*node, ModelField::explanations, -1, -1, model.explanations);
    }
    if (const toml::node* node = at("answers_per_question", ModelField::answersPerQuestion)) {
        const toml::value<int64_t>* value = node->as_integer();
        if (value && (value->get() == 1 || value->get() == 2)) {
            model.answersPerQuestion = static_cast<int32_t>(value->get());
        } else {
            reader.fail(*node, ModelField::answersPerQuestion, -1, -1, Message::answersChoice);
        }
    }
    if (const toml::node* node = at("captions", ModelField::captions)) {
        const toml::array* list = node->as_array();
        if (!list || list->size() > 2) {
            reader.fail(*node, ModelField::captions, -1, -1, Message::captionsForm);
        } else {
            std::vector<std::string> captions;
            readTextList(reader, *list, ModelField::captions, captions, lines.captions);
            captions.resize(2);
            model.caption1 = captions[0];
            model.caption2 = captions[1];
        }
    }
    if (const toml::node* node = at("reveal", ModelField::reveal)) {
        reader.choice(*node, ModelField::reveal, revealNames, revealNameCount, Message::revealChoice, model.reveal);
    }
    if (const toml::node* node = at("colour", ModelField::colour)) {
        uint8_t rgb[3];
        if (readColour(*node, rgb)) {
            model.colourRed = rgb[0], model.colourGreen = rgb[1], model.colourBlue = rgb[2];
        } else {
            reader.fail(*node, ModelField::colour, -1, -1, Message::colourForm);
        }
    }
    if (const toml::node* node = at("reward_codes", ModelField::rewardCodes)) {
        if (const toml::array* list = node->as_array()) {
            readTextList(reader, *list, ModelField::rewardCodes, model.rewardCodes, lines.rewardCodes);
        } else {
            reader.fail(*node, ModelField::rewardCodes, -1, -1, Message::rewardCodesForm);
        }
    }
    if (const toml::node* node = at("question", ModelField::questions)) {
        const toml::array* list = node->as_array();
        if (!list || !list->is_array_of_tables()) {
            // An empty list is no question at all, which checkQuiz reports.
            if (!list || !list->empty()) reader.fail(*node, ModelField::questions, -1, -1, Message::questionsForm);
        } else {
            model.questions.resize(list->size());
            lines.questions.resize(list->size());
            for (size_t i = 0; i < list->size(); ++i) {
                readQuestion(reader, *(*list)[i].as_table(), static_cast<int>(i), model.questions[i],
                             lines.questions[i]);
            }
        }
    }
}

// ---- Writing ------------------------------------------------------------------

// A TOML basic string. The model is UTF-8; a byte that is not (which no
// source read can give) is written as U+FFFD, since TOML cannot hold it.
std::string quoted(const std::string& utf8) {
    std::string out = "\"";
    for (size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        const uint8_t byte = static_cast<uint8_t>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", byte);
            out += escape;
        } else if (byte < 0x80) {
            out += c;
        } else {
            const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
            const std::string sequence = utf8.substr(i, length);
            if (length > 1 && sequence.size() == length && isValidUtf8(sequence)) {
                out += sequence;
                i += length - 1;
            } else {
                out += "\xEF\xBF\xBD";
            }
        }
    }
    return out + "\"";
}

// Characters, not bytes, so that accented codes do not wrap sooner.
size_t displayWidth(const std::string& utf8) {
    size_t width = 0;
    for (char c : utf8) width += (static_cast<uint8_t>(c) & 0xC0) != 0x80;
    return width;
}

constexpr size_t maxInlineWidth = 100;

std::string codeList(const std::vector<std::string>& codes) {
    std::string inlineList = "reward_codes = [";
    for (size_t i = 0; i < codes.size(); ++i) inlineList += (i ? ", " : "") + quoted(codes[i]);
    inlineList += "]\n";
    if (displayWidth(inlineList) - 1 <= maxInlineWidth) return inlineList;
    std::string out = "reward_codes = [\n";
    for (const std::string& code : codes) out += "    " + quoted(code) + ",\n";
    return out + "]\n";
}

// toml++ 3.3 tests code points for whitespace wherever it skips or records
// it, and its table for the non-ASCII ones reaches a point it declares
// unreachable for many letters (U+00A1 to U+0499 among them). So the parser
// is given only ASCII where it may look: a character outside a text or a
// comment is a syntax error anyway and is reported here, one inside a basic
// string becomes the escape that means the same, and literal strings and
// comments, which it reads without that test, keep theirs. Bytes that are not
// UTF-8 are refused first. The lines stay where they were.
class ParserText {
public:
    ParserText(const std::string& text, Reader& reader) : text_(text), reader_(reader) {}

    bool make(std::string& out) {
        if (!utf8Lines()) return false;
        out.reserve(text_.size());
        enum { normal, comment, basic, literal, multiBasic, multiLiteral } state = normal;
        for (size_t i = 0; i < text_.size();) {
            const char c = text_[i];
            const bool ascii = static_cast<uint8_t>(c) < 0x80;
            if (c == '\n') ++line_;
            switch (state) {
                case normal:
                    if (!ascii) return refuse(Message::sourceOutsideText, i);
                    followBareValue(c);
                    // A quote inside a bare word opens no string for the parser, which reads on.
                    if ((c == '"' || c == '\'') && (inBareValue_ || !opensString())) {
                        return refuse(Message::sourceStrayQuote, i);
                    }
                    if (c != ' ' && c != '\t' && c != '\r') last_ = c;
                    followNesting(c);
                    if (c == '#') state = comment;
                    if (c == '"') state = run(i, '"') >= 3 ? multiBasic : basic;
                    if (c == '\'') state = run(i, '\'') >= 3 ? multiLiteral : literal;
                    i += copyRun(i, out, state == multiBasic || state == multiLiteral ? 3 : 1);
                    continue;
                case comment:
                case literal:
                    if (c == '\n' || (state == literal && c == '\'')) state = normal, last_ = c;
                    break;
                case multiLiteral:
                case multiBasic: {
                    const char quote = state == multiBasic ? '"' : '\'';
                    if (c == quote && run(i, quote) >= 3) {
                        state = normal, last_ = quote;
                        i += copyRun(i, out, run(i, quote));
                        continue;
                    }
                    break;
                }
                case basic:
                    if (c == '"' || c == '\n') state = normal, last_ = c;
                    break;
            }
            if ((state == basic || state == multiBasic) && c == '\\' && i + 1 < text_.size()) {
                if (static_cast<uint8_t>(text_[i + 1]) >= 0x80) return refuse(Message::sourceOutsideText, i + 1);
                out.append(text_, i, 2);
                if (text_[i + 1] == '\n') ++line_;
                i += 2;
            } else if (!ascii && (state == basic || state == multiBasic)) {
                i += escape(i, out);
            } else {
                out += c;
                ++i;
            }
        }
        return true;
    }

private:
    // Where a key or a value may begin: the start of a line, after "=",
    // "[", ",", "{", or the "." of a dotted key. A "." in a value is part
    // of a bare word (a number, a date), and the parser reads on past a quote
    // after it.
    bool opensString() const {
        return last_ == '\n' || last_ == '=' || last_ == '[' || last_ == ',' || last_ == '{' ||
               (last_ == '.' && inKey_);
    }

    // A value that is no string, list or table (a number, a date, true) is
    // read by the parser as one word up to a space, ",", "]", "}", "#" or the
    // end of the line, whatever it holds, quotes included.
    void followBareValue(char c) {
        const bool ends =
            c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == ']' || c == '}' || c == '#';
        if (inBareValue_ && ends) inBareValue_ = false;
        const bool opens = !ends && c != '"' && c != '\'' && c != '[' && c != '{' && c != '=';
        if (!inBareValue_ && !inKey_ && opens) inBareValue_ = true;
    }

    // Whether what comes is a key: at the start of a line outside any list,
    // inside a table header, after "{" or after a "," of an inline table;
    // not after "=" until one of those.
    void followNesting(char c) {
        if (c == '{' || c == '[') nesting_.push_back(c);
        if ((c == '}' || c == ']') && !nesting_.empty()) nesting_.pop_back();
        if (c == '=') inKey_ = false;
        if (c == '{') inKey_ = true;
        if (c == ',') inKey_ = !nesting_.empty() && nesting_.back() == '{';
        if (c == '\n') inKey_ = nesting_.empty();
    }

    size_t run(size_t i, char quote) const {
        size_t n = 0;
        while (i + n < text_.size() && text_[i + n] == quote) ++n;
        return n;
    }

    size_t copyRun(size_t i, std::string& out, size_t n) {
        out.append(text_, i, n);
        return n;
    }

    static size_t lengthAt(uint8_t lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

    size_t escape(size_t i, std::string& out) const {
        const size_t length = lengthAt(static_cast<uint8_t>(text_[i]));
        uint32_t codePoint = static_cast<uint8_t>(text_[i]) & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) codePoint = codePoint << 6 | (static_cast<uint8_t>(text_[i + k]) & 0x3F);
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, codePoint > 0xFFFF ? "\\U%08X" : "\\u%04X",
                      static_cast<unsigned>(codePoint));
        out += buffer;
        return length;
    }

    bool utf8Lines() {
        int line = 1;
        for (size_t i = 0; i < text_.size(); ++i) {
            const uint8_t byte = static_cast<uint8_t>(text_[i]);
            if (byte == '\n') ++line;
            if (byte < 0x80) continue;
            const size_t length = lengthAt(byte);
            if (length == 1 || !isValidUtf8(text_.substr(i, length)) || i + length > text_.size()) {
                reader_.report(line, ModelField::none, -1, -1, messageText(Message::sourceNotUtf8));
                return false;
            }
            i += length - 1;
        }
        return true;
    }

    bool refuse(Message message, size_t at) {
        const size_t length = lengthAt(static_cast<uint8_t>(text_[at]));
        reader_.report(line_, ModelField::none, -1, -1, messageText(message, {text_.substr(at, length)}));
        return false;
    }

    const std::string& text_;
    Reader& reader_;
    int line_ = 1;
    char last_ = '\n';     // the last character outside strings, spaces aside
    std::string nesting_;  // the "[" and "{" open outside strings
    bool inKey_ = true;
    bool inBareValue_ = false;
};

}  // namespace

bool readQuizToml(const std::string& text, QuizModel& model, SourceLines& lines, std::vector<ModelProblem>& problems) {
    const size_t before = problems.size();
    Reader reader(problems);
    std::string safe;
    if (!ParserText(text, reader).make(safe)) return false;
    toml::parse_result parsed = toml::parse(std::string_view(safe));
    if (!parsed) {
        const toml::parse_error& error = parsed.error();
        reader.report(static_cast<int>(error.source().begin.line), ModelField::none, -1, -1,
                      messageText(Message::tomlSyntax, {std::string(error.description())}));
        return false;
    }
    QuizModel read;
    SourceLines where;
    readRoot(reader, parsed.table(), read, where);
    model = std::move(read);
    lines = std::move(where);
    return problems.size() == before;
}

std::string writeQuizToml(const QuizModel& model) {
    std::string out;
    if (model.kind >= 0 && model.kind < kindNameCount) out += "kind = " + quoted(kindNames[model.kind]) + "\n";
    out += "title = " + quoted(model.title) + "\n";
    if (!model.author.empty()) out += "author = " + quoted(model.author) + "\n";
    if (!model.explanations.empty()) out += "explanations = " + quoted(model.explanations) + "\n";
    if (model.answersPerQuestion != 1) {
        out += "answers_per_question = " + std::to_string(model.answersPerQuestion) + "\n";
    }
    if (!model.caption2.empty()) {
        out += "captions = [" + quoted(model.caption1) + ", " + quoted(model.caption2) + "]\n";
    } else if (!model.caption1.empty()) {
        out += "captions = [" + quoted(model.caption1) + "]\n";
    }
    if (model.reveal > 0 && model.reveal < revealNameCount) {
        out += "reveal = " + quoted(revealNames[model.reveal]) + "\n";
    }
    char colour[16];
    std::snprintf(colour, sizeof colour, "#%02X%02X%02X", model.colourRed, model.colourGreen, model.colourBlue);
    out += "colour = \"" + std::string(colour) + "\"\n";
    out += codeList(model.rewardCodes);
    for (const ModelQuestion& question : model.questions) {
        out += "\n[[question]]\n";
        // The order of the examples: what is asked, what is accepted, what is revealed, then the media.
        const std::pair<const char*, const std::string*> fields[] = {
            {"prompt", &question.prompt},     {"answer", &question.answer},     {"answer2", &question.answer2},
            {"comment", &question.comment},   {"comment2", &question.comment2}, {"picture", &question.picture},
            {"solution", &question.solution}, {"clip", &question.clip},
        };
        for (const auto& field : fields) {
            if (!field.second->empty()) out += std::string(field.first) + " = " + quoted(*field.second) + "\n";
        }
    }
    return out;
}
