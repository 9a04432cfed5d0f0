#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "authoring/messages.h"
#include "authoring/quizCheck.h"
#include "authoring/windows1252.h"

namespace {

struct Checked {
    bool ok;
    QuizModel model;
    std::vector<ModelProblem> problems;
    std::string text;  // the located messages, one a line
};

Checked readAndCheck(const std::string& source) {
    Checked out;
    SourceLines lines;
    out.ok = readAndCheckQuiz(source, out.model, lines, out.problems);
    for (const ModelProblem& p : out.problems) out.text += formatProblem("quiz.toml", p) + "\n";
    return out;
}

// A source with `header` lines, then the reward codes (line after the
// header), then `count` questions each made of `question`.
std::string source(const std::string& header, int count, const std::string& question) {
    std::string out = header + "\nreward_codes = [";
    for (int i = 0; i < count; ++i) out += std::string(i ? ", " : "") + "\"c" + std::to_string(i) + "\"";
    out += "]\n";
    for (int i = 0; i < count; ++i) out += "\n[[question]]\n" + question + "\n";
    return out;
}

const std::string text = "kind = \"text\"\ntitle = \"T\"";
const std::string pics = "kind = \"pictures\"\ntitle = \"T\"";

TEST(QuizCheck, ValidSourcesOfEveryKindAndRevealPass) {
    const struct {
        const char* name;
        std::string source;
    } rows[] = {
        {"text", source(text + "\nreveal = \"comment\"", 1, "answer = \"a\"\ncomment = \"c\"\nprompt = \"p\"")},
        {"pictures, solutions", source(pics + "\nreveal = \"solution-picture\"", 3,
                                       "answer = \"a\"\npicture = \"p.png\"\nsolution = \"s.jpg\"")},
        {"pictures, two comments", source(pics + "\nreveal = \"comment-and-picture\"", 3,
                                          "answer = \"a\"\ncomment = \"c\"\ncomment2 = \"d\"\npicture = \"p.png\"\n"
                                          "solution = \"s.jpg\"")},
        {"audio, all comments", source("kind = \"audio\"\ntitle = \"T\"\nreveal = \"all-comments\"", 2,
                                       "answer = \"a\"\nclip = \"c.wav\"\ncomment = \"x\"")},
        {"video, two answers", source("kind = \"video\"\ntitle = \"T\"\nanswers_per_question = 2\ncaptions = "
                                      "[\"A\", \"B\"]",
                                      2, "answer = \"a\"\nanswer2 = \"b\"\nclip = \"c.avi\"")},
        {"96 questions", source(text, 96, "answer = \"a\"")},
        {"empty reward codes", text + "\nreward_codes = [\"\"]\n[[question]]\nanswer = \"a\"\n"},
    };
    for (const auto& row : rows) {
        const Checked c = readAndCheck(row.source);
        EXPECT_TRUE(c.ok) << row.name << "\n" << c.text;
    }
}

// Each faulty source gives exactly this located message (and no other).
TEST(QuizCheck, EveryProblemHasItsLocatedFrenchMessage) {
    const struct {
        const char* name;
        std::string source;
        std::string expected;
    } rows[] = {
        {"kind missing", source("title = \"T\"", 1, "answer = \"a\""),
         "quiz.toml: kind: manque : indiquez \"text\", \"pictures\", \"audio\" ou \"video\""},
        {"kind unknown", source("kind = \"movie\"\ntitle = \"T\"", 1, "answer = \"a\""),
         "quiz.toml:1: kind: doit valoir \"text\", \"pictures\", \"audio\" ou \"video\""},
        {"title missing", source("kind = \"text\"", 1, "answer = \"a\""),
         "quiz.toml: title: manque : le quiz a besoin d'un titre"},
        {"title empty", source("kind = \"text\"\ntitle = \"\"", 1, "answer = \"a\""),
         "quiz.toml:2: title: manque : le quiz a besoin d'un titre"},
        {"title not a text", source("kind = \"text\"\ntitle = 3", 1, "answer = \"a\""),
         "quiz.toml:2: title: doit \xC3\xAAtre un texte entre guillemets droits"},
        {"unknown key", source(text + "\ntitel = \"x\"", 1, "answer = \"a\""),
         "quiz.toml:3: titel: cl\xC3\xA9 inconnue (cl\xC3\xA9s connues : answers_per_question, author, captions, "
         "colour, explanations, kind, link, question, reveal, reward_codes, title)"},
        {"unknown question key", source(text, 1, "answer = \"a\"\nanwser = \"b\""),
         "quiz.toml:7: question 1, anwser: cl\xC3\xA9 inconnue (cl\xC3\xA9s connues : answer, answer2, clip, "
         "comment, comment2, picture, prompt, solution)"},
        {"bar", source(text, 1, "answer = \"a|b\""),
         "quiz.toml:6: question 1, answer: contient \xC2\xAB | \xC2\xBB, que le lecteur prend pour la fin d'un "
         "texte"},
        {"l with stroke", source("kind = \"text\"\ntitle = \"\xC5\x82\"", 1, "answer = \"a\""),
         "quiz.toml:2: title: contient un caract\xC3\xA8re que Windows-1252 n'a pas (U+0142) : le lecteur "
         "n'affiche que les caract\xC3\xA8res de Windows-1252"},
        {"emoji", source(text + "\nauthor = \"ok \xF0\x9F\x98\x80\"", 1, "answer = \"a\""),
         "quiz.toml:3: author: contient un caract\xC3\xA8re que Windows-1252 n'a pas (U+1F600) : le lecteur "
         "n'affiche que les caract\xC3\xA8res de Windows-1252"},
        {"NUL", source(text + "\nexplanations = \"a\\u0000b\"", 1, "answer = \"a\""),
         "quiz.toml:3: explanations: contient un caract\xC3\xA8re NUL"},
        {"three answers", source(text + "\nanswers_per_question = 3", 1, "answer = \"a\""),
         "quiz.toml:3: answers_per_question: doit valoir 1 ou 2"},
        {"reveal unknown", source(text + "\nreveal = \"sometimes\"", 1, "answer = \"a\""),
         "quiz.toml:3: reveal: doit valoir \"none\", \"solution-picture\", \"comment\", \"comment-and-picture\" "
         "ou \"all-comments\""},
        {"colour", source(text + "\ncolour = \"#12345\"", 1, "answer = \"a\""),
         "quiz.toml:3: colour: doit s'\xC3\xA9"
         "crire \"#RRGGBB\" ou [rouge, vert, bleu], chaque valeur de 0 "
         "\xC3\xA0 255"},
        {"link that is no web address", source(text + "\nlink = \"C:\\\\Windows\\\\calc.exe\"", 1, "answer = \"a\""),
         "quiz.toml:3: link: une adresse web commence par http:// ou https:// et ne contient ni espace ni accent "
         "(par exemple https://ecole.example.fr/cm2)"},
        {"captions", source(text + "\ncaptions = [\"a\", \"b\", \"c\"]", 1, "answer = \"a\""),
         "quiz.toml:3: captions: doit \xC3\xAAtre une liste d'au plus deux textes"},
        {"caption with a bar", source(text + "\ncaptions = [\"a\",\n\"b|\"]", 1, "answer = \"a\""),
         "quiz.toml:4: captions[2]: contient \xC2\xAB | \xC2\xBB, que le lecteur prend pour la fin d'un texte"},
        {"97 questions", source(text, 97, "answer = \"a\""),
         "quiz.toml:293: question: il y a 97 questions ; le lecteur en garde au plus 96"},
        {"no question", text + "\nreward_codes = []\n",
         "quiz.toml: question: il n'y a aucune [[question]] : un quiz en demande au moins une"},
        {"questions not tables", text + "\nreward_codes = []\nquestion = [1]\n",
         "quiz.toml:4: question: les questions s'\xC3\xA9"
         "crivent en tables [[question]]"},
        {"codes missing", text + "\n[[question]]\nanswer = \"a\"\n",
         "quiz.toml: reward_codes: manque : donnez un code par score, de 1 au nombre de questions"},
        {"codes too few",
         text + "\nreward_codes = [\"x\"]\n[[question]]\nanswer = \"a\"\n[[question]]\nanswer = "
                "\"b\"\n",
         "quiz.toml:3: reward_codes: 1 codes pour 2 questions : donnez exactement un code par score, de 1 au "
         "nombre de questions"},
        {"codes not a list", text + "\nreward_codes = \"x\"\n[[question]]\nanswer = \"a\"\n",
         "quiz.toml:3: reward_codes: doit \xC3\xAAtre une liste de textes, un code par score"},
        {"code with a line break", text + "\nreward_codes = [\"x\\ny\"]\n[[question]]\nanswer = \"a\"\n",
         "quiz.toml:3: reward_codes[1]: contient un saut de ligne"},
        {"answer missing", source(text, 1, "prompt = \"p\""),
         "quiz.toml:5: question 1, answer: manque ou est vide : aucune r\xC3\xA9ponse tap\xC3\xA9"
         "e ne pourrait "
         "\xC3\xAAtre juste"},
        {"answer empty", source(text, 1, "answer = \"\""),
         "quiz.toml:6: question 1, answer: manque ou est vide : aucune r\xC3\xA9ponse tap\xC3\xA9"
         "e ne pourrait "
         "\xC3\xAAtre juste"},
        {"answer2 missing", source(text + "\nanswers_per_question = 2", 1, "answer = \"a\""),
         "quiz.toml:6: question 1, answer2: manque ou est vide : avec answers_per_question = 2, chaque question a "
         "deux r\xC3\xA9ponses"},
        {"answer2 unused", source(text, 1, "answer = \"a\"\nanswer2 = \"b\""),
         "quiz.toml:7: question 1, answer2: ne sert qu'avec answers_per_question = 2"},
        {"comment unused", source(text, 1, "answer = \"a\"\ncomment = \"c\""),
         "quiz.toml:7: question 1, comment: n'est montr\xC3\xA9 qu'avec reveal = \"comment\", "
         "\"comment-and-picture\" ou \"all-comments\""},
        {"comment2 unused", source(text + "\nreveal = \"comment\"", 1, "answer = \"a\"\ncomment2 = \"c\""),
         "quiz.toml:8: question 1, comment2: n'est gard\xC3\xA9 qu'avec reveal = \"comment-and-picture\""},
        {"picture in a text quiz", source(text, 1, "answer = \"a\"\npicture = \"p.jpg\""),
         "quiz.toml:7: question 1, picture: ne sert pas dans ce type de quiz et serait laiss\xC3\xA9 de "
         "c\xC3\xB4t\xC3\xA9"},
        {"clip in a pictures quiz", source(pics, 1, "answer = \"a\"\npicture = \"p.jpg\"\nclip = \"c.mp3\""),
         "quiz.toml:8: question 1, clip: ne sert pas dans ce type de quiz et serait laiss\xC3\xA9 de "
         "c\xC3\xB4t\xC3\xA9"},
        {"solution not revealed", source(pics, 1, "answer = \"a\"\npicture = \"p.jpg\"\nsolution = \"s.jpg\""),
         "quiz.toml:8: question 1, solution: ne sert pas dans ce type de quiz et serait laiss\xC3\xA9 de "
         "c\xC3\xB4t\xC3\xA9"},
        {"picture missing", source(pics, 1, "answer = \"a\""),
         "quiz.toml:5: question 1, picture: manque : chaque question d'un quiz de type \"pictures\" montre une "
         "image"},
        {"solution missing", source(pics + "\nreveal = \"solution-picture\"", 1, "answer = \"a\"\npicture = \"p\""),
         "quiz.toml:6: question 1, solution: manque : avec reveal = \"solution-picture\" ou "
         "\"comment-and-picture\", une bonne r\xC3\xA9ponse montre une image solution"},
        {"clip missing", source("kind = \"audio\"\ntitle = \"T\"", 1, "answer = \"a\""),
         "quiz.toml:5: question 1, clip: manque : chaque question d'un quiz de type \"audio\" ou \"video\" joue un "
         "extrait"},
        {"solution reveal in an audio quiz",
         source("kind = \"audio\"\ntitle = \"T\"\nreveal = \"solution-picture\"", 1, "answer = \"a\"\nclip = \"c\""),
         "quiz.toml:3: reveal: une image solution ne peut appara\xC3\xAEtre que dans un quiz de type \"pictures\""},
        {"empty media path", source(pics, 1, "answer = \"a\"\npicture = \"\""),
         "quiz.toml:7: question 1, picture: doit \xC3\xAAtre le chemin d'un fichier, relatif au fichier du quiz"},
    };
    for (const auto& row : rows) {
        const Checked c = readAndCheck(row.source);
        EXPECT_FALSE(c.ok) << row.name;
        EXPECT_EQ(c.text, row.expected + "\n") << row.name;
    }
}

TEST(QuizCheck, SyntaxErrorsAreLocatedAndKeepTheirDetail) {
    const Checked c = readAndCheck("kind = \"text\"\ntitle = \"unterminated\n");
    EXPECT_FALSE(c.ok);
    ASSERT_EQ(c.problems.size(), 1u) << c.text;
    EXPECT_EQ(c.text.rfind("quiz.toml:2: le fichier n'est pas du TOML valide (", 0), 0u) << c.text;
}

// Counted in Windows-1252 bytes: "é" is two UTF-8 bytes but one character on screen.
TEST(QuizCheck, TextsHoldAtMost259Windows1252Characters) {
    const struct {
        const char* name;
        std::string unit;
        int count;
        bool ok;
    } rows[] = {
        {"259 ASCII", "a", 259, true},
        {"260 ASCII", "a", 260, false},
        {"259 e-acute", "\xC3\xA9", 259, true},
        {"260 e-acute", "\xC3\xA9", 260, false},
        {"259 euro signs", "\xE2\x82\xAC", 259, true},
        {"260 euro signs", "\xE2\x82\xAC", 260, false},
    };
    for (const auto& row : rows) {
        std::string value;
        for (int i = 0; i < row.count; ++i) value += row.unit;
        // The same bound for a quiz text, a question's text and a reward code.
        for (const std::string& where : {std::string("title"), std::string("prompt"), std::string("code")}) {
            QuizModel model;
            model.kind = kindText;
            model.title = where == "title" ? value : "T";
            model.questions.resize(1);
            model.questions[0].answer = "a";
            if (where == "prompt") model.questions[0].prompt = value;
            model.rewardCodes = {where == "code" ? value : "c"};
            const std::vector<ModelProblem> problems = checkQuiz(model);
            EXPECT_EQ(problems.empty(), row.ok) << row.name << " in " << where;
            if (!row.ok && problems.size() == 1) {
                EXPECT_EQ(problems[0].message, "compte 260 caract\xC3\xA8res ; le lecteur en garde au plus 259")
                    << row.name << " in " << where;
            }
        }
    }
}

TEST(QuizCheck, CharactersOfWindows1252PassOthersAreNamed) {
    const struct {
        const char* name;
        const char* utf8;
        const char* foreign;  // null when the text passes
    } rows[] = {
        {"euro sign", "\xE2\x82\xAC", nullptr},
        {"oe and dashes", "\xC5\x93 \xE2\x80\x94 \xE2\x80\x93", nullptr},
        {"accents", "\xC3\xA9\xC3\xA8\xC3\xA0\xC3\xA7\xC3\xB4", nullptr},
        {"l with stroke", "\xC5\x82", "U+0142"},
        {"A with macron after a euro", "\xE2\x82\xAC\xC4\x80", "U+0100"},
        {"CJK", "\xE4\xB8\xAD", "U+4E2D"},
    };
    for (const auto& row : rows) {
        QuizModel model;
        model.kind = kindText;
        model.title = "T";
        model.questions.resize(1);
        model.questions[0].answer = row.utf8;
        model.rewardCodes = {"c"};
        const std::vector<ModelProblem> problems = checkQuiz(model);
        if (!row.foreign) {
            EXPECT_TRUE(problems.empty()) << row.name;
            continue;
        }
        ASSERT_EQ(problems.size(), 1u) << row.name;
        EXPECT_EQ(problems[0].field, ModelField::answer) << row.name;
        EXPECT_EQ(problems[0].question, 0) << row.name;
        EXPECT_NE(problems[0].message.find(std::string("(") + row.foreign + ")"), std::string::npos)
            << row.name << ": " << problems[0].message;
    }
    QuizModel invalid;
    invalid.kind = kindText;
    invalid.title = "bad \xC3";
    invalid.questions.resize(1);
    invalid.questions[0].answer = "a";
    invalid.rewardCodes = {"c"};
    const std::vector<ModelProblem> problems = checkQuiz(invalid);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].message, "n'est pas un texte UTF-8 valide");
}

