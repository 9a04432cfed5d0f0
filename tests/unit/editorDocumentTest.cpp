#include <gtest/gtest.h>

#include "authoring/quizCheck.h"
#include "authoring/quizNames.h"
#include "authoring/quizToml.h"
#include "editor/editorDocument.h"
#include "quiz/quiz.h"

namespace {

ModelQuestion question(const std::string& answer) {
    ModelQuestion q;
    q.answer = answer;
    return q;
}

EditorDocument threeQuestions(int selected) {
    QuizModel model;
    model.kind = kindText;
    model.title = "Capitales";
    model.questions = {question("a"), question("b"), question("c")};
    EditorDocument document = openedDocument(model, "C:\\quiz\\capitales.toml");
    document.selected = selected;
    return document;
}

std::string answers(const EditorDocument& document) {
    std::string out;
    for (const ModelQuestion& q : document.model.questions) out += q.answer.empty() ? "_" : q.answer;
    return out;
}

TEST(EditorDocument, NewDocumentIsATextQuizWithOneQuestionAndNothingToSave) {
    const EditorDocument document = newDocument();
    EXPECT_EQ(document.model.kind, kindText);
    EXPECT_EQ(document.model.questions.size(), 1u);
    EXPECT_EQ(document.selected, 0);
    EXPECT_TRUE(document.path.empty());
    EXPECT_FALSE(document.isDirty());
}

TEST(EditorDocument, OpenedDocumentSelectsTheFirstQuestionOrNone) {
    QuizModel empty;
    EXPECT_EQ(openedDocument(empty, "x.toml").selected, -1);
    EXPECT_EQ(threeQuestions(0).selected, 0);
    EXPECT_FALSE(threeQuestions(0).isDirty());
}

TEST(EditorDocument, DirtyWhileTheModelDiffersFromTheSavedOne) {
    EditorDocument document = threeQuestions(1);
    ASSERT_TRUE(setFieldText(document, ModelField::title, "Villes"));
    EXPECT_TRUE(document.isDirty());
    ASSERT_TRUE(setFieldText(document, ModelField::title, "Capitales"));
    EXPECT_FALSE(document.isDirty()) << "typing the old text back leaves nothing to save";
    ASSERT_TRUE(setFieldText(document, ModelField::answer, "x"));
    EXPECT_TRUE(document.isDirty());
    markSaved(document, "D:\\autre.toml");
    EXPECT_FALSE(document.isDirty());
    EXPECT_EQ(document.path, "D:\\autre.toml");
}

// Each row: an operation on a, b, c with a selection, what it returns, the
// order after it and the selection after it.
TEST(EditorDocument, QuestionOperationsKeepTheSelectionWhereTheAuthorLooks) {
    struct Row {
        const char* name;
        bool (*operation)(EditorDocument&);
        int selected;
        bool result;
        const char* order;
        int selectedAfter;
    };
    const Row rows[] = {
        {"add after the first", addQuestion, 0, true, "a_bc", 1},
        {"add after the last", addQuestion, 2, true, "abc_", 3},
        {"add without selection appends", addQuestion, -1, true, "abc_", 3},
        {"duplicate the middle", duplicateQuestion, 1, true, "abbc", 2},
        {"duplicate nothing", duplicateQuestion, -1, false, "abc", -1},
        {"delete the middle selects the next", deleteQuestion, 1, true, "ac", 1},
        {"delete the last selects the new last", deleteQuestion, 2, true, "ab", 1},
        {"delete nothing", deleteQuestion, -1, false, "abc", -1},
        {"up from the middle", moveQuestionUp, 1, true, "bac", 0},
        {"up from the first", moveQuestionUp, 0, false, "abc", 0},
        {"down from the middle", moveQuestionDown, 1, true, "acb", 2},
        {"down from the last", moveQuestionDown, 2, false, "abc", 2},
        {"down without selection", moveQuestionDown, -1, false, "abc", -1},
    };
    for (const Row& row : rows) {
        EditorDocument document = threeQuestions(row.selected);
        EXPECT_EQ(row.operation(document), row.result) << row.name;
        EXPECT_EQ(answers(document), row.order) << row.name;
        EXPECT_EQ(document.selected, row.selectedAfter) << row.name;
        EXPECT_EQ(document.isDirty(), row.result) << row.name;
    }
}

TEST(EditorDocument, DeletingTheOnlyQuestionLeavesNoSelection) {
    EditorDocument document = newDocument();
    ASSERT_TRUE(deleteQuestion(document));
    EXPECT_TRUE(document.model.questions.empty());
    EXPECT_EQ(document.selected, -1);
    EXPECT_EQ(fieldText(document, ModelField::answer), "");
    EXPECT_FALSE(setFieldText(document, ModelField::answer, "x")) << "no question to write into";
}

TEST(EditorDocument, AddingStopsAtTheLargestQuizThePlayerHolds) {
    EditorDocument document = newDocument();
    while (document.model.questions.size() < maxModelQuestions) ASSERT_TRUE(addQuestion(document));
    EXPECT_FALSE(addQuestion(document));
    EXPECT_FALSE(duplicateQuestion(document));
    EXPECT_EQ(document.model.questions.size(), maxModelQuestions);
}

TEST(EditorDocument, SelectRefusesAnIndexOutsideTheList) {
    EditorDocument document = threeQuestions(0);
    EXPECT_TRUE(selectQuestion(document, 2));
    EXPECT_FALSE(selectQuestion(document, 3));
    EXPECT_FALSE(selectQuestion(document, -1));
    EXPECT_EQ(document.selected, 2);
}

TEST(EditorDocument, FieldsReachTheQuizOrTheSelectedQuestion) {
    const struct {
        ModelField field;
        int item;
        std::string QuizModel::*quizValue;
        std::string ModelQuestion::*questionValue;
    } rows[] = {
        {ModelField::title, 0, &QuizModel::title, nullptr},
        {ModelField::author, 0, &QuizModel::author, nullptr},
        {ModelField::explanations, 0, &QuizModel::explanations, nullptr},
        {ModelField::captions, 0, &QuizModel::caption1, nullptr},
        {ModelField::captions, 1, &QuizModel::caption2, nullptr},
        {ModelField::answer, 0, nullptr, &ModelQuestion::answer},
        {ModelField::answer2, 0, nullptr, &ModelQuestion::answer2},
        {ModelField::prompt, 0, nullptr, &ModelQuestion::prompt},
        {ModelField::comment, 0, nullptr, &ModelQuestion::comment},
        {ModelField::comment2, 0, nullptr, &ModelQuestion::comment2},
        {ModelField::picture, 0, nullptr, &ModelQuestion::picture},
        {ModelField::solution, 0, nullptr, &ModelQuestion::solution},
        {ModelField::clip, 0, nullptr, &ModelQuestion::clip},
    };
    for (const auto& row : rows) {
        EditorDocument document = threeQuestions(1);
        const std::string text = u8"\u00E9t\u00E9 " + std::to_string(static_cast<int>(row.field));
        ASSERT_TRUE(setFieldText(document, row.field, text, row.item)) << static_cast<int>(row.field);
        EXPECT_FALSE(setFieldText(document, row.field, text, row.item)) << "same text again changes nothing";
        EXPECT_EQ(fieldText(document, row.field, row.item), text);
        if (row.quizValue) {
            EXPECT_EQ(document.model.*row.quizValue, text);
        } else {
            EXPECT_EQ(document.model.questions[1].*row.questionValue, text);
            EXPECT_EQ(document.model.questions[0], question("a")) << "only the selected question changes";
        }
    }
    EditorDocument document = threeQuestions(0);
    EXPECT_FALSE(setFieldText(document, ModelField::captions, "x", 2));
    EXPECT_FALSE(setFieldText(document, ModelField::kind, "x"));
    EXPECT_FALSE(document.isDirty());
}

// The fields the window enables must be those whose value the check keeps:
// filling a field it disables must draw an "unused" problem, filling one it
// enables must not.
TEST(EditorDocument, FieldsUsedAgreeWithTheCheckForEveryKindRevealAndAnswerCount) {
    const struct {
        ModelField field;
        std::string ModelQuestion::*value;
    } fields[] = {
        {ModelField::answer2, &ModelQuestion::answer2},   {ModelField::comment, &ModelQuestion::comment},
        {ModelField::comment2, &ModelQuestion::comment2}, {ModelField::picture, &ModelQuestion::picture},
        {ModelField::solution, &ModelQuestion::solution}, {ModelField::clip, &ModelQuestion::clip},
    };
    int enabledSeen = 0;
    for (int kind = kindText; kind <= kindVideo; ++kind) {
        for (int reveal = 0; reveal < 5; ++reveal) {
            for (int answersPerQuestion = 1; answersPerQuestion <= 2; ++answersPerQuestion) {
                QuizModel model;
                model.kind = kind;
                model.reveal = reveal;
                model.answersPerQuestion = answersPerQuestion;
                for (const auto& f : fields) {
                    QuizModel filled = model;
                    filled.questions = {question("a")};
                    filled.questions[0].*f.value = "m.png";
                    bool unused = false;
                    for (const ModelProblem& p : checkQuiz(filled)) {
                        unused = unused || (p.field == f.field && p.question == 0 &&
                                            p.message.find("manque") == std::string::npos);
                    }
                    // What each field is for, said apart from the table that decides it.
                    const bool pictures = kind == kindPictures, clips = kind == kindAudio || kind == kindVideo;
                    const bool expected[] = {answersPerQuestion == 2,
                                             reveal == 2 || reveal >= 3,
                                             reveal == 3,
                                             pictures,
                                             pictures && (reveal == 1 || reveal == 3),
                                             clips};
                    const bool wanted = expected[&f - fields];
                    EXPECT_EQ(fieldUsed(model, f.field), wanted)
                        << "kind " << kind << " reveal " << reveal << " answers " << answersPerQuestion << " field "
                        << static_cast<int>(f.field);
                    EXPECT_EQ(unused, !wanted) << "kind " << kind << " reveal " << reveal << " answers "
                                               << answersPerQuestion << " field " << static_cast<int>(f.field);
                    enabledSeen += fieldUsed(model, f.field) ? 1 : 0;
                }
            }
        }
    }
    EXPECT_GT(enabledSeen, 0);
}

TEST(EditorDocument, AFieldHoldingAValueStaysEnabledSoItCanBeCleared) {
    QuizModel model;
    model.kind = kindText;
    ModelQuestion q = question("a");
    EXPECT_FALSE(fieldEnabled(model, q, ModelField::picture));
    EXPECT_FALSE(fieldEnabled(model, q, ModelField::comment));
    q.picture = "media/1.png";
    q.comment = "c";
    EXPECT_TRUE(fieldEnabled(model, q, ModelField::picture));
    EXPECT_TRUE(fieldEnabled(model, q, ModelField::comment));
    EXPECT_FALSE(fieldEnabled(model, q, ModelField::clip));
}

TEST(EditorDocument, QuestionListLines) {
    const struct {
        int index;
        const char* answer;
        bool problem;
        std::string line;
    } rows[] = {
        {0, "cercle", false, "1. cercle"},
        {11, u8"carr\u00E9", true, u8"12. carr\u00E9 (!)"},
        {2, "", true, u8"3. (sans r\u00E9ponse) (!)"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(questionListLine(row.index, question(row.answer), row.problem), row.line) << row.line;
    }
}

TEST(EditorDocument, QuestionProblemsAreThoseOfItsFields) {
    QuizModel model;
    model.kind = kindText;
    model.title = "t";
    model.questions = {question("a"), question(""), question("c|d")};
    model.rewardCodes = {"1", "2", "3"};
    const std::vector<ModelProblem> problems = checkQuiz(model);
    EXPECT_FALSE(questionHasProblem(problems, 0));
    EXPECT_TRUE(questionHasProblem(problems, 1));
    EXPECT_TRUE(questionHasProblem(problems, 2));
    ModelProblem tooMany;
    tooMany.field = ModelField::questions;
    tooMany.question = 0;
    EXPECT_FALSE(questionHasProblem({tooMany}, 0)) << "the list's own problem is no question's";
}

TEST(EditorDocument, ProblemLinesNameTheirPlaceInFrench) {
    const struct {
        ModelField field;
        int question;
        int item;
        const char* key;
        std::string line;
    } rows[] = {
        {ModelField::title, -1, -1, "", "Titre : m"},
        {ModelField::answer, 1, -1, "", u8"Question 2, r\u00E9ponse : m"},
        {ModelField::solution, 0, -1, "", "Question 1, image solution : m"},
        {ModelField::captions, -1, 1, "", u8"L\u00E9gende 2 : m"},
        {ModelField::rewardCodes, -1, 2, "", u8"Code du score 3 : m"},
        {ModelField::rewardCodes, -1, -1, "", u8"Codes de r\u00E9compense : m"},
        {ModelField::questions, 96, -1, "", "Questions : m"},
        {ModelField::unknownKey, -1, -1, "color", u8"Cl\u00E9 \u00AB color \u00BB : m"},
        {ModelField::none, -1, -1, "", "Fichier : m"},
    };
    for (const auto& row : rows) {
        ModelProblem problem;
        problem.field = row.field;
        problem.question = row.question;
        problem.item = row.item;
        problem.key = row.key;
        problem.message = "m";
        EXPECT_EQ(problemLine(problem), row.line);
    }
}

TEST(EditorDocument, StatusLineCountsInFrench) {
    EXPECT_EQ(statusLine(0, 0), u8"0 question, 0 probl\u00E8me");
    EXPECT_EQ(statusLine(1, 1), u8"1 question, 1 probl\u00E8me");
    EXPECT_EQ(statusLine(3, 2), u8"3 questions, 2 probl\u00E8mes");
}

TEST(EditorDocument, WindowTitleShowsTheFileNameAndTheUnsavedMark) {
    EXPECT_EQ(windowTitle("C:\\quiz\\formes.toml", false), u8"formes.toml \u2014 Atelier Vetra");
    EXPECT_EQ(windowTitle("C:\\quiz\\formes.toml", true), u8"formes.toml* \u2014 Atelier Vetra");
    EXPECT_EQ(windowTitle("/tmp/a b/villes.toml", true), u8"villes.toml* \u2014 Atelier Vetra");
    EXPECT_EQ(windowTitle("", false), u8"Sans titre \u2014 Atelier Vetra");
}

TEST(EditorDocument, BuildRefusalNamesTheProblemCount) {
    EXPECT_NE(buildRefusedText(1).find(u8"1 probl\u00E8me "), std::string::npos);
    EXPECT_NE(buildRefusedText(4).find(u8"4 probl\u00E8mes"), std::string::npos);
}

TEST(EditorDocument, RewardCodesOnePerLine) {
    const struct {
        std::string text;
        std::vector<std::string> codes;
    } rows[] = {
        {"", {}},
        {"A", {"A"}},
        {"A\r\nB\r\nC", {"A", "B", "C"}},
        {"A\nB\n", {"A", "B"}},
        {"A\r\n\r\nC\r\n\r\n", {"A", "", "C"}},
    };
    for (const auto& row : rows) EXPECT_EQ(rewardCodesFromText(row.text), row.codes) << row.text;
    const std::vector<std::string> codes = {"CARRE-1", u8"\u00E9", "X"};
    EXPECT_EQ(rewardCodesText(codes), u8"CARRE-1\r\n\u00E9\r\nX");
    EXPECT_EQ(rewardCodesFromText(rewardCodesText(codes)), codes);
}

TEST(EditorDocument, ComboLabelsFollowTheModelsOrder) {
    EXPECT_STREQ(kindLabels[kindPictures], "images");
    EXPECT_STREQ(kindLabels[kindVideo], u8"vid\u00E9o");
    EXPECT_STREQ(revealLabels[revealSolutionPicture], "l'image solution");
    EXPECT_STREQ(revealLabels[revealCommentAndPicture], "le commentaire et l'image solution");
}

}  // namespace

namespace {

// The Problems list speaks the form's words: never a key or a value of the
// source, whatever the check finds.
TEST(EditorDocument, ProblemLinesNeverSpeakTheSourcesLanguage) {
    std::vector<QuizModel> models;
    for (int kind : {modelKindUnset, int{kindText}, int{kindPictures}, int{kindAudio}}) {
        for (int reveal = 0; reveal < 5; ++reveal) {
            QuizModel model;
            model.kind = kind;
            model.reveal = reveal;
            model.answersPerQuestion = reveal % 2 + 1;
            ModelQuestion full;
            full.answer2 = full.comment = full.comment2 = full.picture = full.solution = full.clip = "x";
            model.questions = {ModelQuestion(), full};
            models.push_back(model);
        }
    }
    models.push_back(QuizModel());
    const char* const sourceWords[] = {" = ", "[[", "answers_per_question", "\"text\"", "\"pictures\"", "reveal"};
    size_t seen = 0;
    for (const QuizModel& model : models) {
        std::vector<ModelProblem> problems = checkQuiz(model);
        for (ModelProblem& warning : quizWarnings(model)) problems.push_back(warning);
        for (const ModelProblem& problem : problems) {
            const std::string line = problemLine(problem);
            for (const char* word : sourceWords) EXPECT_EQ(line.find(word), std::string::npos) << line;
            ++seen;
        }
    }
    EXPECT_GT(seen, 50u);
    ModelProblem unused;
    unused.field = ModelField::comment;
    unused.question = 0;
    unused.message = "n'est montr\xC3\xA9 qu'avec reveal = \"comment\"";
    unused.formMessage =
        "n'est montr\xC3\xA9 qu'avec \xC2\xAB Apr\xC3\xA8s une bonne r\xC3\xA9ponse : le commentaire \xC2\xBB";
    EXPECT_EQ(problemLine(unused), "Question 1, commentaire : " + unused.formMessage);
    unused.field = ModelField::prompt;
    unused.warning = true;
    EXPECT_EQ(problemLine(unused), "Question 1, \xC3\xA9nonc\xC3\xA9 (attention) : " + unused.formMessage);
    EXPECT_EQ(statusLine(1, 1, 2), "1 question, 1 probl\xC3\xA8me, 2 avertissements");
    EXPECT_EQ(revealChoiceLabel(kindText, revealComment), "le commentaire (un quiz de texte ne les montre pas)");
    EXPECT_EQ(revealChoiceLabel(kindPictures, revealComment), "le commentaire");
    EXPECT_EQ(revealChoiceLabel(kindText, revealSolutionPicture), "l'image solution");
}

// A key the model cannot read stays, a problem, until the author sets the
// field it spoils or deletes it; undoing nothing else on the way.
TEST(EditorDocument, KeptValuesLastUntilFixedOrDeleted) {
    QuizModel model;
    SourceLines lines;
    std::vector<ModelProblem> problems;
    readQuizToml(
        "kind = \"text\"\ntitle = \"T\"\ntitel = \"Ma dict\xC3\xA9"
        "e\"\ncolour = \"rouge\"\n"
        "[[question]]\nanswer = \"a\"\npromt = \"Le chien\"\nprompt = 3\n",
        model, lines, problems);
    EditorDocument document = openedDocument(model, "q.toml");
    auto keys = [&document]() {
        std::string out;
        for (const SourceExtra& e : document.model.extras) out += e.key + " ";
        for (const SourceExtra& e : document.model.questions[0].extras) out += e.key + " ";
        return out;
    };
    EXPECT_EQ(keys(), "colour titel prompt promt ");
    EXPECT_TRUE(setFieldText(document, ModelField::prompt, "Le chat"));
    EXPECT_EQ(keys(), "colour titel promt ");
    fieldChanged(document, ModelField::colour);
    EXPECT_EQ(keys(), "titel promt ");
    std::vector<ModelProblem> found;
    for (const ModelProblem& p : checkQuiz(document.model)) {
        if (p.field == ModelField::unknownKey) found.push_back(p);
    }
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(keptValueText(document, found[0]),
              "titel = \"Ma dict\xC3\xA9"
              "e\"");
    EXPECT_NE(problemLine(found[1]).find("Question 1, cl\xC3\xA9 \xC2\xAB promt \xC2\xBB : cl\xC3\xA9 inconnue"),
              std::string::npos)
        << problemLine(found[1]);
    EXPECT_TRUE(deleteKeptValue(document, found[1]));
    EXPECT_FALSE(deleteKeptValue(document, found[1]));
    EXPECT_EQ(keys(), "titel ");
    EXPECT_TRUE(document.isDirty());
}

TEST(EditorDocument, QuestionListLinesOfMediaQuizzesNameTheFile) {
    const struct {
        int32_t kind;
        const char* answer;
        const char* picture;
        const char* clip;
        std::string line;
    } rows[] = {
        {kindPictures, "chat", "media\\chat.png", "", u8"3. chat.png \u2014 chat"},
        {kindPictures, "", "C:/photos/chien.jpg", "", "3. chien.jpg"},
        {kindVideo, "oiseau", "", "sons/merle.avi", u8"3. merle.avi \u2014 oiseau"},
        {kindText, "chat", "chat.png", "", "3. chat"},
        {kindAudio, "", "chat.png", "", u8"3. (sans r\u00E9ponse)"},
    };
    for (const auto& row : rows) {
        ModelQuestion q = question(row.answer);
        q.picture = row.picture;
        q.clip = row.clip;
        EXPECT_EQ(questionListLine(2, q, false, row.kind), row.line) << row.line;
    }
}

TEST(EditorDocument, EachRewardCodeShowsItsScoreAndACountThatDiffersNamesTheScores) {
    EXPECT_EQ(rewardScoresText(2, 3), u8"1 bonne r\u00E9ponse\r\n2 bonnes r\u00E9ponses\r\n(en trop)");
    EXPECT_EQ(rewardScoresText(0, 0), "");
    const struct {
        size_t questions;
        std::vector<std::string> codes;
        std::string form;
    } rows[] = {
        {30, std::vector<std::string>(28, "C"), "28 codes pour 30 questions : il manque les codes des scores 29 et 30"},
        {30, std::vector<std::string>(29, "C"), "29 codes pour 30 questions : il manque le code du score 30"},
        {30, {"A"}, u8"1 codes pour 30 questions : il manque les codes des scores 2 \u00E0 30"},
        {2, {"A", "B", "C", ""}, u8"4 codes pour 2 questions : 2 codes en trop : \u00AB C \u00BB et \u00AB  \u00BB"},
        {1,
         {"A", "1", "2", "3", "4", "5", "6"},
         u8"7 codes pour 1 questions : 6 codes en trop : \u00AB 1 \u00BB, \u00AB 2 \u00BB, \u00AB 3 \u00BB, "
         u8"\u00AB 4 \u00BB, \u00AB 5 \u00BB, \u2026"},
    };
    for (const auto& row : rows) {
        QuizModel model;
        model.kind = kindText;
        model.title = "t";
        model.questions.assign(row.questions, question("a"));
        model.rewardCodes = row.codes;
        std::string forms;
        for (const ModelProblem& p : checkQuiz(model)) forms += p.field == ModelField::rewardCodes ? p.formMessage : "";
        EXPECT_EQ(forms, row.form);
    }
}

// F5 plays what it can of a quiz with problems: the draft has none left.
TEST(EditorDocument, TrialDraftLeavesOutTheQuestionsWithProblems) {
    const struct {
        const char* name;
        std::function<void(QuizModel&)> spoil;
        std::string played;  // the answers of the questions kept
        std::vector<std::string> codes;
        size_t remaining;
        std::string notice;
    } rows[] = {
        {"two answers missing",
         [](QuizModel& m) { m.questions[1].answer.clear(), m.questions[3].answer.clear(); },
         "ac",
         {"C1", "C2"},
         0,
         u8"questions 2 et 4 laiss\u00E9es de c\u00F4t\u00E9 : elles ont des probl\u00E8mes"},
        {"a picture missing",
         [](QuizModel& m) { m.questions[0].picture.clear(); },
         "bcd",
         {"C1", "C2", "C3"},
         0,
         u8"question 1 laiss\u00E9e de c\u00F4t\u00E9 : elle a des probl\u00E8mes"},
        {"values left aside, no title",
         [](QuizModel& m) {
             m.title.clear();
             m.questions[2].comment = "c";
             m.questions[2].extras.push_back({"promt", "\"x\"", "m", "", 3});
         },
         "abcd",
         {"C1", "C2", "C3", "C4"},
         0,
         u8"essai malgr\u00E9 3 probl\u00E8mes, \u00E0 corriger avant de construire"},
        {"codes short, one with a bar",
         [](QuizModel& m) {
             m.rewardCodes = {"C1", "C|2"};
         },
         "abcd",
         {"C1", "", "", ""},
         0,
         u8"essai malgr\u00E9 3 probl\u00E8mes, \u00E0 corriger avant de construire"},
        {"no kind", [](QuizModel& m) { m.kind = modelKindUnset; }, "abcd", {"C1", "C2", "C3", "C4"}, 1, ""},
    };
    for (const auto& row : rows) {
        QuizModel model;
        model.kind = kindPictures;
        model.title = "Formes";
        for (const char* answer : {"a", "b", "c", "d"}) {
            model.questions.push_back(question(answer));
            model.questions.back().picture = std::string(answer) + ".png";
            model.rewardCodes.push_back("C" + std::to_string(model.questions.size()));
        }
        row.spoil(model);
        const TrialDraft draft = trialDraft(model, checkQuiz);
        std::string played;
        for (const ModelQuestion& q : draft.model.questions) played += q.answer;
        EXPECT_EQ(played, row.played) << row.name;
        EXPECT_EQ(draft.model.rewardCodes, row.codes) << row.name;
        EXPECT_EQ(draft.remaining, row.remaining) << row.name;
        EXPECT_EQ(errorCount(checkQuiz(draft.model)), row.remaining) << row.name;
        if (!row.notice.empty()) {
            EXPECT_EQ(trialNotice(draft, 3), row.notice) << row.name;
        }
    }
    EXPECT_NE(trialRefusedText(1).find(u8"essay\u00E9 : 1 probl\u00E8me \u00E0 corriger"), std::string::npos);
}

}  // namespace

namespace {

// The box of other accepted answers shows them one per line and gives back
// what is typed there; a change of them is a change of the document (undo, Save).
TEST(EditorDocument, OtherAcceptedAnswersAreTheLinesOfTheirBox) {
    EditorDocument document = newDocument();
    ASSERT_TRUE(setFieldText(document, ModelField::answer, "1789"));
    EXPECT_TRUE(setFieldText(document, ModelField::answer, "en 1789\r\n1789 apr. J.-C.\r\n", 1));
    EXPECT_EQ(document.model.questions[0].answer, "1789");
    EXPECT_EQ(document.model.questions[0].otherAnswers, (std::vector<std::string>{"en 1789", "1789 apr. J.-C."}));
    EXPECT_EQ(fieldText(document, ModelField::answer, 1), "en 1789\r\n1789 apr. J.-C.");
    EXPECT_EQ(fieldText(document, ModelField::answer), "1789");
    EXPECT_TRUE(document.isDirty());
    EXPECT_FALSE(setFieldText(document, ModelField::answer, "en 1789\r\n1789 apr. J.-C.", 1)) << "the same lines";
    EXPECT_TRUE(setFieldText(document, ModelField::answer2, "x", 1));
    EXPECT_EQ(document.model.questions[0].otherAnswers2, std::vector<std::string>{"x"});
}

}  // namespace
