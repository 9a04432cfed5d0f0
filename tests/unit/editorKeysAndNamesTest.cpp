#include <gtest/gtest.h>

#include <set>

#include "authoring/messages.h"
#include "authoring/quizFields.h"
#include "editor/accessKeys.h"
#include "editor/editorDocument.h"
#include "editor/saveSuggestion.h"

namespace {

std::string withoutAmpersands(const std::string& label) {
    std::string out;
    for (size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size()) ++i;
        out += label[i];
    }
    return out;
}

}  // namespace

TEST(AccessKeys, TheKeyIsTheCharacterAfterASingleAmpersand) {
    const struct {
        const char* label;
        char32_t key;
    } rows[] = {
        {"&Titre :", U't'},
        {"\xC3\x89&dition", U'd'},
        {"R\xC3\xA9ponse &2 :", U'2'},
        {"Pile && &face", U'f'},
        {"Pile && face", 0},
        {"Fin&", 0},
        {"&\xC3\x89nonc\xC3\xA9", U'\u00E9'},
        {"&\xC3\x97", 0},
        {"&\xC3", 0},
        {"", 0},
    };
    for (const auto& row : rows) EXPECT_EQ(accessKeyOf(row.label), row.key) << row.label;
}

TEST(AccessKeys, WordStartsFirstThenLettersThenDigitsAndNoneTakenTwice) {
    const struct {
        std::vector<std::string> labels;
        std::u32string taken;
        std::vector<std::string> expected;
    } rows[] = {
        {{"Titre :", "Type :"}, U"", {"&Titre :", "T&ype :"}},
        {{"Auteur :", "Apr\xC3\xA8s une bonne r\xC3\xA9ponse :"},
         U"a",
         {"A&uteur :", "Apr\xC3\xA8s une &bonne r\xC3\xA9ponse :"}},
        {{"ab", "a"}, U"", {"a&b", "&a"}},  // the first gives up its best so that the second has one
        {{"L\xC3\xA9gende 1", "L\xC3\xA9gende 2"}, U"lg", {"L&\xC3\xA9gende 1", "L\xC3\xA9g&ende 2"}},
        {{"Pile & face"}, U"", {"&Pile && face"}},
        {{"\xC3\x89t\xC3\xA9", "..."}, U"\u00E9t", {"\xC3\x89t\xC3\xA9", "..."}},  // nothing left to underline
    };
    for (const auto& row : rows) EXPECT_EQ(withAccessKeys(row.labels, row.taken), row.expected) << row.labels[0];
}

// The labels of every field the form shows get a key of their own that the
// menu bar does not answer to (a new row of the table of fields is covered
// as soon as it is added); the window's other labels, served after them,
// take the keys left and never one already given.
TEST(AccessKeys, EveryFieldOfTheFormGetsAKeyOfItsOwn) {
    std::vector<std::string> labels;
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldInfo& info = fieldTable()[i];
        if (info.form == FieldForm::none || info.form == FieldForm::questions) continue;
        labels.push_back(formLabel(info.field, info.form == FieldForm::textPair ? 0 : -1));
        if (info.form == FieldForm::textPair) labels.push_back(formLabel(info.field, 1));
    }
    const size_t fields = labels.size();
    for (Message other :
         {Message::labelQuestions, Message::labelProblems, Message::labelTryAnswer, Message::labelTryAnswer2}) {
        labels.push_back(messageText(other));
    }
    std::u32string menuBar;
    for (Message menu : {Message::menuFile, Message::menuEdit, Message::menuHelp}) {
        menuBar += accessKeyOf(messageText(menu));
    }
    ASSERT_EQ(menuBar, U"fda");
    const std::vector<std::string> keyed = withAccessKeys(labels, menuBar);
    ASSERT_EQ(keyed.size(), labels.size());
    std::set<char32_t> keys;
    for (size_t i = 0; i < keyed.size(); ++i) {
        const char32_t key = accessKeyOf(keyed[i]);
        EXPECT_EQ(withoutAmpersands(keyed[i]), labels[i]);
        if (i < fields) {
            EXPECT_NE(key, 0u) << keyed[i];
        }
        if (!key) continue;
        EXPECT_EQ(menuBar.find(key), std::u32string::npos) << keyed[i];
        EXPECT_TRUE(keys.insert(key).second) << keyed[i] << " shares its key";
    }
}