TEST(QuizCheck, AllProblemsAreReportedAtOnceInLineOrder) {
    const Checked c = readAndCheck(source("kind = \"text\"\ntitle = \"a|b\"\nreveal = \"x\"", 1, "answer = \"\""));
    EXPECT_FALSE(c.ok);
    ASSERT_EQ(c.problems.size(), 3u) << c.text;
    EXPECT_EQ(c.problems[0].line, 2);
    EXPECT_EQ(c.problems[1].line, 3);
    EXPECT_EQ(c.problems[2].line, 7);
}

TEST(QuizCheck, ARefusedValueIsReportedOnce) {
    // The reading refuses these; the model lacks them, which the check would say again.
    const struct {
        const char* name;
        std::string source;
    } rows[] = {
        {"kind", source("kind = 3\ntitle = \"T\"", 1, "answer = \"a\"")},
        {"title", source("kind = \"text\"\ntitle = [\"T\"]", 1, "answer = \"a\"")},
        {"codes", text + "\nreward_codes = 5\n[[question]]\nanswer = \"a\"\n"},
        {"questions", text + "\nreward_codes = []\nquestion = \"a\"\n"},
        {"answer", source(text, 1, "answer = 5")},
    };
    for (const auto& row : rows) {
        const Checked c = readAndCheck(row.source);
        EXPECT_EQ(c.problems.size(), 1u) << row.name << "\n" << c.text;
    }
}

