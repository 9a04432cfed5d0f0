#include "quiz/quizLayout.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr size_t maxTextLength = quizTextSize - 1;
constexpr size_t maxQuestions = 255;  // the count is one byte

// Reads the decoded bytes front to back; every step checks that what it
// needs lies inside the data, so a short or corrupt resource simply fails.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}

    bool byte(uint8_t& value) {
        if (position_ >= size_) return false;
        value = data_[position_++];
        return true;
    }

    // A text field: the bytes up to the next "|", which is stepped over.
    bool field(std::string& text) { return until(layoutFieldEnd, 1, text); }

    // A code line: the bytes up to the next CR; the CR and the byte after it
    // (the LF, never looked at) are stepped over.
    bool line(std::string& text) { return until(layoutLineEnd, 2, text); }

private:
    bool until(uint8_t terminator, size_t skip, std::string& text) {
        if (position_ >= size_) return false;
        const void* found = std::memchr(data_ + position_, terminator, size_ - position_);
        if (!found) return false;
        const size_t end = static_cast<size_t>(static_cast<const uint8_t*>(found) - data_);
        text.assign(reinterpret_cast<const char*>(data_ + position_), end - position_);
        // May step past the end after a final CR; the next read then fails.
        position_ = end + skip;
        return true;
    }

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

bool parseLayout(const uint8_t* data, size_t size, QuizSource& out) {
    Reader reader(data, size);
    uint8_t unused = 0, kindByte = 0, count = 0, answers = 0;
    if (!reader.byte(unused) || !reader.byte(kindByte) || !reader.byte(count) || !reader.byte(answers)) {
        return false;
    }
    out.kind = static_cast<int32_t>(kindByte) - 1;
    out.answersPerQuestion = answers;
    for (std::string* text : {&out.title, &out.author, &out.explanations, &out.caption1, &out.caption2}) {
        if (!reader.field(*text)) return false;
    }
    out.questions.assign(count, QuizSourceQuestion{});
    for (QuizSourceQuestion& question : out.questions) {
        if (!reader.field(question.answer1)) return false;
        if (answers == 2 && !reader.field(question.answer2)) return false;
        if (!reader.field(question.prompt)) return false;
    }
    uint8_t mode = 0;
    if (!reader.byte(mode)) return false;
    out.revealMode = mode;
    if (revealShowsComments(mode)) {
        for (QuizSourceQuestion& question : out.questions) {
            if (!reader.field(question.comment)) return false;
            if (mode == revealCommentAndPicture && !reader.field(question.secondComment)) return false;
        }
    }
    return reader.byte(out.colourRed) && reader.byte(out.colourGreen) && reader.byte(out.colourBlue);
}

bool parseCodes(const uint8_t* data, size_t size, size_t count, std::vector<std::string>& codes) {
    Reader reader(data, size);
    codes.assign(count, std::string());
    for (std::string& code : codes) {
        if (!reader.line(code)) return false;
    }
    return true;
}

void copyField(char* destination, const std::string& text) {
    copyText(destination, quizTextSize, text.c_str());
}

void appendText(std::vector<uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

void appendField(std::vector<uint8_t>& out, const std::string& text) {
    appendText(out, text);
    out.push_back(layoutFieldEnd);
}

}  // namespace

bool readQuizLayout(Quiz& quiz, const uint8_t* data, size_t size) {
    QuizSource source;
    if (!parseLayout(data, size, source)) {
        quiz.questionCount = 0;
        return false;
    }
    quiz.kind = source.kind;
    quiz.questionCount = static_cast<int32_t>(source.questions.size());
    quiz.answersPerQuestion = source.answersPerQuestion;
    copyField(quiz.title, source.title);
    copyField(quiz.author, source.author);
    copyField(quiz.explanations, source.explanations);
    copyField(quiz.answerCaption1, source.caption1);
    copyField(quiz.answerCaption2, source.caption2);
    for (const QuizSourceQuestion& question : source.questions) {
        appendQuestion(quiz, question.answer1.c_str(), question.answer2.c_str(), question.prompt.c_str());
    }
    quiz.revealMode = source.revealMode;
    if (revealShowsComments(source.revealMode)) {
        for (size_t i = 0; i < source.questions.size(); ++i) {
            copyField(questionAt(quiz, static_cast<int>(i + 1))->comment, source.questions[i].comment);
        }
    }
    quiz.colourRed = source.colourRed;
    quiz.colourGreen = source.colourGreen;
    quiz.colourBlue = source.colourBlue;
    quiz.colour = source.colourRed + source.colourGreen * 256u + source.colourBlue * 65536u;
    return true;
}

