#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "quiz/lzw.h"
#include "quiz/quizLayout.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct QuizHolder {
    std::unique_ptr<Quiz> quiz{new Quiz};
    QuizHolder() { initQuizValues(*quiz); }
    ~QuizHolder() { releaseQuestions(*quiz); }
};

// Hand-built layouts, independent of the writer.
struct Layout {
    Bytes bytes;
    Layout& byte(int value) {
        bytes.push_back(static_cast<uint8_t>(value));
        return *this;
    }
    Layout& field(const std::string& text) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back('|');
        return *this;
    }
    Layout& header(int kindByte, int count, int answers) {
        return byte(0).byte(kindByte).byte(count).byte(answers).field("T").field("A").field("E").field("C1").field(
            "C2");
    }
};

int entryCount(const Quiz& quiz) {
    int n = 0;
    for (const QuestionEntry* e = quiz.firstQuestion; e; e = e->next) ++n;
    return n;
}

void expectUntouchedAfterFailure(const Quiz& quiz, const std::string& name) {
    EXPECT_EQ(quiz.questionCount, 0) << name;
    EXPECT_EQ(quiz.firstQuestion, nullptr) << name;
    EXPECT_STREQ(quiz.title, "nom du vetra") << name;
    EXPECT_STREQ(quiz.author, " createur") << name;
    EXPECT_EQ(quiz.kind, 0) << name;
    EXPECT_EQ(quiz.colour, 0x00969BFFu) << name;
    EXPECT_EQ(quiz.colourRed, 90) << name;
}

TEST(QuizLayout, QuestionRecordsByAnswerCount) {
    struct Row {
        const char* name;
        int answers;
        Layout layout;
        const char* answer2;
    } rows[] = {
        {"one answer", 1,
         Layout().header(1, 2, 1).field("r1").field("p1").field("r2").field("p2").byte(0).byte(1).byte(2).byte(3), ""},
        {"two answers", 2,
         Layout()
             .header(1, 2, 2)
             .field("r1")
             .field("s1")
             .field("p1")
             .field("r2")
             .field("s2")
             .field("p2")
             .byte(0)
             .byte(1)
             .byte(2)
             .byte(3),
         "s"},
        {"three read like one", 3,
         Layout().header(1, 2, 3).field("r1").field("p1").field("r2").field("p2").byte(0).byte(1).byte(2).byte(3), ""},
        {"zero read like one", 0,
         Layout().header(1, 2, 0).field("r1").field("p1").field("r2").field("p2").byte(0).byte(1).byte(2).byte(3), ""},
    };
    for (const Row& row : rows) {
        QuizHolder h;
        ASSERT_TRUE(readQuizLayout(*h.quiz, row.layout.bytes.data(), row.layout.bytes.size())) << row.name;
        const Quiz& q = *h.quiz;
        EXPECT_EQ(q.answersPerQuestion, row.answers) << row.name;
        ASSERT_EQ(entryCount(q), 2) << row.name;
        for (int n = 1; n <= 2; ++n) {
            const QuestionEntry* e = questionAt(q, n);
            const std::string suffix = std::to_string(n);
            EXPECT_EQ(std::string(e->answer1), "r" + suffix) << row.name;
            EXPECT_EQ(std::string(e->answer2), *row.answer2 ? row.answer2 + suffix : "") << row.name;
            EXPECT_EQ(std::string(e->prompt), "p" + suffix) << row.name;
            EXPECT_STREQ(e->comment, "") << row.name;
        }
        EXPECT_EQ(q.colourRed, 1) << row.name;
        EXPECT_EQ(q.colourGreen, 2) << row.name;
        EXPECT_EQ(q.colourBlue, 3) << row.name;
    }
}

