#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "authoring/quizAssembly.h"
#include "authoring/quizCheck.h"
#include "authoring/quizToml.h"
#include "quiz/lzw.h"
#include "quiz/quizLayout.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string joined(const std::vector<ModelProblem>& problems) {
    std::string out;
    for (const ModelProblem& p : problems) out += formatProblem("quiz.toml", p) + "\n";
    return out;
}

QuizModel checkedModel(const std::string& text) {
    QuizModel model;
    SourceLines lines;
    std::vector<ModelProblem> problems;
    EXPECT_TRUE(readAndCheckQuiz(text, model, lines, problems)) << joined(problems);
    return model;
}

std::map<std::string, Bytes> files;

bool readFake(const std::string& path, Bytes& bytes) {
    auto found = files.find(path);
    if (found == files.end()) return false;
    bytes = found->second;
    return true;
}

bool readDisk(const std::string& path, Bytes& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

const Bytes pngBytes = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13};
const Bytes jpegBytes = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F'};
const Bytes wavBytes = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};

Bytes decode(const Bytes& stream) {
    uint8_t* out = nullptr;
    int32_t length = 0;
    EXPECT_EQ(lzwDecode(stream.data(), static_cast<uint32_t>(stream.size()), &out, &length), lzwOk);
    Bytes bytes(out, out + (length > 2 ? length - 2 : 0));
    lzwFree(out);
    return bytes;
}

const char* const picturesQuiz = R"(kind = "pictures"
title = "Images d'été"
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

std::vector<PackedResource> assembled(const QuizModel& model, const std::string& sourceFile,
                                      const FileReader& reader = readFake) {
    std::vector<PackedResource> out;
    std::vector<ModelProblem> problems;
    EXPECT_TRUE(assembleQuiz(model, sourceFile, reader, PngChecker(), out, problems)) << joined(problems);
    return out;
}

TEST(QuizAssembly, PicturesGoToTheirNumbersPngAsRawDataTextsInWindows1252) {
    addPictureFiles();
    const QuizModel model = checkedModel(picturesQuiz);
    const std::vector<PackedResource> out = assembled(model, "dir/quiz.toml");
    const struct {
        ResourceKind kind;
        uint16_t id;
        const Bytes* data;
    } rows[] = {{ResourceKind::rcdata, 401, &pngBytes},   {ResourceKind::img, 402, &jpegBytes},
                {ResourceKind::img, 403, &jpegBytes},     {ResourceKind::img, 10401, &jpegBytes},
                {ResourceKind::rcdata, 10402, &pngBytes}, {ResourceKind::img, 10403, &jpegBytes}};
    EXPECT_EQ(out.size(), 8u);
    for (const auto& row : rows) {
        const PackedResource* r = findResource(out, row.kind, row.id);
        ASSERT_NE(r, nullptr) << row.id;
        EXPECT_EQ(r->data, *row.data) << row.id;
    }
    const PackedResource* quiz = findResource(out, ResourceKind::patch, quizResourceId);
    const PackedResource* codes = findResource(out, ResourceKind::patch, codesResourceId);
    ASSERT_TRUE(quiz && codes);
    QuizSource source;
    const Bytes layout = decode(quiz->data), codeLines = decode(codes->data);
    ASSERT_TRUE(readQuizSource(layout.data(), layout.size(), codeLines.data(), codeLines.size(), source));
    EXPECT_EQ(source.title, "Images d'\xE9t\xE9");
    EXPECT_EQ(source.kind, kindPictures);
    EXPECT_EQ(source.revealMode, 1);
    EXPECT_EQ(source.questions.size(), 3u);
    EXPECT_EQ(codeLines, (Bytes{'a', '\r', '\n', 'b', '\r', '\n', 'c', '\r', '\n'}));
}

