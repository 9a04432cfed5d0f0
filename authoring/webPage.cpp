#include "authoring/webPage.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "authoring/quizFields.h"
#include "authoring/quizNames.h"
#include "authoring/webAssets.h"
#include "quiz/quiz.h"
#include "sheet/progressFile.h"

namespace {

// Escapes for a JSON string inside a <script> element: "<" and ">" are
// written as \u escapes so that no text of the quiz can close the element.
void appendJsonString(std::string& out, const std::string& text) {
    out += '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == '<' || c == '>' || c == '&') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

struct MediaType {
    const char* extension;  // as mediaExtension names it
    const char* mime;
    bool shown;  // whether a current browser shows or plays it
};

const MediaType mediaTypes[] = {
    {"png", "image/png", true},        {"jpg", "image/jpeg", true},      {"gif", "image/gif", true},
    {"bmp", "image/bmp", true},        {"ico", "image/x-icon", true},    {"wmf", "image/wmf", false},
    {"emf", "image/emf", false},       {"wav", "audio/wav", true},       {"mp3", "audio/mpeg", true},
    {"ogg", "audio/ogg", true},        {"mp4", "video/mp4", true},       {"webm", "video/webm", true},
    {"avi", "video/x-msvideo", false}, {"wma", "audio/x-ms-wma", false}, {"wmv", "video/x-ms-wmv", false},
};

const MediaType unknownMedia = {"bin", "application/octet-stream", false};

const MediaType& mediaTypeOf(const std::vector<uint8_t>& bytes, int32_t kind) {
    const bool webm = bytes.size() >= 4 && std::memcmp(bytes.data(), "\x1A\x45\xDF\xA3", 4) == 0;
    const char* extension = webm ? "webm" : mediaExtension(bytes, kind);
    for (const MediaType& type : mediaTypes) {
        if (std::strcmp(type.extension, extension) == 0) return type;
    }
    return unknownMedia;
}

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

uint32_t bigEndian(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = value << 8 | b[at + i];
    return value;
}

uint32_t littleEndian(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | b[at + i];
    return value;
}

// A picture's width and height from its header, so that the page can lay out
// a cell before the picture is decoded; false when the header does not say
// (a truncated file, an icon, a metafile). JPEG: the first start-of-frame
// marker; the browser may still turn the picture by its EXIF orientation,
// which only the placeholder gets wrong.
bool pictureSize(const std::vector<uint8_t>& b, const char* extension, uint32_t& width, uint32_t& height) {
    const std::string type = extension;
    if (type == "png" && b.size() >= 24) {
        width = bigEndian(b, 16, 4);
        height = bigEndian(b, 20, 4);
    } else if (type == "gif" && b.size() >= 10) {
        width = littleEndian(b, 6, 2);
        height = littleEndian(b, 8, 2);
    } else if (type == "bmp" && b.size() >= 26) {
        const bool core = littleEndian(b, 14, 4) == 12;
        width = core ? littleEndian(b, 18, 2) : littleEndian(b, 18, 4);
        const uint32_t rows = core ? littleEndian(b, 20, 2) : littleEndian(b, 22, 4);
        height = core ? rows : static_cast<uint32_t>(std::abs(static_cast<int64_t>(static_cast<int32_t>(rows))));
    } else if (type == "jpg") {
        width = height = 0;
        for (size_t at = 2; at + 9 <= b.size() && b[at] == 0xFF;) {
            const uint8_t marker = b[at + 1];
            if (marker == 0xFF) {
                ++at;
                continue;
            }
            const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
            if (frame) {
                height = bigEndian(b, at + 5, 2);
                width = bigEndian(b, at + 7, 2);
                break;
            }
            at += 2 + bigEndian(b, at + 2, 2);
        }
    } else {
        return false;
    }
    return width > 0 && height > 0 && width <= 65535 && height <= 65535;
}

// One picture or clip as {"media":K, "name":..., "shown":...} (with its
// size when its header gives it), or null for none; its bytes go into
// `media` as the text of element media-K, a data: URL. The page reads the
// element only when it shows the picture. With `inline`, the URL goes into
// the JSON itself as {"url":...}: the form the storage key is computed on.
// Fails (and names the file) when it cannot be read.
struct MediaOut {
    std::string markup;  // the media elements, in question order
    int count = 0;
    bool inline_ = false;
};

bool appendMedia(std::string& json, const std::string& path, const QuizModel& model, const std::string& sourceFile,
                 const FileReader& readFile, WebPage& out, MediaOut& media) {
    if (path.empty()) {
        json += "null";
        return true;
    }
    const std::string full = mediaPath(sourceFile, path);
    std::vector<uint8_t> bytes;
    if (!readFile || !readFile(full, bytes) || bytes.empty()) {
        out.unreadable.push_back(full);
        json += "null";
        return false;
    }
    const MediaType& type = mediaTypeOf(bytes, model.kind);
    if (!type.shown) out.unshowable.push_back(path);
    const std::string url = std::string("data:") + type.mime + ";base64," + base64(bytes.data(), bytes.size());
    if (media.inline_) {
        json += "{\"url\":";
        appendJsonString(json, url);
    } else {
        const std::string k = std::to_string(++media.count);
        json += "{\"media\":" + k;
        // Base64 and the MIME type hold no "<": the URL cannot close its element.
        media.markup += "<script type=\"text/plain\" id=\"media-" + k + "\">" + url + "</script>\n";
    }
    json += ",\"name\":";
    appendJsonString(json, fileNameOf(path));
    json += type.shown ? ",\"shown\":true" : ",\"shown\":false";
    uint32_t width = 0;
    uint32_t height = 0;
    if (!media.inline_ && type.shown && pictureSize(bytes, type.extension, width, height)) {
        json += ",\"width\":" + std::to_string(width) + ",\"height\":" + std::to_string(height);
    }
    json += '}';
    return true;
}

void appendStringList(std::string& json, const std::vector<std::string>& texts) {
    json += '[';
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) json += ',';
        appendJsonString(json, texts[i]);
    }
    json += ']';
}

