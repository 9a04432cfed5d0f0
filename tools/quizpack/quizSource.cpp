#include "tools/quizpack/quizSource.h"

#include <cstdio>
#include <cstring>
#include <set>

#include "pictures/png.h"
#include "quiz/lzw.h"

// Parse failures come back as a result object, not as an exception.
#define TOML_EXCEPTIONS 0
#include <toml++/toml.h>

namespace {

// ---- Windows-1252 ----------------------------------------------------------

// Code points of the bytes 0x80 to 0x9F; the five bytes Windows-1252 leaves
// unassigned map to the control character of the same value, as the
// platform's converter does.
const uint16_t highControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

uint32_t codePointOf(uint8_t byte) {
    return byte >= 0x80 && byte < 0xA0 ? highControls[byte - 0x80] : byte;
}

bool byteOf(uint32_t codePoint, uint8_t& byte) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        byte = static_cast<uint8_t>(codePoint);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (highControls[i] == codePoint) {
            byte = static_cast<uint8_t>(0x80 + i);
            return true;
        }
    }
    return false;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool nextCodePoint(const std::string& text, size_t& i, uint32_t& codePoint) {
    const uint8_t lead = static_cast<uint8_t>(text[i]);
    int extra = 0;
    uint32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        codePoint = lead & 0x1F, extra = 1, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        codePoint = lead & 0x0F, extra = 2, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        codePoint = lead & 0x07, extra = 3, minimum = 0x10000;
    } else {
        return false;
    }
    if (i + extra >= text.size()) return false;
    for (int k = 1; k <= extra; ++k) {
        const uint8_t next = static_cast<uint8_t>(text[i + k]);
        if ((next & 0xC0) != 0x80) return false;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return false;
    i += extra + 1;
    return true;
}

bool portableToAnsi(const std::string& utf8, std::string& ansi) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        uint32_t codePoint = 0;
        uint8_t byte = 0;
        if (!nextCodePoint(utf8, i, codePoint) || !byteOf(codePoint, byte)) return false;
        out.push_back(static_cast<char>(byte));
    }
    ansi = std::move(out);
    return true;
}

