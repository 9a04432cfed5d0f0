#include "authoring/moodleXmlImport.h"

#include <cstdlib>

#include "authoring/messages.h"
#include "authoring/xmlReader.h"

// Format notes. Moodle writes <quiz> holding <question type="...">
// elements: a "category" one names the category of those after it
// (<category><text>$course$/top/Name</text></category>); the others hold
// <name><text>, <questiontext format="html"><text> (the HTML, often in
// CDATA) with its embedded <file name= encoding="base64"> elements,
// <generalfeedback>, and <answer fraction="100"><text>, its <feedback>
// and, for a numerical question, <tolerance>. A short-answer question says
// <usecase>1</usecase> when case matters.

namespace {

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// The text of <element><text>...</text></element>, or "".
std::string textOf(const XmlElement* element) {
    if (!element) return "";
    const XmlElement* text = element->child("text");
    return text ? text->text : "";
}

// A text as a reader sees it: HTML reduced, unless the element says it is plain.
std::string readable(const XmlElement* element) {
    if (!element) return "";
    const std::string format = element->attribute("format");
    const std::string text = textOf(element);
    return format == "plain_text" || format == "markdown" ? collapseSpaces(text) : htmlToText(text);
}

bool isHundred(const std::string& fraction) {
    char* end = nullptr;
    const double value = std::strtod(fraction.c_str(), &end);
    return end != fraction.c_str() && value == 100;
}

// What the report calls each type Moodle writes.
std::string typeWords(const std::string& type) {
    const struct {
        const char* type;
        Message words;
    } known[] = {
        {"multichoice", Message::bankTypeMultipleChoice},
        {"multichoiceset", Message::bankTypeMultipleChoice},
        {"truefalse", Message::bankTypeTrueFalse},
        {"matching", Message::bankTypeMatching},
        {"randomsamatch", Message::bankTypeMatching},
        {"essay", Message::bankTypeEssay},
        {"description", Message::bankTypeDescription},
        {"multianswer", Message::bankTypeCloze},
        {"cloze", Message::bankTypeCloze},
    };
    for (const auto& k : known) {
        if (type == k.type) return messageText(k.words);
    }
    return messageText(Message::bankTypeOther, {type});
}

class MoodleReader {
public:
    MoodleReader(BankReading& reading, ModelProblem& broken) : reading_(reading), broken_(broken) {}

    bool run(const XmlElement& root) {
        if (root.name != "quiz") return fail(root.line, messageText(Message::xmlNotMoodle, {root.name}));
        int number = 0;
        for (const XmlElement& element : root.children) {
            if (element.name != "question") continue;
            const std::string type = element.attribute("type");
            if (type == "category") {
                if (!categorySeen_) reading_.category = categoryName(textOf(element.child("category")));
                categorySeen_ = true;
                continue;
            }
            ++number;
            if (!readQuestion(element, type, number)) return false;
        }
        return true;
    }

private:
    bool fail(int line, const std::string& message) {
        broken_ = ModelProblem();
        broken_.line = line;
        broken_.message = message;
        return false;
    }