TEST(QuizLayout, RevealSections) {
    auto questions = [](int mode) {
        return Layout().header(2, 2, 1).field("r1").field("p1").field("r2").field("p2").byte(mode);
    };
    struct Row {
        const char* name;
        int mode;
        Layout layout;
        const char* comment1;
        const char* comment2;
    } rows[] = {
        {"mode 0: colours follow the mode", 0, questions(0).byte(0x10).byte(0x20).byte(0x30), "", ""},
        {"mode 1: colours follow the mode", 1, questions(1).byte(0x10).byte(0x20).byte(0x30), "", ""},
        {"mode 2: one comment each", 2, questions(2).field("c1").field("c2").byte(0x10).byte(0x20).byte(0x30), "c1",
         "c2"},
        {"mode 3: pairs, first kept", 3,
         questions(3).field("c1").field("x1").field("c2").field("x2").byte(0x10).byte(0x20).byte(0x30), "c1", "c2"},
        {"mode 4: one comment each", 4, questions(4).field("c1").field("c2").byte(0x10).byte(0x20).byte(0x30), "c1",
         "c2"},
        {"mode 5: nothing", 5, questions(5).byte(0x10).byte(0x20).byte(0x30), "", ""},
        {"mode 255: nothing", 255, questions(255).byte(0x10).byte(0x20).byte(0x30), "", ""},
    };
    for (const Row& row : rows) {
        QuizHolder h;
        ASSERT_TRUE(readQuizLayout(*h.quiz, row.layout.bytes.data(), row.layout.bytes.size())) << row.name;
        const Quiz& q = *h.quiz;
        EXPECT_EQ(q.revealMode, row.mode) << row.name;
        EXPECT_STREQ(questionAt(q, 1)->comment, row.comment1) << row.name;
        EXPECT_STREQ(questionAt(q, 2)->comment, row.comment2) << row.name;
        EXPECT_EQ(q.colourRed, 16) << row.name;
        EXPECT_EQ(q.colourGreen, 32) << row.name;
        EXPECT_EQ(q.colourBlue, 48) << row.name;
        EXPECT_EQ(q.colour, 0x00302010u) << row.name;
    }
}

TEST(QuizLayout, HeaderBytesAndTexts) {
    struct Row {
        int kindByte;
        int32_t kind;
    } rows[] = {{0, -1}, {1, 0}, {2, 1}, {3, 2}, {4, 3}, {255, 254}};
    for (const Row& row : rows) {
        Layout layout;
        layout.byte(0xAB)
            .byte(row.kindByte)
            .byte(0)
            .byte(1)
            .field("Titre")
            .field("")
            .field("Expl")
            .field("")
            .field("X")
            .byte(0)
            .byte(9)
            .byte(8)
            .byte(7);
        QuizHolder h;
        ASSERT_TRUE(readQuizLayout(*h.quiz, layout.bytes.data(), layout.bytes.size())) << row.kindByte;
        const Quiz& q = *h.quiz;
        EXPECT_EQ(q.kind, row.kind) << "byte " << row.kindByte;
        EXPECT_EQ(q.questionCount, 0);
        EXPECT_EQ(q.firstQuestion, nullptr);
        EXPECT_STREQ(q.title, "Titre");
        EXPECT_STREQ(q.author, "");
        EXPECT_STREQ(q.explanations, "Expl");
        EXPECT_STREQ(q.answerCaption1, "");
        EXPECT_STREQ(q.answerCaption2, "X");
        EXPECT_EQ(q.colour, 0x00070809u);
    }
}