TEST(QuizAssembly, ClipsAreImgWhateverTheirFormat) {
    files = {{"c1.wav", wavBytes}, {"c2.png", pngBytes}};
    const QuizModel model = checkedModel(
        "kind = \"audio\"\ntitle = \"T\"\nreward_codes = [\"a\", \"b\"]\n[[question]]\nanswer = \"a\"\nclip = "
        "\"c1.wav\"\n[[question]]\nanswer = \"b\"\nclip = \"c2.png\"\n");
    std::vector<PackedResource> out;
    std::vector<ModelProblem> problems;
    ASSERT_TRUE(assembleQuiz(
        model, "quiz.toml", readFake, [](const Bytes&) { return false; }, out, problems))
        << joined(problems);
    ASSERT_NE(findResource(out, ResourceKind::img, 401), nullptr);
    ASSERT_NE(findResource(out, ResourceKind::img, 402), nullptr);
    EXPECT_EQ(findResource(out, ResourceKind::img, 402)->data, pngBytes);
}

TEST(QuizAssembly, MediaProblemsAreLocatedAndNothingIsProduced) {
    const PngChecker refuse = [](const Bytes&) { return false; };
    const struct {
        const char* name;
        std::map<std::string, Bytes> files;
        PngChecker png;
        const char* expected;
    } rows[] = {
        {"missing file",
         {{"dir/media/1.png", pngBytes}, {"dir/media/2.jpg", jpegBytes}},
         PngChecker(),
         "quiz.toml:8: question 1, solution: impossible de lire le fichier \"dir/media/s1.jpg\"\n"
         "quiz.toml:12: question 2, solution: impossible de lire le fichier \"dir/media/s2.png\"\n"
         "quiz.toml:16: question 3, solution: impossible de lire le fichier \"dir/media/s1.jpg\"\n"},
        {"empty file",
         {{"dir/media/1.png", {}},
          {"dir/media/2.jpg", jpegBytes},
          {"dir/media/s1.jpg", jpegBytes},
          {"dir/media/s2.png", pngBytes}},
         PngChecker(),
         "quiz.toml:7: question 1, picture: le fichier \"dir/media/1.png\" est vide\n"},
        {"not a picture",
         {{"dir/media/1.png", pngBytes},
          {"dir/media/2.jpg", wavBytes},
          {"dir/media/s1.jpg", jpegBytes},
          {"dir/media/s2.png", pngBytes}},
         PngChecker(),
         "quiz.toml:11: question 2, picture: \"dir/media/2.jpg\" n'est pas une image PNG, JPEG, GIF, BMP, ICO, WMF "
         "ou EMF\n"
         "quiz.toml:15: question 3, picture: \"dir/media/2.jpg\" n'est pas une image PNG, JPEG, GIF, BMP, ICO, WMF "
         "ou EMF\n"},
        {"PNG the decoder refuses",
         {{"dir/media/1.png", pngBytes},
          {"dir/media/2.jpg", jpegBytes},
          {"dir/media/s1.jpg", jpegBytes},
          {"dir/media/s2.png", pngBytes}},
         refuse,
         "quiz.toml:7: question 1, picture: le d\xC3\xA9"
         "codeur PNG du lecteur ne sait pas lire \"dir/media/1.png\"\n"
         "quiz.toml:12: question 2, solution: le d\xC3\xA9"
         "codeur PNG du lecteur ne sait pas lire "
         "\"dir/media/s2.png\"\n"},
    };
    for (const auto& row : rows) {
        files = row.files;
        QuizModel model;
        SourceLines lines;
        std::vector<ModelProblem> problems;
        ASSERT_TRUE(readAndCheckQuiz(picturesQuiz, model, lines, problems));
        std::vector<PackedResource> out;
        EXPECT_FALSE(assembleQuiz(model, "dir/quiz.toml", readFake, row.png, out, problems)) << row.name;
        EXPECT_TRUE(out.empty()) << row.name;
        locateProblems(lines, problems);
        EXPECT_EQ(joined(problems), row.expected) << row.name;
    }
}

TEST(QuizAssembly, AnUncheckedModelGivesItsProblemsAndNoResources) {
    QuizModel model;
    model.kind = kindText;
    model.title = "a|b";
    std::vector<PackedResource> out;
    std::vector<ModelProblem> problems;
    EXPECT_FALSE(assembleQuiz(model, "quiz.toml", readFake, PngChecker(), out, problems));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(problems.size(), checkQuiz(model).size());
}