void appendUtf8(std::string& out, uint32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

std::string portableToUtf8(const std::string& ansi) {
    std::string out;
    for (char c : ansi) appendUtf8(out, codePointOf(static_cast<uint8_t>(c)));
    return out;
}

// ---- Reading the source ----------------------------------------------------

const char* const kindNames[] = {"text", "pictures", "audio", "video"};
const char* const revealNames[] = {"none", "solution-picture", "comment", "comment-and-picture", "all-comments"};
constexpr int revealSolutionPicture = 1;
constexpr int revealCommentAndPicture = 3;

bool revealShowsComments(int mode) {
    return mode == 2 || mode == 3 || mode == 4;
}
bool revealShowsPicture(int mode) {
    return mode == revealSolutionPicture || mode == revealCommentAndPicture;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string nameList(const char* const* names, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) out += (i ? ", " : "") + quoted(names[i]);
    return out;
}

// Collects located messages for one source file.
class Checker {
public:
    Checker(const std::string& fileName, const TextCodec& codec, std::vector<std::string>& errors)
        : fileName_(fileName), codec_(codec), errors_(errors) {}

    void fail(int line, const std::string& field, const std::string& what) {
        std::string message = fileName_;
        if (line > 0) message += ":" + std::to_string(line);
        if (!field.empty()) message += ": " + field;
        errors_.push_back(message + ": " + what);
    }

    // A text in Windows-1252 that fits a 260-byte field and holds no "|".
    bool text(const toml::node& node, const std::string& field, std::string& out) {
        const int line = lineOf(node);
        const toml::value<std::string>* value = node.as_string();
        if (!value) {
            fail(line, field, "must be a string in double quotes");
            return false;
        }
        std::string ansi;
        if (!codec_.toAnsi(value->get(), ansi)) {
            fail(line, field, "holds a character that Windows-1252 cannot hold (the player shows single-byte text)");
            return false;
        }
        bool ok = true;
        if (ansi.find('|') != std::string::npos) {
            fail(line, field, "contains \"|\", which the player reads as the end of a text");
            ok = false;
        }
        if (ansi.find('\0') != std::string::npos) {
            fail(line, field, "contains a NUL character");
            ok = false;
        }
        if (ansi.size() > static_cast<size_t>(quizTextSize - 1)) {
            fail(line, field,
                 "is " + std::to_string(ansi.size()) + " characters long; the player holds at most " +
                     std::to_string(quizTextSize - 1));
            ok = false;
        }
        if (ok) out = std::move(ansi);
        return ok;
    }

    // One of a list of names; the index is the stored value.
    bool choice(const toml::node& node, const std::string& field, const char* const* names, size_t count, int& out) {
        const toml::value<std::string>* value = node.as_string();
        if (value) {
            for (size_t i = 0; i < count; ++i) {
                if (value->get() == names[i]) {
                    out = static_cast<int>(i);
                    return true;
                }
            }
        }
        fail(lineOf(node), field, "must be one of " + nameList(names, count));
        return false;
    }

    void unknownKeys(const toml::table& table, const std::set<std::string>& known, const std::string& where) {
        for (auto&& [key, node] : table) {
            if (!known.count(std::string(key.str()))) {
                fail(lineOf(node), where + std::string(key.str()), "unknown key (known keys: " + joined(known) + ")");
            }
        }
    }

    static int lineOf(const toml::node& node) { return static_cast<int>(node.source().begin.line); }

private:
    static std::string joined(const std::set<std::string>& names) {
        std::string out;
        for (const std::string& name : names) out += (out.empty() ? "" : ", ") + name;
        return out;
    }

    const std::string& fileName_;
    const TextCodec& codec_;
    std::vector<std::string>& errors_;
};

const std::set<std::string> quizKeys = {"kind",     "title",  "author", "explanations", "answers_per_question",
                                        "captions", "reveal", "colour", "reward_codes", "question"};
const std::set<std::string> questionKeys = {"answer",   "answer2", "prompt",   "comment",
                                            "comment2", "picture", "solution", "clip"};

bool parseHexColour(const std::string& text, uint8_t rgb[3]) {
    if (text.size() != 7 || text[0] != '#') return false;
    for (int i = 0; i < 3; ++i) {
        unsigned value = 0;
        for (int k = 1; k <= 2; ++k) {
            const char c = text[1 + 2 * i + k - 1];
            const int digit = (c >= '0' && c <= '9')   ? c - '0'
                              : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                              : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                       : -1;
            if (digit < 0) return false;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        rgb[i] = static_cast<uint8_t>(value);
    }
    return true;
}

void readColour(Checker& check, const toml::node& node, QuizSource& source) {
    uint8_t rgb[3] = {0, 0, 0};
    bool ok = false;
    if (const toml::value<std::string>* text = node.as_string()) {
        ok = parseHexColour(text->get(), rgb);
    } else if (const toml::array* list = node.as_array()) {
        ok = list->size() == 3;
        for (size_t i = 0; ok && i < 3; ++i) {
            const toml::value<int64_t>* part = (*list)[i].as_integer();
            ok = part && part->get() >= 0 && part->get() <= 255;
            if (ok) rgb[i] = static_cast<uint8_t>(part->get());
        }
    }
    if (!ok) {
        check.fail(Checker::lineOf(node), "colour", "must be \"#RRGGBB\" or [red, green, blue] with values 0 to 255");
        return;
    }
    source.colourRed = rgb[0];
    source.colourGreen = rgb[1];
    source.colourBlue = rgb[2];
}

void readMediaPath(Checker& check, const toml::node& node, const std::string& field, std::string& path, int& line) {
    const toml::value<std::string>* value = node.as_string();
    line = Checker::lineOf(node);
    if (!value || value->get().empty()) {
        check.fail(line, field, "must be the path of a file, relative to the quiz source");
        return;
    }
    path = value->get();
}

struct QuestionContext {
    int kind;
    int answers;
    int reveal;
};

void readQuestion(Checker& check, const toml::table& table, size_t index, const QuestionContext& quiz,
                  QuizSourceQuestion& question, QuestionMedia& media) {
    const std::string prefix = "question " + std::to_string(index + 1) + ", ";
    const int line = Checker::lineOf(table);
    check.unknownKeys(table, questionKeys, prefix);
    auto field = [&](const char* key) { return prefix + key; };

    if (const toml::node* node = table.get("answer")) {
        if (check.text(*node, field("answer"), question.answer1) && question.answer1.empty()) {
            check.fail(Checker::lineOf(*node), field("answer"), "is empty; no typed answer could ever match it");
        }
    } else {
        check.fail(line, field("answer"), "is missing");
    }
    if (const toml::node* node = table.get("answer2")) {
        if (quiz.answers != 2) {
            check.fail(Checker::lineOf(*node), field("answer2"), "is used only with answers_per_question = 2");
        } else if (check.text(*node, field("answer2"), question.answer2) && question.answer2.empty()) {
            check.fail(Checker::lineOf(*node), field("answer2"), "is empty; no typed answer could ever match it");
        }
    } else if (quiz.answers == 2) {
        check.fail(line, field("answer2"), "is missing (answers_per_question = 2)");
    }
    if (const toml::node* node = table.get("prompt")) check.text(*node, field("prompt"), question.prompt);
    if (const toml::node* node = table.get("comment")) {
        if (revealShowsComments(quiz.reveal)) {
            check.text(*node, field("comment"), question.comment);
        } else {
            check.fail(Checker::lineOf(*node), field("comment"),
                       "is shown only with reveal = \"comment\", \"comment-and-picture\" or \"all-comments\"");
        }
    }
    if (const toml::node* node = table.get("comment2")) {
        if (quiz.reveal == revealCommentAndPicture) {
            check.text(*node, field("comment2"), question.secondComment);
        } else {
            check.fail(Checker::lineOf(*node), field("comment2"),
                       "is stored only with reveal = \"comment-and-picture\"");
        }
    }

    const bool pictures = quiz.kind == kindPictures;
    const bool clips = quiz.kind == kindAudio || quiz.kind == kindVideo;
    const bool solutions = pictures && revealShowsPicture(quiz.reveal);
    struct Slot {
        const char* key;
        bool wanted;
        const char* why;
        std::string& path;
        int& line;
    } slots[] = {
        {"picture", pictures, "a question of a quiz of kind \"pictures\" shows a picture", media.picture,
         media.pictureLine},
        {"solution", solutions,
         "a pictures quiz with reveal = \"solution-picture\" or \"comment-and-picture\" swaps in a solution picture",
         media.solution, media.solutionLine},
        {"clip", clips, "a question of a quiz of kind \"audio\" or \"video\" plays a clip", media.clip, media.clipLine},
    };
    for (Slot& slot : slots) {
        const toml::node* node = table.get(slot.key);
        if (node && !slot.wanted) {
            check.fail(Checker::lineOf(*node), field(slot.key), "is not used by this quiz and would be left out");
        } else if (node) {
            readMediaPath(check, *node, field(slot.key), slot.path, slot.line);
        } else if (slot.wanted) {
            check.fail(line, field(slot.key), std::string("is missing: ") + slot.why);
        }
    }
}

}  // namespace

const TextCodec portableCodec = {portableToAnsi, portableToUtf8};

bool parseQuizToml(const std::string& text, const std::string& fileName, const TextCodec& codec, QuizDocument& out,
                   std::vector<std::string>& errors) {
    const size_t errorsBefore = errors.size();
    Checker check(fileName, codec, errors);
    toml::parse_result parsed = toml::parse(std::string_view(text), std::string_view(fileName));
    if (!parsed) {
        const toml::parse_error& problem = parsed.error();
        check.fail(static_cast<int>(problem.source().begin.line), "", std::string(problem.description()));
        return false;
    }
    const toml::table& root = parsed.table();
    check.unknownKeys(root, quizKeys, "");

    QuizDocument document;
    QuizSource& source = document.source;
    // The sample quiz's colour, so that a source without one still looks familiar.
    source.colourRed = 0x35, source.colourGreen = 0xCB, source.colourBlue = 0xA3;

    int kind = -1;
    if (const toml::node* node = root.get("kind")) {
        check.choice(*node, "kind", kindNames, 4, kind);
    } else {
        check.fail(0, "kind", "is missing (one of " + nameList(kindNames, 4) + ")");
    }
    source.kind = kind < 0 ? 0 : kind;
    if (const toml::node* node = root.get("title")) {
        check.text(*node, "title", source.title);
    } else {
        check.fail(0, "title", "is missing");
    }
    if (const toml::node* node = root.get("author")) check.text(*node, "author", source.author);
    if (const toml::node* node = root.get("explanations")) check.text(*node, "explanations", source.explanations);

    if (const toml::node* node = root.get("answers_per_question")) {
        const toml::value<int64_t>* value = node->as_integer();
        if (value && (value->get() == 1 || value->get() == 2)) {
            source.answersPerQuestion = static_cast<int32_t>(value->get());
        } else {
            check.fail(Checker::lineOf(*node), "answers_per_question", "must be 1 or 2");
        }
    }
    if (const toml::node* node = root.get("captions")) {
        const toml::array* list = node->as_array();
        if (!list || list->size() > 2) {
            check.fail(Checker::lineOf(*node), "captions", "must be a list of at most two strings");
        } else {
            std::string* captions[] = {&source.caption1, &source.caption2};
            for (size_t i = 0; i < list->size(); ++i) {
                check.text((*list)[i], "captions[" + std::to_string(i + 1) + "]", *captions[i]);
            }
        }
    }
    int reveal = 0;
    if (const toml::node* node = root.get("reveal")) {
        if (check.choice(*node, "reveal", revealNames, 5, reveal) && revealShowsPicture(reveal) && kind >= 0 &&
            kind != kindPictures) {
            check.fail(Checker::lineOf(*node), "reveal",
                       "a solution picture can be revealed only in a quiz of kind \"pictures\"");
        }
    }
    source.revealMode = reveal;
    if (const toml::node* node = root.get("colour")) readColour(check, *node, source);

    const toml::node* questionsNode = root.get("question");
    const toml::array* questions = questionsNode ? questionsNode->as_array() : nullptr;
    if (!questionsNode || (questions && questions->empty())) {
        check.fail(0, "question", "there is no [[question]]; a quiz needs at least one");
        questions = nullptr;
    } else if (!questions || !questions->is_array_of_tables()) {
        check.fail(Checker::lineOf(*questionsNode), "question", "must be written as [[question]] tables");
        questions = nullptr;
    } else if (questions->size() > maxSourceQuestions) {
        check.fail(Checker::lineOf((*questions)[maxSourceQuestions]), "question",
                   "there are " + std::to_string(questions->size()) + " questions; the player holds at most " +
                       std::to_string(maxSourceQuestions));
    }
    if (questions) {
        const QuestionContext context = {kind, source.answersPerQuestion, reveal};
        source.questions.resize(questions->size());
        document.media.resize(questions->size());
        for (size_t i = 0; i < questions->size(); ++i) {
            readQuestion(check, *(*questions)[i].as_table(), i, context, source.questions[i], document.media[i]);
        }
    }

    if (const toml::node* node = root.get("reward_codes")) {
        const toml::array* list = node->as_array();
        if (!list) {
            check.fail(Checker::lineOf(*node), "reward_codes", "must be a list of strings, one per score");
        } else {
            source.rewardCodes.resize(list->size());
            for (size_t i = 0; i < list->size(); ++i) {
                const std::string field = "reward_codes[" + std::to_string(i + 1) + "]";
                if (check.text((*list)[i], field, source.rewardCodes[i]) &&
                    source.rewardCodes[i].find_first_of("\r\n") != std::string::npos) {
                    check.fail(Checker::lineOf((*list)[i]), field, "holds a line break");
                }
            }
            if (list->size() != source.questions.size()) {
                check.fail(Checker::lineOf(*node), "reward_codes",
                           "has " + std::to_string(list->size()) + " codes for " +
                               std::to_string(source.questions.size()) +
                               " questions; give exactly one per score from 1 to the question count");
            }
        }
    } else {
        check.fail(0, "reward_codes", "is missing: give one code per score from 1 to the question count");
    }

    if (errors.size() != errorsBefore) return false;
    if (const char* problem = quizSourceProblem(source)) {
        check.fail(0, "", problem);
        return false;
    }
    out = std::move(document);
    return true;
}

// ---- Resources --------------------------------------------------------------

bool isPngFile(const std::vector<uint8_t>& bytes) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return bytes.size() >= 8 && std::memcmp(bytes.data(), signature, 8) == 0;
}

