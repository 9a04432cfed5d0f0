#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "authoring/messages.h"
#include "authoring/quizCheck.h"
#include "authoring/quizToml.h"
#include "authoring/workflows.h"
#include "editor/editorDocument.h"
#include "quiz/quiz.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// The file system of one test, in memory: files, folders, and players known
// by the quiz resources they carry. Relative paths are seen from C:\work.
class MemoryFiles : public FileSystem {
public:
    std::map<std::string, Bytes> files;
    std::set<std::string> folders;
    std::map<std::string, std::vector<PackedResource>> players;
    std::set<std::string> refusedWrites;  // paths whose writing fails
    std::set<std::string> withSymbols;
    std::string playerError;  // not empty: writing a player fails with it
    int reads = 0;

    bool read(const std::string& path, Bytes& bytes) override {
        ++reads;
        auto found = files.find(path);
        if (found == files.end()) return false;
        bytes = found->second;
        return true;
    }
    bool write(const std::string& path, const Bytes& bytes) override {
        if (refusedWrites.count(path)) return false;
        files[path] = bytes;
        return true;
    }
    bool exists(const std::string& path) override {
        return files.count(path) || folders.count(path) || players.count(path);
    }
    bool createFolder(const std::string& path) override { return folders.insert(path).second; }
    bool remove(const std::string& path) override { return files.erase(path) == 1; }
    std::string fullPath(const std::string& path) override {
        return path.size() > 1 && path[1] == ':' ? path : "C:\\work\\" + path;
    }
    std::string programFolder() override { return "C:\\Vetra\\"; }
    bool readPlayer(const std::string& executable, std::vector<PackedResource>& resources,
                    std::string& error) override {
        auto found = players.find(executable);
        if (found == players.end()) {
            error = "absent";
            return false;
        }
        resources = found->second;
        return true;
    }
    bool writePlayer(const std::string& player, const std::string& output, const std::vector<PackedResource>& resources,
                     std::string& error) override {
        if (!playerError.empty() || !files.count(player)) {
            error = playerError.empty() ? "no player" : playerError;
            return false;
        }
        players[output] = resources;
        return true;
    }
    bool playerHasSymbols(const std::string& player) override { return withSymbols.count(player) > 0; }
};

// What quizpack prints of a report, in its order: warnings and problems,
// the refusal, then what was done.
std::vector<std::string> printed(const WorkflowReport& report) {
    std::vector<std::string> lines;
    for (const ReportProblem& w : report.warnings) lines.push_back(reportText(w));
    for (const ReportProblem& p : report.problems) lines.push_back(reportText(p));
    if (!report.refusal.text.empty()) lines.push_back(report.refusal.file + ": " + report.refusal.text);
    for (const ReportLine& d : report.done) lines.push_back(d.file + ": " + d.text);
    return lines;
}

const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0};
const std::string player = "C:\\Vetra\\vetra.exe";

// Question i shows "media/a<i>.<extension>", the last one a GIF.
std::string picturesSource(int questions, const std::string& extension = "gif") {
    std::string text = "kind = \"pictures\"\ntitle = \"Formes\"\nreward_codes = [";
    for (int i = 0; i < questions; ++i) text += std::string(i ? ", " : "") + "\"c" + std::to_string(i) + "\"";
    text += "]\n";
    for (int i = 0; i < questions; ++i) {
        const std::string picture = "media/a" + std::to_string(i) + "." + (i + 1 < questions ? extension : "gif");
        text += "[[question]]\nanswer = \"r" + std::to_string(i) + "\"\npicture = \"" + picture + "\"\n";
    }
    return text;
}

