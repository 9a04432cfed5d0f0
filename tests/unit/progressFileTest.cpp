#include "sheet/progressFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// Reads `boxes` lines the way the sheet does, one per answer box.
std::vector<std::string> readBoxes(const std::string& bytes, int boxes) {
    ProgressReader reader;
    reader.data = bytes.data();
    reader.size = bytes.size();
    std::vector<std::string> texts;
    for (int i = 0; i < boxes; ++i) {
        char line[progressLineSize];
        std::memset(line, 'Z', sizeof line);
        readProgressLine(reader, line);
        texts.emplace_back(line);
    }
    return texts;
}

TEST(ProgressFile, ReadsLinesIntoBoxes) {
    const struct {
        const char* name;
        std::string bytes;
        int boxes;
        std::vector<std::string> expected;
    } cases[] = {
        {"empty middle line", std::string("abc\r\n\r\nxyz"), 3, {"abc", "", "xyz"}},
        {"lone LF is part of the answer", std::string("a\nb\r\n"), 1, {"a\nb"}},
        {"bytes between CR and LF dropped", std::string("abc\rxy\ndef\r\n"), 2, {"abc", "def"}},
        {"fewer lines than boxes", std::string("one\r\ntwo\r\n"), 4, {"one", "two", "", ""}},
        {"more lines than boxes", std::string("one\r\ntwo\r\nthree\r\n"), 2, {"one", "two"}},
        {"no file", std::string(), 3, {"", "", ""}},
        {"last line without CR LF", std::string("a\r\nb"), 3, {"a", "b", ""}},
        {"CR without any LF ends the data", std::string("abc\rdef"), 2, {"abc", ""}},
        {"CR CR LF", std::string("a\r\r\nb\r\n"), 2, {"a", "b"}},
        {"leading LF", std::string("\nx\r\n"), 1, {"\nx"}},
        {"spaces kept as typed", std::string("  Paris \r\n"), 1, {"  Paris "}},
        {"high bytes",
         std::string("\xE9lan\r\ny a de l'id\xE9\x65\r\n"),
         2,
         {"\xE9lan", "y a de l'id\xE9\x65"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readBoxes(c.bytes, c.boxes), c.expected) << c.name;
    }
}

TEST(ProgressFile, NullDataReadsEmpty) {
    ProgressReader reader;
    reader.size = 50;  // a size without data is no data
    char line[progressLineSize] = "stale";
    for (int i = 0; i < 3; ++i) {
        readProgressLine(reader, line);
        EXPECT_STREQ(line, "") << "call " << i;
    }
}

TEST(ProgressFile, OverLongLineKeepsFirst259) {
    std::string bytes;
    for (int i = 0; i < 100 * 1024; ++i) bytes += static_cast<char>('a' + i % 26);
    const std::string first259 = bytes.substr(0, 259);
    bytes += "\r\nnext\r\n";
    EXPECT_EQ(readBoxes(bytes, 3), (std::vector<std::string>{first259, "next", ""}));

    // Exactly 259 and 260 characters, at the end of the data.
    EXPECT_EQ(readBoxes(std::string(259, 'x'), 1)[0], std::string(259, 'x'));
    EXPECT_EQ(readBoxes(std::string(260, 'x'), 2), (std::vector<std::string>{std::string(259, 'x'), ""}));
}

TEST(ProgressFile, ReaderNeverPassesTheEnd) {
    const std::string bytes = "ab\r";
    ProgressReader reader{bytes.data(), bytes.size(), 0};
    char line[progressLineSize];
    readProgressLine(reader, line);
    EXPECT_STREQ(line, "ab");
    EXPECT_LE(reader.position, reader.size);
    readProgressLine(reader, line);
    EXPECT_STREQ(line, "");
    EXPECT_EQ(reader.position, reader.size);
}

TEST(ProgressFile, WritesOneLinePerBox) {
    EXPECT_EQ(buildProgressFile({"abc", "", "xyz"}), std::string("abc\r\n\r\nxyz\r\n"));
    EXPECT_EQ(buildProgressFile({}), std::string());
    EXPECT_EQ(buildProgressFile({"", ""}), std::string("\r\n\r\n"));
    EXPECT_EQ(buildProgressFile({" a b "}), std::string(" a b \r\n"));
    EXPECT_EQ(buildProgressFile({std::string(300, 'q')}), std::string(259, 'q') + "\r\n");
}

TEST(ProgressFile, WrittenFileReadsBack) {
    std::mt19937 random(4242u);
    for (int round = 0; round < 200; ++round) {
        const int boxes = std::uniform_int_distribution<int>(0, 40)(random);
        std::vector<std::string> texts;
        for (int b = 0; b < boxes; ++b) {
            std::string text(std::uniform_int_distribution<int>(0, 300)(random), ' ');
            // Any byte but CR (which a single-line box cannot hold) and NUL.
            for (char& c : text) {
                int byte;
                do byte = std::uniform_int_distribution<int>(1, 255)(random);
                while (byte == '\r');
                c = static_cast<char>(byte);
            }
            texts.push_back(text);
        }
        const std::vector<std::string> read = readBoxes(buildProgressFile(texts), boxes + 2);
        for (int b = 0; b < boxes; ++b) {
            ASSERT_EQ(read[b], texts[b].substr(0, 259)) << "round " << round << " box " << b;
        }
        EXPECT_EQ(read[boxes], "") << "round " << round;
        EXPECT_EQ(read[boxes + 1], "") << "round " << round;
    }
}

TEST(ProgressFile, FileNameFromModulePath) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:\\Jeux\\histoire.exe", "histoire.txt"},
        {"histoire.exe", "histoire.txt"},
        {"C:\\a.exe", "a.txt"},
        {"C:\\Jeux\\b.EXE", "b.txt"},
        {"C:\\Jeux\\vetra", "vetxt"},  // the last three characters, whatever they are
        {"C:\\Jeux\\abc", "txt"},
        {"C:\\Jeux\\ab", "ab.txt"},
        {"C:\\Jeux\\x", "x.txt"},
        {"C:\\Jeux\\", "vetra.txt"},
        {"", "vetra.txt"},
        {nullptr, "vetra.txt"},
        {"C:/Jeux/quiz.exe", "C:/Jeux/quiz.txt"},  // only a backslash separates folders
        {"\\\\serveur\\partage\\Quiz 2.exe", "Quiz 2.txt"},
    };
    for (const auto& c : cases) {
        char out[progressLineSize];
        std::memset(out, 'Z', sizeof out);
        progressFileNameFromModulePath(c.path, out);
        EXPECT_STREQ(out, c.name) << "path [" << (c.path ? c.path : "(null)") << "]";
    }
}

TEST(ProgressFile, FileNameFromOverLongPathStaysInBuffer) {
    const std::string longName = std::string(400, 'n');
    char out[progressLineSize];
    progressFileNameFromModulePath(longName.c_str(), out);
    EXPECT_EQ(std::string(out), std::string(256, 'n') + "txt");
}

}  // namespace