// One value of the quiz, under its key in a source, as the page reads it:
// kind and reveal by number, texts as they are. A text is read through the
// table's member; the table names no member for the other forms, each held
// by one field (two for choice), so those are read here by name.
void appendQuizValue(std::string& json, const QuizModel& model, const FieldInfo& info) {
    switch (info.form) {
        case FieldForm::choice:
        case FieldForm::number: json += std::to_string(model.*info.quizNumber); break;
        case FieldForm::text: appendJsonString(json, model.*info.quizText); break;
        case FieldForm::textPair: appendStringList(json, {model.*info.quizText, model.*info.quizText2}); break;
        case FieldForm::textList: appendStringList(json, model.*info.quizList); break;
        case FieldForm::colour:
            json += "[" + std::to_string(model.*info.quizBytes[0]) + "," + std::to_string(model.*info.quizBytes[1]) +
                    "," + std::to_string(model.*info.quizBytes[2]) + "]";
            break;
        case FieldForm::questions:
        case FieldForm::none: json += "null"; break;
    }
}

// One value of a question, under its key in a source: a text as it is, a
// picture or clip as appendMedia writes it. False when a medium cannot be read.
bool appendQuestionValue(std::string& json, const ModelQuestion& q, const FieldInfo& info, const QuizModel& model,
                         const std::string& sourceFile, const FileReader& readFile, WebPage& out, MediaOut& media) {
    switch (info.form) {
        case FieldForm::text:
            if (info.media) return appendMedia(json, q.*info.questionText, model, sourceFile, readFile, out, media);
            // A box that accepts other answers lists them after its main one; any other keeps its one
            // text, so that the pages of quizzes without them (and the answers browsers keep) stay the same.
            if (info.questionOthers && !(q.*info.questionOthers).empty()) {
                std::vector<std::string> accepted{q.*info.questionText};
                accepted.insert(accepted.end(), (q.*info.questionOthers).begin(), (q.*info.questionOthers).end());
                appendStringList(json, accepted);
                return true;
            }
            appendJsonString(json, q.*info.questionText);
            return true;
        case FieldForm::choice:
        case FieldForm::number:
        case FieldForm::textPair:
        case FieldForm::textList:
        case FieldForm::colour:
        case FieldForm::questions:
        case FieldForm::none: json += "null"; return true;
    }
    return true;
}

// {"text":0,"pictures":1,...}: the numbers of a list of a source's names
// (kinds, reveal modes) under those names, camel-cased for the script
// ("solution-picture" is solutionPicture).
void appendNames(std::string& json, const char* const* names, int count) {
    json += '{';
    for (int value = 0; value < count; ++value) {
        json += value > 0 ? ",\"" : "\"";
        for (const char* c = names[value]; *c; ++c) {
            if (*c == '-' && c[1]) {
                ++c;
                json += static_cast<char>(*c >= 'a' && *c <= 'z' ? *c - 'a' + 'A' : *c);
            } else {
                json += *c;
            }
        }
        json += "\":" + std::to_string(value);
    }
    json += '}';
}

// The reveal modes for which a rule of the player holds, as a list.
void appendModesWhere(std::string& json, bool (*holds)(int32_t mode)) {
    json += '[';
    bool first = true;
    for (int mode = 0; mode < revealNameCount; ++mode) {
        if (!holds(mode)) continue;
        json += first ? "" : ",";
        json += std::to_string(mode);
        first = false;
    }
    json += ']';
}

