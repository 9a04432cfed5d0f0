// Prints what the question-bank readers make of a file, as JSON, for the
// tests that hold them to an independent parser: the questions kept (their
// place in the file, name, prompt, accepted answers and comment), the
// category, and what was left out by type.
// Usage: bankReading FILE.gift|FILE.xml
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "authoring/giftImport.h"
#include "authoring/moodleXmlImport.h"
#include "authoring/paths.h"

namespace {

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
            out += buffer;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bankReading FILE\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    BankReading reading;
    ModelProblem broken;
    const bool ok = hasExtension(argv[1], ".xml") ? readMoodleXmlBank(bytes, reading, broken)
                                                  : readGiftBank(bytes, reading, broken);
    if (!ok) {
        std::printf("{\"broken\":%s,\"line\":%d}\n", quoted(broken.message).c_str(), broken.line);
        return 0;
    }
    std::string json = "{\"category\":" + quoted(reading.category) + ",\"questions\":[";
    for (size_t i = 0; i < reading.questions.size(); ++i) {
        const BankQuestion& q = reading.questions[i];
        json += std::string(i ? "," : "") + "{\"number\":" + std::to_string(q.number) + ",\"name\":" + quoted(q.name) +
                ",\"prompt\":" + quoted(q.question.prompt) + ",\"comment\":" + quoted(q.question.comment) +
                ",\"pictures\":" + std::to_string(q.pictures.size()) + ",\"answers\":[" + quoted(q.question.answer);
        for (const std::string& other : q.question.otherAnswers) json += "," + quoted(other);
        json += "]}";
    }
    json += "],\"leftOut\":{";
    for (size_t i = 0; i < reading.leftOut.size(); ++i) {
        json += std::string(i ? "," : "") + quoted(reading.leftOut[i].first) + ":" +
                std::to_string(reading.leftOut[i].second);
    }
    json += "},\"partialAnswers\":" + std::to_string(reading.partialAnswers) +
            ",\"usesCase\":" + (reading.usesCase ? "true" : "false") + "}";
    std::printf("%s\n", json.c_str());
    return 0;
}
