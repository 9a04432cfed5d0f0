#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "quiz/lzw.h"
#include "tools/quizpack/quizSource.h"

namespace {

using Bytes = std::vector<uint8_t>;

const char* const validText = R"(kind = "text"
title = "Capitales d'été"
author = "Moi"
explanations = "Trouvez la capitale"
reveal = "comment"
colour = [16, 32, 48]
reward_codes = ["UN", "DEUX"]

[[question]]
answer = "Paris"
prompt = "France — œuvre"
comment = "Ville lumière"

[[question]]
answer = "Berlin"
prompt = "Allemagne"
comment = "Mur"
)";

struct Parsed {
    bool ok;
    QuizDocument document;
    std::vector<std::string> errors;
};

Parsed parse(const std::string& text) {
    Parsed out;
    out.ok = parseQuizToml(text, "quiz.toml", portableCodec, out.document, out.errors);
    return out;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\n";
    return out;
}

// A source with `header` lines, then `count` questions each made of `question`.
std::string source(const std::string& header, int count, const std::string& question) {
    std::string out = header + "\nreward_codes = [";
    for (int i = 0; i < count; ++i) out += std::string(i ? ", " : "") + "\"c" + std::to_string(i) + "\"";
    out += "]\n";
    for (int i = 0; i < count; ++i) out += "\n[[question]]\n" + question + "\n";
    return out;
}

TEST(QuizSourceParse, AValidSourceGivesWindows1252Texts) {
    Parsed p = parse(validText);
    ASSERT_TRUE(p.ok) << joined(p.errors);
    const QuizSource& s = p.document.source;
    EXPECT_EQ(s.kind, kindText);
    EXPECT_EQ(s.title, "Capitales d'\xE9t\xE9");
    EXPECT_EQ(s.revealMode, 2);
    EXPECT_EQ(s.answersPerQuestion, 1);
    EXPECT_EQ(s.colourRed, 16);
    EXPECT_EQ(s.colourGreen, 32);
    EXPECT_EQ(s.colourBlue, 48);
    ASSERT_EQ(s.questions.size(), 2u);
    EXPECT_EQ(s.questions[0].prompt,
              "France \x97 \x9C"
              "uvre");
    EXPECT_EQ(s.questions[0].comment, "Ville lumi\xE8re");
    EXPECT_EQ(s.rewardCodes, (std::vector<std::string>{"UN", "DEUX"}));
    EXPECT_EQ(p.document.media.size(), 2u);
}

TEST(QuizSourceParse, NamedValuesAndColourForms) {
    const std::string q2 =
        "answer = \"a\"\nanswer2 = \"b\"\npicture = \"p.png\"\nsolution = \"s.jpg\"\n"
        "comment = \"c\"\ncomment2 = \"d\"";
    Parsed p =
        parse(source("kind = \"pictures\"\ntitle = \"T\"\nanswers_per_question = 2\ncaptions = [\"X\", \"Y\"]\n"
                     "reveal = \"comment-and-picture\"\ncolour = \"#35cbA3\"",
                     3, q2));
    ASSERT_TRUE(p.ok) << joined(p.errors);
    const QuizSource& s = p.document.source;
    EXPECT_EQ(s.kind, kindPictures);
    EXPECT_EQ(s.revealMode, 3);
    EXPECT_EQ(s.answersPerQuestion, 2);
    EXPECT_EQ(s.caption1, "X");
    EXPECT_EQ(s.caption2, "Y");
    EXPECT_EQ(s.colourBlue, 0xA3);
    EXPECT_EQ(s.colourRed, 0x35);
    EXPECT_EQ(s.colourGreen, 0xCB);
    EXPECT_EQ(s.questions[2].answer2, "b");
    EXPECT_EQ(s.questions[2].secondComment, "d");
    EXPECT_EQ(p.document.media[1].picture, "p.png");
    EXPECT_EQ(p.document.media[1].solution, "s.jpg");
    EXPECT_EQ(p.document.media[1].solutionLine, 21);

    const char* kinds[] = {"text", "pictures", "audio", "video"};
    for (int k = 0; k < 4; ++k) {
        const std::string media = k == 1 ? "\npicture = \"p.jpg\"" : k >= 2 ? "\nclip = \"c.mp3\"" : "";
        Parsed q =
            parse(source("kind = \"" + std::string(kinds[k]) + "\"\ntitle = \"T\"", 3, "answer = \"a\"" + media));
        ASSERT_TRUE(q.ok) << kinds[k] << "\n" << joined(q.errors);
        EXPECT_EQ(q.document.source.kind, k) << kinds[k];
    }
    const char* reveals[] = {"none", "solution-picture", "comment", "comment-and-picture", "all-comments"};
    for (int r = 0; r < 5; ++r) {
        std::string question = "answer = \"a\"\npicture = \"p.jpg\"";
        if (r == 1 || r == 3) question += "\nsolution = \"s.jpg\"";
        if (r >= 2) question += "\ncomment = \"c\"";
        Parsed q = parse(
            source("kind = \"pictures\"\ntitle = \"T\"\nreveal = \"" + std::string(reveals[r]) + "\"", 3, question));
        ASSERT_TRUE(q.ok) << reveals[r] << "\n" << joined(q.errors);
        EXPECT_EQ(q.document.source.revealMode, r) << reveals[r];
    }
}

