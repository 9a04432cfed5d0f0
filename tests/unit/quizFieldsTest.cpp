// Every row of the table of fields reaches every place a value goes. The
// model below gets a value in every row through the table itself, so a new
// row is covered here without a word: it must come back the same through the
// source, the assembled quiz and its extraction, and through a spreadsheet;
// the comparison must notice a change of any one value; the editor's form
// must give it controls of its own.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "authoring/csvImport.h"
#include "authoring/quizAssembly.h"
#include "authoring/quizCheck.h"
#include "authoring/quizFields.h"
#include "authoring/quizToml.h"
#include "editor/editorCommands.h"

namespace {

constexpr int questionCount = 3;
const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13};

std::string mediaName(const FieldInfo& info, int question) {
    return std::string("media/") + info.key + std::to_string(question) + ".png";
}

// A quiz of the kind given whose mode shows what the kind can show, with two
// answers per box, holding every value such a quiz uses. Texts carry an
// accent, so that the conversions to Windows-1252 and back are on the way.
QuizModel everyValue(int32_t kind = kindPictures) {
    QuizModel model;
    model.kind = kind;
    model.reveal = kind == kindPictures ? revealCommentAndPicture : kind == kindText ? revealNone : revealComment;
    model.answersPerQuestion = 2;
    model.questions.resize(questionCount);
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldInfo& info = fieldTable()[i];
        const std::string value = std::string(info.key) + u8" \u00E9t\u00E9";
        if (info.quizText) model.*info.quizText = value;
        if (info.quizText2) model.*info.quizText2 = value + " 2";
        for (int b = 0; b < 3; ++b) {
            if (info.quizBytes[b]) model.*info.quizBytes[b] = static_cast<uint8_t>(0x10 * (b + 1) + i);
        }
        if (info.quizList) {
            for (int n = 0; n < questionCount; ++n) (model.*info.quizList).push_back(value + std::to_string(n));
        }
        for (int n = 0; n < questionCount; ++n) {
            if (!info.questionText || !fieldUsed(model, info.field)) continue;
            model.questions[n].*info.questionText = info.media ? mediaName(info, n) : value + std::to_string(n);
            if (info.questionOthers) model.questions[n].*info.questionOthers = {value + " bis", value + " ter"};
        }
    }
    // The one text with a rule of its own.
    model.link = "https://exemple.fr/quiz";
    return model;
}

std::string problemsOf(const std::vector<ModelProblem>& problems) {
    std::string out;
    for (const ModelProblem& p : problems) out += formatProblem("quiz.toml", p) + "\n";
    return out;
}

void expectRoundTrips(const QuizModel& model);

QuizModel withoutMedia(QuizModel model) {
    for (ModelQuestion& question : model.questions) {
        for (int i = 0; i < fieldCount(); ++i) {
            if (fieldTable()[i].media) question.*fieldTable()[i].questionText = "";
        }
    }
    return model;
}

TEST(QuizFields, EveryValueSurvivesTheSourceTheAssemblyAndTheExtraction) {
    std::set<ModelField> reached;
    for (int32_t kind = 0; kind < kindNameCount; ++kind) {
        SCOPED_TRACE(kindNames[kind]);
        const QuizModel model = everyValue(kind);
        for (int i = 0; i < fieldCount(); ++i) {
            if (fieldUsed(model, fieldTable()[i].field)) reached.insert(fieldTable()[i].field);
        }
        expectRoundTrips(model);
    }
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldInfo& info = fieldTable()[i];
        EXPECT_TRUE(!info.questionText || reached.count(info.field)) << info.key << " was never filled";
    }
}

void expectRoundTrips(const QuizModel& model) {
    ASSERT_EQ(errorCount(checkQuiz(model)), 0u) << problemsOf(checkQuiz(model));

    QuizModel read;
    SourceLines lines;
    std::vector<ModelProblem> problems;
    ASSERT_TRUE(readQuizToml(writeQuizToml(model), read, lines, problems)) << problemsOf(problems);
    EXPECT_TRUE(read == model) << writeQuizToml(read);

    const FileReader files = [](const std::string&, std::vector<uint8_t>& bytes) {
        bytes = png;
        return true;
    };
    std::vector<PackedResource> resources;
    ASSERT_TRUE(assembleQuiz(model, "dir/quiz.toml", files, PngChecker(), resources, problems)) << problemsOf(problems);
    ExtractedQuiz extracted;
    std::string error;
    ASSERT_TRUE(extractQuiz(resources, "media/", extracted, error)) << error;
    EXPECT_TRUE(withoutMedia(extracted.model) == withoutMedia(model)) << writeQuizToml(extracted.model);
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldInfo& info = fieldTable()[i];
        for (int n = 0; n < questionCount && info.media && fieldUsed(model, info.field); ++n) {
            EXPECT_FALSE((extracted.model.questions[n].*info.questionText).empty()) << info.key << " of " << n;
        }
    }
}

