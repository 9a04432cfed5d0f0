// The question banks from Moodle: the GIFT reader on what the referee
// corpus cannot hold (Windows-1252, forms gift-pegjs refuses, broken
// files), the XML reader on well-formed and hostile documents, Moodle XML
// as Moodle writes it, and the import workflow that turns a bank into a
// quiz source with its pictures.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "authoring/giftImport.h"
#include "authoring/messages.h"
#include "authoring/moodleXmlImport.h"
#include "authoring/quizToml.h"
#include "authoring/windows1252.h"
#include "authoring/workflows.h"
#include "authoring/xmlReader.h"
#include "tools/quizpack/commandLine.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string readData(const std::string& name) {
    std::ifstream in(std::string(VETRA_TESTDATA_DIR) + "/banks/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Files in memory, "/" and "\\" alike as on Windows; relative paths are seen from C:\work.
std::string windowsForm(std::string path) {
    for (char& c : path) c = c == '/' ? '\\' : c;
    return path;
}

class BankFiles : public FileSystem {
public:
    std::map<std::string, Bytes> files;
    std::set<std::string> folders;
    std::set<std::string> refusedWrites;

    bool read(const std::string& path, Bytes& bytes) override {
        auto found = files.find(windowsForm(path));
        if (found == files.end()) return false;
        bytes = found->second;
        return true;
    }
    bool write(const std::string& path, const Bytes& bytes) override {
        if (refusedWrites.count(path)) return false;
        files[windowsForm(path)] = bytes;
        return true;
    }
    bool exists(const std::string& path) override { return files.count(path) || folders.count(path); }
    bool createFolder(const std::string& path) override { return folders.insert(path).second; }
    bool remove(const std::string& path) override { return files.erase(path) == 1; }
    std::string fullPath(const std::string& path) override {
        return path.size() > 1 && path[1] == ':' ? path : "C:\\work\\" + path;
    }
    std::string programFolder() override { return "C:\\Vetra\\"; }
    bool readPlayer(const std::string&, std::vector<PackedResource>&, std::string& error) override {
        error = "no player";
        return false;
    }
    bool writePlayer(const std::string&, const std::string&, const std::vector<PackedResource>&,
                     std::string& error) override {
        error = "no player";
        return false;
    }
    bool playerHasSymbols(const std::string&) override { return false; }

    void put(const std::string& path, const std::string& text) { files[path] = Bytes(text.begin(), text.end()); }
    std::string text(const std::string& path) const {
        auto found = files.find(path);
        return found == files.end() ? "" : std::string(found->second.begin(), found->second.end());
    }
};

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "" : " | ") + item;
    return out;
}

std::string answersOf(const ModelQuestion& q) {
    std::vector<std::string> all{q.answer};
    all.insert(all.end(), q.otherAnswers.begin(), q.otherAnswers.end());
    return joined(all);
}

size_t leftOutTotal(const BankReading& reading) {
    size_t n = 0;
    for (const auto& type : reading.leftOut) n += type.second;
    return n;
}