TEST(Workflows, BuildReportsWhatQuizpackPrintsAndWritesOnlyAWholeQuiz) {
    auto notPicture = [](const char* path) { return messageText(Message::notAPicture, {path}); };
    const struct Row {
        const char* name;
        std::string source;  // "" for no source file
        BuildRequest request;
        bool symbols;
        std::string playerError;
        std::vector<std::string> lines;
        const char* written;  // the player written, or nullptr
    } rows[] = {
        {"three pictures, the default output and player",
         picturesSource(3),
         {"q\\formes.toml", "", ""},
         false,
         "",
         {"q\\formes.toml: 3 questions mises dans q\\formes.exe"},
         "q\\formes.exe"},
        {"an incomplete row of three, a player with symbols, an output named",
         picturesSource(4),
         {"q\\formes.toml", "out.exe", player},
         true,
         "",
         {"q\\formes.toml: " + messageText(Message::picturesRowWarning, {"6", "4"}),
          player + ": " + messageText(Message::unstrippedWarning), "q\\formes.toml: 4 questions mises dans out.exe"},
         "out.exe"},
        {"a media file that is no picture, located on its line",
         picturesSource(3, "txt"),
         {"q\\formes.toml", "", ""},
         false,
         "",
         {"q\\formes.toml:6: question 1, picture: " + notPicture("q\\media/a0.txt"),
          "q\\formes.toml:9: question 2, picture: " + notPicture("q\\media/a1.txt"),
          "q\\formes.toml: rien n'a \xC3\xA9t\xC3\xA9 \xC3\xA9"
          "crit (2 probl\xC3\xA8mes)"},
         nullptr},
        {"a source that cannot be read",
         "",
         {"q\\absent.toml", "", ""},
         false,
         "",
         {"q\\absent.toml: " + messageText(Message::cannotReadSource)},
         nullptr},
        {"a folder the player cannot be written to",
         picturesSource(3),
         {"q\\formes.toml", "", ""},
         false,
         messageText(Message::cannotWriteFolder, {"C:\\q"}),
         {"q\\formes.exe: " + messageText(Message::cannotWriteFolder, {"C:\\q"})},
         nullptr},
    };
    for (const Row& row : rows) {
        MemoryFiles files;
        files.files = {{player, {'M', 'Z'}}};
        for (const char* n : {"0", "1", "2", "3"}) {
            files.files[std::string("q\\media/a") + n + ".gif"] = gif;
            files.files[std::string("q\\media/a") + n + ".txt"] = bytesOf("texte");
        }
        if (!row.source.empty()) files.files["q\\formes.toml"] = bytesOf(row.source);
        if (row.symbols) files.withSymbols.insert(player);
        files.playerError = row.playerError;
        const WorkflowReport report = buildQuizSource(files, row.request);
        EXPECT_EQ(printed(report), row.lines) << row.name;
        EXPECT_EQ(report.succeeded(), row.written != nullptr) << row.name;
        EXPECT_EQ(files.players.size(), row.written ? 1u : 0u) << row.name;
        if (row.written) {
            EXPECT_TRUE(files.players.count(row.written)) << row.name;
        }
    }
}