TEST(QuizCheck, ProblemsAreFormattedWithTheKeysOfTheSource) {
    auto problem = [](ModelField field, int question, int item, int line) {
        ModelProblem p;
        p.field = field, p.question = question, p.item = item, p.line = line, p.message = "faux";
        return p;
    };
    ModelProblem unknown = problem(ModelField::unknownKey, 2, -1, 9);
    unknown.key = "anwser";
    const struct {
        ModelProblem problem;
        const char* expected;
    } rows[] = {
        {problem(ModelField::none, -1, -1, 0), "g\xC3\xA9o.toml: faux"},
        {problem(ModelField::none, -1, -1, 4), "g\xC3\xA9o.toml:4: faux"},
        {problem(ModelField::title, -1, -1, 2), "g\xC3\xA9o.toml:2: title: faux"},
        {problem(ModelField::answersPerQuestion, -1, -1, 0), "g\xC3\xA9o.toml: answers_per_question: faux"},
        {problem(ModelField::answer2, 1, -1, 12), "g\xC3\xA9o.toml:12: question 2, answer2: faux"},
        {problem(ModelField::rewardCodes, -1, 2, 5), "g\xC3\xA9o.toml:5: reward_codes[3]: faux"},
        {problem(ModelField::rewardCodes, -1, -1, 5), "g\xC3\xA9o.toml:5: reward_codes: faux"},
        {problem(ModelField::captions, -1, 0, 3), "g\xC3\xA9o.toml:3: captions[1]: faux"},
        {problem(ModelField::questions, 96, -1, 400), "g\xC3\xA9o.toml:400: question: faux"},
        {unknown, "g\xC3\xA9o.toml:9: question 3, anwser: faux"},
    };
    for (const auto& row : rows) EXPECT_EQ(formatProblem("g\xC3\xA9o.toml", row.problem), row.expected);
}