TEST(GiftReader, ReadsWhatTheRefereeCannotHold) {
    const struct Row {
        const char* name;
        std::string gift;
        const char* prompt;   // of the only question kept, "" for none
        const char* answers;  // " | " between them
        const char* comment;
        size_t leftOut;
        size_t partial;
        const char* category;
    } rows[] = {
        {"Windows-1252 file", "::Q::Ville de l'H\xE9rault ? {=B\xE9ziers}", "Ville de l'H\xC3\xA9rault ?",
         "B\xC3\xA9ziers", "", 0, 0, ""},
        {"byte-order mark", "\xEF\xBB\xBF::Q::Oui ? {=oui}", "Oui ?", "oui", "", 0, 0, ""},
        {"numerical short form with feedback", "::N::Combien ? {#4#Quatre.}", "Combien ?", "4", "Quatre.", 0, 0, ""},
        {"numerical value kept as written", "::N::Combien ? {#3.0:0}", "Combien ?", "3.0", "", 0, 0, ""},
        {"numerical range of one value", "::N::Combien ? {#2..2}", "Combien ?", "2", "", 0, 0, ""},
        {"numerical with a tolerance", "::N::Pi ? {#3.14:0.01}", "", "", "", 1, 0, ""},
        {"numerical with two right values", "::N::Premier ? {#=2 =3}", "", "", "", 1, 0, ""},
        {"first feedback of a right answer", "::Q::X ? {=%50%a#demi =b =c#deux =d#trois ####g}", "X ?", "b | c | d",
         "deux", 0, 1, ""},
        {"general feedback when no answer has one", "::Q::X ? {=a ####vu}", "X ?", "a", "vu", 0, 0, ""},
        {"answers differing by case are one", "::Q::X ? {=Rome =ROME =rome =Roma}", "X ?", "Rome | Roma", "", 0, 0, ""},
        {"comment lines inside a question", "::Q::X ?\n// entre deux lignes\n{=a\n// encore\n=b}", "X ?", "a | b", "",
         0, 0, ""},
        {"second category does not rename", "$CATEGORY: Un\n\n::Q::X ? {=a}\n\n$CATEGORY: Deux\n", "X ?", "a", "", 0, 0,
         "Un"},
        {"category path keeps its last part", "$CATEGORY: $course$/top/Histoire//G\xC3\xA9o\n::Q::X {=a}", "X", "a", "",
         0, 0, "Histoire/G\xC3\xA9o"},
        {"true/false in lower case", "::T::Vrai ? {true}\n\n::F::Faux ? {f#non}", "", "", "", 2, 0, ""},
        {"no right answer at 100 %", "::Q::X ? {=%50%a =%0%b}", "", "", "", 1, 2, ""},
        {"html reduced with its entities", "::Q::[html]<p>Caf&eacute;<br>cr&egrave;me &amp; th&#233;</p> {=a}",
         "Caf\xC3\xA9 cr\xC3\xA8me & th\xC3\xA9", "a", "", 0, 0, ""},
        {"markdown keeps its marks", "::Q::[markdown]**Gras** <b>x</b> {=a}", "**Gras** <b>x</b>", "a", "", 0, 0, ""},
        {"an empty answer is none", "::Q::X ? {= =a = =b}", "X ?", "a | b", "", 0, 0, ""},
        {"a long unnamed prompt names it by its start, cut between characters",
         "\xC3\xA9t\xC3\xA9 \xC3\xA9t\xC3\xA9 \xC3\xA9t\xC3\xA9 \xC3\xA9t\xC3\xA9 \xC3\xA9t\xC3\xA9 "
         "\xC3\xA9t\xC3\xA9 \xC3\xA9t\xC3\xA9 \xC3\xA9t\xC3\xA9 \xC3\xA9t\xC3\xA9 \xC3\xA9t\xC3\xA9 ? {=a}",
         nullptr, "a", "", 0, 0, ""},
        {"a sign that opens no tag stays", "::Q::Si x < 3 ? {=2}", "Si x < 3 ?", "2", "", 0, 0, ""},
    };
    for (const Row& row : rows) {
        BankReading reading;
        ModelProblem broken;
        ASSERT_TRUE(readGiftBank(row.gift, reading, broken)) << row.name << ": " << broken.message;
        EXPECT_EQ(leftOutTotal(reading), row.leftOut) << row.name;
        EXPECT_EQ(reading.partialAnswers, row.partial) << row.name;
        EXPECT_EQ(reading.category, row.category) << row.name;
        if (row.prompt && std::string(row.prompt).empty()) {
            EXPECT_TRUE(reading.questions.empty()) << row.name;
            continue;
        }
        ASSERT_EQ(reading.questions.size(), 1u) << row.name;
        const ModelQuestion& q = reading.questions[0].question;
        if (row.prompt) {
            EXPECT_EQ(q.prompt, row.prompt) << row.name;
        }
        EXPECT_TRUE(isValidUtf8(reading.questions[0].name)) << row.name;
        EXPECT_LE(reading.questions[0].name.size(), 80u) << row.name;
        EXPECT_EQ(answersOf(q), row.answers) << row.name;
        EXPECT_EQ(q.comment, row.comment) << row.name;
    }
}

