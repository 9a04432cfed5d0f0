#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "authoring/moodleBank.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(MoodleBank, TextsAreEscapedAsMoodleReadsThem) {
    const struct {
        const char* text;
        const char* xml;     // inside <text>
        const char* gift;    // in a GIFT question
        const char* answer;  // as the short answer matches it
    } cases[] = {
        {"Paris", "Paris", "Paris", "Paris"},
        {"", "", "", ""},
        {"Tom & Jerry", "<![CDATA[Tom & Jerry]]>", "Tom & Jerry", "Tom & Jerry"},
        {"x < 3 > 1", "<![CDATA[x < 3 > 1]]>", "x < 3 > 1", "x < 3 > 1"},
        {"l'eau", "<![CDATA[l'eau]]>", "l'eau", "l'eau"},
        {"\"dit\"", "<![CDATA[\"dit\"]]>", "\"dit\"", "\"dit\""},
        {"a]]>b<", "<![CDATA[a]]]]><![CDATA[>b<]]>", "a]]>b<", "a]]>b<"},
        {"~=#{}:", "~=#{}:", "\\~\\=\\#\\{\\}\\:", "~=#{}:"},
        {"C:\\dos", "C:\\dos", "C\\:\\\\dos", "C:\\dos"},
        {"2*3", "2*3", "2*3", "2\\*3"},
        {"ligne 1\nligne 2", "ligne 1\nligne 2", "ligne 1\\nligne 2", "ligne 1\nligne 2"},
        {"bip\x07!", "bip!", "bip\x07!", "bip\x07!"},
        {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(moodleXmlText(c.text), c.xml) << c.text;
        EXPECT_EQ(giftEscaped(c.text), c.gift) << c.text;
        EXPECT_EQ(moodleAnswer(c.text), c.answer) << c.text;
    }
    EXPECT_EQ(moodleCategoryPath("Histoire"), "$course$/top/Histoire");
    EXPECT_EQ(moodleCategoryPath("CM1/CM2"), "$course$/top/CM1//CM2");
    EXPECT_EQ(moodleCategoryPath("Deux\nlignes"), "$course$/top/Deux lignes");
}

QuizModel quizOf(int kind, int answers, std::vector<ModelQuestion> questions) {
    QuizModel model;
    model.kind = kind;
    model.title = "Essai";
    model.answersPerQuestion = answers;
    model.questions = std::move(questions);
    return model;
}

ModelQuestion question(const std::string& prompt, const std::string& answer, const std::string& answer2 = "") {
    ModelQuestion q;
    q.prompt = prompt;
    q.answer = answer;
    q.answer2 = answer2;
    return q;
}

