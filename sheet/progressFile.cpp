#include "sheet/progressFile.h"

#include <cstring>

namespace {

constexpr char carriageReturn = '\r';
constexpr char lineFeed = '\n';
constexpr size_t lineMax = progressLineSize - 1;

}  // namespace

void readProgressLine(ProgressReader& reader, char out[progressLineSize]) {
    size_t length = 0;
    if (!reader.data) reader.size = 0;
    // The program never writes more than 259 characters on a line; a longer
    // line edited by hand keeps its beginning and loses the rest.
    while (reader.position < reader.size && reader.data[reader.position] != carriageReturn) {
        if (length < lineMax) out[length++] = reader.data[reader.position];
        ++reader.position;
    }
    while (reader.position < reader.size && reader.data[reader.position] != lineFeed) ++reader.position;
    if (reader.position < reader.size) ++reader.position;
    out[length] = '\0';
}

std::string buildProgressFile(const std::vector<std::string>& boxTexts) {
    std::string file;
    for (const std::string& text : boxTexts) {
        file.append(text, 0, lineMax);
        file += carriageReturn;
        file += lineFeed;
    }
    return file;
}

void progressFileNameFromModulePath(const char* modulePath, char out[progressLineSize]) {
    // Only the first 259 characters count, as the path comes from a
    // 260-byte buffer.
    size_t pathLength = 0;
    if (modulePath) {
        while (pathLength < lineMax && modulePath[pathLength] != '\0') ++pathLength;
    }
    size_t nameStart = 0;
    for (size_t i = 0; i < pathLength; ++i) {
        if (modulePath[i] == '\\') nameStart = i + 1;
    }
    const size_t nameLength = pathLength - nameStart;

    if (nameLength == 0) {
        std::memcpy(out, "vetra.txt", sizeof "vetra.txt");
        return;
    }
    std::memcpy(out, modulePath + nameStart, nameLength);
    if (nameLength >= 3) {
        std::memcpy(out + nameLength - 3, "txt", 3);
        out[nameLength] = '\0';
    } else {
        std::memcpy(out + nameLength, ".txt", sizeof ".txt");
    }
}