TEST(GiftReader, RefusesABrokenFileAtItsLine) {
    const struct Row {
        const char* name;
        std::string gift;
        Message message;
        const char* argument;
        int line;
    } rows[] = {
        {"no answer mark", "::A::ok {=a}\n\n::B::X ?\n{abc}", Message::giftBadAnswers, "", 4},
        {"weight without its closing %", "::A::X ? {=%50 a}", Message::giftBadWeight, "%50 a", 1},
        {"not a number", "\n\n::N::X ? {#=12 =douze}", Message::giftBadNumber, "douze", 3},
        {"brace never closed", "::A::X ?\n{=a\n=b\n\n::B::Y {=c}", Message::giftUnclosedBrace, "", 2},
        {"name never closed", "// c\n::A X ? {=a}", Message::giftUnclosedName, "", 2},
        {"two answer blocks", "::A::X {=a} et {=b}", Message::giftSecondBlock, "", 1},
        {"NUL byte", std::string("::A::X {=a}\0", 12), Message::giftNulByte, "", 1},
    };
    for (const Row& row : rows) {
        BankReading reading;
        ModelProblem broken;
        EXPECT_FALSE(readGiftBank(row.gift, reading, broken)) << row.name;
        EXPECT_EQ(broken.line, row.line) << row.name;
        EXPECT_EQ(broken.message, messageText(row.message, {row.argument})) << row.name;
        EXPECT_TRUE(reading.questions.empty()) << row.name << ": nothing is kept of a broken file";
    }
}

TEST(XmlReader, ReadsElementsAttributesTextAndReferences) {
    const std::string doc =
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE quiz>\n<!-- avant -->\n"
        "<quiz a=\"1\" b='d&apos;eux &amp; &#233;'>\n  <q>t<![CDATA[<b>&amp;</b>]]>&lt;&#xE9;&quot;</q>\n"
        "  <vide/><?pi x?><!-- dedans -->\n</quiz>\n<!-- apr\xC3\xA8s -->\n";
    XmlElement root;
    XmlFailure failure;
    ASSERT_TRUE(readXml(doc, root, failure)) << failure.detail;
    EXPECT_EQ(root.name, "quiz");
    EXPECT_EQ(root.attribute("a"), "1");
    EXPECT_EQ(root.attribute("b"), "d'eux & \xC3\xA9");
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.children[0].text, "t<b>&amp;</b><\xC3\xA9\"");
    EXPECT_EQ(root.children[0].line, 5);
    EXPECT_EQ(root.children[1].name, "vide");
}