TEST(Workflows, TheCheckFindsWhatTheBuildRefusesAndReadsEachFileOnce) {
    MemoryFiles files;
    files.files = {{"q\\a.gif", gif}, {"q\\a.txt", bytesOf("texte")}, {"q\\vide.gif", {}}};
    QuizModel model;
    model.kind = kindPictures;
    model.title = "Formes";
    model.rewardCodes = {"a", "b", "c", "d"};
    const char* const pictures[] = {"a.gif", "a.txt", "absent.gif", "vide.gif"};
    for (const char* picture : pictures) {
        ModelQuestion question;
        question.answer = "r";
        question.picture = picture;
        model.questions.push_back(question);
    }
    model.questions[0].clip = "a.gif";  // a clip the kind leaves aside: the model check's problem only
    MediaVerdicts verdicts;
    const WorkflowReport first = checkQuizFiles(files, model, "q\\formes.toml", &verdicts);
    const struct {
        int question;
        ModelField field;
        std::string message;
    } expected[] = {
        {0, ModelField::clip, messageText(Message::mediaUnused, {"clip"})},
        {1, ModelField::picture, messageText(Message::notAPicture, {"q\\a.txt"})},
        {2, ModelField::picture, messageText(Message::cannotReadMedia, {"q\\absent.gif"})},
        {3, ModelField::picture, messageText(Message::emptyMedia, {"q\\vide.gif"})},
    };
    ASSERT_EQ(first.problems.size(), 4u) << ::testing::PrintToString(printed(first));
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(first.problems[i].problem.question, expected[i].question) << i;
        EXPECT_EQ(first.problems[i].problem.field, expected[i].field) << i;
        if (i > 0) {
            EXPECT_EQ(first.problems[i].problem.message, expected[i].message) << i;
        }
    }
    ASSERT_EQ(first.warnings.size(), 1u);
    EXPECT_EQ(first.warnings[0].problem.message, messageText(Message::picturesRowWarning, {"6", "4"}));
    const int reads = files.reads;
    EXPECT_EQ(reads, 4);
    const WorkflowReport again = checkQuizFiles(files, model, "q\\formes.toml", &verdicts);
    EXPECT_EQ(files.reads, reads) << "a second check reads no file again";
    EXPECT_EQ(printed(again), printed(first));
}

TEST(Workflows, ExtractWritesTheMediaThenTheSourceOrNothing) {
    QuizModel model;
    model.kind = kindPictures;
    model.title = "Formes";
    model.rewardCodes = {"a", "b", "c"};
    for (int i = 0; i < 3; ++i) {
        ModelQuestion question;
        question.answer = "r" + std::to_string(i);
        question.picture = "a.gif";
        model.questions.push_back(question);
    }
    std::vector<PackedResource> resources;
    std::vector<ModelProblem> problems;
    const FileReader reader = [](const std::string&, Bytes& bytes) {
        bytes = gif;
        return true;
    };
    ASSERT_TRUE(assembleQuiz(model, "q\\formes.toml", reader, PngChecker(), resources, problems));
    const struct Row {
        const char* name;
        ExtractRequest request;
        const char* refused;  // a path whose writing fails
        std::vector<std::string> files;
        std::string line;
    } rows[] = {
        {"beside the player",
         {"C:\\q\\formes.exe", "", ""},
         nullptr,
         {"C:\\q\\formes-media\\401.gif", "C:\\q\\formes-media\\402.gif", "C:\\q\\formes-media\\403.gif",
          "C:\\q\\formes.toml"},
         "C:\\q\\formes.exe: " + messageText(Message::extracted, {"C:\\q\\formes.toml"}) + " ; " +
             messageText(Message::extractedMedia, {"3", "C:\\q\\formes-media"})},
        {"the source cannot be written: the media go too",
         {"C:\\q\\formes.exe", "C:\\q\\x.toml", "C:\\q\\images"},
         "C:\\q\\x.toml",
         {},
         "C:\\q\\formes.exe: " + messageText(Message::cannotWrite, {"C:\\q\\x.toml"})},
        {"a media file cannot be written",
         {"C:\\q\\formes.exe", "", ""},
         "C:\\q\\formes-media\\402.gif",
         {},
         "C:\\q\\formes.exe: " + messageText(Message::cannotWrite, {"C:\\q\\formes-media\\402.gif"})},
    };
    for (const Row& row : rows) {
        MemoryFiles files;
        files.players["C:\\q\\formes.exe"] = resources;
        if (row.refused) files.refusedWrites.insert(row.refused);
        const WorkflowReport report = extractQuizSource(files, row.request);
        std::vector<std::string> written;
        for (const auto& file : files.files) written.push_back(file.first);
        EXPECT_EQ(written, row.files) << row.name;
        EXPECT_EQ(printed(report), std::vector<std::string>{row.line}) << row.name;
    }
    MemoryFiles files;
    files.players["C:\\q\\formes.exe"] = resources;
    ASSERT_TRUE(extractQuizSource(files, {"C:\\q\\formes.exe", "", ""}).succeeded());
    QuizModel back;
    SourceLines lines;
    const Bytes& source = files.files["C:\\q\\formes.toml"];
    readQuizToml(std::string(source.begin(), source.end()), back, lines, problems);
    EXPECT_EQ(back.questions.at(2).picture, "formes-media/403.gif") << "named from the source's folder";
}