    bool readQuestion(const XmlElement& element, const std::string& type, int number) {
        if (type != "shortanswer" && type != "numerical") {
            leaveOut(reading_, typeWords(type));
            return true;
        }
        BankQuestion question;
        question.number = number;
        question.line = element.line;
        const XmlElement* text = element.child("questiontext");
        question.question.prompt = readable(text);
        question.name = collapseSpaces(textOf(element.child("name")));
        if (question.name.empty()) question.name = textExcerpt(question.question.prompt, 40);
        if (text) {
            for (const XmlElement& file : text->children) {
                if (file.name != "file") continue;
                BankFile picture;
                picture.name = file.attribute("name");
                if (!decodeBase64(file.text, picture.bytes)) {
                    return fail(file.line, messageText(Message::xmlBadBase64, {picture.name}));
                }
                question.pictures.push_back(std::move(picture));
            }
        }
        std::string comment, value;
        size_t right = 0;
        bool approximate = false;
        for (const XmlElement& answer : element.children) {
            if (answer.name != "answer") continue;
            if (!isHundred(answer.attribute("fraction"))) {
                ++reading_.partialAnswers;
                continue;
            }
            ++right;
            const std::string given = collapseSpaces(textOf(&answer));
            if (type == "numerical") {
                const std::string tolerance =
                    collapseSpaces(answer.child("tolerance") ? answer.child("tolerance")->text : "");
                char* end = nullptr;
                const double t = std::strtod(tolerance.c_str(), &end);
                approximate =
                    approximate || given == "*" || (!tolerance.empty() && (end == tolerance.c_str() || t != 0));
                value = given;
            } else if (!given.empty()) {
                addAcceptedAnswer(question.question, given);
            }
            if (comment.empty()) comment = readable(answer.child("feedback"));
        }
        if (type == "numerical") {
            if (right != 1 || approximate || value.empty()) {
                leaveOut(reading_, messageText(Message::bankTypeNumericalApprox));
                return true;
            }
            question.question.answer = value;
        } else {
            if (question.question.answer.empty()) {
                leaveOut(reading_, messageText(Message::bankTypeShortNoRight));
                return true;
            }
            const XmlElement* usecase = element.child("usecase");
            if (usecase && collapseSpaces(usecase->text) == "1") reading_.usesCase = true;
        }
        question.question.comment = comment.empty() ? readable(element.child("generalfeedback")) : comment;
        reading_.questions.push_back(std::move(question));
        return true;
    }

    BankReading& reading_;
    ModelProblem& broken_;
    bool categorySeen_ = false;
};

std::string brokenMessage(const XmlFailure& failure) {
    const std::string element = failure.element.empty() ? "?" : failure.element;
    switch (failure.error) {
        case XmlError::notUtf8: return messageText(Message::xmlNotUtf8);
        case XmlError::entityDeclared: return messageText(Message::xmlEntityDeclared);
        case XmlError::unknownEntity: return messageText(Message::xmlUnknownEntity, {element, failure.detail});
        case XmlError::unclosedElement:
            return messageText(Message::xmlUnclosed, {failure.element.empty() ? failure.detail : element});
        case XmlError::mismatchedEnd: return messageText(Message::xmlMismatch, {element, failure.detail});
        case XmlError::tooDeep: return messageText(Message::xmlTooDeep, {element});
        case XmlError::noRoot: return messageText(Message::xmlNoRoot);
        default: return messageText(Message::xmlMalformed, {element, failure.detail});
    }
}

}  // namespace

bool decodeBase64(const std::string& text, std::vector<uint8_t>& bytes) {
    bytes.clear();
    uint32_t bits = 0;
    int count = 0, padding = 0;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        const int v = base64Value(c);
        if (v < 0 || padding > 0) return false;
        bits = (bits << 6) | static_cast<uint32_t>(v);
        if (++count == 4) {
            bytes.push_back(static_cast<uint8_t>(bits >> 16));
            bytes.push_back(static_cast<uint8_t>(bits >> 8));
            bytes.push_back(static_cast<uint8_t>(bits));
            bits = 0;
            count = 0;
        }
    }
    if (count == 1 || padding > 2) return false;
    if (count == 2) bytes.push_back(static_cast<uint8_t>(bits >> 4));
    if (count == 3) {
        bytes.push_back(static_cast<uint8_t>(bits >> 10));
        bytes.push_back(static_cast<uint8_t>(bits >> 2));
    }
    return true;
}

bool readMoodleXmlBank(const std::string& bytes, BankReading& reading, ModelProblem& broken) {
    reading = BankReading();
    XmlElement root;
    XmlFailure failure;
    if (!readXml(bytes, root, failure)) {
        broken = ModelProblem();
        broken.line = failure.line > 0 ? failure.line : 1;
        broken.message = brokenMessage(failure);
        return false;
    }
    MoodleReader reader(reading, broken);
    if (reader.run(root)) return true;
    reading = BankReading();
    return false;
}