TEST(QuizCheck, ProblemsFoundLaterAreLocatedByWhatTheyAreAbout) {
    SourceLines lines;
    lines.fields[static_cast<int>(ModelField::title)] = 2;
    lines.fields[static_cast<int>(ModelField::rewardCodes)] = 3;
    lines.rewardCodes = {3, 4};
    lines.questions.resize(2);
    lines.questions[1].table = 10;
    lines.questions[1].fields[static_cast<int>(ModelField::picture)] = 12;
    auto problem = [](ModelField field, int question, int item) {
        ModelProblem p;
        p.field = field, p.question = question, p.item = item;
        return p;
    };
    std::vector<ModelProblem> problems = {
        problem(ModelField::title, -1, -1),      problem(ModelField::author, -1, -1),
        problem(ModelField::rewardCodes, -1, 1), problem(ModelField::rewardCodes, -1, 7),
        problem(ModelField::picture, 1, -1),     problem(ModelField::solution, 1, -1),
        problem(ModelField::picture, 5, -1),     problem(ModelField::none, -1, -1),
    };
    locateProblems(lines, problems);
    const int expected[] = {2, 0, 4, 3, 12, 10, 0, 0};
    for (size_t i = 0; i < problems.size(); ++i) EXPECT_EQ(problems[i].line, expected[i]) << "problem " << i;
}

