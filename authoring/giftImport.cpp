#include "authoring/giftImport.h"

#include <cstdlib>
#include <vector>

#include "authoring/messages.h"
#include "authoring/windows1252.h"

// Format notes. A GIFT file is a list of questions parted by blank lines;
// a line whose first non-blank characters are "//" is a comment, one that
// begins "$CATEGORY:" names the category of what follows. A question is
// [::name::] [[format]] text {answers} [more text]; without braces it is a
// description, with empty braces an essay. In the braces: "=" starts a
// right answer, "~" a wrong one, "%n%" after either gives its weight, "#"
// its feedback, "####" the question's general feedback; "a -> b" pairs make
// a matching question, T/F (TRUE/FALSE) a true/false one, a leading "#" a
// numerical one (value, value:tolerance, min..max, or "=" answers of those).
// A backslash makes the next special character plain text.

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string trimmed(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// Where `what` first occurs outside escapes, from `from`.
size_t findPlain(const std::string& text, const std::string& what, size_t from) {
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
            continue;
        }
        if (text.compare(i, what.size(), what) == 0) return i;
    }
    return std::string::npos;
}

std::string unescaped(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (next == 'n') {
                out += '\n';
                ++i;
                continue;
            }
            if (std::string("~=#{}:\\").find(next) != std::string::npos) {
                out += next;
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

enum class Format { moodle, html, plain, markdown };

// A text of the question as a reader sees it: markup reduced for the
// formats that carry HTML.
std::string plainText(const std::string& raw, Format format) {
    const std::string text = unescaped(raw);
    return format == Format::moodle || format == Format::html ? htmlToText(text) : collapseSpaces(text);
}

// A "[html]" marker at the start of a text: its format, the marker skipped.
Format takeFormat(std::string& text, Format otherwise) {
    const std::string t = trimmed(text);
    const struct {
        const char* marker;
        Format format;
    } markers[] = {{"[html]", Format::html},
                   {"[moodle]", Format::moodle},
                   {"[plain]", Format::plain},
                   {"[markdown]", Format::markdown}};
    for (const auto& m : markers) {
        const std::string marker = m.marker;
        if (t.compare(0, marker.size(), marker) == 0) {
            text = t.substr(marker.size());
            return m.format;
        }
    }
    return otherwise;
}

struct GiftAnswer {
    char mark = '=';   // '=' right, '~' wrong
    std::string text;  // raw, weight taken off
    std::string feedback;
    bool weighted = false;
    double weight = 0;
    std::string weightText;
};

struct Block {
    std::string text;        // the question's lines, joined by "\n"
    std::vector<int> lines;  // the file's line of each of them
    int lineAt(size_t position) const {
        size_t row = 0;
        for (size_t i = 0; i < position && i < text.size(); ++i) row += text[i] == '\n';
        return row < lines.size() ? lines[row] : (lines.empty() ? 1 : lines.back());
    }
};

bool parseNumber(const std::string& text, double& value) {
    const std::string t = trimmed(text);
    if (t.empty()) return false;
    size_t i = 0;
    if (t[i] == '-' || t[i] == '+') ++i;
    size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
        const size_t start = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
        if (i == start) return false;
    }
    if (i != t.size()) return false;
    value = std::strtod(t.c_str(), nullptr);
    return true;
}

class GiftReader {
public:
    GiftReader(BankReading& reading, ModelProblem& broken) : reading_(reading), broken_(broken) {}

    bool run(const std::string& bytes) {
        const bool bom = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
        std::string text = bom ? bytes.substr(3) : bytes;
        if (!isValidUtf8(text)) text = windows1252ToUtf8(text);
        if (text.find('\0') != std::string::npos) return fail(1, messageText(Message::giftNulByte));
        Block block;
        int line = 1;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string row = text.substr(start, end - start);
            if (!row.empty() && row.back() == '\r') row.pop_back();
            const std::string t = trimmed(row);
            if (t.compare(0, 2, "//") == 0) {
                // A comment line neither ends nor joins a question.
            } else if (t.empty()) {
                if (!endBlock(block)) return false;
            } else if (t.compare(0, 10, "$CATEGORY:") == 0) {
                if (!endBlock(block)) return false;
                if (!categorySeen_) reading_.category = categoryName(trimmed(t.substr(10)));
                categorySeen_ = true;
            } else {
                if (!block.text.empty()) block.text += '\n';
                block.text += row;
                block.lines.push_back(line);
            }
            ++line;
            start = end + 1;
        }
        return endBlock(block);
    }

private:
    bool fail(int line, const std::string& message) {
        broken_ = ModelProblem();
        broken_.line = line;
        broken_.message = message;
        return false;
    }

    bool endBlock(Block& block) {
        const bool ok = block.text.empty() || readQuestion(block);
        block = Block();
        return ok;
    }

    bool readQuestion(const Block& block) {
        const std::string& text = block.text;
        ++number_;
        BankQuestion question;
        question.number = number_;
        question.line = block.lines.front();
        size_t position = 0;
        while (position < text.size() && isBlank(text[position])) ++position;
        std::string title;
        if (text.compare(position, 2, "::") == 0) {
            const size_t end = findPlain(text, "::", position + 2);
            if (end == std::string::npos) return fail(block.lineAt(position), messageText(Message::giftUnclosedName));
            title = collapseSpaces(unescaped(text.substr(position + 2, end - position - 2)));
            position = end + 2;
        }
        const size_t open = findPlain(text, "{", position);
        std::string before = text.substr(position, open == std::string::npos ? std::string::npos : open - position);
        const Format format = takeFormat(before, Format::moodle);
        if (open == std::string::npos) {
            leaveOut(reading_, messageText(Message::bankTypeDescription));
            return true;
        }
        const size_t close = findPlain(text, "}", open + 1);
        if (close == std::string::npos) return fail(block.lineAt(open), messageText(Message::giftUnclosedBrace));
        const size_t nested = findPlain(text, "{", open + 1);
        if (nested < close) return fail(block.lineAt(nested), messageText(Message::giftNestedBrace));
        const std::string after = text.substr(close + 1);
        const size_t second = findPlain(after, "{", 0);
        if (second != std::string::npos) {
            return fail(block.lineAt(close + 1 + second), messageText(Message::giftSecondBlock));
        }
        std::string prompt = trimmed(before);
        if (!trimmed(after).empty()) prompt += " _____ " + trimmed(after);
        question.question.prompt = plainText(prompt, format);
        question.name = title.empty() ? textExcerpt(question.question.prompt, 40) : title;
        return readAnswers(block, text.substr(open + 1, close - open - 1), block.lineAt(open), format, question);
    }

    // The answers of one block, split at "=" and "~", with their feedback.
    bool splitAnswers(const std::string& content, int line, std::vector<GiftAnswer>& answers, std::string& general) {
        bool inFeedback = false;
        for (size_t i = 0; i < content.size(); ++i) {
            const char c = content[i];
            if (answers.empty() && c != '=' && c != '~') {
                if (isBlank(c)) continue;
                return fail(line, messageText(Message::giftBadAnswers));
            }
            if (c == '\\' && i + 1 < content.size()) {
                std::string& into = inFeedback ? answers.back().feedback : answers.back().text;
                into.append(content, i, 2);
                ++i;
                continue;
            }
            if (c == '=' || c == '~') {
                answers.emplace_back();
                answers.back().mark = c;
                inFeedback = false;
                continue;
            }
            if (c == '#' && content.compare(i, 4, "####") == 0) {
                general = content.substr(i + 4);
                break;
            }
            if (c == '#' && !inFeedback) {
                inFeedback = true;
                continue;
            }
            (inFeedback ? answers.back().feedback : answers.back().text) += c;
        }
        for (GiftAnswer& answer : answers) {
            const std::string t = trimmed(answer.text);
            if (t.empty() || t[0] != '%') continue;
            const size_t end = t.find('%', 1);
            double weight = 0;
            if (end == std::string::npos || !parseNumber(t.substr(1, end - 1), weight)) {
                return fail(line, messageText(Message::giftBadWeight,
                                              {textExcerpt(end == std::string::npos ? t : t.substr(0, end + 1), 12)}));
            }
            answer.weighted = true;
            answer.weight = weight;
            answer.text = t.substr(end + 1);
        }
        return true;
    }

    static bool rightAnswer(const GiftAnswer& answer) {
        return answer.mark == '=' && (!answer.weighted || answer.weight == 100);
    }

    bool readAnswers(const Block& block, const std::string& content, int line, Format format, BankQuestion& question) {
        (void)block;
        const std::string c = trimmed(content);
        if (c.empty()) {
            leaveOut(reading_, messageText(Message::bankTypeEssay));
            return true;
        }
        if (c[0] == '#') return readNumerical(c.substr(1), line, format, question);
        const size_t hash = findPlain(c, "#", 0);
        std::string head = trimmed(c.substr(0, hash));
        for (char& ch : head) ch = static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
        if (head == "T" || head == "F" || head == "TRUE" || head == "FALSE") {
            leaveOut(reading_, messageText(Message::bankTypeTrueFalse));
            return true;
        }
        std::vector<GiftAnswer> answers;
        std::string general;
        if (!splitAnswers(c, line, answers, general)) return false;
        bool matching = false, wrong = false;
        for (const GiftAnswer& answer : answers) {
            matching = matching || findPlain(answer.text, "->", 0) != std::string::npos;
            wrong = wrong || answer.mark == '~';
        }
        if (matching) {
            leaveOut(reading_, messageText(Message::bankTypeMatching));
            return true;
        }
        if (wrong) {
            leaveOut(reading_, messageText(Message::bankTypeMultipleChoice));
            return true;
        }
        std::string comment;
        for (const GiftAnswer& answer : answers) {
            if (!rightAnswer(answer)) {
                ++reading_.partialAnswers;
                continue;
            }
            addAcceptedAnswer(question.question, plainText(answer.text, format));
            if (comment.empty()) comment = plainText(answer.feedback, format);
        }
        if (question.question.answer.empty()) {
            leaveOut(reading_, messageText(Message::bankTypeShortNoRight));
            return true;
        }
        question.question.comment = comment.empty() ? plainText(general, format) : comment;
        reading_.questions.push_back(std::move(question));
        return true;
    }

    // One numerical answer: "value", "value:tolerance" or "min..max". Its
    // value as written when it is one exact value, else "".
    bool numericalValue(const std::string& raw, int line, std::string& exact) {
        const std::string t = trimmed(unescaped(raw));
        double a = 0, b = 0;
        const size_t range = t.find("..");
        if (range != std::string::npos) {
            if (!parseNumber(t.substr(0, range), a) || !parseNumber(t.substr(range + 2), b)) {
                return fail(line, messageText(Message::giftBadNumber, {textExcerpt(t, 40)}));
            }
            exact = a == b ? trimmed(t.substr(0, range)) : "";
            return true;
        }
        const size_t colon = t.find(':');
        if (!parseNumber(t.substr(0, colon), a))
            return fail(line, messageText(Message::giftBadNumber, {textExcerpt(t, 40)}));
        if (colon != std::string::npos && !parseNumber(t.substr(colon + 1), b)) {
            return fail(line, messageText(Message::giftBadNumber, {textExcerpt(t, 40)}));
        }
        exact = b == 0 ? trimmed(t.substr(0, colon)) : "";
        return true;
    }

    bool readNumerical(const std::string& content, int line, Format format, BankQuestion& question) {
        std::vector<GiftAnswer> answers;
        std::string general;
        const std::string c = trimmed(content);
        if (!c.empty() && c[0] != '=' && c[0] != '~') {
            // The short form: one right value, its feedback after "#".
            GiftAnswer only;
            const size_t hash = findPlain(c, "#", 0);
            only.text = c.substr(0, hash);
            if (hash != std::string::npos) {
                const size_t four = findPlain(c, "####", 0);
                if (four == hash) {
                    general = c.substr(hash + 4);
                } else {
                    only.feedback = c.substr(hash + 1);
                    const size_t more = findPlain(only.feedback, "####", 0);
                    if (more != std::string::npos) {
                        general = only.feedback.substr(more + 4);
                        only.feedback.erase(more);
                    }
                }
            }
            answers.push_back(only);
        } else if (!splitAnswers(c, line, answers, general)) {
            return false;
        }
        if (answers.empty()) return fail(line, messageText(Message::giftBadNumber, {""}));
        std::string value, comment;
        size_t right = 0;
        bool approximate = false;
        for (const GiftAnswer& answer : answers) {
            std::string exact;
            if (!numericalValue(answer.text, line, exact)) return false;
            if (!rightAnswer(answer)) {
                ++reading_.partialAnswers;
                continue;
            }
            ++right;
            approximate = approximate || exact.empty();
            value = exact;
            comment = plainText(answer.feedback, format);
        }
        if (right != 1 || approximate) {
            leaveOut(reading_, messageText(Message::bankTypeNumericalApprox));
            return true;
        }
        question.question.answer = value;
        question.question.comment = comment.empty() ? plainText(general, format) : comment;
        reading_.questions.push_back(std::move(question));
        return true;
    }

    BankReading& reading_;
    ModelProblem& broken_;
    int number_ = 0;
    bool categorySeen_ = false;
};

}  // namespace

bool readGiftBank(const std::string& bytes, BankReading& reading, ModelProblem& broken) {
    reading = BankReading();
    GiftReader reader(reading, broken);
    if (reader.run(bytes)) return true;
    reading = BankReading();
    return false;
}