TEST(QuizSourceParse, TextLengthCountsWindows1252Bytes) {
    std::string e259, e260;
    for (int i = 0; i < 259; ++i) e259 += "\xC3\xA9";  // 518 UTF-8 bytes, 259 in Windows-1252
    e260 = e259 + "\xC3\xA9";
    EXPECT_TRUE(parse(source("kind = \"text\"\ntitle = \"" + e259 + "\"", 1, "answer = \"a\"")).ok);
    Parsed p = parse(source("kind = \"text\"\ntitle = \"" + e260 + "\"", 1, "answer = \"a\""));
    EXPECT_FALSE(p.ok);
    EXPECT_NE(joined(p.errors).find("quiz.toml:2: title: is 260 characters long"), std::string::npos)
        << joined(p.errors);
}

// Each bad source names the file, the line where one is known, the field and the fault.
TEST(QuizSourceParse, EveryBadSourceIsRefusedWithALocatedMessage) {
    const std::string text = "kind = \"text\"\ntitle = \"T\"";
    const std::string pics = "kind = \"pictures\"\ntitle = \"T\"";
    struct Row {
        const char* name;
        std::string text;
        const char* expected;
    } rows[] = {
        {"unknown key", source(text + "\ntitel = \"x\"", 1, "answer = \"a\""), "quiz.toml:3: titel: unknown key"},
        {"unknown question key", source(text, 1, "answer = \"a\"\nanwser = \"b\""),
         "quiz.toml:7: question 1, anwser: unknown key"},
        {"bar in a text", source(text, 1, "answer = \"a|b\""), "quiz.toml:6: question 1, answer: contains \"|\""},
        {"character outside Windows-1252", source("kind = \"text\"\ntitle = \"\xC4\x80\"", 1, "answer = \"a\""),
         "quiz.toml:2: title: holds a character that Windows-1252 cannot hold"},
        {"NUL in a text", source(text + "\nauthor = \"a\\u0000b\"", 1, "answer = \"a\""),
         "quiz.toml:3: author: contains a NUL character"},
        {"kind out of range", source("kind = \"movie\"\ntitle = \"T\"", 1, "answer = \"a\""),
         "quiz.toml:1: kind: must be one of \"text\", \"pictures\", \"audio\", \"video\""},
        {"kind as a number", source("kind = 1\ntitle = \"T\"", 1, "answer = \"a\""),
         "quiz.toml:1: kind: must be one of"},
        {"three answers per question", source(text + "\nanswers_per_question = 3", 1, "answer = \"a\""),
         "quiz.toml:3: answers_per_question: must be 1 or 2"},
        {"reveal out of range", source(text + "\nreveal = \"sometimes\"", 1, "answer = \"a\""),
         "quiz.toml:3: reveal: must be one of \"none\""},
        {"97 questions", source(text, 97, "answer = \"a\""),
         "question: there are 97 questions; the player holds at most 96"},
        {"reward codes fewer than questions",
         text + "\nreward_codes = [\"x\"]\n[[question]]\nanswer = \"a\"\n[[question]]\nanswer = \"b\"\n",
         "quiz.toml:3: reward_codes: has 1 codes for 2 questions"},
        {"no reward codes", text + "\n[[question]]\nanswer = \"a\"\n", "quiz.toml: reward_codes: is missing"},
        {"line break in a reward code", text + "\nreward_codes = [\"x\\ny\"]\n[[question]]\nanswer = \"a\"\n",
         "quiz.toml:3: reward_codes[1]: holds a line break"},
        {"no question", text + "\nreward_codes = []\n", "quiz.toml: question: there is no [[question]]"},
        {"question not a table", text + "\nreward_codes = []\nquestion = [1]\n",
         "quiz.toml:4: question: must be written as [[question]] tables"},
        {"missing answer", source(text, 1, "prompt = \"p\""), "quiz.toml:5: question 1, answer: is missing"},
        {"empty answer", source(text, 1, "answer = \"\""), "quiz.toml:6: question 1, answer: is empty"},
        {"second answer missing", source(text + "\nanswers_per_question = 2", 1, "answer = \"a\""),
         "question 1, answer2: is missing"},
        {"second answer unused", source(text, 1, "answer = \"a\"\nanswer2 = \"b\""),
         "quiz.toml:7: question 1, answer2: is used only with answers_per_question = 2"},
        {"comment not revealed", source(text, 1, "answer = \"a\"\ncomment = \"c\""),
         "quiz.toml:7: question 1, comment: is shown only with reveal"},
        {"second comment outside mode 3",
         source(text + "\nreveal = \"comment\"", 1, "answer = \"a\"\ncomment2 = \"c\""),
         "question 1, comment2: is stored only with reveal = \"comment-and-picture\""},
        {"picture in a text quiz", source(text, 1, "answer = \"a\"\npicture = \"p.jpg\""),
         "quiz.toml:7: question 1, picture: is not used by this quiz"},
        {"picture missing", source(pics, 3, "answer = \"a\""), "question 1, picture: is missing"},
        {"solution missing", source(pics + "\nreveal = \"solution-picture\"", 3, "answer = \"a\"\npicture = \"p.jpg\""),
         "question 1, solution: is missing"},
        {"solution not revealed", source(pics, 3, "answer = \"a\"\npicture = \"p.jpg\"\nsolution = \"s.jpg\""),
         "question 1, solution: is not used by this quiz"},
        {"clip missing", source("kind = \"audio\"\ntitle = \"T\"", 1, "answer = \"a\""),
         "question 1, clip: is missing"},
        {"solution reveal in an audio quiz",
         source("kind = \"audio\"\ntitle = \"T\"\nreveal = \"solution-picture\"", 1,
                "answer = \"a\"\nclip = \"c.mp3\""),
         "quiz.toml:3: reveal: a solution picture can be revealed only in a quiz of kind \"pictures\""},
        {"bad colour text", source(text + "\ncolour = \"#12345\"", 1, "answer = \"a\""),
         "quiz.toml:3: colour: must be"},
        {"bad colour list", source(text + "\ncolour = [1, 2, 300]", 1, "answer = \"a\""),
         "quiz.toml:3: colour: must be"},
        {"title missing", source("kind = \"text\"", 1, "answer = \"a\""), "quiz.toml: title: is missing"},
        {"title not a string", source("kind = \"text\"\ntitle = 3", 1, "answer = \"a\""),
         "quiz.toml:2: title: must be a string"},
        {"TOML syntax", "kind = \"text\"\ntitle = \"unterminated\n", "quiz.toml:2: "},
    };
    for (const Row& row : rows) {
        Parsed p = parse(row.text);
        EXPECT_FALSE(p.ok) << row.name;
        EXPECT_NE(joined(p.errors).find(row.expected), std::string::npos)
            << row.name << ": expected \"" << row.expected << "\" in:\n"
            << joined(p.errors);
    }
}