TEST(XmlReader, RefusesEntitiesAndBrokenDocumentsNamingTheElement) {
    std::string deep;
    for (int i = 0; i < 300; ++i) deep += "<a>";
    const struct Row {
        const char* name;
        std::string doc;
        XmlError error;
        const char* element;
        const char* detail;
        int line;
    } rows[] = {
        {"billion laughs",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n <!ENTITY lol \"lol\">\n <!ENTITY lol2 "
         "\"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">\n]>\n<lolz>&lol2;</lolz>",
         XmlError::entityDeclared, "", "", 3},
        {"outside file", "<!DOCTYPE quiz [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\n<quiz>&x;</quiz>",
         XmlError::entityDeclared, "", "", 1},
        {"parameter entity", "<!DOCTYPE q [\n<!ENTITY % p SYSTEM \"http://x/e.dtd\"> %p;]><q/>",
         XmlError::entityDeclared, "", "", 2},
        {"undeclared entity", "<quiz>\n<text>caf&eacute;</text></quiz>", XmlError::unknownEntity, "text", "eacute", 2},
        {"entity in an attribute", "<quiz a=\"&x;\"/>", XmlError::unknownEntity, "", "x", 1},
        {"character zero", "<q>&#0;</q>", XmlError::unknownEntity, "q", "#0", 1},
        {"surrogate", "<q>&#xD800;</q>", XmlError::unknownEntity, "q", "#xD800", 1},
        {"closed by another name", "<quiz>\n<name><text>x</name></quiz>", XmlError::mismatchedEnd, "text", "name", 2},
        {"never closed", "<quiz>\n<question>", XmlError::unclosedElement, "question", "", 2},
        {"CDATA never closed", "<q><![CDATA[abc", XmlError::unclosedElement, "q", "CDATA", 1},
        {"two roots", "<a/><b/>", XmlError::malformed, "", "", 1},
        {"text outside", "du texte", XmlError::malformed, "", "", 1},
        {"empty", "", XmlError::noRoot, "", "", 1},
        {"attribute without quotes", "<q a=1/>", XmlError::malformed, "", "q", 1},
        {"too deep", deep, XmlError::tooDeep, "a", "", 1},
        {"not UTF-8", "<q>caf\xE9</q>", XmlError::notUtf8, "", "", 1},
    };
    for (const Row& row : rows) {
        XmlElement root;
        XmlFailure failure;
        EXPECT_FALSE(readXml(row.doc, root, failure)) << row.name;
        EXPECT_EQ(failure.error, row.error) << row.name;
        EXPECT_EQ(failure.element, row.element) << row.name;
        EXPECT_EQ(failure.detail, row.detail) << row.name;
        EXPECT_EQ(failure.line, row.line) << row.name;
    }
    // The bank reader says so in French, naming what it found.
    BankReading reading;
    ModelProblem broken;
    EXPECT_FALSE(readMoodleXmlBank(rows[1].doc, reading, broken));
    EXPECT_EQ(broken.message, messageText(Message::xmlEntityDeclared));
    EXPECT_FALSE(readMoodleXmlBank(rows[3].doc, reading, broken));
    EXPECT_NE(broken.message.find("<text>"), std::string::npos) << broken.message;
    EXPECT_NE(broken.message.find("&eacute;"), std::string::npos) << broken.message;
}

TEST(MoodleXml, ReadsABankAsMoodleWritesIt) {
    BankReading reading;
    ModelProblem broken;
    ASSERT_TRUE(readMoodleXmlBank(readData("moodle/geographie.xml"), reading, broken)) << broken.message;
    EXPECT_EQ(reading.category, "G\xC3\xA9ographie");
    const struct Row {
        int number;
        const char* name;
        const char* prompt;
        const char* answers;
        const char* comment;
        size_t pictures;
    } rows[] = {
        {1, "Capitale", "Quelle est la capitale de la France ?", "Paris", "Bravo, c'est Paris.", 1},
        {2, "Fleuve", "Quel fleuve passe \xC3\xA0 Nantes ?", "Loire | la Loire",
         "La Loire finit \xC3\xA0 Saint-Nazaire.", 0},
        {3, "Sans image & entit\xC3\xA9s",
         "Le mot \xC2\xAB caf\xC3\xA9 \xC2\xBB s'\xC3\xA9"
         "crit avec un accent ?",
         "oui", "", 0},
        {4,
         "Ann\xC3\xA9"
         "e",
         "En quelle ann\xC3\xA9"
         "e la Bastille fut-elle prise ?",
         "1789", "Le 14 juillet 1789.", 0},
    };
    ASSERT_EQ(reading.questions.size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const BankQuestion& q = reading.questions[i];
        EXPECT_EQ(q.number, rows[i].number) << rows[i].name;
        EXPECT_EQ(q.name, rows[i].name);
        EXPECT_EQ(q.question.prompt, rows[i].prompt) << rows[i].name;
        EXPECT_EQ(answersOf(q.question), rows[i].answers) << rows[i].name;
        EXPECT_EQ(q.question.comment, rows[i].comment) << rows[i].name;
        EXPECT_EQ(q.pictures.size(), rows[i].pictures) << rows[i].name;
    }
    EXPECT_EQ(reading.questions[0].pictures[0].name, "paris carte.png");
    EXPECT_EQ(reading.questions[0].pictures[0].bytes.size() > 8 && reading.questions[0].pictures[0].bytes[1] == 'P',
              true);
    // Pi (a tolerance), two multiple-choice, true/false, matching, essay, description, cloze, drag and drop.
    EXPECT_EQ(leftOutTotal(reading), 9u);
    EXPECT_EQ(reading.partialAnswers, 2u);  // Lutèce at 50 %, Lyon at 0 %
    EXPECT_TRUE(reading.usesCase);
}