TEST(MoodleBank, EachBoxIsOneQuestionNamedAfterItsPromptOrNumber) {
    ModelQuestion withOthers = question("Capitale des Pays-Bas ?", "Amsterdam");
    withOthers.otherAnswers = {"Amsterdam aux Pays-Bas", "A'dam"};
    withOthers.comment = "La capitale, pas le si\xC3\xA8ge du gouvernement.";
    ModelQuestion pictured = question("", "carr\xC3\xA9", "rouge");
    pictured.picture = "media/1.png";
    pictured.otherAnswers2 = {"vermillon"};
    pictured.comment = "quatre c\xC3\xB4t\xC3\xA9s";
    pictured.comment2 = "comme une tomate";
    ModelQuestion heard = question("", "Lyon", "Rh\xC3\xB4ne");
    heard.clip = "media/1.mp3";
    heard.comment = "pour les deux";
    QuizModel captioned = quizOf(kindPictures, 2, {question("Forme ?", "rond", "bleu"), pictured});
    captioned.caption1 = "Forme";
    captioned.caption2 = "Couleur";
    QuizModel oneCaption = quizOf(kindAudio, 2, {heard});
    oneCaption.caption2 = "Fleuve";
    // 300 characters, each two bytes in UTF-8: the name keeps 255 of them, the text all.
    std::string longPrompt;
    for (int i = 0; i < 300; ++i) longPrompt += "\xC3\xA9";
    std::string longName;
    for (size_t i = 0; i < moodleNameLength; ++i) longName += "\xC3\xA9";

    const struct Row {
        const char* name;
        QuizModel model;
        std::vector<ExportedQuestion> expected;
    } rows[] = {
        {"a text quiz, other answers after the main one",
         quizOf(kindText, 1, {question("Capitale de la France ?", "Paris"), withOthers}),
         {{"Capitale de la France ?", "Capitale de la France ?", {"Paris"}, "", "", false},
          {"Capitale des Pays-Bas ?",
           "Capitale des Pays-Bas ?",
           {"Amsterdam", "Amsterdam aux Pays-Bas", "A'dam"},
           withOthers.comment,
           "",
           false}}},
        // The text kind shows one box: its second answers are never asked.
        {"a text quiz with two answers per question",
         quizOf(kindText, 2, {question("Capitale ?", "Paris", "France")}),
         {{"Capitale ?", "Capitale ?", {"Paris"}, "", "", false}}},
        {"two boxes with captions, each with its own comment and picture",
         captioned,
         {{"Forme ? (Forme)", "Forme ? (Forme)", {"rond"}, "", "", true},
          {"Forme ? (Couleur)", "Forme ? (Couleur)", {"bleu"}, "", "", true},
          {"Question 2 (Forme)", "Question 2 (Forme)", {"carr\xC3\xA9"}, pictured.comment, "media/1.png", true},
          {"Question 2 (Couleur)",
           "Question 2 (Couleur)",
           {"rouge", "vermillon"},
           pictured.comment2,
           "media/1.png",
           true}}},
        {"two boxes, one caption: the other is numbered; the comment serves both",
         oneCaption,
         {{"Question 1 (1)", "Question 1 (1)", {"Lyon"}, "pour les deux", "media/1.mp3", false},
          {"Question 1 (Fleuve)", "Question 1 (Fleuve)", {"Rh\xC3\xB4ne"}, "pour les deux", "media/1.mp3", false}}},
        {"a name within Moodle's length, on one line",
         quizOf(kindText, 1, {question(longPrompt, "x"), question("deux\nlignes", "y")}),
         {{longName, longPrompt, {"x"}, "", "", false}, {"deux lignes", "deux\nlignes", {"y"}, "", "", false}}},
        // As Moodle trims what it reads: a name cut after a space does not end with it.
        {"texts trimmed",
         quizOf(kindText, 1, {[&] {
                    ModelQuestion q = question(" \xC3\xA0 gauche " + std::string(300, 'x'), " x ");
                    q.otherAnswers = {"\ty "};
                    q.comment = " vu\n";
                    return q;
                }()}),
         {{"\xC3\xA0 gauche " + std::string(moodleNameLength - 9, 'x'),
           "\xC3\xA0 gauche " + std::string(300, 'x'),
           {"x", "y"},
           "vu",
           "",
           false}}},
    };
    for (const Row& row : rows) {
        const std::vector<ExportedQuestion> found = bankQuestions(row.model);
        ASSERT_EQ(found.size(), row.expected.size()) << row.name;
        for (size_t i = 0; i < found.size(); ++i) {
            const ExportedQuestion& f = found[i];
            const ExportedQuestion& e = row.expected[i];
            const std::string at = std::string(row.name) + ", question " + std::to_string(i + 1);
            EXPECT_EQ(f.name, e.name) << at;
            EXPECT_EQ(f.text, e.text) << at;
            EXPECT_EQ(f.answers, e.answers) << at;
            EXPECT_EQ(f.feedback, e.feedback) << at;
            EXPECT_EQ(f.media, e.media) << at;
            if (!e.media.empty()) {
                EXPECT_EQ(f.picture, e.picture) << at;
            }
        }
    }
}

// A reader of files held in memory, counting what it is asked for.
struct MemoryReader {
    std::map<std::string, Bytes> files;
    FileReader reader() {
        return [this](const std::string& path, Bytes& bytes) {
            const auto found = files.find(path);
            if (found == files.end()) return false;
            bytes = found->second;
            return true;
        };
    }
};

