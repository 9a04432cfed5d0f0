#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "quiz/lzw.h"

namespace {

using Bytes = std::vector<uint8_t>;

// ---- An independent reference, written straight from the stream format ----

struct BitWriter {
    Bytes bytes;
    std::vector<bool> bits;
    void put(uint32_t code, int width) {
        for (int i = width - 1; i >= 0; --i) bits.push_back(((code >> i) & 1u) != 0);
    }
    Bytes finish() const {
        Bytes out((bits.size() + 7) / 8, 0);
        for (size_t i = 0; i < bits.size(); ++i) {
            if (bits[i]) out[i / 8] |= static_cast<uint8_t>(0x80u >> (i % 8));
        }
        return out;
    }
};

struct BitReader {
    const Bytes& bytes;
    size_t bit = 0;
    bool get(int width, uint32_t& code) {
        if (bit + width > bytes.size() * 8) return false;
        uint64_t value = 0;
        for (int i = 0; i < width; ++i, ++bit) value = (value << 1) | ((bytes[bit / 8] >> (7 - bit % 8)) & 1u);
        code = static_cast<uint32_t>(value);
        return true;
    }
};

// Writes a code after as many widen codes as it needs, like the encoder does.
void putWidened(BitWriter& w, int& width, uint32_t code) {
    while ((code >> width) != 0) {
        w.put(257, width);
        ++width;
    }
    w.put(code, width);
}

Bytes referenceEncode(const std::string& in) {
    BitWriter w;
    std::map<std::string, uint32_t> dictionary;
    uint32_t next = 259;
    int width = 9;
    auto codeOf = [&](const std::string& s) { return s.size() == 1 ? static_cast<uint8_t>(s[0]) : dictionary.at(s); };
    std::string current(1, in[0]);
    for (size_t i = 1; i < in.size(); ++i) {
        const std::string candidate = current + in[i];
        if (dictionary.count(candidate)) {
            current = candidate;
            continue;
        }
        dictionary[candidate] = next++;
        putWidened(w, width, codeOf(current));
        current = std::string(1, in[i]);
        if (next == 4096) {
            w.put(258, width);
            dictionary.clear();
            next = 259;
            dictionary[candidate] = next++;
            width = 9;
        }
    }
    putWidened(w, width, codeOf(current));
    w.put(256, width);
    return w.finish();
}

struct ReferenceDecoded {
    bool ok = false;
    std::string text;
    int widenCodes = 0;
    int resetCodes = 0;
    std::vector<uint32_t> codes;
};

ReferenceDecoded referenceDecode(const Bytes& stream) {
    ReferenceDecoded result;
    BitReader r{stream};
    std::vector<std::string> dictionary(4096);
    for (int i = 0; i < 256; ++i) dictionary[i] = std::string(1, static_cast<char>(i));
    uint32_t next = 259;
    int width = 9;
    uint32_t code = 0;
    if (!r.get(9, code)) return result;
    result.codes.push_back(code);
    std::string current(1, static_cast<char>(code & 0xFF));
    while (width <= 32 && r.get(width, code)) {
        result.codes.push_back(code);
        if (code == 256) {
            result.text += current;
            result.ok = true;
            return result;
        } else if (code == 258) {
            next = 259;
            width = 9;
            ++result.resetCodes;
        } else if (code == 257) {
            ++width;
            ++result.widenCodes;
        } else {
            if (code > next || next >= 4096) return result;
            const std::string entry = code == next ? current + current[0] : dictionary[code];
            dictionary[next++] = current + entry[0];
            result.text += current;
            current = entry;
        }
    }
    return result;
}

// ---- Helpers around the codec ----

struct Result {
    int32_t code = 1;
    bool outputSet = false;
    Bytes output;  // the reported bytes (length minus 2 or 1)
    int32_t length = -1;
};

Result decode(const Bytes& input) {
    Result r;
    uint8_t* out = nullptr;
    r.code = lzwDecode(input.data(), static_cast<uint32_t>(input.size()), &out, &r.length);
    if (out) {
        r.outputSet = true;
        if (r.length >= 2 && static_cast<uint32_t>(r.length - 2) <= lzwDecodedCapacity)
            r.output.assign(out, out + (r.length - 2));
        lzwFree(out);
    }
    return r;
}

Result encode(const Bytes& input) {
    Result r;
    uint8_t* out = nullptr;
    r.code = lzwEncode(input.data(), static_cast<uint32_t>(input.size()), &out, &r.length);
    if (out) {
        r.outputSet = true;
        if (r.length >= 1 && static_cast<uint32_t>(r.length - 1) <= lzwEncodedCapacity)
            r.output.assign(out, out + (r.length - 1));
        lzwFree(out);
    }
    return r;
}

Bytes toBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }
std::string toString(const Bytes& b) { return std::string(b.begin(), b.end()); }