bool readRewardCodes(Quiz& quiz, const uint8_t* data, size_t size) {
    const size_t count = quiz.questionCount <= 0                ? 0
                         : quiz.questionCount > rewardCodeCount ? rewardCodeCount
                                                                : static_cast<size_t>(quiz.questionCount);
    std::vector<std::string> codes;
    if (!parseCodes(data, size, count, codes)) return false;
    for (size_t i = 0; i < count; ++i) copyField(quiz.rewardCodes[i], codes[i]);
    return true;
}

void readQuizLink(Quiz& quiz, const uint8_t* data, size_t size) {
    const std::string text = data ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
    copyText(quiz.link, quizTextSize, isWebAddress(text) ? text.c_str() : "");
}

bool parseOtherAnswers(const uint8_t* data, size_t size, int questionCount, std::vector<OtherAnswers>& out) {
    out.clear();
    std::vector<OtherAnswers> boxes;
    size_t at = 0;
    while (data && at < size) {
        if (size - at < 3) return false;
        OtherAnswers box;
        box.question = data[at];
        box.slot = data[at + 1];
        const int count = data[at + 2];
        at += 3;
        if (box.question < 1 || box.question > questionCount || box.slot < 1 || box.slot > 2 || count < 1) return false;
        for (const OtherAnswers& seen : boxes) {
            if (seen.question == box.question && seen.slot == box.slot) return false;
        }
        for (int i = 0; i < count; ++i) {
            const void* end = std::memchr(data + at, layoutFieldEnd, size - at);
            if (!end) return false;
            const size_t length = static_cast<size_t>(static_cast<const uint8_t*>(end) - (data + at));
            // A NUL would end the packed list the judge reads early.
            if (length == 0 || length > maxTextLength || std::memchr(data + at, '\0', length)) return false;
            box.texts.emplace_back(reinterpret_cast<const char*>(data + at), length);
            at += length + 1;
        }
        boxes.push_back(std::move(box));
    }
    out = std::move(boxes);
    return true;
}

bool readOtherAnswers(Quiz& quiz, const uint8_t* data, size_t size) {
    std::vector<OtherAnswers> boxes;
    if (!parseOtherAnswers(data, size, quiz.questionCount, boxes)) return false;
    for (const OtherAnswers& box : boxes) {
        QuestionEntry* entry = questionAt(quiz, box.question);
        if (!entry) continue;
        std::string packed;
        for (const std::string& text : box.texts) packed.append(text).push_back('\0');
        packed.push_back('\0');
        char* block = static_cast<char*>(std::malloc(packed.size()));
        if (!block) throw std::bad_alloc();  // like any failed allocation, this ends the program
        std::memcpy(block, packed.data(), packed.size());
        std::free(entry->otherAnswers[box.slot - 1]);
        entry->otherAnswers[box.slot - 1] = block;
    }
    return true;
}

bool isWebAddress(const std::string& text) {
    const size_t scheme = text.rfind("http://", 0) == 0 ? 7 : text.rfind("https://", 0) == 0 ? 8 : 0;
    if (scheme == 0 || text.size() <= scheme || text.size() > quizTextSize - 1) return false;
    for (char c : text) {
        if (c <= ' ' || c > '~' || c == '"' || c == '<' || c == '>' || c == '\\' || c == '`') return false;
    }
    return true;
}

void loadSampleQuiz(Quiz& quiz) {
    copyText(quiz.title, quizTextSize, "Nom du vetra");
    copyText(quiz.author, quizTextSize, "Createur vetra");
    copyText(quiz.explanations, quizTextSize, "Explications du vetra");
    copyText(quiz.answerCaption1, quizTextSize, "TEST");
    copyText(quiz.answerCaption2, quizTextSize, "TEST");
    quiz.questionCount = 7;
    quiz.revealMode = revealCommentAndPicture;
    quiz.kind = kindPictures;
    quiz.answersPerQuestion = 1;
    quiz.colourRed = 0x35;
    quiz.colourGreen = 0xCB;
    quiz.colourBlue = 0xA3;
    quiz.colour = 0x00A3CB35;
    // Two entries for seven questions: questions 3 to 7 share the second.
    appendQuestion(quiz, "test", "test", "emplacement");
    appendQuestion(quiz, "test", "test", "emplacement");
}

