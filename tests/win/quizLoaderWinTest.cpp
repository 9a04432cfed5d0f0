// The loader against real resources: each case writes its PATCH resources
// into a copy of the player with the packer, loads that copy as a data file
// and reads the quiz from it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "authoring/playerResourcesWin.h"
#include "quiz/lzw.h"
#include "quiz/quizGdiWin.h"
#include "quiz/quizLayout.h"
#include "quiz/quizLoaderWin.h"

namespace {

struct Message {
    std::string text;
    std::string caption;
};
std::vector<Message> messages;

void recordMessage(const char* text, const char* caption) {
    messages.push_back({text, caption});
}

std::string besideSelf(const std::string& name) {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self, length);
    return path.substr(0, path.find_last_of("/\\") + 1) + name;
}

std::vector<uint8_t> encode(const std::vector<uint8_t>& bytes) {
    uint8_t* stream = nullptr;
    int32_t length = 0;
    EXPECT_EQ(lzwEncode(bytes.data(), static_cast<uint32_t>(bytes.size()), &stream, &length), lzwOk);
    std::vector<uint8_t> out(stream, stream + (length - 1));
    lzwFree(stream);
    return out;
}

QuizSource twoQuestions() {
    QuizSource source;
    source.kind = kindText;
    source.title = "Capitales \xE9t\xE9";
    source.author = "Moi";
    source.explanations = "Trouvez";
    source.revealMode = 2;
    source.colourRed = 0x10, source.colourGreen = 0x20, source.colourBlue = 0x30;
    source.questions = {{"Paris", "", "France", "Lumi\xE8re", ""}, {"Berlin", "", "Allemagne", "Mur", ""}};
    source.rewardCodes = {"UN", "DEUX"};
    return source;
}

PackedResource patch(uint16_t id, std::vector<uint8_t> data) {
    return {ResourceKind::patch, id, std::move(data)};
}

COLORREF brushColour(GdiHandle brush) {
    LOGBRUSH info{};
    EXPECT_EQ(GetObjectA(static_cast<HGDIOBJ>(brush), sizeof info, &info), static_cast<int>(sizeof info));
    return info.lbColor;
}

// A copy of the player carrying `resources`, loaded as data; removed at the end.
class LoadedCopy {
public:
    explicit LoadedCopy(const std::vector<PackedResource>& resources) {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        path_ = std::string(folder) + "vetra-loader-test.exe";
        std::string error;
        written_ = writePackedPlayer(besideSelf("vetra.exe"), path_, resources, error);
        EXPECT_TRUE(written_) << error;
        module_ = written_ ? LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE) : nullptr;
        EXPECT_NE(module_, nullptr);
    }
    ~LoadedCopy() {
        if (module_) FreeLibrary(module_);
        DeleteFileA(path_.c_str());
    }
    HMODULE module() const { return module_; }

private:
    std::string path_;
    bool written_ = false;
    HMODULE module_ = nullptr;
};

class QuizLoader : public ::testing::Test {
protected:
    void SetUp() override {
        messages.clear();
        quizLoaderMessage = recordMessage;
        quiz = createQuiz();
        constructionBrush = quiz->backgroundBrush;
    }
    void TearDown() override {
        destroyQuiz(quiz);
        setLzwAllocator(nullptr);
    }
    void load(const std::vector<PackedResource>& resources) {
        LoadedCopy copy(resources);
        ASSERT_NE(copy.module(), nullptr);
        loadQuizFrom(copy.module(), quiz);
    }
    // The construction brush was replaced and released (the new one may reuse its handle).
    void expectBrushReplaced(COLORREF colour) {
        EXPECT_EQ(brushColour(quiz->backgroundBrush), colour);
        if (quiz->backgroundBrush != constructionBrush) {
            EXPECT_EQ(GetObjectType(constructionBrush), 0u);
        }
    }

    Quiz* quiz = nullptr;
    GdiHandle constructionBrush = nullptr;
};

TEST_F(QuizLoader, WithoutQuizResourceLoadsTheSampleSilently) {
    // Reward codes alone do not make a quiz.
    load({patch(105, encode(writeRewardCodes(twoQuestions())))});
    EXPECT_TRUE(messages.empty());
    EXPECT_STREQ(quiz->title, "Nom du vetra");
    EXPECT_EQ(quiz->kind, kindPictures);
    EXPECT_EQ(quiz->questionCount, 7);
    EXPECT_EQ(quiz->colour, 0x00A3CB35u);
    EXPECT_STREQ(quiz->rewardCodes[0], "");
    expectBrushReplaced(0x00A3CB35);
}