// The table is what a teacher reads: French in Windows-1252 (so the player's
// users can read every character), placeholders numbered from 1 without gaps.
TEST(Messages, EveryTextIsWindows1252WithItsPlaceholdersInOrder) {
    for (int i = 0; i < messageCount(); ++i) {
        const Message id = static_cast<Message>(i);
        const std::string pattern = messageTemplate(id);
        EXPECT_FALSE(pattern.empty()) << "message " << i;
        std::string back;
        EXPECT_TRUE(utf8ToWindows1252(windows1252ToUtf8(pattern), back) && back == pattern) << "message " << i;
        int highest = 0;
        for (size_t k = 0; k + 2 < pattern.size(); ++k) {
            if (pattern[k] == '{' && pattern[k + 2] == '}' && pattern[k + 1] >= '1' && pattern[k + 1] <= '9') {
                highest = std::max(highest, pattern[k + 1] - '0');
            }
        }
        for (int n = 1; n <= highest; ++n) {
            EXPECT_NE(pattern.find("{" + std::to_string(n) + "}"), std::string::npos) << "message " << i << " {" << n;
        }
    }
}

TEST(Messages, ArgumentsAreInsertedAsTheyAre) {
    EXPECT_EQ(messageText(Message::tooLong, {"300", "259"}),
              "compte 300 caract\xC3\xA8res ; le lecteur en garde au plus 259");
    // An argument that looks like a placeholder stays as it is; a missing one leaves the placeholder.
    EXPECT_EQ(messageText(Message::rewardCodeCount, {"{2}"}),
              "{2} codes pour {2} questions : donnez exactement un code par score, de 1 au nombre de questions");
    EXPECT_EQ(messageText(Message::cannotReadMedia, {"m\xC3\xA9"
                                                     "dia/1.png"}),
              "impossible de lire le fichier \"m\xC3\xA9"
              "dia/1.png\"");
}