TEST(MoodleBank, MoodleXmlIsWhatMoodleWrites) {
    ModelQuestion q = question("Tom & Jerry ?", "chat*souris");
    q.otherAnswers = {"l'un et l'autre"};
    q.comment = "Un \"dessin anim\xC3\xA9\"";
    MoodleBank bank;
    ASSERT_TRUE(writeMoodleXml(quizOf(kindText, 1, {q}), "CM1/CM2 & co", "C:\\q\\a.toml", nullptr, bank));
    EXPECT_EQ(bank.questions, 1u);
    EXPECT_EQ(bank.text,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<quiz>\n"
              "<!-- question: 0  -->\n"
              "  <question type=\"category\">\n"
              "    <category>\n"
              "      <text><![CDATA[$course$/top/CM1//CM2 & co]]></text>\n"
              "    </category>\n"
              "    <info format=\"html\">\n"
              "      <text></text>\n"
              "    </info>\n"
              "    <idnumber></idnumber>\n"
              "  </question>\n"
              "\n"
              "<!-- question: 1  -->\n"
              "  <question type=\"shortanswer\">\n"
              "    <name>\n"
              "      <text><![CDATA[Tom & Jerry ?]]></text>\n"
              "    </name>\n"
              "    <questiontext format=\"html\">\n"
              "      <text><![CDATA[<p>Tom &amp; Jerry ?</p>]]></text>\n"
              "    </questiontext>\n"
              "    <generalfeedback format=\"html\">\n"
              "      <text><![CDATA[Un &quot;dessin anim\xC3\xA9&quot;]]></text>\n"
              "    </generalfeedback>\n"
              "    <defaultgrade>1.0000000</defaultgrade>\n"
              "    <penalty>0.3333333</penalty>\n"
              "    <hidden>0</hidden>\n"
              "    <idnumber></idnumber>\n"
              "    <usecase>0</usecase>\n"
              "    <answer fraction=\"100\" format=\"moodle_auto_format\">\n"
              "      <text>chat\\*souris</text>\n"
              "      <feedback format=\"html\">\n"
              "        <text></text>\n"
              "      </feedback>\n"
              "    </answer>\n"
              "    <answer fraction=\"100\" format=\"moodle_auto_format\">\n"
              "      <text><![CDATA[l'un et l'autre]]></text>\n"
              "      <feedback format=\"html\">\n"
              "        <text></text>\n"
              "      </feedback>\n"
              "    </answer>\n"
              "  </question>\n"
              "\n"
              "</quiz>\n");
}

TEST(MoodleBank, PicturesAndClipsGoInsideTheQuestionText) {
    const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0};
    const Bytes mp3 = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0};
    const Bytes wmf = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0, 0};
    MemoryReader media;
    media.files = {{"C:\\q\\media/un rond.gif", gif},
                   {"C:\\q\\media/dessin", gif},
                   {"C:\\q\\media/plan.wmf", wmf},
                   {"C:\\q\\media/1.mp3", mp3}};
    auto pictured = [](const std::string& path) {
        ModelQuestion q = question("", "rond");
        q.picture = path;
        return q;
    };
    ModelQuestion heard = question("", "Lyon");
    heard.clip = "media/1.mp3";
    const struct Row {
        const char* name;
        QuizModel model;
        std::vector<std::string> inText;  // each once, in this order
        std::vector<std::string> unshowable;
        const char* unreadable;
    } rows[] = {
        {"a picture, its name encoded in the link",
         quizOf(kindPictures, 1, {pictured("media/un rond.gif")}),
         {"<p>Question 1</p><p><img src=\"@@PLUGINFILE@@/un%20rond.gif\" alt=\"Question 1\"></p>]]></text>\n"
          "      <file name=\"un rond.gif\" path=\"/\" encoding=\"base64\">R0lGODlhAQABAA==</file>\n"
          "    </questiontext>"},
         {},
         nullptr},
        {"a picture named without extension gets its type's",
         quizOf(kindPictures, 1, {pictured("media/dessin")}),
         {"@@PLUGINFILE@@/dessin.gif", "<file name=\"dessin.gif\""},
         {},
         nullptr},
        {"two boxes: the picture goes with each",
         quizOf(kindPictures, 2, {[&] {
                    ModelQuestion q = pictured("media/dessin");
                    q.answer2 = "bleu";
                    return q;
                }()}),
         {"<p>Question 1 (1)</p><p><img", "<file name=\"dessin.gif\"", "<p>Question 1 (2)</p><p><img",
          "<file name=\"dessin.gif\""},
         {},
         nullptr},
        {"a clip as a link",
         quizOf(kindAudio, 1, {heard}),
         {"<p>Question 1</p><p><a href=\"@@PLUGINFILE@@/1.mp3\">1.mp3</a></p>]]></text>\n"
          "      <file name=\"1.mp3\" path=\"/\" encoding=\"base64\">SUQzAwAAAAAAAA==</file>"},
         {},
         nullptr},
        {"a metafile no browser shows still goes, with a warning",
         quizOf(kindPictures, 1, {pictured("media/plan.wmf")}),
         {"<file name=\"plan.wmf\""},
         {"media/plan.wmf"},
         nullptr},
        {"a picture that cannot be read",
         quizOf(kindPictures, 1, {pictured("media/absente.gif")}),
         {},
         {},
         "C:\\q\\media/absente.gif"},
    };
    for (const Row& row : rows) {
        MoodleBank bank;
        const bool written = writeMoodleXml(row.model, "Essai", "C:\\q\\formes.toml", media.reader(), bank);
        EXPECT_EQ(written, row.unreadable == nullptr) << row.name;
        EXPECT_EQ(bank.unshowable, row.unshowable) << row.name;
        if (row.unreadable) {
            EXPECT_EQ(bank.unreadable, std::vector<std::string>{row.unreadable}) << row.name;
            EXPECT_EQ(bank.text, "") << row.name;
            continue;
        }
        size_t from = 0;
        for (const std::string& part : row.inText) {
            const size_t at = bank.text.find(part, from);
            ASSERT_NE(at, std::string::npos) << row.name << ": " << part;
            from = at + part.size();
        }
        EXPECT_EQ(bank.text.find("<file", from), std::string::npos) << row.name << ": one file per question";
        // GIFT carries no media: the questions are the same, the files are counted as left out.
        MoodleBank gift;
        writeGift(row.model, "Essai", gift);
        EXPECT_EQ(gift.questions, bank.questions) << row.name;
        EXPECT_EQ(gift.mediaLeftOut, bank.questions) << row.name;
        EXPECT_EQ(gift.text.find("PLUGINFILE"), std::string::npos) << row.name;
    }
}