// Everything of the quiz the page shows or judges with, but its key: every
// value of the table of fields under its source key, so that a new field
// reaches the page without a line here.
bool quizJson(const QuizModel& model, const std::string& sourceFile, const FileReader& readFile,
              const std::string& progressName, WebPage& out, std::string& json, MediaOut& media) {
    json += "\"progressName\":";
    appendJsonString(json, progressName);
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldInfo& info = fieldTable()[i];
        if (!*info.key || isQuestionField(info.field) || info.form == FieldForm::questions) continue;
        json += ",\"" + std::string(info.key) + "\":";
        appendQuizValue(json, model, info);
    }
    json += ",\"questions\":[";
    bool ok = true;
    for (size_t n = 0; n < model.questions.size(); ++n) {
        const ModelQuestion& q = model.questions[n];
        char separator = '{';
        json += n > 0 ? "," : "";
        for (int i = 0; i < fieldCount(); ++i) {
            const FieldInfo& info = fieldTable()[i];
            if (!isQuestionField(info.field)) continue;
            json += separator + ("\"" + std::string(info.key) + "\":");
            separator = ',';
            ok = appendQuestionValue(json, q, info, model, sourceFile, readFile, out, media) && ok;
        }
        json += '}';
    }
    json += ']';
    return ok;
}

// FNV-1a: the key under which the browser keeps this quiz's answers, the
// same for the same quiz whatever the page's file is called.
std::string quizKey(const std::string& json) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (unsigned char c : json) {
        hash ^= c;
        hash *= 0x100000001B3ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// Replaces the one "{{NAME}}" of the template; the inserted text is not
// searched again.
void fill(std::string& page, size_t& from, const char* name, const std::string& value) {
    const std::string marker = std::string("{{") + name + "}}";
    const size_t at = page.find(marker, from);
    if (at == std::string::npos) return;
    page.replace(at, marker.size(), value);
    from = at + value.size();
}

}  // namespace

std::string base64(const unsigned char* data, size_t size) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((size + 2) / 3 * 4);
    for (size_t i = 0; i < size; i += 3) {
        const uint32_t rest = static_cast<uint32_t>(size - i);
        const uint32_t group =
            (static_cast<uint32_t>(data[i]) << 16) | (rest > 1 ? data[i + 1] << 8 : 0) | (rest > 2 ? data[i + 2] : 0);
        out += digits[(group >> 18) & 63];
        out += digits[(group >> 12) & 63];
        out += rest > 1 ? digits[(group >> 6) & 63] : '=';
        out += rest > 2 ? digits[group & 63] : '=';
    }
    return out;
}

bool browserShows(const std::vector<uint8_t>& bytes, int32_t kind) {
    return mediaTypeOf(bytes, kind).shown;
}

bool writeWebPage(const QuizModel& model, const std::string& sourceFile, const FileReader& readFile,
                  const std::string& progressName, WebPage& out) {
    out = WebPage();
    std::string body;
    MediaOut media;
    if (!quizJson(model, sourceFile, readFile, progressName, out, body, media)) return false;
    // The key is computed on the quiz with its media inline, as pages
    // written before the media moved out of the JSON computed it: answers
    // kept by such a page stay this page's.
    std::string keyed;
    MediaOut inlineMedia;
    inlineMedia.inline_ = true;
    WebPage ignored;
    quizJson(model, sourceFile, readFile, progressName, ignored, keyed, inlineMedia);
    // The rules come after the keyed part: they belong to the runtime, and
    // the same quiz keeps its key whatever runtime writes it.
    const std::string json = "{\"id\":\"" + quizKey(keyed) + "\"," + body + ",\"rules\":" + webPageRules() + "}";
    std::string page = webPageTemplate.bytes();
    size_t from = 0;
    // In the template's order: each marker is looked for after the last one.
    fill(page, from, "TITLE", markupEscaped(model.title));
    fill(page, from, "STYLE", webPageStyle.bytes());
    fill(page, from, "QUIZ", json);
    fill(page, from, "JUDGE", base64(webJudgeModule.data, webJudgeModule.size));
    fill(page, from, "SCRIPT", webPageScript.bytes());
    fill(page, from, "MEDIA", media.markup);
    out.html = std::move(page);
    return true;
}

std::string webPageRules() {
    std::string json = "{\"limits\":{\"text\":" + std::to_string(quizTextSize - 1) +
                       ",\"progressLine\":" + std::to_string(progressLineSize - 1) +
                       ",\"rewardCodes\":" + std::to_string(rewardCodeCount) + "},\"modes\":{\"kind\":";
    appendNames(json, kindNames, kindNameCount);
    json += ",\"reveal\":";
    appendNames(json, revealNames, revealNameCount);
    json += ",\"revealShowsComments\":";
    appendModesWhere(json, revealShowsComments);
    json += ",\"revealShowsPicture\":";
    appendModesWhere(json, revealShowsPicture);
    json += "}}";
    return json;
}

std::string markupEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}
