#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>

#include "answers/accessibility.h"
#include "answers/verdict.h"
#include "editor/accessibleNames.h"
#include "editor/editorCommands.h"
#include "quiz/quiz.h"
#include "resources/resource.h"

namespace {

// Three questions "Tour Eiffel", "Colisée", "Big Ben" answered "Paris",
// "Rome", "Londres" (second answers "France", "Italie", "Angleterre").
std::unique_ptr<Quiz> monuments(int kind, int answers, const char* caption1 = "", const char* caption2 = "") {
    std::unique_ptr<Quiz> quiz(new Quiz);
    initQuizValues(*quiz);
    quiz->kind = kind;
    quiz->answersPerQuestion = answers;
    copyText(quiz->answerCaption1, quizTextSize, caption1);
    copyText(quiz->answerCaption2, quizTextSize, caption2);
    appendQuestion(*quiz, "Paris", "France", "Tour Eiffel");
    appendQuestion(*quiz, "Rome", "Italie", "Colis\xE9\x65");
    appendQuestion(*quiz, "Londres", "Angleterre", "Big Ben");
    quiz->questionCount = 3;
    return quiz;
}

struct QuizDeleter {
    void operator()(Quiz* quiz) const {
        releaseQuestions(*quiz);
        delete quiz;
    }
};

TEST(Accessibility, AnswerBoxesAreNamedAfterTheirQuestionAndDescribedByWhatItShows) {
    struct Case {
        int kind;
        int answers;
        const char* caption1;
        const char* caption2;
        int boxId;
        const char* verdict;
        const char* name;
        const char* description;
    } cases[] = {
        {kindText, 1, "", "", 4001, "?", "Question 1", "Tour Eiffel"},
        {kindText, 1, "", "", 4002, "Presque", "Question 2", "Colis\xE9\x65, Presque"},
        // The text sheet lays out one box per question whatever the quiz says.
        {kindText, 2, "Ville", "Pays", 4003, "BRAVO", "Question 3", "Big Ben, BRAVO"},
        {kindPictures, 1, "", "", 4002, "?", "Question 2", "Image de la question 2"},
        {kindPictures, 2, "", "", 4003, "FAUX", "Question 2, r\xE9ponse 1", "Image de la question 2, FAUX"},
        {kindPictures, 2, " Ville :", "Pays:", 4006, "?", "Question 3, Pays", "Image de la question 3"},
        {kindAudio, 1, "", "", 4001, verdictClose, "Question 1",
         "Extrait sonore de la question 1, y a de l'id\xE9\x65"},
        {kindAudio, 2, "Ville", "", 4004, "Anagramme", "Question 2, r\xE9ponse 2",
         "Extrait sonore de la question 2, Anagramme"},
        {kindVideo, 1, "", "", 4003, "Trop long", "Question 3", "Extrait vid\xE9o de la question 3, Trop long"},
        {kindVideo, 2, "Ville", "Pays", 4001, "", "Question 1, Ville", "Extrait vid\xE9o de la question 1"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Quiz, QuizDeleter> quiz(monuments(c.kind, c.answers, c.caption1, c.caption2).release());
        SpokenText text;
        ASSERT_TRUE(sheetControlSpeech(*quiz, c.boxId, c.verdict, text)) << c.kind << " " << c.boxId;
        EXPECT_EQ(text.name, c.name) << "kind " << c.kind << ", box " << c.boxId;
        EXPECT_EQ(text.description, c.description) << "kind " << c.kind << ", box " << c.boxId;
    }
}

TEST(Accessibility, OnlyTheControlsOfTheKindSpeak) {
    struct Case {
        int kind;
        int answers;
        int id;
        SpokenControl expected;
        const char* name;
    } cases[] = {
        {kindText, 2, 4003, SpokenControl::answerBox, "Question 3"},
        {kindText, 2, 4004, SpokenControl::none, ""},  // one box per question on the text sheet
        {kindText, 1, 5003, SpokenControl::verdictLabel, ""},
        {kindText, 1, 5004, SpokenControl::none, ""},
        {kindText, 1, 9901, SpokenControl::none, ""},
        {kindPictures, 2, 4006, SpokenControl::answerBox, "Question 3, r\xE9ponse 2"},
        {kindPictures, 2, 5006, SpokenControl::verdictLabel, ""},
        {kindPictures, 1, 9903, SpokenControl::picture, "Image de la question 3"},
        {kindPictures, 1, 9904, SpokenControl::none, ""},
        {kindPictures, 1, 9900, SpokenControl::none, ""},
        {kindPictures, 1, 6001, SpokenControl::none, ""},
        {kindAudio, 1, 6002, SpokenControl::playButton,
         "\xC9"
         "couter l'extrait 2"},
        {kindAudio, 1, 7003, SpokenControl::stopButton, "Arr\xEAter l'extrait 3"},
        {kindAudio, 1, 9900, SpokenControl::none, ""},  // the player host
        {kindVideo, 1, 6001, SpokenControl::playButton,
         "\xC9"
         "couter l'extrait 1"},
        {kindVideo, 1, 7004, SpokenControl::none, ""},
        {kindVideo, 1, 8001, SpokenControl::none, ""},  // comments are read as they are, when shown
        {kindVideo, 1, numberLabelId, SpokenControl::none, ""},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Quiz, QuizDeleter> quiz(monuments(c.kind, c.answers).release());
        EXPECT_EQ(sheetSpokenControl(*quiz, c.id), c.expected) << "kind " << c.kind << ", id " << c.id;
        SpokenText text;
        const bool named = c.expected != SpokenControl::none && c.expected != SpokenControl::verdictLabel;
        EXPECT_EQ(sheetControlSpeech(*quiz, c.id, "?", text), named) << "kind " << c.kind << ", id " << c.id;
        EXPECT_EQ(text.name, c.name) << "kind " << c.kind << ", id " << c.id;
    }
}

// Whatever a box's verdict, nothing said about any control holds an answer.
TEST(Accessibility, NoTextGivesAnAnswerAway) {
    const char* answers[] = {"PARIS", "ROME", "LONDRES", "FRANCE", "ITALIE", "ANGLETERRE"};
    const char* verdicts[] = {verdictEmpty,    verdictRight,    verdictWrong,  verdictAnagram, verdictOneEdit,
                              verdictTwoEdits, verdictTooShort, verdictNotFar, verdictTooLong, verdictClose};
    for (int kind : {kindText, kindPictures, kindAudio, kindVideo}) {
        for (int m : {1, 2}) {
            std::unique_ptr<Quiz, QuizDeleter> quiz(monuments(kind, m).release());
            for (int id = 0; id < 10000; ++id) {
                for (const char* verdict : verdicts) {
                    SpokenText text;
                    if (!sheetControlSpeech(*quiz, id, verdict, text)) break;
                    std::string said = text.name + " " + text.description;
                    for (char& c : said) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                    for (const char* answer : answers)
                        EXPECT_EQ(said.find(answer), std::string::npos) << kind << " " << id << ": " << said;
                }
            }
        }
    }
}

TEST(Accessibility, TheHeaderReadsItsScoreAndCode) {
    struct Case {
        int id;
        const char* shown;
        bool spoken;
        const char* name;
    } cases[] = {
        {headerScoreId, " 2 / 5", true, "Score : 2 sur 5"},
        {headerScoreId, " 0 / 0", true, "Score : 0 sur 0"},
        {headerScoreId, "unset ", true, "Score : unset"},  // not a score: read as it stands
        {headerScoreId, " 2 / 5x", true, "Score : 2 / 5x"},
        {headerRewardCodeId, "ORANGE", true, "Code : ORANGE"},
        {headerRewardCodeId, "      ", true, "Code : aucun"},  // a score of 0 shows six spaces
        {headerRewardCodeId, "", true, "Code : aucun"},
        {headerCodeLabelId, " Code :", false, ""},
        {headerTitleId, "Capitales", false, ""},
    };
    for (const Case& c : cases) {
        SpokenText text;
        EXPECT_EQ(headerControlSpeech(c.id, c.shown, text), c.spoken) << c.id << " '" << c.shown << "'";
        EXPECT_EQ(text.name, c.name) << c.id << " '" << c.shown << "'";
        EXPECT_EQ(text.description, "") << c.id;
    }
}

TEST(Accessibility, AJudgementAnnouncesItsVerdictThenAChangedScoreAndNothingWhileBuilding) {
    struct Case {
        bool building;
        bool verdictChanged;
        const char* before;
        const char* after;
        bool verdict;
        bool score;
    } cases[] = {
        {false, true, " 0 / 5", " 1 / 5", true, true},
        {false, true, " 1 / 5", " 1 / 5", true, false},  // "FAUX" to "Presque": the score stays
        {false, true, " 2 / 5", " 1 / 5", true, true},
        {false, false, " 0 / 5", " 1 / 5", false, false},  // the same verdict again says nothing
        {true, true, " 0 / 5", " 1 / 5", false, false},    // restored answers at the build
        {true, false, " 0 / 5", " 0 / 5", false, false},
        {false, true, nullptr, " 1 / 5", true, true},
    };
    for (const Case& c : cases) {
        const JudgementAnnouncements say = announcementsAfterJudgement(c.building, c.verdictChanged, c.before, c.after);
        EXPECT_EQ(say.verdict, c.verdict) << c.building << c.verdictChanged << " " << (c.before ? c.before : "null");
        EXPECT_EQ(say.score, c.score) << c.building << c.verdictChanged << " " << (c.before ? c.before : "null");
    }
}

TEST(EditorAccessibility, FieldsAreNamedByTheirLabelsAndThePreviewsByWhatTheyShow) {
    struct Case {
        int id;
        const char* label;
        const char* name;
    } cases[] = {
        {fieldControl(ModelField::title), "&Titre :", "Titre"},
        {fieldControl(ModelField::captions, 1), u8"L\u00E9gende 2 &:", u8"L\u00E9gende 2"},
        {idTryAnswer, u8"Essayer une &r\u00E9ponse :", u8"Essayer une r\u00E9ponse"},
        {idProblemList, u8"Probl\u00E8mes :", u8"Probl\u00E8mes"},
        {fieldControl(ModelField::author), "Q && R :", "Q & R"},
        {fieldControl(ModelField::comment), "Fin &", "Fin"},
        {fieldPreview(ModelField::picture), "Image :", u8"Aper\u00E7u de l'image"},
        {fieldPreview(ModelField::solution), "", u8"Aper\u00E7u de la solution"},
        {idRewardScores, "", u8"Bonnes r\u00E9ponses de chaque code"},
        {idStatus, "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(accessibleName(c.id, c.label), c.name) << c.id << " " << c.label;
}

TEST(EditorAccessibility, OnlyANewMessageOfTheStatusLineAndNewProblemsAreAnnounced) {
    const std::string dash = u8" \u2014 ";
    struct Case {
        std::string before;
        std::string after;
        bool announced;
    } cases[] = {
        {"3 questions, 0 probl\xC3\xA8me", "3 questions, 1 probl\xC3\xA8me", false},  // typing changes the counts
        {"3 questions", "3 questions" + dash + "construit", true},
        {"3 questions" + dash + "construit", "4 questions" + dash + "construit", false},
        {"3 questions" + dash + "construit", "3 questions" + dash + "import\xC3\xA9", true},
        {"3 questions" + dash + "construit", "3 questions", false},
        {"", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(statusMessageToAnnounce(c.before, c.after), c.announced) << c.before << " -> " << c.after;

    EXPECT_EQ(newLines({"a", "b"}, {"b", "c", "a", "d"}), (std::vector<std::string>{"c", "d"}));
    EXPECT_TRUE(newLines({"a", "b"}, {"b"}).empty()) << "a problem going away says nothing";
    EXPECT_TRUE(newLines({"a"}, {"a"}).empty());
}

}  // namespace