Bytes codesAt9(std::initializer_list<uint32_t> codes) {
    BitWriter w;
    for (uint32_t c : codes) w.put(c, 9);
    return w.finish();
}

std::string randomBytes(std::mt19937& rng, size_t size, int alphabet) {
    std::uniform_int_distribution<int> pick(0, alphabet - 1);
    std::string s(size, '\0');
    for (char& c : s) c = static_cast<char>(alphabet >= 256 ? pick(rng) : 'a' + pick(rng));
    return s;
}

// Varied French-like text: a vocabulary large enough to fill the dictionary.
std::string varietyText(std::mt19937& rng, size_t size) {
    static const char* const words[] = {"le",       "la",      "quiz",      "r\xE9ponse", "question", "image",
                                        "vid\xE9o", "son",     "BRAVO",     "FAUX",       "presque",  "anagramme",
                                        "titre",    "auteur",  "code",      "couleur",    "bleu",     "rouge",
                                        "vert",     "chanson", "film",      "acteur",     "peintre",  "tableau",
                                        "ville",    "pays",    "\xE9t\xE9", "hiver",      "|",        "\r\n"};
    std::uniform_int_distribution<size_t> pick(0, sizeof words / sizeof words[0] - 1);
    std::uniform_int_distribution<int> digit(0, 999);
    std::string s;
    while (s.size() < size) {
        s += words[pick(rng)];
        if (digit(rng) < 300) s += std::to_string(digit(rng));
        s += ' ';
    }
    s.resize(size);
    return s;
}

// ---- Worked examples ----

TEST(Lzw, EncodesAbcAsFourNineBitCodes) {
    const Result r = encode(toBytes("abc"));
    ASSERT_EQ(r.code, lzwOk);
    EXPECT_EQ(r.length, 6);
    EXPECT_EQ(r.output, (Bytes{0x30, 0x98, 0x8C, 0x70, 0x00}));
}

TEST(Lzw, DecodesAbc) {
    const Result r = decode(Bytes{0x30, 0x98, 0x8C, 0x70, 0x00});
    ASSERT_EQ(r.code, lzwOk);
    EXPECT_EQ(r.length, 5);
    EXPECT_EQ(toString(r.output), "abc");
}

TEST(Lzw, WorkedCodeSequences) {
    struct Row {
        const char* name;
        std::string input;
        std::vector<uint32_t> codes;
    } rows[] = {
        {"one byte", "x", {'x', 256}},
        {"run of four", "aaaa", {97, 259, 97, 256}},
        {"abab", "abab", {97, 98, 259, 256}},
        {"high byte", std::string(1, '\xFF'), {255, 256}},
        {"zero byte", std::string(1, '\0'), {0, 256}},
    };
    for (const Row& row : rows) {
        const Result r = encode(toBytes(row.input));
        ASSERT_EQ(r.code, lzwOk) << row.name;
        EXPECT_EQ(r.output.size(), (row.codes.size() * 9 + 7) / 8) << row.name;
        const ReferenceDecoded walked = referenceDecode(r.output);
        EXPECT_EQ(walked.codes, row.codes) << row.name;
        const Result back = decode(r.output);
        ASSERT_EQ(back.code, lzwOk) << row.name;
        EXPECT_EQ(toString(back.output), row.input) << row.name;
    }
}

TEST(Lzw, CrafterStreamsDecode) {
    struct Row {
        const char* name;
        Bytes stream;
        std::string expected;
    } rows[] = {
        // The code equal to the next free code is the current string plus its own first byte.
        {"code equal to next free", codesAt9({97, 259, 259, 256}), "aaaaa"},
        // After a reset the first new entry joins "b" (before) with "c" (after): 259 = "bc".
        {"reset keeps the current string", codesAt9({97, 98, 258, 99, 259, 256}), "abcbc"},
        // The first code is a literal of its low 8 bits, whatever its value.
        {"first code above a byte", codesAt9({256 + 'A', 'B', 256}), "AB"},
        {"first code is the end code", codesAt9({256, 256}), std::string(1, '\0')},
    };
    for (const Row& row : rows) {
        const Result r = decode(row.stream);
        ASSERT_EQ(r.code, lzwOk) << row.name;
        EXPECT_EQ(toString(r.output), row.expected) << row.name;
        EXPECT_EQ(r.length, static_cast<int32_t>(row.expected.size() + 2)) << row.name;
    }
}

