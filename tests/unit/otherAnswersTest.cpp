// The answers a box accepts besides its main one: what the check refuses,
// resource 107 present only when a quiz has some, and a damaged 107 that
// leaves every box its main answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "answers/verdictChoice.h"
#include "authoring/quizAssembly.h"
#include "authoring/quizCheck.h"
#include "authoring/quizToml.h"
#include "quiz/quiz.h"
#include "quiz/quizLayout.h"
#include "resources/resource.h"

namespace {

QuizModel read(const std::string& toml, std::vector<ModelProblem>& problems) {
    QuizModel model;
    SourceLines lines;
    readQuizToml(toml, model, lines, problems);
    for (const ModelProblem& p : checkQuiz(model)) problems.push_back(p);
    return model;
}

std::string messagesOf(const std::vector<ModelProblem>& problems) {
    std::string out;
    for (const ModelProblem& p : problems) out += formatProblem("quiz.toml", p) + "\n";
    return out;
}

TEST(OtherAnswers, WhatASourceMayAndMayNotList) {
    const std::string head = "kind = \"pictures\"\ntitle = \"t\"\nreward_codes = [\"A\"]\n";
    const struct {
        std::string question;
        const char* problem;  // part of the message, "" for none
    } cases[] = {
        {"answer = [\"1789\", \"en 1789\"]", ""},
        {"answer = [\"Paris\", \"\"]", "answer[2]: une autre r\u00E9ponse accept\u00E9e est vide"},
        {"answer = [\"Paris\", \"PARIS\"]", u8"d\u00E9j\u00E0 une r\u00E9ponse accept\u00E9e"},
        {"answer = [\"Paris\", \"Lut\u00E8ce\", \"lut\u00E8ce\"]", u8"d\u00E9j\u00E0"},
        {"answer = [\"Paris\", \"a|b\"]", "|"},
        {"answer = [\"Paris\", \"\u0141\u00F3d\u017A\"]", "Windows-1252"},
        {"answer = []", "liste de textes"},
        {"answer = [\"Paris\", 3]", "texte"},
        {"answer = \"Paris\"\nanswer2 = [\"x\", \"y\"]", "answers_per_question = 2"},
    };
    for (const auto& c : cases) {
        std::vector<ModelProblem> problems;
        const std::string toml = head + "[[question]]\npicture = \"m.png\"\n" + c.question + "\n";
        const QuizModel model = read(toml, problems);
        const std::string found = messagesOf(problems);
        if (!*c.problem) {
            EXPECT_EQ(errorCount(problems), 0u) << c.question << "\n" << found;
            EXPECT_EQ(model.questions[0].otherAnswers, std::vector<std::string>{"en 1789"});
        } else {
            EXPECT_NE(found.find(c.problem), std::string::npos) << c.question << "\n" << found;
        }
    }
}

TEST(OtherAnswers, ATextQuizWithTwoAnswersPerQuestionIsWarned) {
    for (const int32_t kind : {kindText, kindPictures}) {
        QuizModel model;
        model.kind = kind;
        model.answersPerQuestion = 2;
        bool warned = false;
        for (const ModelProblem& p : quizWarnings(model)) {
            warned = warned || (p.field == ModelField::answersPerQuestion && p.warning);
        }
        EXPECT_EQ(warned, kind == kindText) << kind;
    }
}

std::vector<PackedResource> assembled(const QuizModel& model) {
    std::vector<PackedResource> out;
    std::vector<ModelProblem> problems;
    const FileReader none = [](const std::string&, std::vector<uint8_t>&) { return false; };
    EXPECT_TRUE(assembleQuiz(model, "quiz.toml", none, PngChecker(), out, problems)) << messagesOf(problems);
    return out;
}

TEST(OtherAnswers, OnlyAQuizWithSomeCarriesThemAndTheyComeBack) {
    QuizModel model;
    model.kind = kindText;
    model.title = "Dates";
    model.rewardCodes = {"A", "B"};
    model.questions.resize(2);
    model.questions[0].answer = "1789";
    model.questions[1].answer = "1804";
    const std::vector<PackedResource> plain = assembled(model);
    EXPECT_EQ(findResource(plain, ResourceKind::patch, otherAnswersResourceId), nullptr);

    model.questions[1].otherAnswers = {"en 1804", u8"l'an XII \u00E9"};
    const std::vector<PackedResource> withOthers = assembled(model);
    ASSERT_NE(findResource(withOthers, ResourceKind::patch, otherAnswersResourceId), nullptr);
    // 104 and 105 stay as they were: a player that does not know 107 plays the main answers.
    for (uint16_t id : {quizResourceId, codesResourceId}) {
        EXPECT_EQ(findResource(withOthers, ResourceKind::patch, id)->data,
                  findResource(plain, ResourceKind::patch, id)->data);
    }
    ExtractedQuiz extracted;
    std::string error;
    ASSERT_TRUE(extractQuiz(withOthers, "", extracted, error)) << error;
    EXPECT_TRUE(extracted.model.questions == model.questions);
    EXPECT_EQ(assembled(extracted.model)[2].data, withOthers[2].data);
}

std::vector<uint8_t> bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

TEST(OtherAnswers, ADamagedListLeavesEveryBoxItsMainAnswer) {
    const std::string good = std::string("\x02\x01\x02", 3) + "en 1804|an XII|";
    const struct {
        std::string data;
        bool parses;
    } cases[] = {
        {good, true},
        {"", true},
        {good + std::string("\x01\x02\x01", 3) + "y|", true},
        {good.substr(0, good.size() - 1), false},      // the last text without its end
        {good.substr(0, 2), false},                    // a record cut short
        {std::string("\x00\x01\x01x|", 5), false},     // question 0
        {std::string("\x03\x01\x01x|", 5), false},     // beyond the two questions
        {std::string("\x01\x03\x01x|", 5), false},     // slot 3
        {std::string("\x01\x01\x00", 3), false},       // no answer at all
        {std::string("\x01\x01\x01|", 4), false},      // an empty one
        {std::string("\x01\x01\x01x\0y|", 7), false},  // a NUL would end the judge's list
        {good + good, false},                          // the same box twice
        {std::string("\x01\x01\x01", 3) + std::string(260, 'x') + "|", false},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> data = bytes(c.data);
        std::vector<OtherAnswers> boxes{OtherAnswers()};
        EXPECT_EQ(parseOtherAnswers(data.data(), data.size(), 2, boxes), c.parses) << c.data;
        if (!c.parses) {
            EXPECT_TRUE(boxes.empty()) << c.data;
        }

        Quiz quiz;
        initQuizValues(quiz);
        appendQuestion(quiz, "1789", "", "");
        appendQuestion(quiz, "1804", "", "");
        quiz.questionCount = 2;
        EXPECT_EQ(readOtherAnswers(quiz, data.data(), data.size()), c.parses);
        const char* others = questionAt(quiz, 2)->otherAnswers[0];
        const bool expectOthers = c.parses && c.data.rfind(good, 0) == 0;
        EXPECT_EQ(others != nullptr, expectOthers) << c.data;
        if (expectOthers) {
            EXPECT_STREQ(chooseVerdictAmong("1804", others, "an xii"), verdictRight);
            EXPECT_STREQ(otherAnswerAt(others, 1), "en 1804");
        }
        EXPECT_EQ(questionAt(quiz, 1)->otherAnswers[1] != nullptr, c.parses && c.data.size() > good.size());
        releaseQuestions(quiz);
    }
    // What the writer makes, the reader reads.
    const std::vector<OtherAnswers> written = {{2, 1, {"en 1804", "an XII"}}};
    const std::vector<uint8_t> layout = writeOtherAnswers(written);
    EXPECT_EQ(layout, bytes(good));
}

}  // namespace
