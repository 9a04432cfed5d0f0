// The quiz source reader, the check and the canonical writer. Any bytes may
// come in; whatever reads without a syntax error holds values a source can
// express and what it could not read as the author wrote it, so its
// canonical text must read back to the very same model (without a problem
// when nothing was kept), and write again to the very same bytes. The check and
// the located messages run on every model read, clean or not.

#include <string>
#include <vector>

#include "authoring/quizCheck.h"
#include "authoring/quizToml.h"
#include "tests/fuzz/fuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    QuizModel model;
    SourceLines lines;
    std::vector<ModelProblem> problems;
    const bool clean = readAndCheckQuiz(text, model, lines, problems);
    FUZZ_CHECK(clean == problems.empty(), "clean exactly when there is no problem");
    bool syntax = false;
    for (const ModelProblem& problem : problems) {
        FUZZ_CHECK(!problem.message.empty(), "every problem says what is wrong");
        FUZZ_CHECK(!formatProblem("quiz.toml", problem).empty(), "every problem formats");
        syntax = syntax || problem.field == ModelField::none;
    }
    if (syntax) return 0;
    if (clean) FUZZ_CHECK(checkQuiz(model).empty(), "a clean source gives a model the check accepts");

    const std::string written = writeQuizToml(model);
    QuizModel again;
    SourceLines againLines;
    std::vector<ModelProblem> againProblems;
    // What the model kept as the author wrote it is written back and read back as such.
    bool kept = !model.extras.empty();
    for (const ModelQuestion& question : model.questions) kept = kept || !question.extras.empty();
    const bool read = readQuizToml(written, again, againLines, againProblems);
    FUZZ_CHECK(read || kept, "the canonical text reads without problem unless it keeps the author's own text");
    for (const ModelProblem& problem : againProblems) {
        FUZZ_CHECK(problem.field != ModelField::none, "the canonical text is valid TOML");
    }
    FUZZ_CHECK(again == model, "the canonical text reads back the same model");
    FUZZ_CHECK(writeQuizToml(again) == written, "writing again gives the same bytes");
    FUZZ_CHECK(checkQuiz(again).size() == checkQuiz(model).size(), "the check sees the same quiz");
    return 0;
}