const char* quizSourceProblem(const QuizSource& source) {
    auto isByte = [](int32_t value) { return value >= 0 && value <= 255; };
    auto textFits = [](const std::string& text) {
        return text.size() <= maxTextLength && text.find(static_cast<char>(layoutFieldEnd)) == std::string::npos;
    };
    if (!isByte(source.kind + 1)) return "the quiz kind is out of range";
    if (!isByte(source.answersPerQuestion)) return "the number of answers per question is out of range";
    if (!isByte(source.revealMode)) return "the reveal mode is out of range";
    if (source.questions.size() > maxQuestions) return "there are more than 255 questions";
    for (const std::string* text :
         {&source.title, &source.author, &source.explanations, &source.caption1, &source.caption2}) {
        if (!textFits(*text)) return "a text is longer than 259 characters or contains \"|\"";
    }
    for (const QuizSourceQuestion& q : source.questions) {
        for (const std::string* text : {&q.answer1, &q.answer2, &q.prompt, &q.comment, &q.secondComment}) {
            if (!textFits(*text)) return "a text is longer than 259 characters or contains \"|\"";
        }
    }
    if (source.rewardCodes.size() != source.questions.size()) {
        return "the number of reward codes differs from the number of questions";
    }
    for (const std::string& code : source.rewardCodes) {
        if (code.size() > maxTextLength || code.find_first_of("\r\n") != std::string::npos) {
            return "a reward code is longer than 259 characters or holds a line break";
        }
    }
    return nullptr;
}

std::vector<uint8_t> writeQuizLayout(const QuizSource& source) {
    std::vector<uint8_t> out;
    out.push_back(0);
    out.push_back(static_cast<uint8_t>(source.kind + 1));
    out.push_back(static_cast<uint8_t>(source.questions.size()));
    out.push_back(static_cast<uint8_t>(source.answersPerQuestion));
    for (const std::string* text :
         {&source.title, &source.author, &source.explanations, &source.caption1, &source.caption2}) {
        appendField(out, *text);
    }
    for (const QuizSourceQuestion& question : source.questions) {
        appendField(out, question.answer1);
        if (source.answersPerQuestion == 2) appendField(out, question.answer2);
        appendField(out, question.prompt);
    }
    out.push_back(static_cast<uint8_t>(source.revealMode));
    if (revealShowsComments(source.revealMode)) {
        for (const QuizSourceQuestion& question : source.questions) {
            appendField(out, question.comment);
            if (source.revealMode == revealCommentAndPicture) appendField(out, question.secondComment);
        }
    }
    out.push_back(source.colourRed);
    out.push_back(source.colourGreen);
    out.push_back(source.colourBlue);
    return out;
}

std::vector<uint8_t> writeOtherAnswers(const std::vector<OtherAnswers>& boxes) {
    std::vector<uint8_t> out;
    for (const OtherAnswers& box : boxes) {
        out.push_back(static_cast<uint8_t>(box.question));
        out.push_back(static_cast<uint8_t>(box.slot));
        out.push_back(static_cast<uint8_t>(box.texts.size()));
        for (const std::string& text : box.texts) {
            out.insert(out.end(), text.begin(), text.end());
            out.push_back(layoutFieldEnd);
        }
    }
    return out;
}

std::vector<uint8_t> writeRewardCodes(const QuizSource& source) {
    std::vector<uint8_t> out;
    for (const std::string& code : source.rewardCodes) {
        appendText(out, code);
        out.push_back('\r');
        out.push_back('\n');
    }
    return out;
}

bool readQuizSource(const uint8_t* layout, size_t layoutSize, const uint8_t* codes, size_t codesSize, QuizSource& out) {
    QuizSource source;
    if (!parseLayout(layout, layoutSize, source)) return false;
    if (codes && !parseCodes(codes, codesSize, source.questions.size(), source.rewardCodes)) return false;
    out = std::move(source);
    return true;
}