TEST(Workflows, ImportMakesANewSourceAndNeverOverwritesOne) {
    const struct Row {
        const char* name;
        std::string table;
        bool sourceExists;
        std::vector<std::string> lines;
    } rows[] = {
        {"two questions",
         "answer\nun\ndeux\n",
         false,
         {"C:\\q\\jeu.csv: 2 questions import\xC3\xA9"
          "es dans C:\\q\\jeu.toml"}},
        {"questions with their comments",
         "r\xC3\xA9ponse;commentaire\nun;c\ndeux;d\n",
         false,
         {"C:\\q\\jeu.csv: 2 questions import\xC3\xA9"
          "es dans C:\\q\\jeu.toml",
          "C:\\q\\jeu.csv: apr\xC3\xA8s une bonne r\xC3\xA9ponse, le quiz montre le commentaire (reveal = "
          "\"comment\"), comme le tableau en donne"}},
        {"the source exists", "answer\nun\n", true, {"C:\\q\\jeu.toml: " + messageText(Message::alreadyExists)}},
        {"an unknown column",
         "answer;couleur\nun;rouge\n",
         false,
         {"C:\\q\\jeu.csv:1: ",  // the line of the header, then the column's problem
          "C:\\q\\jeu.csv: rien n'a \xC3\xA9t\xC3\xA9 import\xC3\xA9 (1 probl\xC3\xA8me)"}},
    };
    for (const Row& row : rows) {
        MemoryFiles files;
        files.files["C:\\q\\jeu.csv"] = bytesOf(row.table);
        const Bytes old = bytesOf("title = \"mon travail\"\n");
        if (row.sourceExists) files.files["C:\\q\\jeu.toml"] = old;
        const WorkflowReport report = importQuizSource(files, "C:\\q\\jeu.csv", "", kindText);
        const std::vector<std::string> shown = printed(report);
        ASSERT_EQ(shown.size(), row.lines.size()) << row.name;
        for (size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i].substr(0, row.lines[i].size()), row.lines[i]) << row.name;
        }
        if (row.sourceExists) {
            EXPECT_EQ(files.files["C:\\q\\jeu.toml"], old) << row.name;
        }
        if (!report.succeeded()) continue;
        QuizModel model;
        SourceLines lines;
        std::vector<ModelProblem> problems;
        const Bytes& source = files.files["C:\\q\\jeu.toml"];
        readQuizToml(std::string(source.begin(), source.end()), model, lines, problems);
        EXPECT_EQ(model.title, "jeu") << row.name;
        EXPECT_EQ(model.questions.size(), 2u) << row.name;
        // What the table gave is shown by the quiz: only the codes are left to the author.
        for (const ModelProblem& p : checkQuiz(model)) EXPECT_EQ(p.field, ModelField::rewardCodes) << row.name;
    }
}