TEST(MoodleXml, RefusesWhatIsNoBankNamingTheElement) {
    const struct Row {
        const char* name;
        std::string xml;
        const char* inMessage;
        int line;
    } rows[] = {
        {"another root", "<?xml version=\"1.0\"?>\n<html></html>", "<html>", 2},
        {"bad base64",
         "<quiz>\n<question type=\"shortanswer\"><questiontext><text>x</text>\n<file name=\"a.png\" "
         "encoding=\"base64\">iVBO*w==</file></questiontext></question></quiz>",
         "a.png", 3},
        {"unclosed question", "<quiz>\n<question type=\"shortanswer\">", "<question>", 2},
    };
    for (const Row& row : rows) {
        BankReading reading;
        ModelProblem broken;
        EXPECT_FALSE(readMoodleXmlBank(row.xml, reading, broken)) << row.name;
        EXPECT_NE(broken.message.find(row.inMessage), std::string::npos) << row.name << ": " << broken.message;
        EXPECT_EQ(broken.line, row.line) << row.name;
    }
}

TEST(MoodleXml, DecodesBase64AndRefusesWhatIsNot) {
    const struct Row {
        const char* text;
        bool ok;
        const char* bytes;
    } rows[] = {
        {"", true, ""},
        {"TQ==", true, "M"},
        {"TWE=", true, "Ma"},
        {"TWFu", true, "Man"},
        {"TW\nFu\r\n TQ==", true, "ManM"},
        {"TWFu*", false, ""},
        {"T", false, ""},
        {"TQ==TQ==", false, ""},
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> bytes;
        EXPECT_EQ(decodeBase64(row.text, bytes), row.ok) << row.text;
        if (row.ok) {
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), row.bytes) << row.text;
        }
    }
}

// ---------------------------------------------------------------------------
// The workflow: a bank becomes a quiz source with its media folder.

struct Imported {
    WorkflowReport report;
    QuizModel model;  // the source written, read back
    bool written = false;
};

Imported importInto(BankFiles& files, const std::string& bank, int kind = modelKindUnset) {
    Imported out;
    out.report = importQuizSource(files, bank, "", kind);
    const std::string source = withExtension(bank, ".toml");
    out.written = files.files.count(source) > 0;
    if (out.written) {
        SourceLines lines;
        std::vector<ModelProblem> problems;
        readQuizToml(files.text(source), out.model, lines, problems);
    }
    return out;
}

std::string allWarnings(const WorkflowReport& report) {
    std::string out;
    for (const ReportProblem& w : report.warnings) out += reportText(w) + "\n";
    return out;
}

TEST(BankImport, PicturesOfEveryQuestionMakeAPictureQuiz) {
    BankFiles files;
    files.put("drapeaux.xml", readData("moodle/drapeaux.xml"));
    const Imported imported = importInto(files, "drapeaux.xml");
    ASSERT_TRUE(imported.report.succeeded()) << reportText(imported.report.problems[0]);
    ASSERT_TRUE(imported.written);
    EXPECT_EQ(imported.model.kind, kindPictures);
    EXPECT_EQ(imported.model.title, "Drapeaux");
    ASSERT_EQ(imported.model.questions.size(), 3u);
    const char* pictures[] = {"drapeaux-media/rouge.png", "drapeaux-media/bleu.png", "drapeaux-media/point.gif"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(imported.model.questions[i].picture, pictures[i]);
        EXPECT_TRUE(files.files.count(std::string("drapeaux-media\\") + fileName(pictures[i])))
            << pictures[i] << " written";
    }
    // The source builds as it is: the build's own check of the files finds nothing.
    const WorkflowReport check = checkQuizFiles(files, imported.model, "drapeaux.toml");
    EXPECT_TRUE(check.problems.empty()) << reportText(check.problems[0]);
}