TEST(QuizLayout, LongTextsAreCutAndReadingGoesOn) {
    const std::string long300(300, 'L');
    const std::string exact259(259, 'E');
    Layout layout;
    layout.header(1, 1, 1);
    layout.bytes.resize(4);  // rebuild the texts with long ones
    layout.field(long300)
        .field(exact259)
        .field("e")
        .field("c1")
        .field("c2")
        .field(long300 + "!")
        .field("prompt")
        .byte(2)
        .field(long300)
        .byte(1)
        .byte(2)
        .byte(3);
    QuizHolder h;
    ASSERT_TRUE(readQuizLayout(*h.quiz, layout.bytes.data(), layout.bytes.size()));
    const Quiz& q = *h.quiz;
    EXPECT_EQ(std::string(q.title), std::string(259, 'L'));
    EXPECT_EQ(std::string(q.author), exact259);
    EXPECT_STREQ(q.explanations, "e");
    EXPECT_EQ(std::string(questionAt(q, 1)->answer1), std::string(259, 'L'));
    EXPECT_STREQ(questionAt(q, 1)->prompt, "prompt");
    EXPECT_EQ(std::string(questionAt(q, 1)->comment), std::string(259, 'L'));
    EXPECT_EQ(q.colourBlue, 3);
}

TEST(QuizLayout, EveryTruncationFails) {
    QuizSource source;
    source.kind = 1;
    source.title = "Titre";
    source.answersPerQuestion = 2;
    source.revealMode = 3;
    source.colourRed = 1;
    source.questions = {{"a", "b", "p", "c", "d"}, {"", "", "", "", ""}, {"x", "y", "z", "w", "v"}};
    const Bytes full = writeQuizLayout(source);
    for (size_t size = 0; size < full.size(); ++size) {
        const Bytes cut(full.begin(), full.begin() + size);
        QuizHolder h;
        // Copy into an exact-size heap block so that any read past it is caught.
        std::unique_ptr<uint8_t[]> exact(new uint8_t[size + 1]);
        std::copy(cut.begin(), cut.end(), exact.get());
        EXPECT_FALSE(readQuizLayout(*h.quiz, size ? exact.get() : nullptr, size)) << "size " << size;
        expectUntouchedAfterFailure(*h.quiz, "size " + std::to_string(size));
        QuizSource extracted;
        EXPECT_FALSE(readQuizSource(cut.data(), cut.size(), nullptr, 0, extracted)) << "size " << size;
    }
    QuizHolder h;
    EXPECT_TRUE(readQuizLayout(*h.quiz, full.data(), full.size()));
    EXPECT_EQ(entryCount(*h.quiz), 3);
}

TEST(QuizLayout, MissingSeparatorFailsInsteadOfRunningOn) {
    struct Row {
        const char* name;
        Layout layout;
    } rows[] = {
        {"title without bar", Layout().byte(0).byte(1).byte(0).byte(1).byte('T').byte('x')},
        {"count larger than the records",
         Layout().header(1, 3, 1).field("r1").field("p1").byte(0).byte(1).byte(2).byte(3)},
        {"comment missing", Layout().header(1, 1, 1).field("r").field("p").byte(2).byte(1).byte(2).byte(3)},
        {"one colour byte short", Layout().header(1, 0, 1).byte(0).byte(1).byte(2)},
    };
    for (const Row& row : rows) {
        QuizHolder h;
        EXPECT_FALSE(readQuizLayout(*h.quiz, row.layout.bytes.data(), row.layout.bytes.size())) << row.name;
        expectUntouchedAfterFailure(*h.quiz, row.name);
    }
}

TEST(QuizLayout, MoreThan96Questions) {
    QuizSource source;
    for (int i = 0; i < 100; ++i) {
        source.questions.push_back({"r" + std::to_string(i), "", "p", "", ""});
        source.rewardCodes.push_back("code" + std::to_string(i));
    }
    const Bytes layout = writeQuizLayout(source);
    QuizHolder h;
    ASSERT_TRUE(readQuizLayout(*h.quiz, layout.data(), layout.size()));
    EXPECT_EQ(h.quiz->questionCount, 100);
    EXPECT_EQ(entryCount(*h.quiz), 100);
    EXPECT_STREQ(questionAt(*h.quiz, 100)->answer1, "r99");

    const Bytes codes = writeRewardCodes(source);
    ASSERT_TRUE(readRewardCodes(*h.quiz, codes.data(), codes.size()));
    EXPECT_STREQ(h.quiz->rewardCodes[0], "code0");
    EXPECT_STREQ(h.quiz->rewardCodes[95], "code95");

    // Lines beyond the 96th are never read, so they may be missing.
    source.rewardCodes.resize(96);
    const Bytes only96 = writeRewardCodes(source);
    QuizHolder h2;
    ASSERT_TRUE(readQuizLayout(*h2.quiz, layout.data(), layout.size()));
    EXPECT_TRUE(readRewardCodes(*h2.quiz, only96.data(), only96.size()));
    EXPECT_STREQ(h2.quiz->rewardCodes[95], "code95");
}