namespace {

bool startsWith(const std::vector<uint8_t>& bytes, size_t at, const char* text, size_t length) {
    return bytes.size() >= at + length && std::memcmp(bytes.data() + at, text, length) == 0;
}

// Pictures the platform's picture loader reads besides PNG.
const char* platformPictureExtension(const std::vector<uint8_t>& bytes) {
    if (startsWith(bytes, 0, "\xFF\xD8\xFF", 3)) return "jpg";
    if (startsWith(bytes, 0, "GIF87a", 6) || startsWith(bytes, 0, "GIF89a", 6)) return "gif";
    if (startsWith(bytes, 0, "BM", 2)) return "bmp";
    if (startsWith(bytes, 0, "\0\0\1\0", 4)) return "ico";
    if (startsWith(bytes, 0, "\xD7\xCD\xC6\x9A", 4)) return "wmf";
    if (startsWith(bytes, 0, "\1\0\0\0", 4) && startsWith(bytes, 40, " EMF", 4)) return "emf";
    return nullptr;
}

std::vector<uint8_t> encoded(const std::vector<uint8_t>& layout, int32_t& result) {
    uint8_t* stream = nullptr;
    int32_t length = 0;
    result = lzwEncode(layout.data(), static_cast<uint32_t>(layout.size()), &stream, &length);
    std::vector<uint8_t> out;
    if (result == lzwOk) {
        out.assign(stream, stream + (length - 1));
        // The player must read back exactly these bytes; a stream that does
        // not would be a fault of the codec, not of the source.
        uint8_t* decoded = nullptr;
        int32_t decodedLength = 0;
        if (lzwDecode(out.data(), static_cast<uint32_t>(out.size()), &decoded, &decodedLength) != lzwOk ||
            static_cast<size_t>(decodedLength - 2) != layout.size() ||
            std::memcmp(decoded, layout.data(), layout.size()) != 0) {
            result = lzwErrorStream;
            out.clear();
        }
        lzwFree(decoded);
    }
    lzwFree(stream);
    return out;
}

}  // namespace