TEST(BankImport, MixedBankMakesATextQuizAndSaysWhatItLeftOut) {
    BankFiles files;
    files.put("geographie.xml", readData("moodle/geographie.xml"));
    const Imported imported = importInto(files, "geographie.xml");
    ASSERT_TRUE(imported.report.succeeded());
    EXPECT_EQ(imported.model.kind, kindText);
    EXPECT_EQ(imported.model.title, "G\xC3\xA9ographie");
    ASSERT_EQ(imported.model.questions.size(), 4u);
    EXPECT_EQ(imported.model.questions[0].picture, "");
    EXPECT_EQ(imported.model.questions[0].comment, "Bravo, c'est Paris.");
    EXPECT_EQ(imported.model.reveal, revealComment);
    const std::string warnings = allWarnings(imported.report);
    for (const std::string& said :
         {messageText(Message::bankLeftOut, {"2", messageText(Message::bankTypeMultipleChoice)}),
          messageText(Message::bankLeftOutOne, {"1", messageText(Message::bankTypeCloze)}),
          messageText(Message::bankLeftOutOne, {"1", messageText(Message::bankTypeOther, {"ddwtos"})}),
          messageText(Message::bankPartial, {"2"}), messageText(Message::bankUsesCase),
          std::string("paris carte.png")}) {
        EXPECT_NE(warnings.find(said), std::string::npos) << said << " in\n" << warnings;
    }
    EXPECT_EQ(warnings.find(messageText(Message::bankUsesCase)), warnings.rfind(messageText(Message::bankUsesCase)))
        << "said once";
    EXPECT_TRUE(files.files.count("geographie-media\\paris carte.png")) << "left aside, but kept for the author";
}

TEST(BankImport, RefusesWhatThePlayerCannotTakeAndWritesNothing) {
    std::string many;
    for (int i = 0; i < 97; ++i) many += "::Q" + std::to_string(i) + ":: X ? {=r" + std::to_string(i) + "}\n\n";
    const std::string notAPicture =
        "<quiz><question type=\"shortanswer\"><name><text>A</text></name><questiontext format=\"html\">"
        "<text><![CDATA[<img src=\"@@PLUGINFILE@@/a.png\">]]></text><file name=\"a.png\" encoding=\"base64\">"
        "aGVsbG8=</file></questiontext><answer fraction=\"100\"><text>a</text></answer></question></quiz>";
    const struct Row {
        const char* name;
        const char* file;
        std::string bank;
        std::string inProblem;
        int question;
    } rows[] = {
        {"97 questions", "gros.gift", many, messageText(Message::bankTooManyQuestions, {"97", "97", "96"}), -1},
        {"a picture the player cannot show", "image.xml", notAPicture, "a.png", 0},
        {"broken GIFT", "casse.gift", "::A::X {=a\n", messageText(Message::giftUnclosedBrace), -1},
        {"only other types", "autres.gift", "::A::X {T}\n\n::B::Y {=a ~b}", messageText(Message::bankNoQuestion), -1},
        {"entity attack", "lol.xml", "<!DOCTYPE q [<!ENTITY a \"aaaa\">]><quiz>&a;</quiz>",
         messageText(Message::xmlEntityDeclared), -1},
    };
    for (const Row& row : rows) {
        BankFiles files;
        files.put(row.file, row.bank);
        const Imported imported = importInto(files, row.file);
        EXPECT_FALSE(imported.written) << row.name;
        EXPECT_EQ(files.files.size(), 1u) << row.name << ": nothing is written";
        ASSERT_FALSE(imported.report.problems.empty()) << row.name;
        EXPECT_NE(imported.report.problems[0].problem.message.find(row.inProblem), std::string::npos)
            << row.name << ": " << imported.report.problems[0].problem.message;
        EXPECT_EQ(imported.report.problems[0].problem.question, row.question) << row.name;
        EXPECT_FALSE(imported.report.refusal.text.empty()) << row.name;
    }
}