TEST(QuizAssembly, AQuizTooLargeForTheStreamIsRefused) {
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
    QuizModel model;
    model.kind = kindText;
    model.title = "T";
    model.answersPerQuestion = 2;
    model.reveal = 2;
    for (int i = 0; i < 96; ++i) {
        ModelQuestion q;
        q.answer = noise(), q.answer2 = noise(), q.prompt = noise(), q.comment = noise();
        model.questions.push_back(q);
        model.rewardCodes.push_back("c");
    }
    ASSERT_TRUE(checkQuiz(model).empty());
    std::vector<PackedResource> out;
    std::vector<ModelProblem> problems;
    EXPECT_FALSE(assembleQuiz(model, "quiz.toml", readFake, PngChecker(), out, problems));
    EXPECT_TRUE(out.empty());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(formatProblem("quiz.toml", problems[0])
                  .rfind("quiz.toml: les textes du quiz sont trop longs pour la ressource compress", 0),
              0u)
        << problems[0].message;
}

TEST(QuizAssembly, PngCheckUsesThePlayersDecoder) {
    const struct {
        const char* file;
        bool readable;
    } rows[] = {{"basn2c08.png", true}, {"basi3p02.png", true}, {"xs1n0g01.png", false}, {"xcrn0g04.png", false}};
    for (const auto& row : rows) {
        Bytes bytes;
        ASSERT_TRUE(readDisk(std::string(VETRA_TESTDATA_DIR) + "/pngsuite/" + row.file, bytes)) << row.file;
        EXPECT_EQ(playerReadsPng(bytes), row.readable) << row.file;
    }
}

TEST(QuizAssembly, MediaPathsJoinTheSourceFolder) {
    const struct {
        const char* source;
        const char* relative;
        const char* expected;
    } rows[] = {{"quiz.toml", "a/b.png", "a/b.png"},
                {"dir/quiz.toml", "b.png", "dir/b.png"},
                {"C:\\q\\quiz.toml", "b.png", "C:\\q\\b.png"},
                {"dir/quiz.toml", "/abs/b.png", "/abs/b.png"},
                {"dir/quiz.toml", "D:\\b.png", "D:\\b.png"}};
    for (const auto& row : rows) EXPECT_EQ(mediaPath(row.source, row.relative), row.expected) << row.source;
}

// ---- Extraction ------------------------------------------------------------------

ExtractedQuiz extracted(const std::vector<PackedResource>& resources, const std::string& prefix) {
    ExtractedQuiz quiz;
    std::string error;
    EXPECT_TRUE(extractQuiz(resources, prefix, quiz, error)) << error;
    return quiz;
}

void expectSameResources(const std::vector<PackedResource>& a, const std::vector<PackedResource>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (const PackedResource& r : a) {
        const PackedResource* copy = findResource(b, r.kind, r.id);
        ASSERT_NE(copy, nullptr) << r.id;
        EXPECT_EQ(copy->data, r.data) << r.id;
    }
}

// Media paths aside, what comes out of a player is the model that went in.
void expectSameModelButMedia(QuizModel a, QuizModel b) {
    for (QuizModel* m : {&a, &b}) {
        for (ModelQuestion& q : m->questions) {
            q.picture = q.picture.empty() ? "" : "x";
            q.solution = q.solution.empty() ? "" : "x";
            q.clip = q.clip.empty() ? "" : "x";
        }
    }
    EXPECT_EQ(a, b);
}

TEST(QuizExtraction, EveryExampleComesBackAsItsModelAndBuildsTheSameResources) {
    const char* const examples[] = {"examples/text/capitales.toml", "examples/pictures/formes.toml",
                                    "examples/audio/villes.toml", "examples/video/couleurs.toml"};
    for (const char* example : examples) {
        SCOPED_TRACE(example);
        const std::string path = std::string(VETRA_SOURCE_DIR) + "/" + example;
        Bytes text;
        ASSERT_TRUE(readDisk(path, text));
        const QuizModel model = checkedModel(std::string(text.begin(), text.end()));
        const std::vector<PackedResource> first = assembled(model, path, readDisk);
        const ExtractedQuiz quiz = extracted(first, "back/");
        EXPECT_TRUE(quiz.rewardCodesFound);
        expectSameModelButMedia(quiz.model, model);
        // The extracted source, written and read again, packs the same resources.
        const std::string written = writeQuizToml(quiz.model);
        const QuizModel again = checkedModel(written);
        EXPECT_EQ(again, quiz.model);
        EXPECT_EQ(writeQuizToml(again), written);
        files.clear();
        for (const ExtractedFile& file : quiz.files) files["dir/back/" + file.name] = *file.data;
        expectSameResources(first, assembled(again, "dir/quiz.toml"));
    }
}

