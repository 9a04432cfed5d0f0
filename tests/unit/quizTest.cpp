#include "quiz/quiz.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

struct QuizHolder {
    std::unique_ptr<Quiz> quiz{new Quiz};
    QuizHolder() { initQuizValues(*quiz); }
    ~QuizHolder() { releaseQuestions(*quiz); }
};

TEST(QuizRecord, ConstructionValues) {
    QuizHolder h;
    const Quiz& q = *h.quiz;
    EXPECT_EQ(q.kind, 0);
    EXPECT_STREQ(q.title, "nom du vetra");
    EXPECT_STREQ(q.author, " createur");
    EXPECT_EQ(q.questionCount, 2);
    EXPECT_EQ(q.answersPerQuestion, 1);
    EXPECT_EQ(q.revealMode, 0);
    EXPECT_EQ(q.allCommentsShown, 0);
    EXPECT_EQ(q.colourRed, 90);
    EXPECT_EQ(q.colourGreen, 95);
    EXPECT_EQ(q.colourBlue, 150);
    EXPECT_EQ(q.colour, 0x00969BFFu);
    EXPECT_STREQ(q.mediaPrefix, "");
    EXPECT_STREQ(q.explanations, "");
    EXPECT_EQ(q.firstQuestion, nullptr);
    EXPECT_EQ(q.lastQuestion, nullptr);
    for (int i = 0; i < solutionFlagCount; ++i) ASSERT_EQ(q.solutionShown[i], 0) << i;
    for (int i = 0; i < rewardCodeCount; ++i) ASSERT_STREQ(q.rewardCodes[i], "") << i;
}

TEST(QuizRecord, QuestionAtOnEmptyListIsNull) {
    QuizHolder h;
    for (int n : {-5, -1, 0, 1, 2, 7, 1000}) EXPECT_EQ(questionAt(*h.quiz, n), nullptr) << n;
}

TEST(QuizRecord, FirstAppendIsFirstAndLast) {
    QuizHolder h;
    appendQuestion(*h.quiz, "a1", "a2", "p");
    QuestionEntry* e = h.quiz->firstQuestion;
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e, h.quiz->lastQuestion);
    EXPECT_EQ(e->previous, nullptr);
    EXPECT_EQ(e->next, nullptr);
    EXPECT_STREQ(e->answer1, "a1");
    EXPECT_STREQ(e->answer2, "a2");
    EXPECT_STREQ(e->prompt, "p");
    EXPECT_STREQ(e->comment, "");
}

TEST(QuizRecord, QuestionAtClampsAndWalksUnsigned) {
    QuizHolder h;
    appendQuestion(*h.quiz, "one", "", "");
    appendQuestion(*h.quiz, "two", "", "");
    struct Row { int n; const char* expected; } rows[] = {
        {1, "one"}, {2, "two"}, {3, "two"}, {7, "two"}, {0, "two"}, {-1, "two"}, {-100, "two"},
    };
    for (const Row& r : rows) {
        QuestionEntry* e = questionAt(*h.quiz, r.n);
        ASSERT_NE(e, nullptr) << r.n;
        EXPECT_STREQ(e->answer1, r.expected) << "n=" << r.n;
    }
}

TEST(QuizRecord, LinksMirrorEachOther) {
    QuizHolder h;
    for (int i = 0; i < 5; ++i) appendQuestion(*h.quiz, std::to_string(i).c_str(), "", "");
    int count = 0;
    QuestionEntry* previous = nullptr;
    for (QuestionEntry* e = h.quiz->firstQuestion; e; e = e->next, ++count) {
        EXPECT_EQ(e->previous, previous);
        EXPECT_STREQ(e->answer1, std::to_string(count).c_str());
        previous = e;
    }
    EXPECT_EQ(count, 5);
    EXPECT_EQ(previous, h.quiz->lastQuestion);
}

TEST(QuizRecord, LongTextsAreCutTo259) {
    QuizHolder h;
    std::string big(400, 'x');
    appendQuestion(*h.quiz, big.c_str(), big.c_str(), big.c_str());
    EXPECT_EQ(std::strlen(h.quiz->firstQuestion->answer1), 259u);
    EXPECT_EQ(std::strlen(h.quiz->firstQuestion->prompt), 259u);
}

TEST(QuizRecord, ReleaseEmptiesTheListAndIsRepeatable) {
    QuizHolder h;
    releaseQuestions(*h.quiz);
    EXPECT_EQ(h.quiz->firstQuestion, nullptr);
    appendQuestion(*h.quiz, "a", "", "");
    appendQuestion(*h.quiz, "b", "", "");
    releaseQuestions(*h.quiz);
    EXPECT_EQ(h.quiz->firstQuestion, nullptr);
    EXPECT_EQ(h.quiz->lastQuestion, nullptr);
    EXPECT_EQ(questionAt(*h.quiz, 1), nullptr);
}

TEST(QuizRecord, TextKindHasOneBoxPerQuestion) {
    QuizHolder h;
    h.quiz->answersPerQuestion = 2;
    struct Row { int kind; int expected; } rows[] = {{0, 1}, {1, 2}, {2, 2}, {3, 2}, {7, 2}};
    for (const Row& r : rows) {
        h.quiz->kind = r.kind;
        EXPECT_EQ(effectiveAnswersPerQuestion(*h.quiz), r.expected) << r.kind;
    }
}

}  // namespace
