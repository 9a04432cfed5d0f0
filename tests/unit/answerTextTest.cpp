#include "answers/answerText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct InPlaceCase {
    const char* input;
    const char* expected;
};

TEST(AnswerText, TrimSpacesOnlyAtEndsAndOnlySpaces) {
    const InPlaceCase cases[] = {
        {" paris  ", "paris"},
        {"   ", ""},
        {"", ""},
        {"paris", "paris"},
        {"a  b", "a  b"},
        {"\tparis\t", "\tparis\t"},
        {" \t x \t ", "\t x \t"},
        {"  de Vinci", "de Vinci"},
        {"Vinci ", "Vinci"},
        {"\xA0x\xA0", "\xA0x\xA0"},  // the non-breaking space is not a space here
    };
    for (const InPlaceCase& c : cases) {
        std::string buffer = c.input;
        trimSpaces(buffer.data());
        EXPECT_STREQ(buffer.c_str(), c.expected) << "input [" << c.input << "]";
    }
}

TEST(AnswerText, ToUpperAsciiFoldsOnlyAtoZ) {
    const InPlaceCase cases[] = {
        {"paris", "PARIS"},     {"Saint-Exup\xE9ry", "SAINT-EXUP\xE9RY"},
        {"\xE9lan", "\xE9LAN"}, {"\xE7\x61 \xE0 l'\xF4", "\xE7\x41 \xE0 L'\xF4"},
        {"`az{", "`AZ{"},
    };
    for (const InPlaceCase& c : cases) {
        std::string buffer = c.input;
        toUpperAscii(buffer.data());
        EXPECT_STREQ(buffer.c_str(), c.expected) << "input [" << c.input << "]";
    }
    // Every byte on its own: only 0x61..0x7A move, and by exactly 0x20.
    for (int byte = 1; byte < 256; ++byte) {
        char text[2] = {static_cast<char>(byte), '\0'};
        toUpperAscii(text);
        const int expected = (byte >= 0x61 && byte <= 0x7A) ? byte - 0x20 : byte;
        EXPECT_EQ(static_cast<unsigned char>(text[0]), expected) << "byte " << byte;
    }
}

TEST(AnswerText, EditDistanceExamples) {
    struct Case {
        const char* a;
        const char* b;
        int distance;
    };
    const Case cases[] = {
        {"", "", 0},
        {"", "ABC", 3},
        {"ABCD", "", 4},
        {"PARIS", "PARIS", 0},
        {"PARIS", "PARI", 1},
        {"PARIS", "PRAIS", 2},  // a swap costs two: no transposition step
        {"\xE9LAN", "\xC9LAN", 1},
        {"SAINT-EXUP\xE9RY", "SAINT EXUPERY", 2},
        {"CHRISTOPHE COLOMB", "CHRISTOFE KOLOMB", 3},
        {"LEONARD DE VINCI", "LEONARD DE VIN", 2},
        {"LEONARD DE VINCI", "LEONARD", 9},
        {"KITTEN", "SITTING", 3},
        {"FLAW", "LAWN", 2},
        {"PARIS", "PARIS FRANCE", 7},
        {"ABC", "abc", 3},  // raw bytes, no folding
    };
    for (const Case& c : cases) {
        EXPECT_EQ(editDistance(c.a, c.b), c.distance) << c.a << " / " << c.b;
        EXPECT_EQ(editDistance(c.b, c.a), c.distance) << c.b << " / " << c.a << " (swapped)";
    }
}

TEST(AnswerText, EditDistanceLooksAtNoMoreThan259Bytes) {
    const std::string a259(259, 'A');
    const std::string b259(259, 'B');
    EXPECT_EQ(editDistance(a259.c_str(), b259.c_str()), 259);
    EXPECT_EQ(editDistance(a259.c_str(), ""), 259);
    // Longer inputs are measured on their first 259 bytes and never overrun.
    const std::string a1000(1000, 'A');
    const std::string b1000(1000, 'B');
    EXPECT_EQ(editDistance(a1000.c_str(), b1000.c_str()), 259);
    EXPECT_EQ(editDistance(a1000.c_str(), a259.c_str()), 0);
    EXPECT_EQ(editDistance("", a1000.c_str()), 259);
    EXPECT_EQ(editDistance((a259 + "XYZ").c_str(), (a259 + "QRS").c_str()), 0);
    EXPECT_EQ(boundedTextLength(a1000.c_str()), 259);
    EXPECT_EQ(boundedTextLength(nullptr), 0);
}

