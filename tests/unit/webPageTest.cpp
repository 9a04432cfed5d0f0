#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "authoring/quizFields.h"
#include "authoring/scormPackage.h"
#include "authoring/webAssets.h"
#include "authoring/webPage.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A literal's bytes, NULs included.
template <size_t n>
std::string raw(const char (&literal)[n]) {
    return std::string(literal, n - 1);
}

QuizModel pictureQuiz() {
    QuizModel model;
    model.kind = kindPictures;
    model.title = "Formes g\xC3\xA9om\xC3\xA9triques";
    model.rewardCodes = {"UN", "DEUX"};
    ModelQuestion q;
    q.answer = "cercle";
    q.picture = "media/1.png";
    model.questions = {q, q};
    model.questions[1].answer = "carr\xC3\xA9";
    return model;
}

std::map<std::string, Bytes> files = {{"quiz/media/1.png", bytesOf("\x89PNG\r\n\x1A\n-png-")}};

bool readFake(const std::string& path, Bytes& bytes) {
    auto found = files.find(path);
    if (found == files.end()) return false;
    bytes = found->second;
    return true;
}

WebPage written(const QuizModel& model) {
    WebPage page;
    EXPECT_TRUE(writeWebPage(model, "quiz/formes.toml", readFake, "formes.txt", page));
    return page;
}

size_t occurrences(const std::string& text, const std::string& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
    return count;
}

TEST(WebPage, Base64MatchesTheStandardVectors) {
    const struct {
        const char* plain;
        const char* encoded;
    } cases[] = {{"", ""},
                 {"f", "Zg=="},
                 {"fo", "Zm8="},
                 {"foo", "Zm9v"},
                 {"foob", "Zm9vYg=="},
                 {"fooba", "Zm9vYmE="},
                 {"foobar", "Zm9vYmFy"},
                 {"\xFF\xFE\x00", "//4A"}};
    for (const auto& c : cases) {
        const std::string plain(c.plain, c.plain[0] == '\xFF' ? 3 : std::char_traits<char>::length(c.plain));
        EXPECT_EQ(base64(reinterpret_cast<const unsigned char*>(plain.data()), plain.size()), c.encoded)
            << "\"" << c.plain << "\"";
    }
}

TEST(WebPage, IsOneFrenchUtf8FileThatFetchesNothing) {
    const std::string html = written(pictureQuiz()).html;
    const std::string judge = base64(webJudgeModule.data, webJudgeModule.size);
    for (const std::string& piece :
         {std::string("<html lang=\"fr\">"), std::string("<meta charset=\"utf-8\">"), std::string("default-src 'none'"),
          std::string("<title>Formes g\xC3\xA9om\xC3\xA9triques</title>"), judge,
          std::string("data:image/png;base64,") + base64(files.begin()->second.data(), files.begin()->second.size())}) {
        EXPECT_NE(html.find(piece), std::string::npos) << piece.substr(0, 80);
    }
    EXPECT_EQ(html.find("{{"), std::string::npos) << "a template marker left";
    EXPECT_EQ(html.find("src=\"http"), std::string::npos);
    EXPECT_GT(webJudgeModule.size, 8u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(webJudgeModule.data), 4), std::string("\0asm", 4));
}

TEST(WebPage, QuizTextsCannotCloseTheirElements) {
    QuizModel model = pictureQuiz();
    const std::string hostile = "</script><script>alert(1)</script>\"&<!--";
    model.title = hostile;
    model.questions[0].prompt = hostile;
    model.questions[0].comment = hostile;
    model.rewardCodes[0] = hostile;
    const std::string html = written(model).html;
    const std::string plain = written(pictureQuiz()).html;
    EXPECT_EQ(html.find("<script>alert"), std::string::npos);
    EXPECT_EQ(occurrences(html, "</script>"), occurrences(plain, "</script>"));
    EXPECT_EQ(occurrences(html, "<!--"), occurrences(plain, "<!--"));
}

TEST(WebPage, SameQuizSameBytesAndItsOwnStorageKey) {
    const QuizModel model = pictureQuiz();
    EXPECT_EQ(written(model).html, written(model).html);
    QuizModel other = model;
    other.questions[1].answer = "carre";
    const auto key = [](const std::string& html) {
        const size_t at = html.find("{\"id\":\"");
        return at == std::string::npos ? std::string() : html.substr(at, 24);
    };
    EXPECT_FALSE(key(written(model).html).empty());
    EXPECT_NE(key(written(model).html), key(written(other).html));
}