TEST(Workflows, ImportingIntoAQuizJustBegunReplacesItsEmptyQuestion) {
    EditorDocument edited = newDocument();
    edited.model.questions[0].answer = "cercle";
    EditorDocument saved = newDocument();
    saved.path = "C:\\q\\vide.toml";
    const struct Row {
        const char* name;
        EditorDocument document;
        std::string table;
        std::vector<std::string> answers;
        std::vector<std::string> codes;
        std::string done;
        int selected;  // the first new question
    } rows[] = {
        {"a quiz just begun",
         newDocument(),
         "answer;code\nun;A\ndeux;B\n",
         {"un", "deux"},
         {"A", "B"},
         messageText(Message::questionsImported, {"2"}),
         0},
        {"a quiz with an answer",
         edited,
         "answer;code\nun;A\n",
         {"cercle", "un"},
         {"", "A"},
         messageText(Message::questionImported),
         1},
        {"a saved quiz of one empty question",
         saved,
         "answer;code\nun;A\n",
         {"", "un"},
         {"", "A"},
         messageText(Message::questionImported),
         1},
        {"a table with a problem", newDocument(), "couleur\nrouge\n", {""}, {}, "", 0},
    };
    for (const Row& row : rows) {
        EditorDocument document = row.document;
        MemoryFiles files;
        files.files["t.csv"] = bytesOf(row.table);
        WorkflowReport report;
        const bool imported = importIntoDocument(document, [&](QuizModel& model) {
            report = importQuestions(files, "t.csv", model);
            return report.succeeded();
        });
        EXPECT_EQ(imported, !row.done.empty()) << row.name;
        std::vector<std::string> answers;
        for (const ModelQuestion& q : document.model.questions) answers.push_back(q.answer);
        EXPECT_EQ(answers, row.answers) << row.name;
        EXPECT_EQ(document.model.rewardCodes, row.codes) << row.name;
        if (!imported) continue;
        EXPECT_EQ(report.done.at(0).text, row.done) << row.name;
        EXPECT_EQ(document.selected, row.selected) << row.name;
    }
}

}  // namespace

namespace {

// The web page is refused by what refuses a build, in its words, and warns
// of what browsers do not show; a packed quiz gives the pictures of its source.
TEST(Workflows, WebExportChecksAsABuildDoesAndWarnsOfWhatBrowsersCannotShow) {
    const Bytes wmf = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0, 0};
    struct Row {
        const char* name;
        const char* extension;  // of the first two pictures
        bool scorm;
        std::vector<std::string> lines;
        const char* written;
    };
    const Row rows[] = {
        {"a page",
         "gif",
         false,
         {"q\\formes.toml: page web \xC3\xA9"
          "crite dans q\\formes.html"},
         "q\\formes.html"},
        {"a package",
         "gif",
         true,
         {"q\\formes.toml: paquet SCORM \xC3\xA9"
          "crit dans q\\formes.zip"},
         "q\\formes.zip"},
        {"a file that is no picture",
         "txt",
         false,
         {"q\\formes.toml:6: question 1, picture: " + messageText(Message::notAPicture, {"q\\media/a0.txt"}),
          "q\\formes.toml:9: question 2, picture: " + messageText(Message::notAPicture, {"q\\media/a1.txt"}),
          "q\\formes.toml: rien n'a \xC3\xA9t\xC3\xA9 \xC3\xA9"
          "crit (2 probl\xC3\xA8mes)"},
         nullptr},
        {"metafiles",
         "wmf",
         false,
         {"q\\formes.toml: attention : les navigateurs ne montrent pas \"media/a0.wmf\" (WMF, EMF, AVI...) ; la page "
          "propose de l'enregistrer",
          "q\\formes.toml: attention : les navigateurs ne montrent pas \"media/a1.wmf\" (WMF, EMF, AVI...) ; la page "
          "propose de l'enregistrer",
          "q\\formes.toml: page web \xC3\xA9"
          "crite dans q\\formes.html"},
         "q\\formes.html"},
    };
    for (const Row& row : rows) {
        MemoryFiles files;
        files.files["q\\formes.toml"] = bytesOf(picturesSource(3, row.extension));
        for (const char* n : {"0", "1", "2"}) {
            files.files[std::string("q\\media/a") + n + ".gif"] = gif;
            files.files[std::string("q\\media/a") + n + ".txt"] = bytesOf("texte");
            files.files[std::string("q\\media/a") + n + ".wmf"] = wmf;
        }
        const size_t before = files.files.size();
        const WorkflowReport report = exportWebQuiz(files, {"q\\formes.toml", "", row.scorm});
        EXPECT_EQ(printed(report), row.lines) << row.name;
        EXPECT_EQ(files.files.size(), before + (row.written ? 1 : 0)) << row.name;
        if (!row.written) continue;
        const Bytes& out = files.files[row.written];
        const std::string text(out.begin(), out.end());
        EXPECT_EQ(text.rfind(row.scorm ? "PK" : "<!DOCTYPE html>", 0), 0u) << row.name;
        EXPECT_NE(text.find("formes.txt"), std::string::npos) << row.name << ": the progress file's name";
    }