TEST(QuizSourceParse, AllProblemsAreReportedAtOnce) {
    Parsed p = parse(source("kind = \"text\"\ntitle = \"a|b\"\nreveal = \"x\"", 1, "answer = \"\""));
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.errors.size(), 3u) << joined(p.errors);
}

// ---- Assembling ----------------------------------------------------------------

std::map<std::string, Bytes> files;

bool readFake(const std::string& path, Bytes& bytes) {
    auto found = files.find(path);
    if (found == files.end()) return false;
    bytes = found->second;
    return true;
}

bool refusePng(const Bytes&) {
    return false;
}

bool readFileForTest(const std::string& path, Bytes& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

const Bytes pngBytes = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13};
const Bytes jpegBytes = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F'};
const Bytes wavBytes = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};

QuizDocument parsedOrFail(const std::string& text) {
    Parsed p = parse(text);
    EXPECT_TRUE(p.ok) << joined(p.errors);
    return p.document;
}

Bytes decode(const Bytes& stream) {
    uint8_t* out = nullptr;
    int32_t length = 0;
    EXPECT_EQ(lzwDecode(stream.data(), static_cast<uint32_t>(stream.size()), &out, &length), lzwOk);
    Bytes bytes(out, out + (length > 2 ? length - 2 : 0));
    lzwFree(out);
    return bytes;
}