TEST(QuizExtraction, AwkwardTextsBuildExtractAndBuildTheSame) {
    addPictureFiles();
    const std::string twoAnswers = R"(kind = "pictures"
title = "Deux \"réponses\" \\ tab	fin"
author = "Zoë"
link = "https://ecole.example.fr/cm2"
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
    for (const std::string& text : {std::string(picturesQuiz), twoAnswers}) {
        addPictureFiles();
        const QuizModel model = checkedModel(text);
        const std::vector<PackedResource> first = assembled(model, "dir/quiz.toml");
        const ExtractedQuiz quiz = extracted(first, "back/");
        expectSameModelButMedia(quiz.model, model);
        for (const ExtractedFile& file : quiz.files) files["dir/back/" + file.name] = *file.data;
        expectSameResources(first, assembled(checkedModel(writeQuizToml(quiz.model)), "dir/quiz.toml"));
    }
}

TEST(QuizExtraction, MediaAreNamedByNumberAndFormat) {
    addPictureFiles();
    const ExtractedQuiz quiz = extracted(assembled(checkedModel(picturesQuiz), "dir/quiz.toml"), "m/");
    std::vector<std::string> names;
    for (const ExtractedFile& file : quiz.files) names.push_back(file.name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"401.png", "10401.jpg", "402.jpg", "10402.png", "403.jpg", "10403.jpg"}));
    EXPECT_EQ(quiz.model.questions[0].picture, "m/401.png");
    EXPECT_EQ(quiz.model.questions[2].solution, "m/10403.jpg");
}

TEST(QuizExtraction, WhatCannotBeASourceIsRefused) {
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
    const struct {
        const char* name;
        std::vector<PackedResource> resources;
        const char* expected;
    } rows[] = {
        {"no quiz", {}, "il ne contient aucun quiz (pas de ressource PATCH 104)"},
        {"not a stream",
         {{ResourceKind::patch, quizResourceId, {0xFF, 0xFF, 0xFF}}},
         "sa ressource de quiz (PATCH 104) ne se d\xC3\xA9"
         "code pas"},
        {"layout cut short",
         {{ResourceKind::patch, quizResourceId, stream({0, 1, 1, 1, 'T'})}},
         "ses ressources de quiz (PATCH 104 et 105) sont ab\xC3\xAEm\xC3\xA9"
         "es"},
        {"kind 7", with(7, 1, 0), "son type de quiz 7 n'a pas de nom dans un fichier source"},
        {"three answers", with(0, 3, 0),
         "il demande 3 r\xC3\xA9ponses par question ; un fichier source en permet 1 ou 2"},
        {"reveal mode 9", with(0, 1, 9),
         "son mode de r\xC3\xA9v\xC3\xA9lation 9 n'a pas de nom dans un fichier source"},
    };
    for (const auto& row : rows) {
        ExtractedQuiz quiz;
        std::string error;
        EXPECT_FALSE(extractQuiz(row.resources, "", quiz, error)) << row.name;
        EXPECT_EQ(error, row.expected) << row.name;
    }
}

TEST(QuizExtraction, WithoutCodesTheModelGetsEmptyOnes) {
    files.clear();
    std::vector<PackedResource> resources =
        assembled(checkedModel("kind = \"text\"\ntitle = \"T\"\nreward_codes = [\"a\", \"b\"]\n[[question]]\nanswer = "
                               "\"x\"\n[[question]]\nanswer = \"y\"\n"),
                  "quiz.toml");
    resources.erase(resources.begin() + 1);  // PATCH 105
    const ExtractedQuiz quiz = extracted(resources, "");
    EXPECT_FALSE(quiz.rewardCodesFound);
    EXPECT_EQ(quiz.model.rewardCodes, (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(checkQuiz(quiz.model).empty());
}

TEST(QuizExtraction, MediaExtensionFollowsTheContent) {
    const struct {
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
    for (const auto& row : rows) EXPECT_STREQ(mediaExtension(row.bytes, row.kind), row.extension) << row.name;
}

}  // namespace