// The import's texts came over from a table of their own in UTF-8 with "%s";
// a slip in the escapes or the numbering would show here, in UTF-8.
TEST(Messages, CsvTextsReadInUtf8WithTheirArgumentsInPlace) {
    struct Case {
        const char* name;
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        {"csvUnknownColumn",
         messageText(Message::csvUnknownColumn, {"C", "Pays", "r\xC3\xA9ponse, \xC3\xA9nonc\xC3\xA9"}),
         "la colonne C, \xC2\xAB Pays \xC2\xBB, n'est pas une colonne connue ; colonnes connues : r\xC3\xA9ponse, "
         "\xC3\xA9nonc\xC3\xA9"},
        {"csvTextAfterQuote", messageText(Message::csvTextAfterQuote),
         "du texte suit le guillemet qui ferme une valeur ; dans une valeur entre guillemets, un guillemet "
         "s'\xC3\xA9"
         "crit deux fois (\"\")"},
        {"csvTooManyQuestions", messageText(Message::csvTooManyQuestions, {"97", "90", "7", "96", "97"}),
         "le quiz aurait 97 questions (90 d\xC3\xA9j\xC3\xA0 dans le quiz, 7 dans ce tableau), or le lecteur en "
         "contient au plus 96 : cette ligne donnerait la question 97"},
        {"csvOutOfMemory", messageText(Message::csvOutOfMemory),
         "le tableau est trop grand pour \xC3\xAAtre lu (m\xC3\xA9moire insuffisante)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.text, c.expected) << c.name;
    }
}

}  // namespace