TEST(MoodleBank, GiftWritesEachBoxWithItsAnswersAndFeedback) {
    ModelQuestion q = question("O\xC3\xB9 ? {Paris = capitale} #1", "Paris");
    q.otherAnswers = {"\xC3\xA0 Paris", "75:Paris"};
    q.comment = "Voir \"carte\" ~ 1/2";
    QuizModel model = quizOf(kindVideo, 2, {q, question("", "a*b", "%50%c"), question("Formule", "eau", "H2O -> eau")});
    model.questions[0].answer2 = "France";
    model.questions[0].clip = "media/1.mp4";
    model.caption1 = "Ville";
    model.caption2 = "Pays";
    MoodleBank bank;
    writeGift(model, "CM2: g\xC3\xA9o", bank);
    EXPECT_EQ(bank.questions, 5u);
    EXPECT_EQ(bank.mediaLeftOut, 2u);
    EXPECT_EQ(bank.arrowsLeftOut, std::vector<std::string>{"Formule (Pays)"});
    EXPECT_EQ(bank.text,
              "$CATEGORY: $course$/top/CM2: g\xC3\xA9o\n"
              "\n"
              "::O\xC3\xB9 ? \\{Paris \\= capitale\\} \\#1 (Ville)::[html]O\xC3\xB9 ? \\{Paris \\= capitale\\} \\#1 "
              "(Ville){\n"
              "\t=Paris\n"
              "\t=\xC3\xA0 Paris\n"
              "\t=75\\:Paris\n"
              "\t####Voir &quot;carte&quot; \\~ 1/2\n"
              "}\n"
              "\n"
              "::O\xC3\xB9 ? \\{Paris \\= capitale\\} \\#1 (Pays)::[html]O\xC3\xB9 ? \\{Paris \\= capitale\\} \\#1 "
              "(Pays){\n"
              "\t=France\n"
              "\t####Voir &quot;carte&quot; \\~ 1/2\n"
              "}\n"
              "\n"
              "::Question 2 (Ville)::[html]Question 2 (Ville){\n"
              "\t=a\\*b\n"
              "}\n"
              "\n"
              "::Question 2 (Pays)::[html]Question 2 (Pays){\n"
              "\t=%100%%50%c\n"
              "}\n"
              "\n"
              "::Formule (Ville)::[html]Formule (Ville){\n"
              "\t=eau\n"
              "}\n"
              "\n");
}

}  // namespace