TEST(AnswerText, SortLettersRecognisesAnagrams) {
    struct Case {
        const char* a;
        const char* b;
        bool anagrams;
    };
    const Case cases[] = {
        {"PRAIS", "PARIS", true},
        {"JULES VERNE", "VERNE JULES", true},
        {"PARIS", "PARIS ", false},
        {"AAB", "ABB", false},
        {"\xE9\x41", "A\xE9", true},
        {"\xE9\x41", "\xC9\x41", false},
        {"A-B'C", "'C-BA", true},
        {"", "", true},
        {"X", "X", true},
    };
    for (const Case& c : cases) {
        std::string a = c.a;
        std::string b = c.b;
        sortLetters(a.data());
        sortLetters(b.data());
        EXPECT_EQ(a == b, c.anagrams) << c.a << " / " << c.b;
    }
}

TEST(AnswerText, SortLettersOrdersBytesAscendingUnsigned) {
    std::string text = "\xE9Zb a\x01\xFF";
    sortLetters(text.data());
    EXPECT_EQ(text, std::string("\x01 Zab\xE9\xFF"));
    std::string same = "PARIS";
    std::string shuffled = "SIRAP";
    sortLetters(same.data());
    sortLetters(shuffled.data());
    EXPECT_EQ(same, "AIPRS");
    EXPECT_EQ(shuffled, "AIPRS");
}

TEST(AnswerText, ContainmentScanForwardOnly) {
    struct Case {
        const char* answer;
        const char* typed;
        int result;
    };
    const Case cases[] = {
        {"PARIS", "PARIS FRANCE", 2},
        {"PARIS", "PARIS", 2},  // equal lengths: the answer is the shorter text
        {"LEONARD DE VINCI", "LEONARD", -2},
        {"LEONARD DE VINCI", "DE V", -2},
        {"LEONARD DE VINCI", "VINCI", -2},
        {"AAAB", "AAB", 0},  // occurrence overlapping a failed partial match is missed
        {"ABABC", "ABC", -2},
        {"ABC", "ABABC", 2},
        {"AAB", "AAAB", 0},
        {"MARSEILLE", "LILLE", 0},
        {"PARIS", "XYZ", 0},
        {"ABCD", "ABDC", 0},
        {"ABCD", "CDX", 0},  // runs off the end of the longer text mid-match
        {"ABCDE", "", -1},
        {"", "", 1},
        {"", "X", 1},
        {"XAXAB", "XAB", -2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(containmentScan(c.answer, c.typed), c.result) << c.answer << " / " << c.typed;
    }
}

TEST(AnswerText, LengthRatioBoundaries) {
    EXPECT_FLOAT_EQ(lengthRatio(7, 10), 70.0f);
    EXPECT_FALSE(lengthRatio(7, 10) > 70.0f);
    EXPECT_FLOAT_EQ(lengthRatio(12, 16), 75.0f);
    EXPECT_FLOAT_EQ(lengthRatio(10, 16), 62.5f);
    EXPECT_FLOAT_EQ(lengthRatio(7, 16), 43.75f);
    EXPECT_FALSE(lengthRatio(5, 10) > 50.0f);
    EXPECT_EQ(lengthRatio(3, 0), 0.0f);
    // The strict comparisons agree with their whole-number forms for every
    // pair of lengths a text can have.
    for (int answer = 1; answer <= 259; ++answer) {
        for (int typed = 0; typed <= 259; ++typed) {
            const float ratio = lengthRatio(typed, answer);
            ASSERT_EQ(ratio > 70.0f, 10 * typed > 7 * answer) << typed << "/" << answer;
            ASSERT_EQ(ratio > 50.0f, 2 * typed > answer) << typed << "/" << answer;
        }
    }
}

TEST(AnswerText, SimilarityPercentBoundaries) {
    EXPECT_DOUBLE_EQ(similarityPercent(15, 12, 3), 80.0);
    EXPECT_FALSE(similarityPercent(15, 12, 3) > 80.0);
    EXPECT_DOUBLE_EQ(similarityPercent(13, 16, 3), 81.25);
    EXPECT_TRUE(similarityPercent(16, 13, 3) > 80.0);
    EXPECT_NEAR(similarityPercent(17, 16, 3), 1400.0 / 17.0, 1e-9);
    EXPECT_DOUBLE_EQ(similarityPercent(0, 0, 0), 100.0);
    for (int longer = 1; longer <= 259; ++longer) {
        for (int distance = 0; distance <= longer; ++distance) {
            ASSERT_EQ(similarityPercent(longer, 0, distance) > 80.0, longer > 5 * distance)
                << longer << " d=" << distance;
        }
    }
}

}  // namespace
