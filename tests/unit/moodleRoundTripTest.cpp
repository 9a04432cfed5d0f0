// A quiz written as a Moodle bank and read back: the questions come back as
// they were, in both formats, pictures included where Moodle XML carries them.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "authoring/giftImport.h"
#include "authoring/moodleBank.h"
#include "authoring/moodleXmlImport.h"
#include "authoring/questionBank.h"

namespace {

using Bytes = std::vector<uint8_t>;

ModelQuestion asked(const std::string& prompt, std::vector<std::string> answers, const std::string& comment = "") {
    ModelQuestion q;
    q.prompt = prompt;
    q.answer = answers.front();
    q.otherAnswers.assign(answers.begin() + 1, answers.end());
    q.comment = comment;
    return q;
}

// What a text reads as, the characters of both formats and of XML in it.
QuizModel awkwardQuiz() {
    QuizModel model;
    model.kind = kindText;
    model.title = u8"Histoire & g\u00E9o : {dates} #1";
    model.reveal = revealComment;
    model.questions = {
        asked("Prise de la Bastille ?", {"1789", "en 1789"}, u8"Le 14 juillet, d\u00E9but de la R\u00E9volution."),
        asked(u8"Capitale \u00AB des Pays-Bas \u00BB", {"Amsterdam", "Amsterdam aux Pays-Bas"}),
        asked("2 = 1 + 1 ? {oui, non} ~ <b>", {"oui"}, "Bien : 1 + 1 = 2 & rien d'autre."),
        asked("Note de musique ?", {"do#", "do\\"}, "Ni ~ ni = ici."),
    };
    model.rewardCodes = {"A", "B", "C", "D"};
    return model;
}

void expectSameQuestions(const std::vector<ModelQuestion>& read, const std::vector<ModelQuestion>& written,
                         const std::string& format) {
    ASSERT_EQ(read.size(), written.size()) << format;
    for (size_t i = 0; i < written.size(); ++i) {
        const std::string at = format + ", question " + std::to_string(i + 1);
        EXPECT_EQ(read[i].prompt, written[i].prompt) << at;
        EXPECT_EQ(read[i].answer, written[i].answer) << at;
        EXPECT_EQ(read[i].otherAnswers, written[i].otherAnswers) << at;
        EXPECT_EQ(read[i].comment, written[i].comment) << at;
    }
}

bool imported(const std::string& bytes, bool gift, QuizModel& model, BankImportResult& result) {
    BankReading reading;
    ModelProblem broken;
    const bool read = gift ? readGiftBank(bytes, reading, broken) : readMoodleXmlBank(bytes, reading, broken);
    EXPECT_TRUE(read) << broken.message << " (line " << broken.line << ")\n" << bytes;
    BankImportOptions options;
    options.mediaFolder = "C:\\q\\banque-media";
    options.mediaPrefix = "banque-media/";
    return read && importQuestionBank(reading, model, options, result);
}

TEST(MoodleRoundTrip, AQuizComesBackFromBothFormats) {
    const QuizModel quiz = awkwardQuiz();
    for (bool gift : {false, true}) {
        const std::string format = gift ? "GIFT" : "Moodle XML";
        MoodleBank bank;
        if (gift) {
            writeGift(quiz, quiz.title, bank);
        } else {
            ASSERT_TRUE(writeMoodleXml(quiz, quiz.title, "C:\\q\\quiz.toml", FileReader(), bank)) << format;
        }
        QuizModel model;
        BankImportResult result;
        ASSERT_TRUE(imported(bank.text, gift, model, result)) << format;
        EXPECT_TRUE(result.problems.empty()) << format;
        EXPECT_EQ(model.kind, kindText) << format;
        expectSameQuestions(model.questions, quiz.questions, format);
    }
}

TEST(MoodleRoundTrip, PicturesComeBackFromMoodleXml) {
    // The smallest picture the player shows: a 1 x 1 GIF.
    const Bytes gif = {'G',  'I',  'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0,    0, 0, 0xFF, 0xFF,
                       0xFF, 0x2C, 0,   0,   0,   0,   1, 0, 1, 0, 0,    2, 2, 0x44, 1, 0, 0x3B};
    QuizModel quiz;
    quiz.kind = kindPictures;
    quiz.title = "Formes";
    quiz.questions = {asked("Quelle forme ?", {"rond", "cercle"}), asked("Et celle-ci ?", {"carré"})};
    quiz.questions[0].picture = "media/rond.gif";
    quiz.questions[1].picture = "media/carre.gif";
    quiz.rewardCodes = {"A", "B"};
    const std::map<std::string, Bytes> files = {{"C:\\q\\media/rond.gif", gif}, {"C:\\q\\media/carre.gif", gif}};
    const FileReader reader = [&files](const std::string& path, Bytes& bytes) {
        const auto found = files.find(path);
        if (found == files.end()) return false;
        bytes = found->second;
        return true;
    };
    MoodleBank bank;
    ASSERT_TRUE(writeMoodleXml(quiz, quiz.title, "C:\\q\\quiz.toml", reader, bank));
    QuizModel model;
    BankImportResult result;
    ASSERT_TRUE(imported(bank.text, false, model, result));
    EXPECT_EQ(model.kind, kindPictures);
    expectSameQuestions(model.questions, quiz.questions, "Moodle XML");
    ASSERT_EQ(result.mediaToWrite.size(), 2u);
    for (size_t i = 0; i < model.questions.size(); ++i) {
        EXPECT_EQ(model.questions[i].picture.rfind("banque-media/", 0), 0u) << model.questions[i].picture;
        EXPECT_EQ(result.mediaToWrite[i].bytes, gif) << i;
    }
}

}  // namespace
