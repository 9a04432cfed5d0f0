#include "authoring/moodleBank.h"

#include <algorithm>
#include <cstdio>

#include "authoring/messages.h"
#include "authoring/paths.h"
#include "authoring/quizFields.h"
#include "authoring/webPage.h"

namespace {

// Moodle's short answer has no notion of boxes: each one asks on its own.
bool hasSecondBox(const QuizModel& model) {
    return model.answersPerQuestion == 2 && model.kind != kindText;
}

// Moodle trims what it imports, GIFT's readers too: both formats get the texts trimmed already.
std::string trimmed(const std::string& text) {
    const char* const blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(blanks) + 1 - first);
}

// A name stays on one line and within Moodle's length, counted in characters.
std::string nameOf(const std::string& text) {
    std::string name;
    size_t characters = 0;
    for (char c : text) {
        const bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
        if (!continuation && ++characters > moodleNameLength) break;
        name += (c == '\n' || c == '\r' || c == '\t') ? ' ' : c;
    }
    return trimmed(name);
}

// The HTML of a plain text, its lines kept.
std::string htmlOf(const std::string& text) {
    std::string out;
    for (char c : markupEscaped(text)) {
        if (c == '\n')
            out += "<br>";
        else if (c != '\r')
            out += c;
    }
    return out;
}

// A file name as Moodle writes it after @@PLUGINFILE@@/: percent-encoded
// but for the characters a URL path keeps as they are.
std::string urlEncoded(const std::string& name) {
    std::string out;
    for (unsigned char c : name) {
        const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                          c == '_' || c == '.' || c == '~';
        if (kept) {
            out += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            out += escaped;
        }
    }
    return out;
}

void appendTextElement(std::string& out, const char* indent, const char* element, const char* format,
                       const std::string& text, const std::string& inside = "") {
    out += std::string(indent) + "<" + element + (*format ? std::string(" format=\"") + format + "\"" : "") + ">\n";
    out += std::string(indent) + "  <text>" + moodleXmlText(text) + "</text>\n" + inside;
    out += std::string(indent) + "</" + element + ">\n";
}

// The question's text as HTML, with its picture or clip from the question's
// own files; the file element goes into `file`.
bool questionHtml(const ExportedQuestion& q, const QuizModel& model, const std::string& sourceFile,
                  const FileReader& readFile, MoodleBank& out, std::string& html, std::string& file) {
    html = "<p>" + htmlOf(q.text) + "</p>";
    file.clear();
    if (q.media.empty()) return true;
    const std::string full = mediaPath(sourceFile, q.media);
    std::vector<uint8_t> bytes;
    if (!readFile || !readFile(full, bytes) || bytes.empty()) {
        out.unreadable.push_back(full);
        return false;
    }
    if (!browserShows(bytes, model.kind)) out.unshowable.push_back(q.media);
    // Moodle serves a file by its name's extension: a name without one gets the file's.
    std::string name = fileName(q.media);
    if (extensionOf(name).empty()) name += std::string(".") + mediaExtension(bytes, model.kind);
    const std::string url = "@@PLUGINFILE@@/" + urlEncoded(name);
    if (q.picture) {
        html += "<p><img src=\"" + url + "\" alt=\"" + markupEscaped(q.name) + "\"></p>";
    } else {
        html += "<p><a href=\"" + url + "\">" + markupEscaped(name) + "</a></p>";
    }
    file = "      <file name=\"" + markupEscaped(name) + "\" path=\"/\" encoding=\"base64\">" +
           base64(bytes.data(), bytes.size()) + "</file>\n";
    return true;
}

}  // namespace

std::vector<ExportedQuestion> bankQuestions(const QuizModel& model) {
    std::vector<ExportedQuestion> out;
    const bool two = hasSecondBox(model);
    const bool pictures = fieldUsed(model, ModelField::picture);
    const bool clips = fieldUsed(model, ModelField::clip);
    for (size_t i = 0; i < model.questions.size(); ++i) {
        const ModelQuestion& q = model.questions[i];
        const std::string asked =
            q.prompt.empty() ? messageText(Message::moodleQuestionName, {std::to_string(i + 1)}) : q.prompt;
        for (int box = 1; box <= (two ? 2 : 1); ++box) {
            ExportedQuestion b;
            b.text = trimmed(asked);
            if (two) {
                const std::string caption = trimmed(box == 1 ? model.caption1 : model.caption2);
                b.text += " (" + (caption.empty() ? std::to_string(box) : caption) + ")";
            }
            b.name = nameOf(b.text);
            b.answers.push_back(trimmed(box == 1 ? q.answer : q.answer2));
            for (const std::string& other : box == 1 ? q.otherAnswers : q.otherAnswers2) {
                b.answers.push_back(trimmed(other));
            }
            // A second box has a comment of its own only in picture quizzes; elsewhere the question's serves both.
            b.feedback = trimmed(box == 2 && !q.comment2.empty() ? q.comment2 : q.comment);
            b.picture = pictures;
            b.media = pictures ? q.picture : clips ? q.clip : std::string();
            out.push_back(std::move(b));
        }
    }
    return out;
}