const char* const picturesQuiz = R"(kind = "pictures"
title = "Images"
reveal = "solution-picture"
reward_codes = ["a", "b", "c"]
[[question]]
answer = "un"
picture = "media/1.png"
solution = "media/s1.jpg"
[[question]]
answer = "deux"
picture = "media/2.jpg"
solution = "media/s2.png"
[[question]]
answer = "trois"
picture = "media/2.jpg"
solution = "media/s1.jpg"
)";

void addPictureFiles() {
    files = {{"dir/media/1.png", pngBytes},
             {"dir/media/2.jpg", jpegBytes},
             {"dir/media/s1.jpg", jpegBytes},
             {"dir/media/s2.png", pngBytes}};
}

TEST(QuizSourceAssemble, PicturesGoToTheirNumbersPngAsRawData) {
    addPictureFiles();
    QuizDocument document = parsedOrFail(picturesQuiz);
    std::vector<PackedResource> out;
    std::vector<std::string> errors;
    ASSERT_TRUE(assembleQuiz(document, "dir/quiz.toml", readFake, nullptr, out, errors)) << joined(errors);
    struct Row {
        ResourceKind kind;
        uint16_t id;
        const Bytes* data;
    } rows[] = {{ResourceKind::rcdata, 401, &pngBytes},   {ResourceKind::img, 402, &jpegBytes},
                {ResourceKind::img, 403, &jpegBytes},     {ResourceKind::img, 10401, &jpegBytes},
                {ResourceKind::rcdata, 10402, &pngBytes}, {ResourceKind::img, 10403, &jpegBytes}};
    EXPECT_EQ(out.size(), 8u);
    for (const Row& row : rows) {
        const PackedResource* r = findResource(out, row.kind, row.id);
        ASSERT_NE(r, nullptr) << row.id;
        EXPECT_EQ(r->data, *row.data) << row.id;
    }
    const PackedResource* quiz = findResource(out, ResourceKind::patch, quizResourceId);
    const PackedResource* codes = findResource(out, ResourceKind::patch, codesResourceId);
    ASSERT_TRUE(quiz && codes);
    EXPECT_EQ(decode(quiz->data), writeQuizLayout(document.source));
    EXPECT_EQ(decode(codes->data), (Bytes{'a', '\r', '\n', 'b', '\r', '\n', 'c', '\r', '\n'}));
}