TEST(RewardCodes, Lines) {
    const std::string long300(300, 'K');
    struct Row {
        const char* name;
        int count;
        std::string data;
        bool ok;
        std::vector<std::string> codes;
    } rows[] = {
        {"three codes", 3, "un\r\ndeux\r\ntrois\r\n", true, {"un", "deux", "trois"}},
        {"empty code line", 2, "\r\nB\r\n", true, {"", "B"}},
        {"byte after CR not tested", 2, "A\rXB\r\n", true, {"A", "B"}},
        {"last line without LF", 1, "A\r", true, {"A"}},
        {"extra lines ignored", 1, "A\r\nB\r\n", true, {"A", ""}},
        {"no question, no code", 0, "", true, {""}},
        {"long code cut", 2, long300 + "\r\nZ\r\n", true, {std::string(259, 'K'), "Z"}},
        {"last line without CR", 2, "A\r\nB", false, {"", ""}},
        {"too few lines", 3, "A\r\nB\r\n", false, {"", "", ""}},
        {"CR as last byte, line missing", 2, "A\r", false, {"", ""}},
        {"empty data", 1, "", false, {""}},
    };
    for (const Row& row : rows) {
        QuizHolder h;
        h.quiz->questionCount = row.count;
        std::unique_ptr<uint8_t[]> exact(new uint8_t[row.data.size() + 1]);
        std::copy(row.data.begin(), row.data.end(), exact.get());
        EXPECT_EQ(readRewardCodes(*h.quiz, exact.get(), row.data.size()), row.ok) << row.name;
        for (size_t i = 0; i < row.codes.size(); ++i) {
            EXPECT_EQ(std::string(h.quiz->rewardCodes[i]), row.codes[i]) << row.name << " code " << i;
        }
    }
}

TEST(QuizLayout, SampleQuiz) {
    QuizHolder h;
    loadSampleQuiz(*h.quiz);
    const Quiz& q = *h.quiz;
    EXPECT_STREQ(q.title, "Nom du vetra");
    EXPECT_STREQ(q.author, "Createur vetra");
    EXPECT_STREQ(q.explanations, "Explications du vetra");
    EXPECT_STREQ(q.answerCaption1, "TEST");
    EXPECT_STREQ(q.answerCaption2, "TEST");
    EXPECT_EQ(q.questionCount, 7);
    EXPECT_EQ(q.revealMode, 3);
    EXPECT_EQ(q.kind, kindPictures);
    EXPECT_EQ(q.answersPerQuestion, 1);
    EXPECT_EQ(q.colourRed, 0x35);
    EXPECT_EQ(q.colourGreen, 0xCB);
    EXPECT_EQ(q.colourBlue, 0xA3);
    EXPECT_EQ(q.colour, 0x00A3CB35u);
    ASSERT_EQ(entryCount(q), 2);
    for (int n = 1; n <= 7; ++n) {
        const QuestionEntry* e = questionAt(q, n);
        EXPECT_STREQ(e->answer1, "test") << n;
        EXPECT_STREQ(e->answer2, "test") << n;
        EXPECT_STREQ(e->prompt, "emplacement") << n;
        EXPECT_STREQ(e->comment, "") << n;
    }
    EXPECT_EQ(questionAt(q, 7), q.lastQuestion);
    EXPECT_STREQ(q.rewardCodes[0], "");
}