TEST(SaveSuggestion, FileNameOfTheTitleKeepsWhatWindowsAllows) {
    const std::string e9 = "\xC3\xA9";  // é
    const struct {
        std::string title;
        std::string expected;
    } rows[] = {
        {"Formes g" + e9 + "om" + e9 + "triques", "Formes g" + e9 + "om" + e9 + "triques"},
        {"Quiz : 1/2 ? <oui> | \"non\" *", "Quiz 12 oui non"},
        {"  ..Capitales d'Europe..  ", "Capitales d'Europe"},
        {"Deux\r\nlignes\tet\x01 plus", "Deux lignes et plus"},
        {"CON", "CON_"},
        {"com1", "com1_"},
        {"Nul part", "Nul part"},
        {"", "Sans titre"},
        {"???", "Sans titre"},
        {std::string(60, 'a') + " " + std::string(60, 'b'), std::string(60, 'a') + " " + std::string(39, 'b')},
    };
    for (const auto& row : rows) EXPECT_EQ(fileNameOfTitle(row.title, "Sans titre"), row.expected) << row.title;
    // A bound that falls inside a character keeps the character out whole.
    std::string accents;
    for (int i = 0; i < 60; ++i) accents += e9;
    const std::string cut = fileNameOfTitle(accents, "x");
    EXPECT_EQ(cut.size(), 100u);
    EXPECT_EQ(cut, accents.substr(0, 100));
}

TEST(SaveSuggestion, TheFolderIsTheSourcesThePicturesOrTheLastOpened) {
    const std::string temporary = "C:\\users\\moi\\Temp\\Atelier Vetra";
    auto document = [](const std::string& path, const std::string& picture) {
        QuizModel model;
        model.title = "Mes formes";
        model.questions.resize(2);
        model.questions[1].picture = picture;
        EditorDocument d = openedDocument(model, path);
        return d;
    };
    const struct {
        EditorDocument document;
        const char* extension;
        std::string lastFolder;
        std::string expected;
    } rows[] = {
        {document("D:\\quiz\\formes.toml", ""), ".toml", "E:\\", "D:\\quiz\\formes.toml"},
        {document("D:\\quiz\\formes.toml", ""), ".html", "E:\\", "D:\\quiz\\Mes formes.html"},
        {document("", "C:\\photos\\ete\\1.png"), ".toml", "E:\\", "C:\\photos\\ete\\Mes formes.toml"},
        {document("", "C:/photos/../images/2.png"), ".zip", "E:\\", "C:\\images\\Mes formes.zip"},
        // A packed quiz's pictures wait in the temporary folder: the quiz goes beside the packed one.
        {document("", temporary + "\\extrait-1\\401.png"), ".toml", "E:\\jeux\\", "E:\\jeux\\Mes formes.toml"},
        // A table's relative paths say nothing of where the quiz belongs.
        {document("", "media/1.png"), ".toml", "E:\\jeux\\", "E:\\jeux\\Mes formes.toml"},
        {document("", ""), ".toml", "", "Mes formes.toml"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(suggestedSavePath(row.document, row.extension, "Sans titre", row.lastFolder, temporary), row.expected)
            << row.document.path << " " << row.extension << " " << row.document.model.questions[1].picture;
    }
    EditorDocument untitled = document("", "");
    untitled.model.title = " ? ";
    EXPECT_EQ(suggestedSavePath(untitled, ".toml", "Sans titre", "E:\\", temporary), "E:\\Sans titre.toml");
}