TEST(BankImport, QuestionsThePlayerCannotHoldAreNamedAndTheRestImports) {
    const std::string longPrompt(300, 'x');
    BankFiles files;
    files.put("banque.gift", "::Bon::Oui ? {=oui}\n\n::Hongrois::Ville ? {=Gy\xC5\x91r}\n\n::Long::" + longPrompt +
                                 " {=a}\n\n::Barre::X ? {=a|b}\n\n::Aussi::Non ? {=non}\n");
    const Imported imported = importInto(files, "banque.gift");
    ASSERT_TRUE(imported.report.succeeded());
    ASSERT_EQ(imported.model.questions.size(), 2u);
    EXPECT_EQ(imported.model.questions[1].answer, "non");
    EXPECT_EQ(imported.model.title, "banque") << "no category: the file's name";
    const std::string warnings = allWarnings(imported.report);
    for (const char* said : {"banque.gift:3: question 2 du fichier, \xC2\xAB Hongrois \xC2\xBB",
                             "banque.gift:5: question 3 du fichier, \xC2\xAB Long \xC2\xBB",
                             "banque.gift:7: question 4 du fichier, \xC2\xAB Barre \xC2\xBB", "300"}) {
        EXPECT_NE(warnings.find(said), std::string::npos) << said << " in\n" << warnings;
    }
}

TEST(BankImport, IntoAnOpenQuizKeepsItsKindAndAppends) {
    BankFiles files;
    files.put("C:\\banques\\drapeaux.xml", readData("moodle/drapeaux.xml"));
    files.put("C:\\banques\\plus.gift", "::A::X ? {=a}");
    QuizModel model;
    model.kind = kindText;
    model.title = "Mon quiz";
    model.questions.resize(1);
    model.questions[0].answer = "d\xC3\xA9j\xC3\xA0";
    WorkflowReport report = importQuestions(files, "C:\\banques\\plus.gift", model, true, "C:\\quiz\\mon.toml");
    ASSERT_TRUE(report.succeeded());
    ASSERT_EQ(model.questions.size(), 2u);
    EXPECT_EQ(model.title, "Mon quiz");
    // A picture quiz takes the pictures, named from the quiz's own folder.
    model.kind = kindPictures;
    report = importQuestions(files, "C:\\banques\\drapeaux.xml", model, true, "C:\\quiz\\mon.toml");
    ASSERT_TRUE(report.succeeded());
    ASSERT_EQ(model.questions.size(), 5u);
    EXPECT_EQ(model.questions[2].picture, "mon-media/rouge.png");
    EXPECT_TRUE(files.files.count("C:\\quiz\\mon-media\\rouge.png"));
    // A quiz without a file yet names them by their full path.
    QuizModel unsaved;
    report = importQuestions(files, "C:\\banques\\drapeaux.xml", unsaved, true);
    ASSERT_TRUE(report.succeeded());
    EXPECT_EQ(unsaved.kind, kindPictures);
    EXPECT_EQ(unsaved.questions[0].picture, "C:/banques/drapeaux-media/rouge.png");
}

TEST(BankImport, KindChosenByTheBankUnlessTheCommandLineGivesOne) {
    const struct Row {
        std::vector<std::string> arguments;
        bool kindGiven;
        int kind;
    } rows[] = {
        {{"import", "banque.xml"}, false, kindText},
        {{"import", "banque.gift", "--kind", "audio"}, true, kindAudio},
        {{"import", "banque.xml", "-o", "q.toml", "--kind", "text"}, true, kindText},
    };
    for (const Row& row : rows) {
        const QuizpackCommand command = parseQuizpackArguments(row.arguments);
        EXPECT_EQ(command.action, QuizpackAction::import) << row.arguments[1];
        EXPECT_EQ(command.kindGiven, row.kindGiven) << row.arguments[1];
        EXPECT_EQ(command.kind, row.kind) << row.arguments[1];
    }
    // Given the text kind, a bank of pictures leaves them aside.
    BankFiles files;
    files.put("drapeaux.xml", readData("moodle/drapeaux.xml"));
    const Imported imported = importInto(files, "drapeaux.xml", kindText);
    ASSERT_TRUE(imported.report.succeeded());
    EXPECT_EQ(imported.model.kind, kindText);
    EXPECT_EQ(imported.model.questions[0].picture, "");
    EXPECT_NE(allWarnings(imported.report).find("rouge.png, bleu.png et point.gif"), std::string::npos)
        << allWarnings(imported.report);
}

}  // namespace