bool playerReadsPng(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> header, pixels;
    return pngDecodeToDib(bytes.data(), bytes.size(), header, pixels) == pngDecodeOk;
}

const char* mediaExtension(const std::vector<uint8_t>& bytes, int32_t kind) {
    if (isPngFile(bytes)) return "png";
    if (const char* picture = platformPictureExtension(bytes)) return picture;
    if (startsWith(bytes, 0, "RIFF", 4) && startsWith(bytes, 8, "WAVE", 4)) return "wav";
    if (startsWith(bytes, 0, "RIFF", 4) && startsWith(bytes, 8, "AVI ", 4)) return "avi";
    if (startsWith(bytes, 0, "ID3", 3) || (bytes.size() >= 2 && bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0)) {
        return "mp3";
    }
    if (startsWith(bytes, 0, "OggS", 4)) return "ogg";
    if (startsWith(bytes, 4, "ftyp", 4)) return "mp4";
    if (startsWith(bytes, 0, "\x30\x26\xB2\x75", 4)) return kind == kindVideo ? "wmv" : "wma";
    if (kind == kindAudio) return "mp3";
    if (kind == kindVideo) return "avi";
    return "bin";
}

std::string mediaPath(const std::string& sourceFile, const std::string& relative) {
    const bool absolute = (!relative.empty() && (relative[0] == '/' || relative[0] == '\\')) ||
                          (relative.size() >= 2 && relative[1] == ':');
    if (absolute) return relative;
    const size_t slash = sourceFile.find_last_of("/\\");
    if (slash == std::string::npos) return relative;
    return sourceFile.substr(0, slash + 1) + relative;
}