TEST(WebPage, MediaGoInAsDataUrlsAndWhatBrowsersCannotShowIsNamed) {
    const struct {
        int32_t kind;
        std::string bytes;
        const char* mime;
        bool shown;
    } cases[] = {
        {kindPictures, "\xFF\xD8\xFF\xE0jpeg", "image/jpeg", true},
        {kindPictures, "GIF89a...", "image/gif", true},
        {kindPictures, "BM......", "image/bmp", true},
        {kindPictures, raw("\0\0\1\0ico"), "image/x-icon", true},
        {kindPictures, "\xD7\xCD\xC6\x9Awmf", "image/wmf", false},
        {kindAudio, raw("RIFF\x10\0\0\0WAVEfmt "), "audio/wav", true},
        {kindAudio, "ID3\x03mp3", "audio/mpeg", true},
        {kindVideo,
         raw("\0\0\0\x18"
             "ftypmp42"),
         "video/mp4", true},
        {kindVideo, "\x1A\x45\xDF\xA3webm", "video/webm", true},
        {kindVideo,
         raw("RIFF\x10\0\0\0"
             "AVI LIST"),
         "video/x-msvideo", false},
    };
    for (const auto& c : cases) {
        QuizModel model = pictureQuiz();
        model.kind = c.kind;
        model.questions.resize(1);
        model.questions[0].picture.clear();
        (c.kind == kindPictures ? model.questions[0].picture : model.questions[0].clip) = "media/m";
        files["quiz/media/m"] = bytesOf(c.bytes);
        const WebPage page = written(model);
        const std::string url = std::string("data:") + c.mime + ";base64," +
                                base64(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size());
        EXPECT_NE(page.html.find(url), std::string::npos) << c.mime;
        EXPECT_EQ(page.unshowable, c.shown ? std::vector<std::string>{} : std::vector<std::string>{"media/m"})
            << c.mime;
    }
}

// The page lays out a picture's box from the size its header gives, before
// the picture is decoded; a header that does not say gives no size.
TEST(WebPage, PicturesCarryTheSizeTheirHeaderGives) {
    const struct {
        const char* what;
        std::string bytes;
        const char* size;  // null: none
    } cases[] = {
        {"PNG", raw("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x02\x80\0\0\x01\xE0\x08\x02"), "\"width\":640,\"height\":480"},
        {"PNG cut short", raw("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0"), nullptr},
        {"GIF", raw("GIF89a\x20\x03\x58\x02\0\0"), "\"width\":800,\"height\":600"},
        {"BMP, bottom-up", raw("BM\0\0\0\0\0\0\0\0\0\0\0\0\x28\0\0\0\x10\0\0\0\x08\0\0\0\x01\0"),
         "\"width\":16,\"height\":8"},
        {"BMP, top-down", raw("BM\0\0\0\0\0\0\0\0\0\0\0\0\x28\0\0\0\x10\0\0\0\xF8\xFF\xFF\xFF\x01\0"),
         "\"width\":16,\"height\":8"},
        {"BMP, OS/2 header", raw("BM\0\0\0\0\0\0\0\0\0\0\0\0\x0C\0\0\0\x20\0\x10\0\x01\0\x18\0"),
         "\"width\":32,\"height\":16"},
        {"JPEG, frame after an APP0 and a table",
         raw("\xFF\xD8\xFF\xE0\0\x04JF\xFF\xC4\0\x03\0\xFF\xFF\xC2\0\x11\x08\x01\xE0\x02\x80\x03"),
         "\"width\":640,\"height\":480"},
        {"JPEG without a frame", raw("\xFF\xD8\xFF\xE0\0\x10JFIF\0"), nullptr},
        {"JPEG whose segment runs past the end", raw("\xFF\xD8\xFF\xE0\xFF\xF0JFIF\0\0\0\0\0"), nullptr},
        {"JPEG of no size", raw("\xFF\xD8\xFF\xC0\0\x11\x08\0\0\x02\x80\x03\0"), nullptr},
        {"icon", raw("\0\0\1\0\1\0\x20\x20"), nullptr},
        {"metafile", raw("\xD7\xCD\xC6\x9A\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"), nullptr},
    };
    for (const auto& c : cases) {
        QuizModel model = pictureQuiz();
        model.questions.resize(1);
        files["quiz/media/1.png"] = bytesOf(c.bytes);
        const std::string html = written(model).html;
        const size_t at = html.find("\"media\":1,");
        ASSERT_NE(at, std::string::npos) << c.what;
        const std::string entry = html.substr(at, html.find('}', at) - at);
        if (c.size)
            EXPECT_NE(entry.find(c.size), std::string::npos) << c.what << ": " << entry;
        else
            EXPECT_EQ(entry.find("width"), std::string::npos) << c.what << ": " << entry;
    }
    files["quiz/media/1.png"] = bytesOf("\x89PNG\r\n\x1A\n-png-");
}

