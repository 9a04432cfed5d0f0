// The progress-file reader on arbitrary files (a file edited by hand, binary
// junk, very long lines), against a model written apart from it: every line
// is at most 259 characters and terminated, the reader only ever moves
// forward and always makes progress while data is left, and each line is the
// bytes up to the next CR, cut to 259. The input's lines, read as box texts,
// must also survive a trip through buildProgressFile, and as a module path
// it must give a usable file name.

#include <cstring>
#include <string>
#include <vector>

#include "sheet/progressFile.h"
#include "tests/fuzz/fuzzCheck.h"

namespace {

constexpr size_t lineMax = progressLineSize - 1;

// One line by the format's rules: the text ends at CR; whatever follows up
// to the next LF is dropped with the LF.
std::string modelLine(const std::string& data, size_t& position) {
    size_t end = data.find('\r', position);
    if (end == std::string::npos) end = data.size();
    std::string line = data.substr(position, end - position).substr(0, lineMax);
    size_t next = end < data.size() ? data.find('\n', end) : std::string::npos;
    position = next == std::string::npos ? data.size() : next + 1;
    return line;
}

// The reader runs on the fuzzer's own buffer, which is exactly the file's
// size, so ASan sees a read one byte past the end.
void readWholeFile(const uint8_t* data, size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    ProgressReader reader;
    reader.data = reinterpret_cast<const char*>(data);
    reader.size = size;
    size_t modelPosition = 0;
    for (int extra = 0; extra < 3;) {
        const size_t before = reader.position;
        char line[progressLineSize];
        std::memset(line, 'Z', sizeof line);
        readProgressLine(reader, line);
        const std::string expected = modelLine(file, modelPosition);
        FUZZ_CHECK(std::memchr(line, '\0', sizeof line) != nullptr, "line terminated within 260 bytes");
        FUZZ_CHECK(std::memcmp(line, expected.data(), expected.size()) == 0 && line[expected.size()] == '\0',
                   "line is the bytes up to CR, cut to 259");
        FUZZ_CHECK(reader.position == modelPosition, "reader stops after the LF that follows the CR");
        FUZZ_CHECK(reader.position >= before && reader.position <= size, "reader moves forward inside the file");
        if (before < size) {
            FUZZ_CHECK(reader.position > before, "every line read consumes data");
        } else {
            FUZZ_CHECK(expected.empty(), "an exhausted file reads empty");
            ++extra;
        }
    }
}

// The input's CR-separated pieces as box texts: written, then read back.
void roundTrip(const uint8_t* data, size_t size) {
    std::vector<std::string> texts;
    FuzzInput in{data, size};
    while (in.size > 0 && texts.size() < 2000) texts.push_back(in.takeUntil('\r'));
    const std::string file = buildProgressFile(texts);
    ProgressReader reader;
    reader.data = file.data();
    reader.size = file.size();
    for (const std::string& text : texts) {
        char line[progressLineSize];
        readProgressLine(reader, line);
        const std::string expected = text.substr(0, lineMax);
        FUZZ_CHECK(std::memcmp(line, expected.data(), expected.size()) == 0 && line[expected.size()] == '\0',
                   "a box text reads back as written, cut to 259");
    }
    FUZZ_CHECK(reader.position == file.size(), "one line per box, nothing left over");
}

void fileName(const uint8_t* data, size_t size) {
    const std::string path(reinterpret_cast<const char*>(data), size);  // read up to its first NUL
    char name[progressLineSize];
    std::memset(name, 'Z', sizeof name);
    progressFileNameFromModulePath(path.c_str(), name);
    const void* end = std::memchr(name, '\0', sizeof name);
    FUZZ_CHECK(end != nullptr, "name terminated within 260 bytes");
    const size_t length = static_cast<size_t>(static_cast<const char*>(end) - name);
    FUZZ_CHECK(length >= 3 && std::memcmp(name + length - 3, "txt", 3) == 0, "name ends in txt");
    FUZZ_CHECK(std::memchr(name, '\\', length) == nullptr, "name is relative, without a folder");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    readWholeFile(data, size);
    roundTrip(data, size);
    fileName(data, size);
    return 0;
}