bool assembleQuiz(const QuizDocument& document, const std::string& sourceFile, FileReader readFile,
                  PngChecker pngReadable, std::vector<PackedResource>& out, std::vector<std::string>& errors) {
    const size_t errorsBefore = errors.size();
    std::vector<PackedResource> resources;
    const QuizSource& source = document.source;

    int32_t result = 0;
    std::vector<uint8_t> quizStream = encoded(writeQuizLayout(source), result);
    if (result != lzwOk) {
        errors.push_back(sourceFile + ": the quiz texts are too large for the player's compressed resource (" +
                         std::to_string(writeQuizLayout(source).size()) + " bytes before compression; error " +
                         std::to_string(result) + ")");
    }
    std::vector<uint8_t> codesStream = encoded(writeRewardCodes(source), result);
    if (result != lzwOk) {
        errors.push_back(sourceFile + ": the reward codes are too large for the player's compressed resource (error " +
                         std::to_string(result) + ")");
    }
    resources.push_back({ResourceKind::patch, quizResourceId, std::move(quizStream)});
    resources.push_back({ResourceKind::patch, codesResourceId, std::move(codesStream)});

    for (size_t i = 0; i < document.media.size(); ++i) {
        const QuestionMedia& media = document.media[i];
        const uint16_t n = static_cast<uint16_t>(i + 1);
        struct Slot {
            const char* field;
            const std::string& path;
            int line;
            uint16_t id;
            bool picture;
        } slots[] = {
            {"picture", media.picture, media.pictureLine, static_cast<uint16_t>(pictureResourceBase + n), true},
            {"solution", media.solution, media.solutionLine, static_cast<uint16_t>(solutionResourceBase + n), true},
            {"clip", media.clip, media.clipLine, static_cast<uint16_t>(pictureResourceBase + n), false},
        };
        for (const Slot& slot : slots) {
            if (slot.path.empty()) continue;
            const std::string where = sourceFile + ":" + std::to_string(slot.line) + ": question " + std::to_string(n) +
                                      ", " + slot.field + ": ";
            const std::string path = mediaPath(sourceFile, slot.path);
            std::vector<uint8_t> bytes;
            if (!readFile(path, bytes)) {
                errors.push_back(where + "cannot read the file " + quoted(path));
                continue;
            }
            if (bytes.empty()) {
                errors.push_back(where + "the file " + quoted(path) + " is empty");
                continue;
            }
            ResourceKind kind = ResourceKind::img;
            if (slot.picture && isPngFile(bytes)) {
                kind = ResourceKind::rcdata;
                if (pngReadable && !pngReadable(bytes)) {
                    errors.push_back(where + "the player's PNG decoder cannot read " + quoted(path));
                    continue;
                }
            } else if (slot.picture && !platformPictureExtension(bytes)) {
                errors.push_back(where + quoted(path) + " is not a PNG, JPEG, GIF, BMP, ICO, WMF or EMF picture");
                continue;
            }
            resources.push_back({kind, slot.id, std::move(bytes)});
        }
    }
    if (errors.size() != errorsBefore) return false;
    out = std::move(resources);
    return true;
}

