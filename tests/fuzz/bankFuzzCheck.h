// What both question-bank fuzz targets check of a reading.
#pragma once

#include <string>

#include "authoring/questionBank.h"
#include "authoring/windows1252.h"
#include "tests/fuzz/fuzzCheck.h"

inline int fuzzLineCount(const std::string& bytes) {
    int lines = 1;
    for (char c : bytes) lines += c == '\n';
    return lines;
}

inline void checkBankReading(const std::string& bytes, bool ok, const BankReading& reading, const BankReading& again,
                             const ModelProblem& broken, const ModelProblem& brokenAgain) {
    if (!ok) {
        FUZZ_CHECK(reading.questions.empty() && reading.leftOut.empty(), "a refused file keeps nothing");
        FUZZ_CHECK(!broken.message.empty() && isValidUtf8(broken.message), "a refusal says why");
        FUZZ_CHECK(broken.line >= 1 && broken.line <= fuzzLineCount(bytes), "a refusal names a line of the file");
        FUZZ_CHECK(broken.message == brokenAgain.message && broken.line == brokenAgain.line, "refused the same way");
        return;
    }
    FUZZ_CHECK(reading.questions.size() == again.questions.size(), "the same questions twice");
    int lastNumber = 0;
    for (size_t i = 0; i < reading.questions.size(); ++i) {
        const BankQuestion& q = reading.questions[i];
        FUZZ_CHECK(q.question == again.questions[i].question, "the same question twice");
        FUZZ_CHECK(q.number > lastNumber, "questions come in the file's order, numbered from 1");
        lastNumber = q.number;
        FUZZ_CHECK(q.line >= 1 && q.line <= fuzzLineCount(bytes), "each question begins on a line of the file");
        FUZZ_CHECK(!q.question.answer.empty(), "every question kept has a right answer");
        for (const std::string* text : {&q.question.answer, &q.question.prompt, &q.question.comment, &q.name}) {
            FUZZ_CHECK(isValidUtf8(*text), "texts are UTF-8");
        }
        for (const std::string& other : q.question.otherAnswers) {
            FUZZ_CHECK(!other.empty() && isValidUtf8(other), "other answers are UTF-8 and not empty");
        }
    }
    // The import of the reading: never more questions than the player holds,
    // and a refusal leaves the model as it was.
    QuizModel model;
    BankImportOptions options;
    options.mediaFolder = "banque-media";
    options.mediaPrefix = "banque-media/";
    BankImportResult result;
    if (importQuestionBank(reading, model, options, result)) {
        FUZZ_CHECK(model.questions.size() == result.imported && model.questions.size() <= maxModelQuestions,
                   "the import holds what the player holds");
    } else {
        FUZZ_CHECK(model == QuizModel(), "a refused import leaves the model as it was");
        FUZZ_CHECK(!result.problems.empty(), "a refused import says why");
    }
}