TEST(QuizSourceAssemble, ClipsAreImgWhateverTheirFormat) {
    files = {{"c1.wav", wavBytes}, {"c2.png", pngBytes}};
    QuizDocument document = parsedOrFail(
        "kind = \"audio\"\ntitle = \"T\"\nreward_codes = [\"a\", \"b\"]\n[[question]]\nanswer = \"a\"\nclip = "
        "\"c1.wav\"\n[[question]]\nanswer = \"b\"\nclip = \"c2.png\"\n");
    std::vector<PackedResource> out;
    std::vector<std::string> errors;
    ASSERT_TRUE(assembleQuiz(document, "quiz.toml", readFake, refusePng, out, errors)) << joined(errors);
    ASSERT_NE(findResource(out, ResourceKind::img, 401), nullptr);
    ASSERT_NE(findResource(out, ResourceKind::img, 402), nullptr);
    EXPECT_EQ(findResource(out, ResourceKind::img, 402)->data, pngBytes);
}

TEST(QuizSourceAssemble, MediaProblemsAreLocatedAndNothingIsProduced) {
    struct Row {
        const char* name;
        std::map<std::string, Bytes> files;
        PngChecker png;
        const char* expected;
    } rows[] = {
        {"missing file",
         {{"dir/media/1.png", pngBytes}, {"dir/media/2.jpg", jpegBytes}},
         nullptr,
         "dir/quiz.toml:8: question 1, solution: cannot read the file \"dir/media/s1.jpg\""},
        {"empty file",
         {{"dir/media/1.png", {}},
          {"dir/media/2.jpg", jpegBytes},
          {"dir/media/s1.jpg", jpegBytes},
          {"dir/media/s2.png", pngBytes}},
         nullptr,
         "dir/quiz.toml:7: question 1, picture: the file \"dir/media/1.png\" is empty"},
        {"not a picture",
         {{"dir/media/1.png", pngBytes},
          {"dir/media/2.jpg", wavBytes},
          {"dir/media/s1.jpg", jpegBytes},
          {"dir/media/s2.png", pngBytes}},
         nullptr,
         "dir/quiz.toml:11: question 2, picture: \"dir/media/2.jpg\" is not a PNG, JPEG"},
        {"PNG the decoder refuses",
         {{"dir/media/1.png", pngBytes},
          {"dir/media/2.jpg", jpegBytes},
          {"dir/media/s1.jpg", jpegBytes},
          {"dir/media/s2.png", pngBytes}},
         refusePng,
         "dir/quiz.toml:7: question 1, picture: the player's PNG decoder cannot read \"dir/media/1.png\""},
    };
    for (const Row& row : rows) {
        files = row.files;
        QuizDocument document = parsedOrFail(picturesQuiz);
        std::vector<PackedResource> out;
        std::vector<std::string> errors;
        EXPECT_FALSE(assembleQuiz(document, "dir/quiz.toml", readFake, row.png, out, errors)) << row.name;
        EXPECT_TRUE(out.empty()) << row.name;
        EXPECT_NE(joined(errors).find(row.expected), std::string::npos)
            << row.name << ": expected \"" << row.expected << "\" in:\n"
            << joined(errors);
    }
}

TEST(QuizSourceAssemble, AQuizTooLargeForTheStreamIsRefused) {
    // 96 questions of four full texts each, hardly compressible: beyond what one stream may carry.
    uint32_t seed = 1;
    auto noise = [&seed]() {
        std::string text;
        for (int i = 0; i < 259; ++i) {
            seed = seed * 1103515245u + 12345u;
            text += static_cast<char>('a' + (seed >> 16) % 26);
        }
        return text;
    };
    QuizDocument document;
    document.source.answersPerQuestion = 2;
    document.source.revealMode = 2;
    for (int i = 0; i < 96; ++i) {
        document.source.questions.push_back({noise(), noise(), noise(), noise(), ""});
        document.source.rewardCodes.push_back("c");
    }
    document.media.resize(96);
    ASSERT_EQ(quizSourceProblem(document.source), nullptr);
    std::vector<PackedResource> out;
    std::vector<std::string> errors;
    EXPECT_FALSE(assembleQuiz(document, "quiz.toml", readFake, nullptr, out, errors));
    EXPECT_TRUE(out.empty());
    EXPECT_NE(joined(errors).find("quiz.toml: the quiz texts are too large for the player's compressed resource"),
              std::string::npos)
        << joined(errors);
}

Bytes testFile(const std::string& name) {
    Bytes bytes;
    EXPECT_TRUE(readFileForTest(std::string(VETRA_TESTDATA_DIR) + "/pngsuite/" + name, bytes)) << name;
    return bytes;
}