namespace {

// Warnings are told apart from problems: the quiz still builds.
TEST(QuizCheck, WarningsNameWhatTheAuthorMayNotMeanAndDoNotStopABuild) {
    const struct {
        const char* name;
        std::string source;
        const char* warning;  // located, "" for none
    } rows[] = {
        {"comments in a text quiz", source(text + "\nreveal = \"comment\"", 1, "answer = \"a\"\ncomment = \"c\""),
         "quiz.toml:3: reveal: un quiz de type \"text\" ne montre pas les commentaires : le lecteur ne les affichera "
         "pas"},
        {"comments of a picture quiz",
         source(pics + "\nreveal = \"comment\"", 1, "answer = \"a\"\npicture = \"1.png\""), ""},
        {"one picture on two questions", source(pics, 3, "answer = \"a\"\npicture = \"media/1.png\""),
         "quiz.toml:11: question 2, picture: \"media/1.png\" sert d\xC3\xA9j\xC3\xA0 \xC3\xA0 la question 1"},
        {"one file named with other separators and case",
         pics + "\nreward_codes = [\"a\", \"b\"]\n\n[[question]]\nanswer = \"a\"\npicture = \"media/P.png\"\n\n"
                "[[question]]\nanswer = \"b\"\npicture = \"Media\\\\p.png\"\n",
         "quiz.toml:11: question 2, picture: \"Media\\p.png\" sert d\xC3\xA9j\xC3\xA0 \xC3\xA0 la question 1"},
    };
    for (const auto& row : rows) {
        QuizModel model;
        SourceLines lines;
        std::vector<ModelProblem> problems, warnings;
        EXPECT_TRUE(readAndCheckQuiz(row.source, model, lines, problems, &warnings)) << row.name;
        std::string text;
        for (const ModelProblem& w : warnings) {
            EXPECT_TRUE(w.warning) << row.name;
            text += formatProblem("quiz.toml", w);
        }
        if (*row.warning) {
            EXPECT_NE(text.find(row.warning), std::string::npos) << row.name << "\n" << text;
        } else {
            EXPECT_EQ(text, "") << row.name;
        }
    }
}

// An author reads French: the parser's English never reaches them.
TEST(QuizCheck, SyntaxErrorsAreDescribedInFrenchOnly) {
    const char* const sources[] = {
        "title = \"a\tb\x01\"\n",
        "title = \"a\\q\"\n",
        "title = \"a\"\ntitle = \"b\"\n",
        "title\n",
        "title = [1 22]\n",
        "title = \"sans fin\n",
        "= 3\n",
        "a = {b = 1\n",
        "[[question]\n",
    };
    const char* const english[] = {"rror", "xpected", "while", "parsing", "character", "encountered", "key"};
    for (const char* source : sources) {
        const Checked c = readAndCheck(source);
        ASSERT_EQ(c.problems.size(), 1u) << source;
        for (const char* word : english) EXPECT_EQ(c.text.find(word), std::string::npos) << source << c.text;
        EXPECT_NE(c.text.find("colonne "), std::string::npos) << c.text;
    }
}

}  // namespace