    // The player built from the source gives the same page.
    MemoryFiles files;
    files.files = {{player, {'M', 'Z'}}, {"q\\formes.toml", bytesOf(picturesSource(3))}};
    for (const char* n : {"0", "1", "2"}) files.files[std::string("q\\media/a") + n + ".gif"] = gif;
    ASSERT_TRUE(buildQuizSource(files, {"q\\formes.toml", "q\\formes.exe", player}).succeeded());
    ASSERT_TRUE(exportWebQuiz(files, {"q\\formes.toml", "q\\un\\formes.html", false}).succeeded());
    ASSERT_TRUE(exportWebQuiz(files, {"q\\formes.exe", "q\\deux\\formes.html", false}).succeeded());
    const std::string fromSource(files.files["q\\un\\formes.html"].begin(), files.files["q\\un\\formes.html"].end());
    const std::string fromPlayer(files.files["q\\deux\\formes.html"].begin(),
                                 files.files["q\\deux\\formes.html"].end());
    // The same pictures, whatever the names the packed quiz gives them.
    auto pictures = [](const std::string& page) {
        std::vector<std::string> found;
        for (size_t at = page.find("data:image/"); at != std::string::npos; at = page.find("data:image/", at + 1)) {
            found.push_back(page.substr(at, page.find('<', at) - at));  // each ends its element
        }
        return found;
    };
    EXPECT_EQ(pictures(fromPlayer).size(), 3u);
    EXPECT_EQ(pictures(fromPlayer), pictures(fromSource));
}