TEST(Lzw, ResetAfterWideningReturnsToNineBits) {
    BitWriter w;
    w.put('x', 9);
    w.put(257, 9);
    w.put(257, 10);
    w.put('y', 11);  // adds 259 = "xy"
    w.put(258, 11);
    w.put('z', 9);  // adds 259 = "yz"
    w.put(259, 9);
    w.put(256, 9);
    const Result r = decode(w.finish());
    ASSERT_EQ(r.code, lzwOk);
    EXPECT_EQ(toString(r.output), "xyzyz");
}

// ---- Failures ----

TEST(Lzw, EmptyInputs) {
    const Result e = encode(Bytes{});
    EXPECT_EQ(e.code, lzwErrorInput);
    EXPECT_TRUE(e.outputSet);
    EXPECT_EQ(e.length, 1);
    const Result d = decode(Bytes{});
    EXPECT_EQ(d.code, lzwErrorInput);
    EXPECT_TRUE(d.outputSet);
    EXPECT_EQ(d.length, 2);
}

TEST(Lzw, MalformedStreams) {
    BitWriter tooWide;
    tooWide.put('a', 9);
    for (int width = 9; width <= 32; ++width) tooWide.put(257, width);
    tooWide.put(0, 32);
    tooWide.put(0, 32);
    struct Row {
        const char* name;
        Bytes stream;
        int32_t code;
        std::string partial;
    } rows[] = {
        {"one byte: first code incomplete", Bytes{0x30}, lzwErrorInput, ""},
        {"ends after the first code", Bytes{0x30, 0x80}, lzwErrorStream, ""},
        {"ends after the third code", codesAt9({'a', 'b', 'c'}), lzwErrorStream, "ab"},
        {"code above next free at start", codesAt9({'a', 260, 256}), lzwErrorStream, ""},
        {"code above next free later", codesAt9({'a', 'b', 'c', 262, 256}), lzwErrorStream, "ab"},
        {"stale code after reset", codesAt9({'a', 'b', 'c', 'd', 258, 261, 256}), lzwErrorStream, "abc"},
        {"width passes 32 bits", tooWide.finish(), lzwErrorStream, ""},
    };
    for (const Row& row : rows) {
        const Result r = decode(row.stream);
        EXPECT_EQ(r.code, row.code) << row.name;
        EXPECT_TRUE(r.outputSet) << row.name;
        EXPECT_EQ(toString(r.output), row.partial) << row.name;
        EXPECT_EQ(r.length, static_cast<int32_t>(row.partial.size() + 2)) << row.name;
    }
}

TEST(Lzw, FullDictionaryNeedsAReset) {
    // 'a' then 3837 more codes fill codes 259..4095; one more entry has no slot.
    for (bool withReset : {false, true}) {
        BitWriter w;
        w.put('a', 9);
        for (int i = 0; i < 3837; ++i) w.put('a', 9);
        if (withReset) w.put(258, 9);
        w.put('b', 9);
        w.put(256, 9);
        const Result r = decode(w.finish());
        if (withReset) {
            ASSERT_EQ(r.code, lzwOk);
            EXPECT_EQ(toString(r.output), std::string(3838, 'a') + "b");
        } else {
            EXPECT_EQ(r.code, lzwErrorStream);
            EXPECT_EQ(toString(r.output), std::string(3837, 'a'));
        }
    }
}

// 'a', then codes naming ever longer runs of 'a' (each the next free code),
// then `pad` single 'a' codes and the end code.
Bytes growingRuns(int growing, int pad) {
    BitWriter w;
    int width = 9;
    w.put('a', 9);
    for (int i = 0; i < growing; ++i) putWidened(w, width, 259u + i);
    for (int i = 0; i < pad; ++i) putWidened(w, width, 'a');
    w.put(256, width);
    return w.finish();
}