TEST(QuizSourceAssemble, PngCheckUsesThePlayersDecoder) {
    struct Row {
        const char* file;
        bool readable;
    } rows[] = {{"basn2c08.png", true}, {"basi3p02.png", true}, {"xs1n0g01.png", false}, {"xcrn0g04.png", false}};
    for (const Row& row : rows) EXPECT_EQ(playerReadsPng(testFile(row.file)), row.readable) << row.file;
}

TEST(QuizSourceAssemble, MediaPathsJoinTheSourceFolder) {
    struct Row {
        const char* source;
        const char* relative;
        const char* expected;
    } rows[] = {{"quiz.toml", "a/b.png", "a/b.png"},
                {"dir/quiz.toml", "b.png", "dir/b.png"},
                {"C:\\q\\quiz.toml", "b.png", "C:\\q\\b.png"},
                {"dir/quiz.toml", "/abs/b.png", "/abs/b.png"},
                {"dir/quiz.toml", "D:\\b.png", "D:\\b.png"}};
    for (const Row& row : rows) EXPECT_EQ(mediaPath(row.source, row.relative), row.expected) << row.source;
}

// ---- Extraction ------------------------------------------------------------------

std::vector<PackedResource> assembled(const std::string& text) {
    QuizDocument document = parsedOrFail(text);
    std::vector<PackedResource> out;
    std::vector<std::string> errors;
    EXPECT_TRUE(assembleQuiz(document, "dir/quiz.toml", readFake, nullptr, out, errors)) << joined(errors);
    return out;
}

// Extracts into the fake file system under dir/back/, then packs the result again.
std::vector<PackedResource> extractedAndRebuilt(const std::vector<PackedResource>& resources, std::string& toml) {
    std::vector<ExtractedFile> extracted;
    std::string error;
    EXPECT_TRUE(disassembleQuiz(resources, portableCodec, "back/", toml, extracted, error)) << error;
    for (const ExtractedFile& file : extracted) files["dir/back/" + file.name] = *file.data;
    return assembled(toml);
}

void expectSameResources(const std::vector<PackedResource>& a, const std::vector<PackedResource>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (const PackedResource& r : a) {
        const PackedResource* copy = findResource(b, r.kind, r.id);
        ASSERT_NE(copy, nullptr) << r.id;
        EXPECT_EQ(copy->data, r.data) << r.id;
    }
}

TEST(QuizSourceExtract, BuildExtractBuildGivesTheSameResources) {
    addPictureFiles();
    const std::string twoAnswers = R"(kind = "pictures"
title = "Deux \"réponses\" \\ tab	fin"
author = "Zoë"
answers_per_question = 2
captions = ["Nom", "Prénom"]
reveal = "comment-and-picture"
colour = "#010203"
reward_codes = ["a", "", "c"]
[[question]]
answer = "un"
answer2 = "deux"
prompt = "€ œ —"
comment = "c1"
comment2 = "hidden"
picture = "media/1.png"
solution = "media/s1.jpg"
[[question]]
answer = "trois"
answer2 = "quatre"
comment = ""
picture = "media/2.jpg"
solution = "media/s2.png"
[[question]]
answer = "cinq"
answer2 = "six"
picture = "media/2.jpg"
solution = "media/s2.png"
)";
    for (const std::string& text : {std::string(picturesQuiz), std::string(validText), twoAnswers}) {
        const std::vector<PackedResource> first = assembled(text);
        std::string toml;
        const std::vector<PackedResource> second = extractedAndRebuilt(first, toml);
        SCOPED_TRACE(toml);
        expectSameResources(first, second);
    }
}

TEST(QuizSourceExtract, MediaAreNamedByNumberAndFormat) {
    addPictureFiles();
    std::string toml;
    std::vector<ExtractedFile> extracted;
    std::string error;
    ASSERT_TRUE(disassembleQuiz(assembled(picturesQuiz), portableCodec, "m/", toml, extracted, error)) << error;
    std::vector<std::string> names;
    for (const ExtractedFile& file : extracted) names.push_back(file.name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"401.png", "10401.jpg", "402.jpg", "10402.png", "403.jpg", "10403.jpg"}));
    EXPECT_NE(toml.find("picture = \"m/401.png\""), std::string::npos) << toml;
}