std::string moodleXmlText(const std::string& raw) {
    // XML holds no control character but tab and line ends, not even in CDATA.
    std::string text;
    for (char c : raw) {
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r') text += c;
    }
    if (text.find_first_of("&<>\"'") == std::string::npos) return text;
    std::string out = "<![CDATA[";
    size_t from = 0;
    for (size_t end; (end = text.find("]]>", from)) != std::string::npos; from = end + 2) {
        out += text.substr(from, end + 2 - from) + "]]><![CDATA[";
    }
    return out + text.substr(from) + "]]>";
}

std::string giftEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        if (c == '~' || c == '=' || c == '#' || c == '{' || c == '}' || c == ':' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

std::string moodleAnswer(const std::string& answer) {
    std::string out;
    for (char c : answer) {
        if (c == '*') out += '\\';
        out += c;
    }
    return out;
}

std::string moodleCategoryPath(const std::string& name) {
    std::string out = "$course$/top/";
    for (char c : nameOf(name)) {
        out += c;
        if (c == '/') out += '/';
    }
    return out;
}

bool writeMoodleXml(const QuizModel& model, const std::string& category, const std::string& sourceFile,
                    const FileReader& readFile, MoodleBank& out) {
    out = MoodleBank();
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n<!-- question: 0  -->\n";
    xml += "  <question type=\"category\">\n";
    appendTextElement(xml, "    ", "category", "", moodleCategoryPath(category));
    appendTextElement(xml, "    ", "info", "html", "");
    xml += "    <idnumber></idnumber>\n  </question>\n\n";
    bool ok = true;
    for (const ExportedQuestion& q : bankQuestions(model)) {
        std::string html, file;
        ok = questionHtml(q, model, sourceFile, readFile, out, html, file) && ok;
        xml += "<!-- question: " + std::to_string(++out.questions) + "  -->\n";
        xml += "  <question type=\"shortanswer\">\n";
        appendTextElement(xml, "    ", "name", "", q.name);
        appendTextElement(xml, "    ", "questiontext", "html", html, file);
        appendTextElement(xml, "    ", "generalfeedback", "html", htmlOf(q.feedback));
        xml += "    <defaultgrade>1.0000000</defaultgrade>\n    <penalty>0.3333333</penalty>\n";
        xml += "    <hidden>0</hidden>\n    <idnumber></idnumber>\n";
        // Case never counts in the player either.
        xml += "    <usecase>0</usecase>\n";
        for (const std::string& answer : q.answers) {
            xml += "    <answer fraction=\"100\" format=\"moodle_auto_format\">\n";
            xml += "      <text>" + moodleXmlText(moodleAnswer(answer)) + "</text>\n";
            appendTextElement(xml, "      ", "feedback", "html", "");
            xml += "    </answer>\n";
        }
        xml += "  </question>\n\n";
    }
    xml += "</quiz>\n";
    if (!ok) return false;
    out.text = std::move(xml);
    return true;
}

void writeGift(const QuizModel& model, const std::string& category, MoodleBank& out) {
    out = MoodleBank();
    // The category line is read to its end as it is: escapes would stay in the name.
    std::string gift = "$CATEGORY: " + moodleCategoryPath(category) + "\n\n";
    for (const ExportedQuestion& q : bankQuestions(model)) {
        // GIFT has no escape for "->", which makes a block of answers a matching question.
        if (std::any_of(q.answers.begin(), q.answers.end(),
                        [](const std::string& a) { return a.find("->") != std::string::npos; })) {
            out.arrowsLeftOut.push_back(q.name);
            continue;
        }
        ++out.questions;
        if (!q.media.empty()) ++out.mediaLeftOut;
        // HTML, as the XML has it, so that both formats give Moodle the same question.
        gift += "::" + giftEscaped(q.name) + "::[html]" + giftEscaped(htmlOf(q.text)) + "{\n";
        // "\*" is no escape of GIFT: it reaches Moodle as it is, a literal "*".
        // A weight, Moodle's default, before an answer that would read as one ("%50%...").
        for (const std::string& answer : q.answers) {
            gift += std::string("\t=") + (!answer.empty() && answer.front() == '%' ? "%100%" : "") +
                    moodleAnswer(giftEscaped(answer)) + "\n";
        }
        if (!q.feedback.empty()) gift += "\t####" + giftEscaped(htmlOf(q.feedback)) + "\n";
        gift += "}\n\n";
    }
    out.text = std::move(gift);
}
