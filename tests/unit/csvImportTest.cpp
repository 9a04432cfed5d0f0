#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "authoring/csvImport.h"
#include "authoring/quizCheck.h"

namespace {

struct Imported {
    bool ok;
    QuizModel model;
    std::vector<ModelProblem> problems;
};

Imported importInto(const std::string& bytes, QuizModel model = QuizModel()) {
    Imported out;
    out.ok = importQuestionsCsv(bytes, model, out.problems);
    out.model = model;
    return out;
}

// The questions as "answer=Paris comment=Capitale / answer=Lyon", empty fields left out.
std::string describe(const std::vector<ModelQuestion>& questions) {
    std::string out;
    for (const ModelQuestion& q : questions) {
        std::string one;
        auto add = [&one](const char* name, const std::string& value) {
            if (!value.empty()) one += std::string(one.empty() ? "" : " ") + name + "=" + value;
        };
        add("answer", q.answer);
        add("answer2", q.answer2);
        add("prompt", q.prompt);
        add("comment", q.comment);
        add("comment2", q.comment2);
        add("picture", q.picture);
        add("solution", q.solution);
        add("clip", q.clip);
        out += (out.empty() ? "" : " / ") + one;
    }
    return out;
}

std::string describe(const std::vector<ModelProblem>& problems) {
    std::string out;
    for (const ModelProblem& p : problems) {
        out += "line " + std::to_string(p.line) + ", field " + std::to_string(static_cast<int>(p.field)) +
               ", question " + std::to_string(p.question) + ": " + p.message + "\n";
    }
    return out;
}

QuizModel modelWith(int questions) {
    QuizModel model;
    model.kind = kindText;
    model.title = "Capitales";
    for (int i = 0; i < questions; ++i) {
        ModelQuestion q;
        q.answer = "old" + std::to_string(i + 1);
        model.questions.push_back(q);
        model.rewardCodes.push_back("CODE" + std::to_string(i + 1));
    }
    return model;
}

struct GoodCase {
    const char* name;
    std::string csv;
    const char* questions;  // as describe() writes them
};

void expectQuestions(const std::vector<GoodCase>& cases) {
    for (const GoodCase& c : cases) {
        const Imported r = importInto(c.csv);
        EXPECT_TRUE(r.ok) << c.name << "\n" << describe(r.problems);
        EXPECT_EQ(describe(r.model.questions), c.questions) << c.name;
    }
}

TEST(CsvImport, ReadsEachSeparatorFoundInTheHeader) {
    expectQuestions({
        {"semicolon", "answer;comment\nParis;Capitale\nLyon;Gones\n",
         "answer=Paris comment=Capitale / answer=Lyon comment=Gones"},
        {"comma", "answer,comment\nParis,Capitale\n", "answer=Paris comment=Capitale"},
        {"tab", "answer\tcomment\nParis\tCapitale\n", "answer=Paris comment=Capitale"},
        {"tab, with spaces inside values", "answer\tcomment\nLe Caire\tsur le Nil\n",
         "answer=Le Caire comment=sur le Nil"},
        {"header separator wins over the data's", "answer;comment\nParis, France;Capitale\n",
         "answer=Paris, France comment=Capitale"},
        {"comma header, semicolon in data", "answer,comment\nParis; France,Capitale\n",
         "answer=Paris; France comment=Capitale"},
        {"one column keeps semicolons and commas", "answer\nParis; France, Europe\nLyon\n",
         "answer=Paris; France, Europe / answer=Lyon"},
        {"one column, quoted", "answer\n\"Paris\"\n", "answer=Paris"},
    });
}

TEST(CsvImport, ReadsQuotedFields) {
    expectQuestions({
        {"separator inside quotes", "answer;comment\n\"Paris; France\";\"a;b\"\n", "answer=Paris; France comment=a;b"},
        {"doubled quotes", "answer;comment\n\"Le \"\"Petit\"\" Prince\";x\n", "answer=Le \"Petit\" Prince comment=x"},
        {"only a doubled quote", "answer\n\"\"\"\"\n", "answer=\""},
        {"LF inside quotes", "answer;comment\nParis;\"ligne 1\nligne 2\"\n", "answer=Paris comment=ligne 1\nligne 2"},
        {"CRLF inside quotes becomes LF", "answer;comment\r\nParis;\"a\r\nb\"\r\n", "answer=Paris comment=a\nb"},
        {"lone CR inside quotes becomes LF", "answer;comment\rParis;\"a\rb\"\r", "answer=Paris comment=a\nb"},
        {"quoted header names", "\"answer\";\"comment\"\nParis;x\n", "answer=Paris comment=x"},
        {"spaces around a quoted field dropped, inside kept", "answer;comment\n  \" Paris \"  ;x\n",
         "answer= Paris  comment=x"},
        {"quote inside an unquoted field kept", "answer;comment\nLe \"Petit\" Prince;x\n",
         "answer=Le \"Petit\" Prince comment=x"},
        {"empty quoted field", "answer;comment\nParis;\"\"\n", "answer=Paris"},
        {"quoted last field without a line end", "answer;comment\nParis;\"x\"", "answer=Paris comment=x"},
    });
}

TEST(CsvImport, TrimsSpacesAroundUnquotedFields) {
    expectQuestions({
        {"spaces", "answer ; comment\n  Paris  ;  la capitale \n", "answer=Paris comment=la capitale"},
        {"tabs, semicolon separator", "answer;comment\n\tParis\t;x\n", "answer=Paris comment=x"},
        {"tab separator keeps empty fields", "answer\tprompt\tcomment\nParis\t\tx\n", "answer=Paris comment=x"},
    });
}

TEST(CsvImport, AcceptsEveryLineEnd) {
    expectQuestions({
        {"LF", "answer;comment\nParis;a\nLyon;b\n", "answer=Paris comment=a / answer=Lyon comment=b"},
        {"CRLF", "answer;comment\r\nParis;a\r\nLyon;b\r\n", "answer=Paris comment=a / answer=Lyon comment=b"},
        {"lone CR", "answer;comment\rParis;a\rLyon;b\r", "answer=Paris comment=a / answer=Lyon comment=b"},
        {"mixed", "answer;comment\r\nParis;a\nLyon;b\r", "answer=Paris comment=a / answer=Lyon comment=b"},
        {"no final line end", "answer;comment\r\nParis;a\r\nLyon;b", "answer=Paris comment=a / answer=Lyon comment=b"},
        {"blank and empty rows skipped", "answer;comment\r\n\r\nParis;a\r\n;\r\n  ; \r\n\r\n",
         "answer=Paris comment=a"},
        {"blank lines above the header", "\n  \r\nanswer;comment\nParis;a\n", "answer=Paris comment=a"},
    });
}

TEST(CsvImport, ReadsTheEncodings) {
    expectQuestions({
        {"UTF-8 byte-order mark", "\xEF\xBB\xBFr\xC3\xA9ponse;commentaire\r\nParis;x\r\n", "answer=Paris comment=x"},
        {"UTF-8 kept as it is", "r\xC3\xA9ponse;commentaire\nEt\xC3\xA9;\xC5\x93uvre\n",
         "answer=Et\xC3\xA9 comment=\xC5\x93uvre"},
        {"Windows-1252 converted",
         "r\xE9ponse;commentaire\r\nEt\xE9;\x9C"
         "uvre \x80 \x85\r\n",
         "answer=Et\xC3\xA9 comment=\xC5\x93uvre \xE2\x82\xAC \xE2\x80\xA6"},
        {"Windows-1252 header matched", "\xC9nonc\xE9;R\xC9PONSE\nCapitale ?;Paris\n",
         "answer=Paris prompt=Capitale ?"},
        {"byte-order mark then Windows-1252", "\xEF\xBB\xBFr\xE9ponse\nEt\xE9\n", "answer=Et\xC3\xA9"},
    });
}

TEST(CsvImport, MatchesColumnNamesLooselyInAnyOrder) {
    struct Case {
        const char* header;
        const char* questions;  // of the row "v"
    };
    const Case cases[] = {
        {"answer", "answer=v"},
        {"r\xC3\xA9ponse", "answer=v"},
        {"R\xC3\x89PONSE", "answer=v"},
        {"Reponse", "answer=v"},
        {"  answer  ", "answer=v"},
        {"Re\xCC\x81ponse", "answer=v"},  // decomposed accent
        {"R\xC3\xA9ponse 1", "answer=v"},
        {"answer2", "answer2=v"},
        {"R\xC3\xA9ponse 2", "answer2=v"},
        {"answer_2", "answer2=v"},
        {"prompt", "prompt=v"},
        {"\xC3\x89nonc\xC3\xA9", "prompt=v"},
        {"enonce", "prompt=v"},
        {"comment", "comment=v"},
        {"Commentaire", "comment=v"},
        {"comment2", "comment2=v"},
        {"Commentaire 2", "comment2=v"},
        {"picture", "picture=v"},
        {"Image", "picture=v"},
        {"solution", "solution=v"},
        {"clip", "clip=v"},
    };
    for (const Case& c : cases) {
        // The answer column comes second, so the tested one is not read as the answer by position.
        const bool isAnswer = std::string(c.questions) == "answer=v";
        const std::string csv = isAnswer ? std::string("code;") + c.header + "\nC;v\n"
                                         : std::string("code;") + c.header + ";answer\nC;v;a\n";
        const std::string expected = isAnswer ? c.questions : std::string("answer=a ") + c.questions;
        const Imported r = importInto(csv);
        EXPECT_TRUE(r.ok) << c.header << "\n" << describe(r.problems);
        EXPECT_EQ(describe(r.model.questions), expected) << c.header;
    }
    const Imported english =
        importInto("clip;code;solution;picture;comment2;comment;prompt;answer2;answer\n1;2;3;4;5;6;7;8;9\n");
    EXPECT_EQ(describe(english.model.questions),
              "answer=9 answer2=8 prompt=7 comment=6 comment2=5 picture=4 solution=3 clip=1");
    EXPECT_EQ(english.model.rewardCodes, std::vector<std::string>{"2"});
    const Imported french =
        importInto("image;\xC3\xA9nonc\xC3\xA9;r\xC3\xA9ponse2;commentaire;r\xC3\xA9ponse;commentaire2\n1;2;3;4;5;6\n");
    EXPECT_EQ(describe(french.model.questions), "answer=5 answer2=3 prompt=2 comment=4 comment2=6 picture=1");
}

struct BadCase {
    const char* name;
    std::string csv;
    int line;
    ModelField field;
    int question;
    const char* inMessage;  // a part of the message
};

void expectProblem(const std::vector<BadCase>& cases, const QuizModel& model = QuizModel()) {
    for (const BadCase& c : cases) {
        const Imported r = importInto(c.csv, model);
        EXPECT_FALSE(r.ok) << c.name;
        ASSERT_EQ(r.problems.size(), 1u) << c.name << "\n" << describe(r.problems);
        const ModelProblem& p = r.problems[0];
        EXPECT_EQ(p.line, c.line) << c.name << ": " << p.message;
        EXPECT_EQ(p.field, c.field) << c.name << ": " << p.message;
        EXPECT_EQ(p.question, c.question) << c.name << ": " << p.message;
        EXPECT_NE(p.message.find(c.inMessage), std::string::npos) << c.name << ": " << p.message;
        EXPECT_EQ(r.model, model) << c.name;
    }
}

TEST(CsvImport, ReportsHeaderProblems) {
    expectProblem({
        {"unknown column", "answer;titel\nParis;x\n", 1, ModelField::unknownKey, -1,
         "la colonne B, \xC2\xAB titel \xC2\xBB, n'est pas une colonne connue"},
        {"unknown column lists the known names", "answer;titel\nParis;x\n", 1, ModelField::unknownKey, -1,
         "r\xC3\xA9ponse (answer), r\xC3\xA9ponse2 (answer2), \xC3\xA9nonc\xC3\xA9 (prompt)"},
        // Which separator won shows in the name of the column left unknown.
        {"the separator splitting the header most", "answer,comment,prompt;x\na,b,c\n", 1, ModelField::unknownKey, -1,
         "\xC2\xAB prompt;x \xC2\xBB"},
        {"a tie goes to the semicolon", "answer;comment,prompt\na;b\n", 1, ModelField::unknownKey, -1,
         "\xC2\xAB comment,prompt \xC2\xBB"},
        {"then to the tab", "answer\tcomment,prompt\na\tb\n", 1, ModelField::unknownKey, -1,
         "\xC2\xAB comment,prompt \xC2\xBB"},
        {"unknown column below blank lines", "\n\nanswer;titel\nParis;x\n", 3, ModelField::unknownKey, -1, "titel"},
        {"duplicate column under two names", "R\xC3\xA9ponse;comment;answer\nParis;x;y\n", 1, ModelField::answer, -1,
         "la colonne C, \xC2\xAB answer \xC2\xBB, reprend la colonne A"},
        {"no answer column", "prompt;comment\nCapitale ?;x\n", 1, ModelField::answer, -1, "answer"},
        {"empty file", "", 1, ModelField::questions, -1, "vide"},
        {"only a byte-order mark", "\xEF\xBB\xBF", 1, ModelField::questions, -1, "vide"},
        {"only blank lines", "\r\n  \r\n\t\n", 1, ModelField::questions, -1, "vide"},
        {"header only", "answer;comment\n", 1, ModelField::questions, -1, "aucune question"},
        {"header and empty rows", "answer;comment\r\n;\r\n\r\n", 1, ModelField::questions, -1, "aucune question"},
    });
}

TEST(CsvImport, ReportsRowProblemsOnTheirPhysicalLine) {
    expectProblem({
        {"value beyond the named columns", "answer;comment\nParis;x\nLyon;y;z\n", 3, ModelField::none, 1,
         "colonne C, \xC2\xAB z \xC2\xBB"},
        {"after a quoted line break", "answer;comment\n\"Pa\nris\";x\nLyon;y;z\n", 4, ModelField::none, 1, "z"},
        {"after quoted CRLFs", "answer;comment\r\nParis;\"a\r\nb\r\nc\"\r\nLyon;y;z\r\n", 5, ModelField::none, 1, "z"},
        {"after a lone CR", "answer;comment\rParis;a\rLyon;y;z\r", 3, ModelField::none, 1, "z"},
        {"after skipped blank rows", "answer;comment\n\n;\nLyon;y;z\n", 4, ModelField::none, 0, "z"},
        {"with a byte-order mark",
         "\xEF\xBB\xBF"
         "answer;comment\nLyon;y;z\n",
         2, ModelField::none, 0, "z"},
        {"value in a column without name", "answer;;comment\nParis;oops;x\n", 2, ModelField::none, 0,
         "la colonne B n'a pas de nom"},
        {"unterminated quote: the line it began on", "answer;comment\nParis;x\nLyon;\"un\ndeux\n", 3,
         ModelField::comment, 1, "jamais ferm\xC3\xA9"},
        {"unterminated quote in the header", "answer;\"comment\n", 1, ModelField::none, -1, "jamais ferm\xC3\xA9"},
        {"text after a closing quote", "answer;comment\n\"Il a dit \"oui\" hier\";x\n", 2, ModelField::answer, 0,
         "guillemet"},
        {"NUL byte, on its line", std::string("answer\nParis\nLy\0on\n", 18), 3, ModelField::none, -1, "octet nul"},
        {"UTF-16 file",
         std::string("\xFF\xFE"
                     "a\0n\0",
                     6),
         1, ModelField::none, -1, "UTF-16"},
    });
}

TEST(CsvImport, AcceptsEmptyFieldsBeyondTheHeader) {
    expectQuestions({
        {"trailing separator", "answer;comment\nParis;x;\n", "answer=Paris comment=x"},
        {"empty unnamed columns", "answer;comment;;\nParis;x;;\n", "answer=Paris comment=x"},
        {"fewer fields than columns", "answer;comment;prompt\nParis\n", "answer=Paris"},
    });
}

// A row is the same question whatever the quiz holds already, so that every
// front-end names it alike; its cell is named by the header the file gives.
TEST(CsvImport, NamesTheRowByItsPlaceInTheTableAndItsColumnByItsHeader) {
    for (int inModel : {0, 1, 2}) {
        const Imported r =
            importInto("\xC3\x89nonc\xC3\xA9;answer\nx;Paris\ny;Lyon\nz;\"Nice\"x\n", modelWith(inModel));
        ASSERT_EQ(r.problems.size(), 1u) << inModel;
        EXPECT_EQ(r.problems[0].question, 2) << inModel;
        EXPECT_EQ(formatProblem("t.csv", r.problems[0]),
                  "t.csv:4: question 3, colonne \xC2\xAB answer \xC2\xBB: du texte suit le guillemet qui ferme une "
                  "valeur ; dans une valeur entre guillemets, un guillemet s'\xC3\xA9"
                  "crit deux fois (\"\")")
            << inModel;
    }
}

TEST(CsvImport, RefusesMoreThan96Questions) {
    struct Case {
        const char* name;
        int inModel;
        int rows;
        bool ok;
        int line;  // of the 97th question: row n of the table is on line n + 3, the first on 3
    };
    const Case cases[] = {
        {"96 from an empty model", 0, 96, true, 0},
        {"97 from an empty model", 0, 97, false, 100},
        {"90 then 6", 90, 6, true, 0},
        {"90 then 7", 90, 7, false, 10},
        {"96 then 1", 96, 1, false, 3},
        {"200 rows", 0, 200, false, 100},
    };
    for (const Case& c : cases) {
        // A blank row and a two-line answer before the rows, so that neither is counted as a question line.
        std::string csv = "answer\n\n\"two\nlines\"\n";
        for (int i = 1; i < c.rows; ++i) csv += "q" + std::to_string(i) + "\n";
        const QuizModel before = modelWith(c.inModel);
        const Imported r = importInto(csv, before);
        EXPECT_EQ(r.ok, c.ok) << c.name << "\n" << describe(r.problems);
        if (c.ok) {
            EXPECT_EQ(r.model.questions.size(), static_cast<size_t>(c.inModel + c.rows)) << c.name;
            continue;
        }
        ASSERT_EQ(r.problems.size(), 1u) << c.name << "\n" << describe(r.problems);
        EXPECT_EQ(r.problems[0].line, c.line) << c.name;
        EXPECT_EQ(r.problems[0].field, ModelField::questions) << c.name;
        EXPECT_EQ(r.problems[0].question, 96) << c.name;
        EXPECT_NE(r.problems[0].message.find("au plus 96"), std::string::npos) << c.name << r.problems[0].message;
        EXPECT_EQ(r.model, before) << c.name;
    }
}

TEST(CsvImport, CodeColumnSetsTheRewardCodeOfEachNewScore) {
    struct Case {
        const char* name;
        QuizModel model;
        std::string csv;
        std::vector<std::string> codes;
    };
    QuizModel codesMissing = modelWith(2);
    codesMissing.rewardCodes.clear();
    QuizModel codesAhead = modelWith(1);
    codesAhead.rewardCodes = {"UN", "DEUX", "TROIS", "QUATRE"};
    const Case cases[] = {
        {"empty model", QuizModel(), "code;answer\nA;Paris\nB;Lyon\n", {"A", "B"}},
        {"after two questions", modelWith(2), "answer;code\nParis;C3\nLyon;C4\n", {"CODE1", "CODE2", "C3", "C4"}},
        {"no code column", modelWith(2), "answer\nParis\nLyon\n", {"CODE1", "CODE2", "", ""}},
        {"an empty code cell", modelWith(1), "answer;code\nParis;\nLyon;C3\n", {"CODE1", "", "C3"}},
        {"model without codes", codesMissing, "answer;code\nParis;C3\n", {"", "", "C3"}},
        {"more codes than questions are kept", codesAhead, "answer\nParis\n", {"UN", "DEUX", "TROIS", "QUATRE"}},
        {"more codes, code column", codesAhead, "answer;code\nParis;D\n", {"UN", "D", "TROIS", "QUATRE"}},
    };
    for (const Case& c : cases) {
        const Imported r = importInto(c.csv, c.model);
        ASSERT_TRUE(r.ok) << c.name << "\n" << describe(r.problems);
        EXPECT_EQ(r.model.rewardCodes, c.codes) << c.name;
        // The questions already there stay first, untouched.
        ASSERT_GE(r.model.questions.size(), c.model.questions.size()) << c.name;
        for (size_t i = 0; i < c.model.questions.size(); ++i) {
            EXPECT_EQ(r.model.questions[i], c.model.questions[i]) << c.name;
        }
        EXPECT_EQ(r.model.title, c.model.title) << c.name;
    }
}

TEST(CsvImport, LeavesTheModelAndEarlierProblemsAsTheyWereOnFailure) {
    const char* const failing[] = {
        "answer;titel\nParis;x\n",
        "answer;comment\nParis;x\nLyon;y;z\n",
        "answer\nParis\n\"Lyon\n",
        "",
    };
    for (const char* csv : failing) {
        QuizModel model = modelWith(3);
        const QuizModel before = model;
        ModelProblem earlier;
        earlier.message = "earlier";
        std::vector<ModelProblem> problems{earlier};
        EXPECT_FALSE(importQuestionsCsv(csv, model, problems)) << csv;
        EXPECT_EQ(model, before) << csv;
        ASSERT_GE(problems.size(), 2u) << csv;
        EXPECT_EQ(problems[0].message, "earlier") << csv;
    }
}

TEST(CsvImport, ReportsEveryProblemAtOnceUpToALimit) {
    const Imported some = importInto("answer;titel\nParis;x;y\n\"a\"b\n");
    EXPECT_EQ(some.problems.size(), 3u) << describe(some.problems);

    std::string csv = "answer\n";
    for (int i = 0; i < 10000; ++i) csv += "\"a\"b\n";
    const Imported many = importInto(csv);
    EXPECT_FALSE(many.ok);
    ASSERT_EQ(many.problems.size(), 51u);
    EXPECT_NE(many.problems.back().message.find("trop de probl\xC3\xA8mes"), std::string::npos);
    EXPECT_EQ(many.problems.back().line, 52);
}

TEST(CsvImport, ReadsLargeQuotedFieldsInOnePass) {
    // A million doubled quotes after an opening one: one long field, never closed.
    const Imported open = importInto("answer\n" + std::string(2000001, '"'));
    ASSERT_EQ(open.problems.size(), 1u);
    EXPECT_EQ(open.problems[0].line, 2);
    // Closed: one answer of a million quotes, and an excerpt in no message.
    const Imported closed = importInto("answer\n" + std::string(2000002, '"') + "\n");
    ASSERT_TRUE(closed.ok) << describe(closed.problems);
    EXPECT_EQ(closed.model.questions[0].answer, std::string(1000000, '"'));
    const Imported longValue = importInto("answer\nParis;" + std::string(100000, 'x') + "\n");
    EXPECT_TRUE(longValue.ok);  // one column: the semicolon is part of the answer
    const Imported longExtra = importInto("answer;comment\nParis;a;" + std::string(100000, 'x') + "\n");
    ASSERT_EQ(longExtra.problems.size(), 1u);
    EXPECT_LT(longExtra.problems[0].message.size(), 300u);
}

}  // namespace