TEST(QuizSourceExtract, WhatCannotBeASourceIsRefused) {
    QuizSource strange;
    strange.questions = {{"a", "", "", "", ""}};
    strange.rewardCodes = {"x"};
    auto stream = [](const Bytes& layout) {
        uint8_t* out = nullptr;
        int32_t length = 0;
        EXPECT_EQ(lzwEncode(layout.data(), static_cast<uint32_t>(layout.size()), &out, &length), lzwOk);
        Bytes bytes(out, out + length - 1);
        lzwFree(out);
        return bytes;
    };
    auto with = [&](int kind, int answers, int reveal) {
        QuizSource s = strange;
        s.kind = kind, s.answersPerQuestion = answers, s.revealMode = reveal;
        return std::vector<PackedResource>{{ResourceKind::patch, quizResourceId, stream(writeQuizLayout(s))}};
    };
    struct Row {
        const char* name;
        std::vector<PackedResource> resources;
        const char* expected;
    } rows[] = {
        {"no quiz", {}, "no PATCH resource 104"},
        {"not a stream", {{ResourceKind::patch, quizResourceId, {0xFF, 0xFF, 0xFF}}}, "does not decode"},
        {"layout cut short", {{ResourceKind::patch, quizResourceId, stream({0, 1, 1, 1, 'T'})}}, "malformed"},
        {"kind 7", with(7, 1, 0), "quiz kind 7"},
        {"three answers", with(0, 3, 0), "3 answers per question"},
        {"reveal mode 9", with(0, 1, 9), "reveal mode 9"},
    };
    for (const Row& row : rows) {
        std::string toml, error;
        std::vector<ExtractedFile> extracted;
        EXPECT_FALSE(disassembleQuiz(row.resources, portableCodec, "", toml, extracted, error)) << row.name;
        EXPECT_NE(error.find(row.expected), std::string::npos) << row.name << ": " << error;
    }
}

TEST(QuizSourceExtract, WithoutCodesTheSourceGetsEmptyOnes) {
    files.clear();
    std::vector<PackedResource> resources = assembled(validText);
    resources.erase(resources.begin() + 1);  // PATCH 105
    std::string toml, error;
    std::vector<ExtractedFile> extracted;
    ASSERT_TRUE(disassembleQuiz(resources, portableCodec, "", toml, extracted, error)) << error;
    Parsed p = parse(toml);
    ASSERT_TRUE(p.ok) << joined(p.errors);
    EXPECT_EQ(p.document.source.rewardCodes, (std::vector<std::string>{"", ""}));
}

TEST(QuizSourceExtract, MediaExtensionFollowsTheContent) {
    struct Row {
        const char* name;
        Bytes bytes;
        int32_t kind;
        const char* extension;
    } rows[] = {
        {"PNG", pngBytes, kindPictures, "png"},
        {"JPEG", jpegBytes, kindPictures, "jpg"},
        {"GIF", {'G', 'I', 'F', '8', '9', 'a'}, kindPictures, "gif"},
        {"BMP", {'B', 'M', 0, 0}, kindPictures, "bmp"},
        {"WAV", wavBytes, kindAudio, "wav"},
        {"AVI", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}, kindVideo, "avi"},
        {"MP3 with a tag", {'I', 'D', '3', 4}, kindAudio, "mp3"},
        {"MP3 frame", {0xFF, 0xFB, 0x90}, kindAudio, "mp3"},
        {"unknown audio", {1, 2, 3}, kindAudio, "mp3"},
        {"unknown video", {1, 2, 3}, kindVideo, "avi"},
        {"unknown picture", {1, 2, 3}, kindPictures, "bin"},
        {"short", {0xFF}, kindPictures, "bin"},
    };
    for (const Row& row : rows) EXPECT_STREQ(mediaExtension(row.bytes, row.kind), row.extension) << row.name;
}

}  // namespace