// ---- Writer ----

QuizSource richSource(int answers, int mode) {
    QuizSource s;
    s.kind = 3;
    s.title = "Quiz d'\xE9t\xE9";
    s.author = "Moi";
    s.explanations = "";
    s.caption1 = "Film";
    s.caption2 = "Acteur";
    s.answersPerQuestion = answers;
    s.revealMode = mode;
    s.colourRed = 0x10;
    s.colourGreen = 0x20;
    s.colourBlue = 0x30;
    s.questions = {{"un", answers == 2 ? "one" : "", "p1", mode >= 2 && mode <= 4 ? "c1" : "", mode == 3 ? "d1" : ""},
                   {"", answers == 2 ? "two" : "", "", mode >= 2 && mode <= 4 ? "c2" : "", mode == 3 ? "d2" : ""}};
    s.rewardCodes = {"AAA", ""};
    return s;
}

TEST(QuizLayoutWriter, ExactBytes) {
    QuizSource s;
    s.kind = 0;
    s.title = "T";
    s.answersPerQuestion = 2;
    s.revealMode = 3;
    s.colourRed = 1;
    s.colourGreen = 2;
    s.colourBlue = 3;
    s.questions = {{"a", "b", "p", "c", "d"}};
    s.rewardCodes = {"X"};
    const std::string expected(
        "\x00\x01\x01\x02T|||||a|b|p|\x03"
        "c|d|\x01\x02\x03",
        24);
    EXPECT_EQ(writeQuizLayout(s), Bytes(expected.begin(), expected.end()));
    EXPECT_EQ(writeRewardCodes(s), (Bytes{'X', '\r', '\n'}));
}

bool sameSource(const QuizSource& a, const QuizSource& b) {
    if (a.kind != b.kind || a.title != b.title || a.author != b.author || a.explanations != b.explanations ||
        a.caption1 != b.caption1 || a.caption2 != b.caption2 || a.answersPerQuestion != b.answersPerQuestion ||
        a.revealMode != b.revealMode || a.colourRed != b.colourRed || a.colourGreen != b.colourGreen ||
        a.colourBlue != b.colourBlue || a.rewardCodes != b.rewardCodes || a.questions.size() != b.questions.size()) {
        return false;
    }
    for (size_t i = 0; i < a.questions.size(); ++i) {
        const QuizSourceQuestion& x = a.questions[i];
        const QuizSourceQuestion& y = b.questions[i];
        if (x.answer1 != y.answer1 || x.answer2 != y.answer2 || x.prompt != y.prompt || x.comment != y.comment ||
            x.secondComment != y.secondComment) {
            return false;
        }
    }
    return true;
}