TEST(QuizFields, EveryColumnOfASpreadsheetReachesItsQuestionField) {
    const QuizModel model = everyValue();
    std::string table;
    const auto cell = [&table](const std::string& text, bool first) { table += (first ? "" : ";") + text; };
    std::vector<const FieldInfo*> columns;
    for (int i = 0; i < fieldCount(); ++i) {
        if (fieldTable()[i].columns[0]) columns.push_back(&fieldTable()[i]);
    }
    for (const FieldInfo* info : columns) cell(info->columns[0], info == columns.front());
    table += "\r\n";
    for (int n = 0; n < questionCount; ++n) {
        for (const FieldInfo* info : columns) {
            std::string text = info->questionText ? model.questions[n].*info->questionText : (model.*info->quizList)[n];
            if (info->questionOthers) {
                for (const std::string& other : model.questions[n].*info->questionOthers) text += " | " + other;
            }
            cell(text, info == columns.front());
        }
        table += "\r\n";
    }
    QuizModel imported;
    imported.kind = model.kind;
    imported.reveal = model.reveal;
    imported.answersPerQuestion = model.answersPerQuestion;
    std::vector<ModelProblem> problems;
    ASSERT_TRUE(importQuestionsCsv(table, imported, problems)) << problemsOf(problems) << table;
    EXPECT_TRUE(imported.questions == model.questions) << writeQuizToml(imported);
    EXPECT_TRUE(imported.rewardCodes == model.rewardCodes) << writeQuizToml(imported);
}

// A row whose value the comparison leaves out would let the editor lose a
// change without asking, and undo skip it.
TEST(QuizFields, TheComparisonNoticesAChangeOfAnyValue) {
    const QuizModel model = everyValue();
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldInfo& info = fieldTable()[i];
        std::vector<QuizModel> changed;
        const auto change = [&](auto edit) {
            changed.push_back(model);
            edit(changed.back());
        };
        if (info.quizText) change([&](QuizModel& m) { m.*info.quizText += "x"; });
        if (info.quizText2) change([&](QuizModel& m) { m.*info.quizText2 += "x"; });
        if (info.quizNumber) change([&](QuizModel& m) { m.*info.quizNumber += 1; });
        for (int b = 0; b < 3; ++b) {
            if (info.quizBytes[b]) change([&](QuizModel& m) { m.*info.quizBytes[b] ^= 1; });
        }
        if (info.quizList) change([&](QuizModel& m) { (m.*info.quizList).back() += "x"; });
        if (info.questionText) change([&](QuizModel& m) { m.questions.back().*info.questionText += "x"; });
        if (info.questionOthers) change([&](QuizModel& m) { (m.questions.back().*info.questionOthers).pop_back(); });
        if (info.form == FieldForm::questions) change([](QuizModel& m) { m.questions.pop_back(); });
        const bool hasValue = info.form != FieldForm::none;
        EXPECT_EQ(!changed.empty(), hasValue) << "the model keeps no value of " << info.key;
        for (const QuizModel& other : changed) EXPECT_FALSE(other == model) << info.key;
    }
}

TEST(QuizFields, EachFieldOfTheFormHasControlsOfItsOwn) {
    std::set<int> ids;
    for (int i = 0; i < fieldCount(); ++i) {
        const ModelField field = fieldTable()[i].field;
        if (field == ModelField::unknownKey) continue;
        for (int part = 0; part < fieldControlStride; ++part) {
            const int id = fieldControl(field, part);
            int found = -1;
            EXPECT_EQ(fieldOfControl(id, &found), field) << id;
            EXPECT_EQ(found, part) << id;
            EXPECT_TRUE(ids.insert(id).second) << id;
            // Clear of the editor's other numbers.
            EXPECT_TRUE(id < idRewardScores || id > idStatus) << id;
        }
    }
    EXPECT_EQ(fieldOfControl(idStatus), ModelField::none);
}

}  // namespace
