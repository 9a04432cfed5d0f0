#include "authoring/webPage.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "authoring/quizFields.h"
#include "authoring/webAssets.h"

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

// One picture or clip as {"url":..., "name":..., "shown":...}, or null for
// none. Fails (and names the file) when it cannot be read.
bool appendMedia(std::string& json, const std::string& path, const QuizModel& model, const std::string& sourceFile,
                 const FileReader& readFile, WebPage& out) {
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
    json += "{\"url\":";
    appendJsonString(json, std::string("data:") + type.mime + ";base64," + base64(bytes.data(), bytes.size()));
    json += ",\"name\":";
    appendJsonString(json, fileNameOf(path));
    json += type.shown ? ",\"shown\":true}" : ",\"shown\":false}";
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
// kind and reveal by number, texts as they are.
void appendQuizValue(std::string& json, const QuizModel& model, const FieldInfo& info) {
    switch (info.form) {
        case FieldForm::choice:
            json += std::to_string(info.field == ModelField::kind ? model.kind : model.reveal);
            break;
        case FieldForm::number: json += std::to_string(model.answersPerQuestion); break;
        case FieldForm::text: appendJsonString(json, model.*info.quizText); break;
        case FieldForm::textPair: appendStringList(json, {model.caption1, model.caption2}); break;
        case FieldForm::textList: appendStringList(json, model.rewardCodes); break;
        case FieldForm::colour:
            json += "[" + std::to_string(model.colourRed) + "," + std::to_string(model.colourGreen) + "," +
                    std::to_string(model.colourBlue) + "]";
            break;
        case FieldForm::questions:
        case FieldForm::none: json += "null"; break;
    }
}

// Everything of the quiz the page shows or judges with, but its key: every
// value of the table of fields under its source key, so that a new field
// reaches the page without a line here.
bool quizJson(const QuizModel& model, const std::string& sourceFile, const FileReader& readFile,
              const std::string& progressName, WebPage& out, std::string& json) {
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
            if (info.media)
                ok = appendMedia(json, q.*info.questionText, model, sourceFile, readFile, out) && ok;
            else
                appendJsonString(json, q.*info.questionText);
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

bool writeWebPage(const QuizModel& model, const std::string& sourceFile, const FileReader& readFile,
                  const std::string& progressName, WebPage& out) {
    out = WebPage();
    std::string body;
    if (!quizJson(model, sourceFile, readFile, progressName, out, body)) return false;
    const std::string json = "{\"id\":\"" + quizKey(body) + "\"," + body + "}";
    std::string page = webPageTemplate.bytes();
    size_t from = 0;
    // In the template's order: each marker is looked for after the last one.
    fill(page, from, "TITLE", markupEscaped(model.title));
    fill(page, from, "STYLE", webPageStyle.bytes());
    fill(page, from, "QUIZ", json);
    fill(page, from, "JUDGE", base64(webJudgeModule.data, webJudgeModule.size));
    fill(page, from, "SCRIPT", webPageScript.bytes());
    out.html = std::move(page);
    return true;
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
