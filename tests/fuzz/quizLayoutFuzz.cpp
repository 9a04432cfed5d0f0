// The readers of the decoded resources 104 and 105, and the authoring tool's
// writer as their inverse. The input's first two bytes say where the 104
// bytes end; the 105 bytes follow. The player's path (readQuizLayout then
// readRewardCodes into a Quiz) and the extraction path (readQuizSource)
// share a parser but not their copying and cutting, so each is checked
// against the other, and a source that reads back cleanly must be written
// out as the very bytes it came from. The 105 bytes are also read as 107,
// the other accepted answers.

#include <cstring>
#include <memory>
#include <vector>

#include "answers/verdictChoice.h"
#include "quiz/quizLayout.h"
#include "tests/fuzz/fuzzCheck.h"

namespace {

bool terminated(const char* text) {
    return std::memchr(text, '\0', quizTextSize) != nullptr;
}

// What the Quiz must hold for a source text: up to the first NUL, at most 259 bytes.
bool holds(const char* field, const std::string& text) {
    return terminated(field) && std::string(text.c_str()).substr(0, quizTextSize - 1) == field;
}

int entryCount(const Quiz& quiz) {
    int n = 0;
    for (const QuestionEntry* e = quiz.firstQuestion; e; e = e->next) ++n;
    return n;
}

void checkFailedReadLeftQuizAlone(const Quiz& quiz, const Quiz& fresh) {
    FUZZ_CHECK(quiz.questionCount == 0, "a failed read sets questionCount to 0");
    FUZZ_CHECK(quiz.firstQuestion == nullptr && quiz.lastQuestion == nullptr, "a failed read appends nothing");
    FUZZ_CHECK(std::strcmp(quiz.title, fresh.title) == 0 && std::strcmp(quiz.author, fresh.author) == 0 &&
                   std::strcmp(quiz.explanations, fresh.explanations) == 0 &&
                   std::strcmp(quiz.answerCaption1, fresh.answerCaption1) == 0 &&
                   std::strcmp(quiz.answerCaption2, fresh.answerCaption2) == 0,
               "a failed read keeps the texts");
    FUZZ_CHECK(quiz.kind == fresh.kind && quiz.answersPerQuestion == fresh.answersPerQuestion &&
                   quiz.revealMode == fresh.revealMode && quiz.colour == fresh.colour &&
                   quiz.colourRed == fresh.colourRed && quiz.colourGreen == fresh.colourGreen &&
                   quiz.colourBlue == fresh.colourBlue,
               "a failed read keeps the numbers");
}

void checkQuizMatchesSource(const Quiz& quiz, const QuizSource& source, const uint8_t* layout) {
    FUZZ_CHECK(quiz.questionCount == layout[2], "questionCount is the count byte");
    FUZZ_CHECK(entryCount(quiz) == layout[2], "one entry per question");
    FUZZ_CHECK(quiz.kind == layout[1] - 1 && quiz.answersPerQuestion == layout[3], "kind and answers bytes");
    FUZZ_CHECK(quiz.revealMode == source.revealMode, "reveal mode");
    FUZZ_CHECK(quiz.colour == source.colourRed + source.colourGreen * 256u + source.colourBlue * 65536u,
               "colour from the three bytes");
    FUZZ_CHECK(holds(quiz.title, source.title) && holds(quiz.author, source.author) &&
                   holds(quiz.explanations, source.explanations) && holds(quiz.answerCaption1, source.caption1) &&
                   holds(quiz.answerCaption2, source.caption2),
               "header texts cut to 259 bytes");
    const bool comments = source.revealMode >= 2 && source.revealMode <= 4;
    const QuestionEntry* entry = quiz.firstQuestion;
    for (const QuizSourceQuestion& q : source.questions) {
        FUZZ_CHECK(
            holds(entry->answer1, q.answer1) && holds(entry->answer2, q.answer2) && holds(entry->prompt, q.prompt),
            "question texts cut to 259 bytes");
        FUZZ_CHECK(holds(entry->comment, comments ? q.comment : std::string()), "comment");
        entry = entry->next;
    }
}

// A source that passes quizSourceProblem must be written back as the bytes
// it was read from (byte 0 is always written 0, trailing bytes are dropped),
// and its codes as the 105 bytes.
void checkWriterInverts(const QuizSource& source, const uint8_t* layout, size_t layoutSize, size_t codesSize) {
    if (quizSourceProblem(source) != nullptr) return;
    const std::vector<uint8_t> written = writeQuizLayout(source);
    FUZZ_CHECK(written.size() <= layoutSize, "writer output no longer than what was read");
    FUZZ_CHECK(written[0] == 0 && std::memcmp(written.data() + 1, layout + 1, written.size() - 1) == 0,
               "writer reproduces the layout bytes");
    const std::vector<uint8_t> writtenCodes = writeRewardCodes(source);
    FUZZ_CHECK(writtenCodes.size() <= codesSize + 1, "code lines no longer than what was read (+ a final LF)");
    // The reader steps over the byte after each CR without looking at it, so
    // the 105 bytes themselves need not match; the codes read back must.
    QuizSource again;
    FUZZ_CHECK(readQuizSource(written.data(), written.size(), writtenCodes.data(), writtenCodes.size(), again),
               "written resources read back");
    FUZZ_CHECK(again.title == source.title && again.caption2 == source.caption2 &&
                   again.questions.size() == source.questions.size() && again.rewardCodes == source.rewardCodes,
               "written resources read back the same");
    for (size_t i = 0; i < source.questions.size(); ++i) {
        const QuizSourceQuestion& a = again.questions[i];
        const QuizSourceQuestion& b = source.questions[i];
        FUZZ_CHECK(a.answer1 == b.answer1 && a.answer2 == b.answer2 && a.prompt == b.prompt && a.comment == b.comment &&
                       a.secondComment == b.secondComment,
                   "question read back the same");
    }
}

// The same bytes read as resource 107 (other accepted answers) for the quiz
// just read: all or nothing, and what parses is written back as it was.
void checkOtherAnswers(Quiz& quiz, const uint8_t* data, size_t size) {
    std::vector<OtherAnswers> boxes;
    const bool parsed = parseOtherAnswers(data, size, quiz.questionCount, boxes);
    const bool read = readOtherAnswers(quiz, data, size);
    FUZZ_CHECK(parsed == read, "the player reads 107 when it parses");
    int listed = 0;
    for (const QuestionEntry* e = quiz.firstQuestion; e; e = e->next)
        listed += !!e->otherAnswers[0] + !!e->otherAnswers[1];
    if (!parsed) {
        FUZZ_CHECK(boxes.empty() && listed == 0, "a damaged 107 leaves the main answers alone");
        return;
    }
    FUZZ_CHECK(listed == static_cast<int>(boxes.size()), "one list per box");
    const std::vector<uint8_t> written = writeOtherAnswers(boxes);
    FUZZ_CHECK(written.size() == size && (size == 0 || std::memcmp(written.data(), data, size) == 0),
               "107 is written back as read");
    for (const OtherAnswers& box : boxes) {
        const char* packed = questionAt(quiz, box.question)->otherAnswers[box.slot - 1];
        for (size_t k = 0; k < box.texts.size(); ++k) {
            const char* text = otherAnswerAt(packed, static_cast<int>(k) + 1);
            FUZZ_CHECK(text && box.texts[k] == text, "the judge sees each answer of the box");
        }
        FUZZ_CHECK(!otherAnswerAt(packed, static_cast<int>(box.texts.size()) + 1), "and no more");
        chooseVerdictAmong(questionAt(quiz, box.question)->answer1, packed, box.texts.back().c_str());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::unique_ptr<Quiz> fresh = [] {
        std::unique_ptr<Quiz> q(new Quiz);
        initQuizValues(*q);
        return q;
    }();
    static const std::unique_ptr<Quiz> quiz(new Quiz);

    FuzzInput in{data, size};
    const size_t layoutSize = in.take(2) % (in.size + 1);
    const uint8_t* layout = in.data;
    const uint8_t* codes = in.data + layoutSize;
    const size_t codesSize = in.size - layoutSize;

    initQuizValues(*quiz);
    const bool read = readQuizLayout(*quiz, layout, layoutSize);
    QuizSource bare;
    FUZZ_CHECK(read == readQuizSource(layout, layoutSize, nullptr, 0, bare), "both readers agree on 104");
    if (!read) {
        checkFailedReadLeftQuizAlone(*quiz, *fresh);
        FUZZ_CHECK(!readQuizSource(layout, layoutSize, codes, codesSize, bare), "a bad 104 fails extraction");
        return 0;
    }
    checkQuizMatchesSource(*quiz, bare, layout);

    char before[rewardCodeCount][quizTextSize];
    std::memcpy(before, quiz->rewardCodes, sizeof before);
    const bool codesRead = readRewardCodes(*quiz, codes, codesSize);
    QuizSource full;
    const bool extracted = readQuizSource(layout, layoutSize, codes, codesSize, full);
    if (quiz->questionCount <= rewardCodeCount) {
        FUZZ_CHECK(codesRead == extracted, "both readers agree on 105");
    } else if (extracted) {
        FUZZ_CHECK(codesRead, "the player reads the 96 codes that extraction read");
    }
    if (!codesRead) {
        FUZZ_CHECK(std::memcmp(before, quiz->rewardCodes, sizeof before) == 0, "a failed 105 sets no code");
    } else {
        const int kept = quiz->questionCount < rewardCodeCount ? quiz->questionCount : rewardCodeCount;
        for (int i = 0; i < rewardCodeCount; ++i) {
            FUZZ_CHECK(terminated(quiz->rewardCodes[i]), "codes are terminated");
            if (i >= kept) FUZZ_CHECK(quiz->rewardCodes[i][0] == '\0', "codes past the count stay empty");
        }
        if (extracted) {
            for (int i = 0; i < kept; ++i) FUZZ_CHECK(holds(quiz->rewardCodes[i], full.rewardCodes[i]), "code text");
        }
    }
    if (extracted) checkWriterInverts(full, layout, layoutSize, codesSize);
    checkOtherAnswers(*quiz, codes, codesSize);
    releaseQuestions(*quiz);
    return 0;
}