TEST(Workflows, MoodleExportChecksAsABuildDoesAndSaysWhatGiftLeavesOut) {
    const Bytes wmf = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0, 0};
    struct Row {
        const char* name;
        const char* extension;  // of the first two pictures
        bool gift;
        std::string output;
        std::vector<std::string> lines;
        const char* written;
        size_t files;  // embedded in the bank
    };
    const std::string leftOut =
        "q\\formes.toml: attention : les images et les extraits ne vont pas dans un fichier GIFT ; 3 questions sont "
        "\xC3\xA9"
        "crites sans le leur (exportez en Moodle XML pour les garder)";
    const Row rows[] = {
        {"Moodle XML",
         "gif",
         false,
         "",
         {"q\\formes.toml: banque de questions Moodle XML \xC3\xA9"
          "crite dans q\\formes.xml (3 questions)"},
         "q\\formes.xml",
         3},
        {"GIFT, named",
         "gif",
         true,
         "q\\banque.gift",
         {leftOut,
          "q\\formes.toml: banque de questions GIFT \xC3\xA9"
          "crite dans q\\banque.gift (3 questions)"},
         "q\\banque.gift",
         0},
        {"a file that is no picture, in GIFT too",
         "txt",
         true,
         "",
         {"q\\formes.toml:6: question 1, picture: " + messageText(Message::notAPicture, {"q\\media/a0.txt"}),
          "q\\formes.toml:9: question 2, picture: " + messageText(Message::notAPicture, {"q\\media/a1.txt"}),
          "q\\formes.toml: rien n'a \xC3\xA9t\xC3\xA9 \xC3\xA9"
          "crit (2 probl\xC3\xA8mes)"},
         nullptr,
         0},
        {"metafiles",
         "wmf",
         false,
         "",
         {"q\\formes.toml: attention : les navigateurs ne montrent pas \"media/a0.wmf\" (WMF, EMF, AVI...) ; Moodle "
          "ne pourra pas le montrer",
          "q\\formes.toml: attention : les navigateurs ne montrent pas \"media/a1.wmf\" (WMF, EMF, AVI...) ; Moodle "
          "ne pourra pas le montrer",
          "q\\formes.toml: banque de questions Moodle XML \xC3\xA9"
          "crite dans q\\formes.xml (3 questions)"},
         "q\\formes.xml",
         3},
        {"an output that cannot be written",
         "gif",
         false,
         "q\\verrou.xml",
         {"q\\verrou.xml: impossible d'\xC3\xA9"
          "crire \"q\\verrou.xml\""},
         nullptr,
         0},
    };
    for (const Row& row : rows) {
        MemoryFiles files;
        files.refusedWrites = {"q\\verrou.xml"};
        files.files["q\\formes.toml"] = bytesOf(picturesSource(3, row.extension));
        for (const char* n : {"0", "1", "2"}) {
            files.files[std::string("q\\media/a") + n + ".gif"] = gif;
            files.files[std::string("q\\media/a") + n + ".txt"] = bytesOf("texte");
            files.files[std::string("q\\media/a") + n + ".wmf"] = wmf;
        }
        const size_t before = files.files.size();
        const WorkflowReport report = exportMoodleBank(files, {"q\\formes.toml", row.output, row.gift});
        EXPECT_EQ(printed(report), row.lines) << row.name;
        EXPECT_EQ(files.files.size(), before + (row.written ? 1 : 0)) << row.name;
        if (!row.written) continue;
        const std::string text(files.files[row.written].begin(), files.files[row.written].end());
        EXPECT_EQ(text.rfind(row.gift ? "$CATEGORY: $course$/top/Formes\n" : "<?xml", 0), 0u) << row.name;
        size_t embedded = 0;
        for (size_t at = text.find("<file "); at != std::string::npos; at = text.find("<file ", at + 1)) ++embedded;
        EXPECT_EQ(embedded, row.files) << row.name;
        // Same source, same bytes.
        ASSERT_TRUE(exportMoodleBank(files, {"q\\formes.toml", "q\\encore", row.gift}).succeeded()) << row.name;
        EXPECT_EQ(files.files["q\\encore"], files.files[row.written]) << row.name;
    }

    // A packed quiz gives the same questions with the same pictures, named as the player names them.
    MemoryFiles files;
    files.files = {{player, {'M', 'Z'}}, {"q\\formes.toml", bytesOf(picturesSource(3))}};
    for (const char* n : {"0", "1", "2"}) files.files[std::string("q\\media/a") + n + ".gif"] = gif;
    ASSERT_TRUE(buildQuizSource(files, {"q\\formes.toml", "q\\formes.exe", player}).succeeded());
    ASSERT_TRUE(exportMoodleBank(files, {"q\\formes.toml", "q\\un.xml", false}).succeeded());
    const WorkflowReport packed = exportMoodleBank(files, {"q\\formes.exe", "", false});
    ASSERT_TRUE(packed.succeeded());
    EXPECT_EQ(printed(packed), std::vector<std::string>{"q\\formes.exe: banque de questions Moodle XML \xC3\xA9"
                                                        "crite dans q\\formes.xml (3 questions)"});
    auto withoutNames = [](const Bytes& bytes) {
        const std::regex name("(@@PLUGINFILE@@/|<file name=\")[^\"]*\"");
        return std::regex_replace(std::string(bytes.begin(), bytes.end()), name, "$1NAME\"");
    };
    EXPECT_NE(files.files["q\\formes.xml"], files.files["q\\un.xml"]);
    EXPECT_EQ(withoutNames(files.files["q\\formes.xml"]), withoutNames(files.files["q\\un.xml"]));
}

}  // namespace