TEST_F(QuizLoader, UndecodableQuizShowsTheAnswersMessageAndKeepsConstruction) {
    const std::vector<uint8_t> notAStream = {0xFF, 0xFF, 0xFF, 0xFF, 0x12, 0x34};
    std::vector<uint8_t> truncatedLayout = writeQuizLayout(twoQuestions());
    truncatedLayout.resize(truncatedLayout.size() / 2);
    struct Row {
        const char* name;
        std::vector<uint8_t> data;
    } rows[] = {{"stream that does not decode", notAStream}, {"layout cut in the middle", encode(truncatedLayout)}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        messages.clear();
        load({patch(104, row.data), patch(105, encode(writeRewardCodes(twoQuestions())))});
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text,
                  "Erreur dans le d\xE9"
                  "cryptage des reponses");
        EXPECT_EQ(messages[0].caption, "Vetra");
        EXPECT_EQ(quiz->questionCount, 0);
        EXPECT_EQ(quiz->firstQuestion, nullptr);
        EXPECT_STREQ(quiz->title, "nom du vetra");
        EXPECT_STREQ(quiz->author, " createur");
        EXPECT_STREQ(quiz->rewardCodes[0], "");
        EXPECT_EQ(quiz->backgroundBrush, constructionBrush);
        EXPECT_EQ(brushColour(quiz->backgroundBrush), defaultBackgroundColour);
    }
}

TEST_F(QuizLoader, QuizWithoutUsableCodesShowsTheCodesMessageOnce) {
    const std::vector<uint8_t> cutCodes = encode({'U', 'N', '\r', '\n', 'D', 'E'});
    struct Row {
        const char* name;
        std::vector<PackedResource> codes;
    } rows[] = {{"no 105", {}},
                {"105 that does not decode", {patch(105, {0xFF, 0xFF, 0xFF, 0xFF})}},
                {"105 with a line cut short", {patch(105, cutCodes)}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        messages.clear();
        destroyQuiz(quiz);
        quiz = createQuiz();
        constructionBrush = quiz->backgroundBrush;
        std::vector<PackedResource> resources = row.codes;
        resources.push_back(patch(104, encode(writeQuizLayout(twoQuestions()))));
        load(resources);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text,
                  "Erreur dans le d\xE9"
                  "cryptage des codes");
        EXPECT_EQ(messages[0].caption, "Vetra");
        EXPECT_EQ(quiz->questionCount, 2);
        EXPECT_STREQ(quiz->title, "Capitales \xE9t\xE9");
        EXPECT_STREQ(questionAt(*quiz, 2)->answer1, "Berlin");
        EXPECT_STREQ(quiz->rewardCodes[0], "");
        expectBrushReplaced(0x00302010);
    }
}

TEST_F(QuizLoader, QuizAndCodesLoadTogether) {
    load({patch(104, encode(writeQuizLayout(twoQuestions()))), patch(105, encode(writeRewardCodes(twoQuestions())))});
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(quiz->kind, kindText);
    EXPECT_EQ(quiz->questionCount, 2);
    EXPECT_STREQ(quiz->author, "Moi");
    EXPECT_STREQ(questionAt(*quiz, 1)->prompt, "France");
    EXPECT_STREQ(questionAt(*quiz, 1)->comment, "Lumi\xE8re");
    EXPECT_STREQ(quiz->rewardCodes[0], "UN");
    EXPECT_STREQ(quiz->rewardCodes[1], "DEUX");
    EXPECT_EQ(quiz->colour, 0x00302010u);
    expectBrushReplaced(0x00302010);
}

void* failDecodedBuffer(size_t size) {
    return size == lzwDecodedCapacity ? nullptr : malloc(size);
}

TEST_F(QuizLoader, CodecOutOfMemoryIsToldThenTheQuizCountsAsUndecodable) {
    std::vector<PackedResource> resources = {patch(104, encode(writeQuizLayout(twoQuestions())))};
    LoadedCopy copy(resources);
    ASSERT_NE(copy.module(), nullptr);
    setLzwAllocator(failDecodedBuffer);
    loadQuizFrom(copy.module(), quiz);
    setLzwAllocator(nullptr);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Impossible d'allouer la memoire");
    EXPECT_EQ(messages[0].caption, "information");
    EXPECT_EQ(messages[1].text,
              "Erreur dans le d\xE9"
              "cryptage des reponses");
    EXPECT_EQ(quiz->questionCount, 0);
}

TEST(QuizLoaderOwnModule, TheTestProgramCarriesNoQuizSoItGetsTheSample) {
    messages.clear();
    quizLoaderMessage = recordMessage;
    Quiz* quiz = createQuiz();
    loadQuiz(quiz);
    EXPECT_TRUE(messages.empty());
    EXPECT_STREQ(quiz->title, "Nom du vetra");
    destroyQuiz(quiz);
}

}  // namespace
