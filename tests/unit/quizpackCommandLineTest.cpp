#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quiz/quiz.h"
#include "tools/quizpack/commandLine.h"

namespace {

const char* actionName(QuizpackAction action) {
    switch (action) {
        case QuizpackAction::usage: return "usage";
        case QuizpackAction::build: return "build";
        case QuizpackAction::extract: return "extract";
        case QuizpackAction::import: return "import";
        case QuizpackAction::web: return "web";
        case QuizpackAction::moodle: return "moodle";
    }
    return "?";
}

struct ArgumentCase {
    const char* name;
    std::vector<std::string> arguments;
    QuizpackAction action;
    const char* input;
    const char* output;
    const char* player;
    const char* media;
    int kind = kindText;
    bool scorm = false;
    bool gift = false;
};

TEST(QuizpackArguments, ReadsCommandsDroppedSourcesAndRefusals) {
    using A = QuizpackAction;
    // clang-format off
    const ArgumentCase cases[] = {
        // A dropped file arrives as one full path; it is built beside itself.
        {"dropped source", {"C:\\Quiz\\histoire.toml"}, A::build,
         "C:\\Quiz\\histoire.toml", "C:\\Quiz\\histoire.exe", "", ""},
        {"dropped, upper-case extension", {"C:\\Quiz\\HISTOIRE.TOML"}, A::build,
         "C:\\Quiz\\HISTOIRE.TOML", "C:\\Quiz\\HISTOIRE.exe", "", ""},
        {"dropped, dotted folder and name", {"D:\\mes.quiz\\v1.2 histoire.toml"}, A::build,
         "D:\\mes.quiz\\v1.2 histoire.toml", "D:\\mes.quiz\\v1.2 histoire.exe", "", ""},
        {"source alone, relative", {"histoire.toml"}, A::build, "histoire.toml", "histoire.exe", "", ""},
        {"lone argument that is no source", {"histoire.exe"}, A::usage, "", "", "", ""},
        {"lone folder named like a source", {"C:\\x\\.toml"}, A::usage, "", "", "", ""},
        {"lone verb", {"build"}, A::usage, "", "", "", ""},
        {"nothing", {}, A::usage, "", "", "", ""},
        {"build with defaults", {"build", "a.toml"}, A::build, "a.toml", "", "", ""},
        {"build with every option", {"build", "a.toml", "-o", "b.exe", "--player", "p.exe"}, A::build,
         "a.toml", "b.exe", "p.exe", ""},
        {"build of a source named like the verb", {"build", "build.toml"}, A::build, "build.toml", "", "", ""},
        {"extract with every option", {"extract", "b.exe", "--media", "m", "-o", "c.toml"}, A::extract,
         "b.exe", "c.toml", "", "m"},
        {"build refuses --media", {"build", "a.toml", "--media", "m"}, A::usage, "", "", "", ""},
        {"extract refuses --player", {"extract", "b.exe", "--player", "p.exe"}, A::usage, "", "", "", ""},
        {"option without its value", {"build", "a.toml", "-o"}, A::usage, "", "", "", ""},
        {"unknown option", {"build", "a.toml", "-x", "y"}, A::usage, "", "", "", ""},
        {"unknown verb", {"pack", "a.toml"}, A::usage, "", "", "", ""},
        {"two sources", {"a.toml", "b.toml"}, A::usage, "", "", "", ""},
        {"import with defaults", {"import", "q.csv"}, A::import, "q.csv", "", "", ""},
        {"import with every option", {"import", "q.csv", "--kind", "audio", "-o", "x.toml"}, A::import,
         "q.csv", "x.toml", "", "", kindAudio},
        {"import of a video quiz", {"import", "q.csv", "--kind", "video"}, A::import, "q.csv", "", "", "", kindVideo},
        {"import refuses an unknown kind", {"import", "q.csv", "--kind", "film"}, A::usage, "", "", "", ""},
        {"import refuses a kind in capitals", {"import", "q.csv", "--kind", "Audio"}, A::usage, "", "", "", ""},
        {"import refuses --player", {"import", "q.csv", "--player", "p.exe"}, A::usage, "", "", "", ""},
        {"build refuses --kind", {"build", "a.toml", "--kind", "text"}, A::usage, "", "", "", ""},
        {"lone table is no source", {"questions.csv"}, A::usage, "", "", "", ""},
        {"web page of a source", {"web", "a.toml"}, A::web, "a.toml", "", "", ""},
        {"web package of a player, named", {"web", "a.exe", "--scorm", "-o", "p.zip"}, A::web, "a.exe", "p.zip", "",
         "", kindText, true},
        {"--scorm after -o", {"web", "a.toml", "-o", "p.zip", "--scorm"}, A::web, "a.toml", "p.zip", "", "",
         kindText, true},
        {"build refuses --scorm", {"build", "a.toml", "--scorm"}, A::usage, "", "", "", ""},
        {"web refuses --player", {"web", "a.toml", "--player", "p.exe"}, A::usage, "", "", "", ""},
        {"Moodle XML bank of a source", {"moodle", "a.toml"}, A::moodle, "a.toml", "", "", ""},
        {"GIFT bank of a player, named", {"moodle", "a.exe", "--gift", "-o", "b.gift"}, A::moodle, "a.exe", "b.gift",
         "", "", kindText, false, true},
        {"--gift after -o", {"moodle", "a.toml", "-o", "b.gift", "--gift"}, A::moodle, "a.toml", "b.gift", "", "",
         kindText, false, true},
        {"moodle refuses --scorm", {"moodle", "a.toml", "--scorm"}, A::usage, "", "", "", ""},
        {"web refuses --gift", {"web", "a.toml", "--gift"}, A::usage, "", "", "", ""},
        {"moodle refuses --kind", {"moodle", "a.toml", "--kind", "text"}, A::usage, "", "", "", ""},
    };
    // clang-format on
    for (const ArgumentCase& c : cases) {
        const QuizpackCommand command = parseQuizpackArguments(c.arguments);
        EXPECT_STREQ(actionName(command.action), actionName(c.action)) << c.name;
        EXPECT_EQ(command.input, c.input) << c.name;
        EXPECT_EQ(command.output, c.output) << c.name;
        EXPECT_EQ(command.player, c.player) << c.name;
        EXPECT_EQ(command.media, c.media) << c.name;
        EXPECT_EQ(command.kind, c.kind) << c.name;
        EXPECT_EQ(command.scorm, c.scorm) << c.name;
        EXPECT_EQ(command.gift, c.gift) << c.name;
    }
}

TEST(QuizpackArguments, ReplacesOrAddsTheExtensionOfTheFileNameOnly) {
    const struct {
        const char* path;
        const char* extension;
        const char* expected;
    } cases[] = {
        {"quiz.toml", ".exe", "quiz.exe"},
        {"quiz", ".exe", "quiz.exe"},
        {"a.b.toml", ".exe", "a.b.exe"},
        {"dir.d\\quiz", "-media", "dir.d\\quiz-media"},
        {"dir.d/quiz", ".toml", "dir.d/quiz.toml"},
        {"C:quiz.toml", ".exe", "C:quiz.exe"},
        {"out\\quiz.toml", "-media", "out\\quiz-media"},
    };
    for (const auto& c : cases) EXPECT_EQ(withExtension(c.path, c.extension), c.expected) << c.path;
}

TEST(QuizpackArguments, TheStemIsTheFileNameWithoutFolderOrExtension) {
    const struct {
        const char* path;
        const char* expected;
    } cases[] = {
        {"C:\\Quiz\\histoire.csv", "histoire"},
        {"dir.d/questions", "questions"},
        {"a.b.csv", "a.b"},
        {"C:g\xC3\xA9o.csv", "g\xC3\xA9o"},
        {".csv", ".csv"},
        {"dir\\", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(fileStem(c.path), c.expected) << c.path;
}

TEST(QuizpackArguments, RecognisesExtensionsWhateverTheirCase) {
    const struct {
        const char* path;
        bool expected;
    } cases[] = {
        {"a.toml", true},      {"a.TOML", true},       {"a.Toml", true}, {"dir\\a.toml", true},
        {"a.toml.txt", false}, {"a.tom", false},       {"atoml", false}, {".toml", false},
        {"dir\\.toml", false}, {"dir.toml\\a", false}, {"", false},      {"a.xtoml", false},
    };
    for (const auto& c : cases) EXPECT_EQ(hasExtension(c.path, ".toml"), c.expected) << c.path;
}

}  // namespace