// ---- Extraction ---------------------------------------------------------------

const PackedResource* findResource(const std::vector<PackedResource>& resources, ResourceKind kind, uint16_t id) {
    for (const PackedResource& resource : resources) {
        if (resource.kind == kind && resource.id == id) return &resource;
    }
    return nullptr;
}

namespace {

// A TOML basic string.
std::string tomlString(const std::string& utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        const uint8_t byte = static_cast<uint8_t>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

bool decodeResource(const PackedResource* resource, std::vector<uint8_t>& bytes) {
    if (!resource || resource->data.empty()) return false;
    uint8_t* decoded = nullptr;
    int32_t length = 0;
    const int32_t result =
        lzwDecode(resource->data.data(), static_cast<uint32_t>(resource->data.size()), &decoded, &length);
    if (result == lzwOk) bytes.assign(decoded, decoded + (length - 2));
    lzwFree(decoded);
    return result == lzwOk;
}

const PackedResource* pictureOf(const std::vector<PackedResource>& resources, uint16_t id) {
    const PackedResource* found = findResource(resources, ResourceKind::img, id);
    return found ? found : findResource(resources, ResourceKind::rcdata, id);
}

}  // namespace

bool disassembleQuiz(const std::vector<PackedResource>& resources, const TextCodec& codec,
                     const std::string& mediaPrefix, std::string& tomlText, std::vector<ExtractedFile>& files,
                     std::string& error) {
    std::vector<uint8_t> layout, codes;
    if (!findResource(resources, ResourceKind::patch, quizResourceId)) {
        error = "it carries no quiz (no PATCH resource 104)";
        return false;
    }
    if (!decodeResource(findResource(resources, ResourceKind::patch, quizResourceId), layout)) {
        error = "its quiz resource (PATCH 104) does not decode";
        return false;
    }
    const bool haveCodes = decodeResource(findResource(resources, ResourceKind::patch, codesResourceId), codes);
    QuizSource source;
    if (!readQuizSource(layout.data(), layout.size(), haveCodes ? codes.data() : nullptr, codes.size(), source)) {
        error = "its quiz resources (PATCH 104 and 105) are malformed";
        return false;
    }
    if (source.kind < 0 || source.kind > 3) {
        error = "its quiz kind " + std::to_string(source.kind) + " has no name in a quiz source";
        return false;
    }
    if (source.answersPerQuestion != 1 && source.answersPerQuestion != 2) {
        error =
            "it asks " + std::to_string(source.answersPerQuestion) + " answers per question; a source allows 1 or 2";
        return false;
    }
    if (source.revealMode < 0 || source.revealMode > 4) {
        error = "its reveal mode " + std::to_string(source.revealMode) + " has no name in a quiz source";
        return false;
    }

    auto text = [&](const std::string& ansi) { return tomlString(codec.toUtf8(ansi)); };
    std::string out;
    out += "kind = " + tomlString(kindNames[source.kind]) + "\n";
    out += "title = " + text(source.title) + "\n";
    out += "author = " + text(source.author) + "\n";
    out += "explanations = " + text(source.explanations) + "\n";
    out += "answers_per_question = " + std::to_string(source.answersPerQuestion) + "\n";
    if (!source.caption1.empty() || !source.caption2.empty()) {
        out += "captions = [" + text(source.caption1) + ", " + text(source.caption2) + "]\n";
    }
    out += "reveal = " + tomlString(revealNames[source.revealMode]) + "\n";
    char colour[16];
    std::snprintf(colour, sizeof colour, "#%02X%02X%02X", source.colourRed, source.colourGreen, source.colourBlue);
    out += "colour = \"" + std::string(colour) + "\"\n";
    if (!haveCodes) {
        out += "# The player carried no readable reward codes; fill these in.\n";
        source.rewardCodes.assign(source.questions.size(), std::string());
    }
    out += "reward_codes = [\n";
    for (const std::string& code : source.rewardCodes) out += "  " + text(code) + ",\n";
    out += "]\n";

    std::vector<ExtractedFile> found;
    for (size_t i = 0; i < source.questions.size(); ++i) {
        const QuizSourceQuestion& question = source.questions[i];
        const uint16_t n = static_cast<uint16_t>(i + 1);
        out += "\n[[question]]\n";
        out += "answer = " + text(question.answer1) + "\n";
        if (source.answersPerQuestion == 2) out += "answer2 = " + text(question.answer2) + "\n";
        if (!question.prompt.empty()) out += "prompt = " + text(question.prompt) + "\n";
        if (revealShowsComments(source.revealMode)) out += "comment = " + text(question.comment) + "\n";
        if (source.revealMode == revealCommentAndPicture && !question.secondComment.empty()) {
            out += "comment2 = " + text(question.secondComment) + "\n";
        }
        struct Slot {
            const char* key;
            const PackedResource* resource;
        } slots[] = {
            {"picture", source.kind == kindPictures ? pictureOf(resources, pictureResourceBase + n) : nullptr},
            {"solution", source.kind == kindPictures && revealShowsPicture(source.revealMode)
                             ? pictureOf(resources, solutionResourceBase + n)
                             : nullptr},
            {"clip", source.kind == kindAudio || source.kind == kindVideo
                         ? findResource(resources, ResourceKind::img, pictureResourceBase + n)
                         : nullptr},
        };
        for (const Slot& slot : slots) {
            if (!slot.resource) continue;
            const std::string name =
                std::to_string(slot.resource->id) + "." + mediaExtension(slot.resource->data, source.kind);
            found.push_back({name, &slot.resource->data});
            out += std::string(slot.key) + " = " + tomlString(mediaPrefix + name) + "\n";
        }
    }
    tomlText = std::move(out);
    files = std::move(found);
    return true;
}