TEST(Lzw, DecodedOutputLimit) {
    struct Row {
        const char* name;
        int pad;
        size_t decodedSize;
        int32_t code;
    } rows[] = {
        {"exactly 120000 bytes", 195, 120000, lzwOk},
        {"one byte over", 196, 120001, lzwErrorStream},
    };
    for (const Row& row : rows) {
        const Bytes stream = growingRuns(488, row.pad);
        const ReferenceDecoded reference = referenceDecode(stream);
        ASSERT_TRUE(reference.ok) << row.name;
        ASSERT_EQ(reference.text.size(), row.decodedSize) << row.name;
        const Result r = decode(stream);
        EXPECT_EQ(r.code, row.code) << row.name;
        ASSERT_LE(r.output.size(), lzwDecodedCapacity) << row.name;
        EXPECT_EQ(toString(r.output), reference.text.substr(0, r.output.size())) << row.name;
        // A run that would overflow keeps everything that still fitted.
        EXPECT_EQ(r.output.size(), row.code == lzwOk ? row.decodedSize : size_t{lzwDecodedCapacity}) << row.name;
    }
}

TEST(Lzw, InputSizeLimit) {
    const Bytes runs(65535, 'q');  // compresses far below the stream limit
    const Result fits = encode(runs);
    ASSERT_EQ(fits.code, lzwOk);
    const Result back = decode(fits.output);
    ASSERT_EQ(back.code, lzwOk);
    EXPECT_EQ(back.output, runs);

    const Bytes tooLong(65536, 'q');
    EXPECT_EQ(encode(tooLong).code, lzwErrorInput);
    Bytes streamTooLong = fits.output;
    streamTooLong.resize(65536, 0);
    EXPECT_EQ(decode(streamTooLong).code, lzwErrorInput);
}

TEST(Lzw, EncodedStreamLimitHandsBackAPrefix) {
    std::mt19937 rng(7);
    const std::string noise = randomBytes(rng, 30000, 256);
    const Result r = encode(toBytes(noise));
    EXPECT_EQ(r.code, lzwErrorWrite);
    ASSERT_EQ(r.output.size(), lzwEncodedCapacity);
    const Bytes full = referenceEncode(noise);
    ASSERT_GT(full.size(), lzwEncodedCapacity);
    EXPECT_TRUE(std::equal(r.output.begin(), r.output.end(), full.begin()));
}

TEST(Lzw, TruncatedStreamsHandBackAPrefix) {
    std::mt19937 rng(11);
    const std::string text = varietyText(rng, 3000);
    const Result full = encode(toBytes(text));
    ASSERT_EQ(full.code, lzwOk);
    for (size_t cut = 0; cut < full.output.size(); ++cut) {
        const Bytes stream(full.output.begin(), full.output.begin() + cut);
        const Result r = decode(stream);
        ASSERT_TRUE(r.outputSet) << "cut " << cut;
        if (r.code == lzwOk) {
            // Only the zero padding after the end code may be cut away.
            EXPECT_EQ(toString(r.output), text) << "cut " << cut;
            continue;
        }
        EXPECT_EQ(r.code, cut < 2 ? lzwErrorInput : lzwErrorStream) << "cut " << cut;
        EXPECT_EQ(toString(r.output), text.substr(0, r.output.size())) << "cut " << cut;
    }
}

// ---- Allocation failures ----

int allocationsLeft = -1;  // -1: never fail
bool failedOnce = false;
size_t failedSize = 0;
int notifications = 0;

void* failingAllocator(size_t size) {
    if (allocationsLeft == 0) {
        failedOnce = true;
        failedSize = size;
        return nullptr;
    }
    if (allocationsLeft > 0) --allocationsLeft;
    return std::malloc(size);
}

void countNotification() { ++notifications; }

TEST(Lzw, EveryAllocationFailureGivesMinusFour) {
    setLzwAllocator(failingAllocator);
    setLzwAllocationFailureNotifier(countNotification);
    std::mt19937 rng(3);
    const Bytes text = toBytes(varietyText(rng, 400));
    const Bytes stream = referenceEncode(toString(text));
    struct Run {
        const char* name;
        bool decoding;
        uint32_t outputCapacity;
    } runs[] = {{"encode", false, lzwEncodedCapacity}, {"decode", true, lzwDecodedCapacity}};
    for (const Run& run : runs) {
        for (int n = 0;; ++n) {
            allocationsLeft = n;
            failedOnce = false;
            failedSize = 0;
            notifications = 0;
            uint8_t* out = reinterpret_cast<uint8_t*>(&notifications);  // a sentinel
            uint8_t* const sentinel = out;
            int32_t length = -99;
            const Bytes& input = run.decoding ? stream : text;
            const int32_t code = run.decoding
                                     ? lzwDecode(input.data(), static_cast<uint32_t>(input.size()), &out, &length)
                                     : lzwEncode(input.data(), static_cast<uint32_t>(input.size()), &out, &length);
            const bool failed = failedOnce;
            if (out != sentinel) lzwFree(out);
            if (!failed) {
                EXPECT_EQ(code, lzwOk) << run.name << " with all allocations";
                EXPECT_GT(n, 5) << run.name;
                break;
            }
            EXPECT_EQ(code, lzwErrorAllocation) << run.name << " allocation " << n;
            const bool outputFailed = failedSize == run.outputCapacity;
            EXPECT_EQ(notifications, outputFailed ? 1 : 0) << run.name << " allocation " << n;
            if (outputFailed) {
                EXPECT_EQ(out, sentinel) << run.name << " allocation " << n;
                EXPECT_EQ(length, -99) << run.name << " allocation " << n;
            }
            if (out != sentinel) {
                const int32_t overhead = run.decoding ? 2 : 1;
                EXPECT_GE(length, overhead) << run.name << " allocation " << n;
            }
        }
    }
    setLzwAllocator(nullptr);
    setLzwAllocationFailureNotifier(nullptr);
}