namespace {

// An imported table builds as it comes: its comments and solution pictures
// get a reveal mode that shows them, and the choice is told.
TEST(CsvImport, ChoosesTheRevealModeThatShowsTheTablesColumns) {
    const struct {
        const char* name;
        int32_t kind;
        int32_t reveal;  // the quiz's before the import
        const char* csv;
        int32_t expected;
        int32_t chosen;  // -1: kept
    } rows[] = {
        {"no comment", kindPictures, 0, "image;r\xC3\xA9ponse;code\n1.png;a;X\n", 0, -1},
        {"a comment column", kindPictures, 0, "image;r\xC3\xA9ponse;commentaire;code\n1.png;a;c;X\n", 2, 2},
        {"a solution column", kindPictures, 0, "image;r\xC3\xA9ponse;solution;code\n1.png;a;s.png;X\n", 1, 1},
        {"both", kindPictures, 0, "image;r\xC3\xA9ponse;solution;commentaire;code\n1.png;a;s.png;c;X\n", 3, 3},
        {"a second comment", kindPictures, 0, "image;r\xC3\xA9ponse;solution;commentaire2;code\n1.png;a;s.png;c;X\n", 3,
         3},
        {"comments added to solutions", kindPictures, 1,
         "image;r\xC3\xA9ponse;solution;commentaire;code\n1.png;a;s.png;c;X\n", 3, 3},
        {"a mode that shows them already", kindPictures, 4, "image;r\xC3\xA9ponse;commentaire;code\n1.png;a;c;X\n", 4,
         -1},
        {"an empty comment column", kindPictures, 0, "image;r\xC3\xA9ponse;commentaire;code\n1.png;a;;X\n", 0, -1},
        {"comments of a clip", kindAudio, 0, "extrait;r\xC3\xA9ponse;commentaire;code\n1.mp3;a;c;X\n", 2, 2},
    };
    for (const auto& row : rows) {
        QuizModel model;
        model.kind = row.kind;
        model.title = "T";
        model.reveal = row.reveal;
        std::vector<ModelProblem> problems;
        CsvImportSummary summary;
        ASSERT_TRUE(importQuestionsCsv(row.csv, model, problems, &summary)) << row.name;
        EXPECT_EQ(model.reveal, row.expected) << row.name;
        EXPECT_EQ(summary.revealChosen, row.chosen) << row.name;
        EXPECT_EQ(summary.questions, 1u) << row.name;
        EXPECT_TRUE(checkQuiz(model).empty()) << row.name << ": " << checkQuiz(model)[0].message;
    }
    EXPECT_EQ(revealChosenNotice(3, false),
              "apr\xC3\xA8s une bonne r\xC3\xA9ponse, le quiz montre le commentaire et l'image solution "
              "(reveal = \"comment-and-picture\"), comme le tableau en donne");
    EXPECT_EQ(revealChosenNotice(2, true),
              "Apr\xC3\xA8s une bonne r\xC3\xA9ponse : le commentaire, comme le tableau en donne");
}

}  // namespace