TEST(QuizLayoutWriter, RoundTrips) {
    for (int answers : {1, 2}) {
        for (int mode : {0, 1, 2, 3, 4, 7}) {
            const std::string name = "M=" + std::to_string(answers) + " mode " + std::to_string(mode);
            const QuizSource source = richSource(answers, mode);
            ASSERT_EQ(quizSourceProblem(source), nullptr) << name;
            const Bytes layout = writeQuizLayout(source);
            const Bytes codes = writeRewardCodes(source);

            // Straight back to a source, and build -> extract -> build.
            QuizSource extracted;
            ASSERT_TRUE(readQuizSource(layout.data(), layout.size(), codes.data(), codes.size(), extracted)) << name;
            EXPECT_TRUE(sameSource(source, extracted)) << name;
            EXPECT_EQ(writeQuizLayout(extracted), layout) << name;
            EXPECT_EQ(writeRewardCodes(extracted), codes) << name;

            // Through the codec, into the player's record.
            uint8_t* packed = nullptr;
            int32_t packedLength = 0;
            ASSERT_EQ(lzwEncode(layout.data(), static_cast<uint32_t>(layout.size()), &packed, &packedLength), lzwOk);
            uint8_t* decoded = nullptr;
            int32_t decodedLength = 0;
            const int32_t result = lzwDecode(packed, static_cast<uint32_t>(packedLength - 1), &decoded, &decodedLength);
            lzwFree(packed);
            ASSERT_EQ(result, lzwOk) << name;
            QuizHolder h;
            const bool read = readQuizLayout(*h.quiz, decoded, static_cast<size_t>(decodedLength - 2));
            lzwFree(decoded);
            ASSERT_TRUE(read) << name;
            ASSERT_TRUE(readRewardCodes(*h.quiz, codes.data(), codes.size())) << name;
            const Quiz& q = *h.quiz;
            EXPECT_EQ(q.kind, 3) << name;
            EXPECT_STREQ(q.title, "Quiz d'\xE9t\xE9") << name;
            EXPECT_STREQ(q.answerCaption2, "Acteur") << name;
            EXPECT_EQ(q.answersPerQuestion, answers) << name;
            EXPECT_EQ(q.revealMode, mode) << name;
            EXPECT_EQ(q.questionCount, 2) << name;
            EXPECT_STREQ(questionAt(q, 1)->answer2, answers == 2 ? "one" : "") << name;
            EXPECT_STREQ(questionAt(q, 2)->comment, source.questions[1].comment.c_str()) << name;
            EXPECT_EQ(q.colour, 0x00302010u) << name;
            EXPECT_STREQ(q.rewardCodes[0], "AAA") << name;
            EXPECT_STREQ(q.rewardCodes[1], "") << name;
        }
    }
}

TEST(QuizLayoutWriter, ExtractionWithoutCodes) {
    const QuizSource source = richSource(1, 2);
    const Bytes layout = writeQuizLayout(source);
    QuizSource extracted;
    ASSERT_TRUE(readQuizSource(layout.data(), layout.size(), nullptr, 0, extracted));
    EXPECT_TRUE(extracted.rewardCodes.empty());
    const Bytes shortCodes{'A', '\r', '\n'};  // two questions, one line
    EXPECT_FALSE(readQuizSource(layout.data(), layout.size(), shortCodes.data(), shortCodes.size(), extracted));
}

TEST(QuizLayoutWriter, ProblemsThatWouldNotReadBack) {
    struct Row {
        const char* name;
        void (*spoil)(QuizSource&);
    } rows[] = {
        {"kind below -1", [](QuizSource& s) { s.kind = -2; }},
        {"kind above 254", [](QuizSource& s) { s.kind = 255; }},
        {"answers above a byte", [](QuizSource& s) { s.answersPerQuestion = 256; }},
        {"negative reveal mode", [](QuizSource& s) { s.revealMode = -1; }},
        {"bar in the title", [](QuizSource& s) { s.title = "a|b"; }},
        {"bar in a second comment", [](QuizSource& s) { s.questions[0].secondComment = "|"; }},
        {"260-character prompt", [](QuizSource& s) { s.questions[1].prompt = std::string(260, 'p'); }},
        {"line break in a code", [](QuizSource& s) { s.rewardCodes[0] = "a\nb"; }},
        {"260-character code", [](QuizSource& s) { s.rewardCodes[1] = std::string(260, 'c'); }},
        {"fewer codes than questions", [](QuizSource& s) { s.rewardCodes.pop_back(); }},
        {"256 questions",
         [](QuizSource& s) {
             s.questions.resize(256);
             s.rewardCodes.resize(256);
         }},
    };
    for (const Row& row : rows) {
        QuizSource source = richSource(2, 3);
        row.spoil(source);
        EXPECT_NE(quizSourceProblem(source), nullptr) << row.name;
    }
    QuizSource edge = richSource(2, 3);
    edge.kind = -1;
    edge.title = std::string(259, 't');
    edge.rewardCodes[0] = std::string(259, 'c');
    edge.questions.resize(255);
    edge.rewardCodes.resize(255);
    EXPECT_EQ(quizSourceProblem(edge), nullptr);
}

}  // namespace