// The quiz's JSON names each medium by number; its bytes follow the script,
// in question order, where the page reads them only to show them. Changing
// a picture still changes the key the answers are kept under.
TEST(WebPage, MediaFollowTheScriptInQuestionOrderAndStillKeyTheQuiz) {
    QuizModel model = pictureQuiz();
    model.questions[1].picture = "media/2.gif";
    model.questions[1].solution = "media/3.gif";
    files["quiz/media/2.gif"] = bytesOf(raw("GIF89a\x02\0\x01\0two"));
    files["quiz/media/3.gif"] = bytesOf(raw("GIF89a\x03\0\x01\0three"));
    const std::string html = written(model).html;
    const size_t data = html.find("id=\"quiz-data\"");
    const size_t script = html.find("<script>\n");
    ASSERT_NE(data, std::string::npos);
    ASSERT_NE(script, std::string::npos);
    EXPECT_EQ(html.substr(data, script - data).find("data:"), std::string::npos) << "no medium inside the JSON";
    const auto element = [&](int k, const std::string& bytes) {
        return "<script type=\"text/plain\" id=\"media-" + std::to_string(k) + "\">data:image/" +
               (k == 1 ? "png" : "gif") + ";base64," +
               base64(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) + "</script>\n";
    };
    const std::string media = element(1, "\x89PNG\r\n\x1A\n-png-") + element(2, raw("GIF89a\x02\0\x01\0two")) +
                              element(3, raw("GIF89a\x03\0\x01\0three"));
    const size_t at = html.find(media);
    ASSERT_NE(at, std::string::npos);
    EXPECT_GT(at, script);
    EXPECT_EQ(html.compare(at + media.size(), 7, "</body>"), 0);
    EXPECT_NE(html.find("\"picture\":{\"media\":2,\"name\":\"2.gif\",\"shown\":true,\"width\":2,\"height\":1}"),
              std::string::npos);

    const auto key = [](const std::string& page) { return page.substr(page.find("{\"id\":\""), 24); };
    files["quiz/media/3.gif"] = bytesOf(raw("GIF89a\x03\0\x01\0other"));
    EXPECT_NE(key(written(model).html), key(html));
}

// The page's data is written from the table of fields: a row's value goes
// under its source key, once for the quiz or once per question, beside the
// page's own entries, which no key may shadow.
TEST(WebPage, EveryFieldOfTheTableReachesThePageUnderItsKey) {
    const QuizModel model = pictureQuiz();
    const std::string html = written(model).html;
    const size_t from = html.find("id=\"quiz-data\">");
    ASSERT_NE(from, std::string::npos);
    const std::string data = html.substr(from, html.find("</script>", from) - from);
    const size_t questions = data.find("\"questions\":[");
    const size_t rules = data.find(",\"rules\":{\"limits\":");
    ASSERT_NE(questions, std::string::npos);
    ASSERT_NE(rules, std::string::npos);
    const std::string quizPart = data.substr(0, questions);
    const std::string questionPart = data.substr(questions, rules - questions);
    int reached = 0;
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldInfo& info = fieldTable()[i];
        if (!*info.key || info.form == FieldForm::questions) continue;
        const std::string key = std::string("\"") + info.key + "\":";
        const bool question = isQuestionField(info.field);
        EXPECT_EQ(occurrences(question ? questionPart : quizPart, key), question ? model.questions.size() : 1u)
            << info.key;
        EXPECT_EQ(occurrences(question ? quizPart : questionPart, key), 0u) << info.key;
        for (const char* own : {"id", "progressName", "questions", "rules"}) EXPECT_STRNE(info.key, own);
        ++reached;
    }
    EXPECT_GT(reached, 10);
}

TEST(WebPage, MediaThatCannotBeReadRefuseThePage) {
    for (const char* path : {"media/absent.png", "media/empty.png"}) {
        files["quiz/media/empty.png"] = {};
        QuizModel model = pictureQuiz();
        model.questions[1].solution = path;
        WebPage page;
        EXPECT_FALSE(writeWebPage(model, "quiz/formes.toml", readFake, "formes.txt", page)) << path;
        EXPECT_EQ(page.unreadable, std::vector<std::string>{std::string("quiz/") + path});
        EXPECT_TRUE(page.html.empty()) << path;
    }
}

TEST(ScormPackage, Crc32MatchesTheFormatsCheckValues) {
    const struct {
        std::string data;
        uint32_t crc;
    } cases[] = {{"", 0}, {"123456789", 0xCBF43926u}, {"The quick brown fox jumps over the lazy dog", 0x414FA339u}};
    for (const auto& c : cases) EXPECT_EQ(zipCrc32(c.data), c.crc) << c.data;
}

// The archive itself is read back by unzip in the browser tests.
TEST(ScormPackage, SamePageSameBytesAndTheManifestNamesItsPage) {
    std::string zip;
    std::string again;
    ASSERT_TRUE(writeScormPackage("Capitales <d'Europe> & co", "capitales.html", "<html>page</html>", zip));
    ASSERT_TRUE(writeScormPackage("Capitales <d'Europe> & co", "capitales.html", "<html>page</html>", again));
    EXPECT_EQ(zip, again);
    const std::string manifest = scormManifest("Capitales <d'Europe> & co", "capitales.html");
    EXPECT_NE(manifest.find("<title>Capitales &lt;d'Europe&gt; &amp; co</title>"), std::string::npos);
    EXPECT_NE(manifest.find("adlcp:scormtype=\"sco\" href=\"capitales.html\""), std::string::npos);
    EXPECT_NE(zip.find(manifest), std::string::npos);
}

}  // namespace