// ---- Status queries ----

TEST(Lzw, StatusQueriesDescribeTheLastRuns) {
    ASSERT_EQ(encode(toBytes("abc")).code, lzwOk);
    EXPECT_EQ(lzwLastInputSize(), 3u);
    EXPECT_EQ(lzwLastInputConsumed(), 3u);
    EXPECT_EQ(lzwLastEncodeInputSize(), 3u);
    EXPECT_EQ(lzwLastEncodeOutputSize(), 5u);

    const Bytes padded{0x30, 0x98, 0x8C, 0x70, 0x00, 0xEE, 0xEE};
    ASSERT_EQ(decode(padded).code, lzwOk);
    EXPECT_EQ(lzwLastInputSize(), 7u);
    EXPECT_EQ(lzwLastInputConsumed(), 5u);
    EXPECT_EQ(lzwLastEncodeInputSize(), 3u);
    EXPECT_EQ(lzwLastEncodeOutputSize(), 5u);

    // A failed encoding updates its input size but keeps the last good output size.
    ASSERT_EQ(encode(Bytes{}).code, lzwErrorInput);
    EXPECT_EQ(lzwLastEncodeInputSize(), 0u);
    EXPECT_EQ(lzwLastEncodeOutputSize(), 5u);
}

// ---- Against the reference ----

void expectSameAsReference(const std::string& input, const std::string& name) {
    const Bytes expected = referenceEncode(input);
    const Result r = encode(toBytes(input));
    if (expected.size() > lzwEncodedCapacity) {
        EXPECT_EQ(r.code, lzwErrorWrite) << name;
        return;
    }
    ASSERT_EQ(r.code, lzwOk) << name;
    ASSERT_EQ(r.output, expected) << name;
    EXPECT_EQ(lzwLastEncodeOutputSize(), expected.size()) << name;
    const Result back = decode(r.output);
    ASSERT_EQ(back.code, lzwOk) << name;
    ASSERT_EQ(toString(back.output), input) << name;
    ASSERT_EQ(referenceDecode(r.output).text, input) << name;
}

TEST(Lzw, RandomInputsMatchTheReference) {
    std::mt19937 rng(20240601);
    std::uniform_int_distribution<size_t> size(1, 2500);
    const int alphabets[] = {2, 4, 26, 256};
    for (int i = 0; i < 120; ++i) {
        const int alphabet = alphabets[i % 4];
        const std::string input = randomBytes(rng, size(rng), alphabet);
        expectSameAsReference(input, "random #" + std::to_string(i) + " alphabet " + std::to_string(alphabet));
    }
}

TEST(Lzw, LargeInputsWidenAndReset) {
    std::mt19937 rng(42);
    struct Row {
        std::string name;
        std::string input;
        int minResets;
    } rows[] = {
        {"text 30 KB", varietyText(rng, 30000), 1},
        {"text 60 KB", varietyText(rng, 60000), 2},
        {"four letters 40 KB", randomBytes(rng, 40000, 4), 1},
        {"bytes 12 KB", randomBytes(rng, 12000, 256), 1},
        {"one long run", std::string(50000, 'z'), 0},
    };
    for (const Row& row : rows) {
        expectSameAsReference(row.input, row.name);
        const ReferenceDecoded walked = referenceDecode(referenceEncode(row.input));
        EXPECT_GE(walked.widenCodes, 1) << row.name;
        EXPECT_GE(walked.resetCodes, row.minResets) << row.name;
    }
}

}  // namespace
