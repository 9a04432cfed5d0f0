#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pictures/inflate.h"
#include "tests/unit/testDeflate.h"

#ifdef VETRA_HAVE_LIBPNG
#include <zlib.h>  // comes with libpng; used only as an independent compressor
#endif

namespace {

using namespace testdeflate;

struct Inflated {
    InflateStatus status;
    Bytes output;
};

// Lays the stream into IDAT chunks behind a few unrelated bytes, so that the
// first chunk does not start the file, and inflates it into exactly
// outputSize bytes (a fresh allocation of that size, so overruns are caught).
Inflated inflateChunks(const Bytes& stream, uint32_t outputSize, const std::vector<int>& plan = {}) {
    Bytes file = {'j', 'u', 'n', 'k'};
    idatChunks(file, stream, plan);
    if (file.size() == 4) chunk(file, "IDAT", {});
    chunk(file, "IEND", {});
    Inflated r;
    r.output.assign(outputSize, 0xAA);
    r.status =
        inflateIdatStreamStatus(file.data(), uint32_t(file.size()), file.data() + 4, r.output.data(), outputSize);
    return r;
}

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

Bytes pattern(size_t n, uint32_t seed = 1) {
    Bytes out(n);
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        out[i] = (i % 7 < 3) ? uint8_t('a' + i % 5) : uint8_t(seed >> 24);
    }
    return out;
}

Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// One literal (0-255) or one copy (length, distance).
struct Token {
    int literal;
    int length;
    int distance;
};
Token lit(int c) {
    return {c, 0, 0};
}
Token copy(int length, int distance) {
    return {-1, length, distance};
}

// What a token list decodes to, by the plain definition of a copy.
Bytes expand(const std::vector<Token>& tokens, Bytes out = {}) {
    for (const Token& t : tokens) {
        if (t.literal >= 0) {
            out.push_back(uint8_t(t.literal));
            continue;
        }
        for (int i = 0; i < t.length; ++i) {
            // Copies from before the start (streams meant to fail) give zeros.
            size_t d = size_t(t.distance);
            out.push_back(d <= out.size() ? out[out.size() - d] : 0);
        }
    }
    return out;
}

void fixedBlock(BitWriter& w, const std::vector<Token>& tokens, bool final = true) {
    w.bits(final ? 1 : 0, 1);
    w.bits(1, 2);
    for (const Token& t : tokens) {
        if (t.literal >= 0)
            fixedSymbol(w, t.literal);
        else
            fixedCopy(w, t.length, t.distance);
    }
    fixedSymbol(w, 256);
}

Bytes fixedStream(const std::vector<Token>& tokens) {
    BitWriter w;
    zlibHeader(w);
    fixedBlock(w, tokens);
    adlerTrailer(w, adler32(expand(tokens)));
    return w.bytes;
}

// A code-length symbol with its extra bits.
struct LengthToken {
    int symbol;
    uint32_t extra;
};

// Run-length codes for a sequence of code lengths: 18 and 17 for zero runs,
// 16 for repeats of a non-zero length.
std::vector<LengthToken> runLengths(const std::vector<int>& lengths) {
    std::vector<LengthToken> out;
    size_t i = 0;
    while (i < lengths.size()) {
        size_t run = 1;
        while (i + run < lengths.size() && lengths[i + run] == lengths[i]) run++;
        if (lengths[i] == 0 && run >= 11) {
            size_t n = run > 138 ? 138 : run;
            out.push_back({18, uint32_t(n - 11)});
            i += n;
        } else if (lengths[i] == 0 && run >= 3) {
            size_t n = run > 10 ? 10 : run;
            out.push_back({17, uint32_t(n - 3)});
            i += n;
        } else if (lengths[i] != 0 && run >= 4) {
            out.push_back({lengths[i], 0});
            size_t n = run - 1 > 6 ? 6 : run - 1;
            out.push_back({16, uint32_t(n - 3)});
            i += 1 + n;
        } else {
            out.push_back({lengths[i], 0});
            i += 1;
        }
    }
    return out;
}

// A complete code-length code: symbols 0-12 get 4 bits, 13-18 get 5.
std::vector<int> standardLengthCode() {
    std::vector<int> lengths(19, 4);
    for (int s = 13; s < 19; ++s) lengths[s] = 5;
    return lengths;
}

const int lengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// The header of a dynamic block: counts, the code-length code (all 19
// lengths sent) and the code lengths as tokens.
void dynamicHeader(BitWriter& w, bool final, int hlit, int hdist, const std::vector<int>& lengthCode,
                   const std::vector<LengthToken>& tokens) {
    w.bits(final ? 1 : 0, 1);
    w.bits(2, 2);
    w.bits(uint32_t(hlit - 257), 5);
    w.bits(uint32_t(hdist - 1), 5);
    w.bits(19 - 4, 4);
    for (int i = 0; i < 19; ++i) w.bits(uint32_t(lengthCode[lengthOrder[i]]), 3);
    std::vector<uint32_t> codes = canonicalCodes(lengthCode);
    for (const LengthToken& t : tokens) {
        w.code(codes[t.symbol], lengthCode[t.symbol]);
        if (t.symbol == 16) w.bits(t.extra, 2);
        if (t.symbol == 17) w.bits(t.extra, 3);
        if (t.symbol == 18) w.bits(t.extra, 7);
    }
}

// A whole dynamic block for the given literal/length and distance lengths.
void dynamicBlock(BitWriter& w, const std::vector<int>& litLengths, const std::vector<int>& distLengths,
                  const std::vector<Token>& tokens, bool final = true) {
    std::vector<int> all = litLengths;
    all.insert(all.end(), distLengths.begin(), distLengths.end());
    dynamicHeader(w, final, int(litLengths.size()), int(distLengths.size()), standardLengthCode(), runLengths(all));
    std::vector<uint32_t> litCodes = canonicalCodes(litLengths);
    std::vector<uint32_t> distCodes = canonicalCodes(distLengths);
    auto symbol = [&](int s) { w.code(litCodes[s], litLengths[s]); };
    for (const Token& t : tokens) {
        if (t.literal >= 0) {
            symbol(t.literal);
            continue;
        }
        LengthCode l = lengthCode(t.length);
        symbol(l.symbol);
        w.bits(l.extra, l.extraBits);
        LengthCode d = distanceCode(t.distance);
        w.code(distCodes[d.symbol], distLengths[d.symbol]);
        w.bits(d.extra, d.extraBits);
    }
    symbol(256);
}

void lengthsHeader(BitWriter& w, const std::vector<int>& litLengths, const std::vector<int>& distLengths) {
    std::vector<int> all = litLengths;
    all.insert(all.end(), distLengths.begin(), distLengths.end());
    dynamicHeader(w, true, int(litLengths.size()), int(distLengths.size()), standardLengthCode(), runLengths(all));
}

// Literal/length code of 286 lengths (zlib's limit): 'a'-'d', 256, 257,
// 284 and 285 get 3 bits; eight distance codes of 3 bits. Sent as code
// lengths, they use 17 and 18 for zero runs and a 16 that repeats the last
// literal length into the distance lengths.
std::vector<int> sampleLitLengths() {
    std::vector<int> lengths(286, 0);
    for (int c = 'a'; c <= 'd'; ++c) lengths[c] = 3;
    lengths[256] = lengths[257] = lengths[284] = lengths[285] = 3;
    return lengths;
}
const std::vector<int> sampleDistLengths(8, 3);
const std::vector<Token> sampleTokens = {lit('a'),     lit('b'), lit('c'),   lit('d'),     copy(3, 4),
                                         copy(258, 3), lit('d'), copy(3, 3), copy(230, 12)};

Bytes dynamicStream(const std::vector<Token>& tokens) {
    BitWriter w;
    zlibHeader(w);
    dynamicBlock(w, sampleLitLengths(), sampleDistLengths, tokens);
    adlerTrailer(w, adler32(expand(tokens)));
    return w.bytes;
}

struct GoodCase {
    const char* name;
    Bytes stream;
    Bytes expected;
};

std::vector<GoodCase> goodCases() {
    std::vector<GoodCase> cases;
    cases.push_back({"one stored block", zlibStored(text("stored bytes")), text("stored bytes")});
    cases.push_back({"stored blocks over 65535 bytes", zlibStored(pattern(70000)), pattern(70000)});
    {
        BitWriter w;
        zlibHeader(w);
        storedBlocks(w, {}, false);
        fixedBlock(w, {lit('o'), lit('k')});
        cases.push_back({"empty stored block then fixed", w.bytes, text("ok")});
    }
    {
        // The stored block starts mid-byte: the rest of that byte is dropped.
        BitWriter w;
        zlibHeader(w);
        fixedBlock(w, {lit('x')}, false);
        storedBlocks(w, text("yz"));
        cases.push_back({"fixed then stored", w.bytes, text("xyz")});
    }
    std::vector<Token> run = {lit('q'), copy(258, 1)};
    cases.push_back({"distance 1 length 258", fixedStream(run), Bytes(259, 'q')});
    std::vector<Token> overlap = {lit('a'), lit('b'), lit('c'), copy(10, 3), copy(3, 13)};
    cases.push_back({"overlapping copies", fixedStream(overlap), expand(overlap)});
    std::vector<Token> lengths = {lit('<')};
    for (int len : {3, 4, 10, 11, 12, 18, 19, 34, 35, 66, 67, 130, 131, 227, 257, 258}) {
        lengths.push_back(lit('a' + len % 26));
        lengths.push_back(copy(len, 1 + len % 2));
    }
    cases.push_back({"every length range", fixedStream(lengths), expand(lengths)});
    {
        // A copy from the full 32768-byte window; the first bytes are
        // stored so that distances of every range are available.
        Bytes start = pattern(32768, 7);
        std::vector<Token> far;
        for (int d : {32768, 24577, 16385, 4097, 1025, 257, 65, 17, 5, 2}) far.push_back(copy(3 + d % 50, d));
        BitWriter w;
        zlibHeader(w);
        storedBlocks(w, start, false);
        fixedBlock(w, far);
        cases.push_back({"distances up to 32768", w.bytes, expand(far, start)});
    }
    cases.push_back({"dynamic block", dynamicStream(sampleTokens), expand(sampleTokens)});
    {
        BitWriter w;
        zlibHeader(w);
        dynamicBlock(w, sampleLitLengths(), sampleDistLengths, {lit('c'), lit('d'), lit('a')}, false);
        dynamicBlock(w, sampleLitLengths(), sampleDistLengths, {copy(3, 3), lit('b')});
        cases.push_back({"two dynamic blocks", w.bytes, text("cdacdab")});
    }
    return cases;
}

TEST(Inflate, DecodesWellFormedStreams) {
    for (const GoodCase& c : goodCases()) {
        Inflated r = inflateChunks(c.stream, uint32_t(c.expected.size()));
        EXPECT_EQ(r.status, inflateOk) << c.name;
        EXPECT_EQ(r.output, c.expected) << c.name;
    }
}

TEST(Inflate, AcceptsWhatItDoesNotVerify) {
    Bytes data = text("unchecked");
    auto withHeader = [&](uint8_t cmf, uint8_t flg) {
        Bytes s = zlibStored(data);
        s[0] = cmf;
        s[1] = flg;
        return s;
    };
    Bytes wrongAdler = zlibStored(data);
    wrongAdler.back() ^= 0xFF;
    Bytes noAdler = zlibStored(data);
    noAdler.resize(noAdler.size() - 4);
    Bytes shortAdler = zlibStored(data);
    shortAdler.resize(shortAdler.size() - 2);
    Bytes trailing = concat(zlibStored(data), text("after the end"));
    struct Case {
        const char* name;
        Bytes stream;
    } cases[] = {
        {"wrong FCHECK", withHeader(0x78, 0x00)},
        {"CINFO 7 with wrong FCHECK", withHeader(0x78, 0x9F)},
        {"CINFO 0", withHeader(0x08, 0x00)},
        {"wrong Adler-32", wrongAdler},
        {"no Adler-32", noAdler},
        {"short Adler-32", shortAdler},
        {"data after the final block", trailing},
    };
    for (const Case& c : cases) {
        Inflated r = inflateChunks(c.stream, uint32_t(data.size()));
        EXPECT_EQ(r.status, inflateOk) << c.name;
        EXPECT_EQ(r.output, data) << c.name;
    }
}

struct BadCase {
    const char* name;
    Bytes stream;
    uint32_t outputSize;
    InflateStatus expected;
};

Bytes withByte(Bytes s, size_t at, uint8_t value) {
    s[at] = value;
    return s;
}

Bytes truncated(Bytes s, size_t keep) {
    s.resize(keep);
    return s;
}

// A dynamic header whose code lengths are given as raw tokens, followed by
// enough zero bytes that running out of input is never the reason to fail.
Bytes dynamicWithTokens(int hlit, int hdist, const std::vector<LengthToken>& tokens,
                        const std::vector<int>& lengthCode = standardLengthCode()) {
    BitWriter w;
    zlibHeader(w);
    dynamicHeader(w, true, hlit, hdist, lengthCode, tokens);
    for (int i = 0; i < 8; ++i) w.byte(0);
    return w.bytes;
}

std::vector<BadCase> badCases() {
    std::vector<BadCase> cases;
    Bytes stored = zlibStored(text("0123456789"));
    cases.push_back({"CM 7", withByte(stored, 0, 0x77), 10, inflateBadMethod});
    cases.push_back({"CM 15", withByte(stored, 0, 0x7F), 10, inflateBadMethod});
    cases.push_back({"CINFO 8", withByte(stored, 0, 0x88), 10, inflateBadMethod});
    cases.push_back({"FDICT set", withByte(stored, 1, 0x20), 10, inflatePresetDictionary});
    cases.push_back({"stored NLEN not the complement", withByte(stored, 5, 0x00), 10, inflateStoredLength});
    cases.push_back({"stored block larger than the output", stored, 9, inflateOutputFull});
    cases.push_back({"stored block cut short", truncated(stored, 10), 10, inflateInputEnded});
    cases.push_back({"header only", truncated(stored, 2), 10, inflateInputEnded});
    cases.push_back({"one byte", truncated(stored, 1), 10, inflateInputEnded});
    cases.push_back({"empty stream", {}, 10, inflateInputEnded});
    {
        BitWriter w;
        zlibHeader(w);
        w.bits(1, 1);
        w.bits(3, 2);
        w.byte(0);
        cases.push_back({"block type 3", w.bytes, 10, inflateBadBlockType});
    }
    {
        BitWriter w;
        zlibHeader(w);
        storedBlocks(w, text("ab"), false);
        cases.push_back({"no final block", w.bytes, 10, inflateInputEnded});
    }
    Bytes run = fixedStream({lit('q'), copy(258, 1)});
    cases.push_back({"copy past the end of the output", run, 100, inflateOutputFull});
    cases.push_back({"literal past the end of the output", fixedStream({lit('a'), lit('b')}), 1, inflateOutputFull});
    cases.push_back({"fixed block cut short", truncated(run, run.size() - 6), 259, inflateInputEnded});
    cases.push_back({"distance before the start", fixedStream({lit('a'), copy(3, 2)}), 10, inflateDistanceTooFar});
    cases.push_back({"distance with empty output", fixedStream({copy(3, 1)}), 10, inflateDistanceTooFar});
    for (int symbol : {286, 287}) {
        BitWriter w;
        zlibHeader(w);
        w.bits(1, 1);
        w.bits(1, 2);
        fixedSymbol(w, 'a');
        fixedSymbol(w, symbol);
        w.byte(0);
        w.byte(0);
        cases.push_back({symbol == 286 ? "length symbol 286" : "length symbol 287", w.bytes, 10, inflateLengthSymbol});
    }
    for (uint32_t symbol : {30u, 31u}) {
        BitWriter w;
        zlibHeader(w);
        w.bits(1, 1);
        w.bits(1, 2);
        fixedSymbol(w, 'a');
        fixedSymbol(w, 257);
        w.code(symbol, 5);
        w.byte(0);
        w.byte(0);
        cases.push_back(
            {symbol == 30 ? "distance symbol 30" : "distance symbol 31", w.bytes, 10, inflateDistanceSymbol});
    }
    cases.push_back({"repeat 16 first", dynamicWithTokens(257, 1, {{16, 0}}), 10, inflateRepeatFirst});
    cases.push_back(
        {"zero run past the lengths", dynamicWithTokens(257, 1, {{18, 127}, {18, 127}}), 10, inflateRepeatTooLong});
    cases.push_back({"repeat past the lengths", dynamicWithTokens(257, 2, {{18, 127}, {18, 107}, {8, 0}, {16, 0}}), 10,
                     inflateRepeatTooLong});
    {
        // The code-length code has one 1-bit code (for symbol 8): "1" matches nothing.
        std::vector<int> oneCode(19, 0);
        oneCode[8] = 1;
        BitWriter w;
        zlibHeader(w);
        dynamicHeader(w, true, 257, 1, oneCode, {});
        w.bits(0x7F, 7);
        w.byte(0);
        cases.push_back({"code-length code matching nothing", w.bytes, 10, inflateNoSymbol});
    }
    {
        // Literal code of 'a' and 256 only (codes 00 and 01): "1..." matches nothing.
        std::vector<int> litLengths(257, 0);
        litLengths['a'] = litLengths[256] = 2;
        BitWriter w;
        zlibHeader(w);
        lengthsHeader(w, litLengths, {0});
        w.code(1, 1);
        w.byte(0);
        w.byte(0);
        cases.push_back({"literal code matching nothing", w.bytes, 10, inflateNoSymbol});
    }
    {
        // No distance code at all: the first copy finds no symbol.
        std::vector<int> litLengths(258, 0);
        litLengths['a'] = 1;
        litLengths[256] = litLengths[257] = 2;
        BitWriter w;
        zlibHeader(w);
        lengthsHeader(w, litLengths, {0});
        w.code(0, 1);  // 'a'
        w.code(3, 2);  // 257
        w.byte(0);
        w.byte(0);
        cases.push_back({"empty distance code", w.bytes, 10, inflateNoSymbol});
    }
    Bytes dynamic = dynamicStream(sampleTokens);
    cases.push_back({"dynamic block cut in its header", truncated(dynamic, 12), 400, inflateInputEnded});
    return cases;
}

TEST(Inflate, RefusesMalformedStreams) {
    for (const BadCase& c : badCases()) {
        Inflated r = inflateChunks(c.stream, c.outputSize);
        EXPECT_EQ(r.status, c.expected) << c.name;
    }
}

// The boolean form says yes exactly when the status is inflateOk, on the same files.
TEST(Inflate, BooleanFormFollowsTheStatus) {
    std::vector<BadCase> cases = badCases();
    cases.push_back({"stored", zlibStored(text("0123456789")), 10, inflateOk});
    cases.push_back({"stored into a larger output", zlibStored(text("0123456789")), 16, inflateOk});
    cases.push_back({"fixed", fixedStream(sampleTokens), uint32_t(expand(sampleTokens).size()), inflateOk});
    for (const BadCase& c : cases) {
        Bytes file;
        idatChunks(file, c.stream, {});
        if (file.empty()) chunk(file, "IDAT", {});
        Bytes output(c.outputSize, 0xAA);
        EXPECT_EQ(inflateIdatStream(file.data(), uint32_t(file.size()), file.data(), output.data(), c.outputSize),
                  c.expected == inflateOk)
            << c.name;
    }
}

// No input at all (a null file or chunk address, a length of 0, a chunk
// outside the file) is an input that ends at once: the zlib header is never
// read, nothing is written and the output is left exactly as it was, even
// with a stream that would decode where the pointers lead.
TEST(Inflate, NoInputWritesNothing) {
    Bytes file;
    idatChunks(file, zlibStored(text("edge")), {});
    const uint8_t* f = file.data();
    const uint32_t n = uint32_t(file.size());
    struct Case {
        const char* name;
        const uint8_t* file;
        uint32_t fileLength;
        const uint8_t* firstIdat;
        InflateStatus expected;
        uint32_t written;
    } cases[] = {
        {"the whole file, for comparison", f, n, f, inflateOk, 4},
        {"null file with its length", nullptr, n, f, inflateInputEnded, 0},
        {"null file, length 0", nullptr, 0, f, inflateInputEnded, 0},
        {"file of length 0", f, 0, f, inflateInputEnded, 0},
        {"null first chunk", f, n, nullptr, inflateInputEnded, 0},
        {"everything null", nullptr, 0, nullptr, inflateInputEnded, 0},
        {"first chunk past the end", f, n, f + n, inflateInputEnded, 0},
        {"length shorter than a chunk header", f, 7, f, inflateInputEnded, 0},
    };
    for (const Case& c : cases) {
        Bytes output(8, 0xAA);
        uint32_t written = 12345;
        EXPECT_EQ(inflateIdatStreamStatus(c.file, c.fileLength, c.firstIdat, output.data(), 8, &written), c.expected)
            << c.name;
        EXPECT_EQ(written, c.written) << c.name;
        if (c.expected == inflateOk) {
            EXPECT_EQ(output, concat(text("edge"), Bytes(4, 0))) << c.name;
        } else {
            EXPECT_EQ(output, Bytes(8, 0xAA)) << c.name << ": the output must be untouched";
        }
        Bytes again(8, 0xAA);
        EXPECT_EQ(inflateIdatStream(c.file, c.fileLength, c.firstIdat, again.data(), 8), c.expected == inflateOk)
            << c.name;
    }
}

// An output of no bytes at all, even at a null address: an empty stream
// fills it, a stream with data overflows it at once, and neither writes.
TEST(Inflate, EmptyOutputTakesOnlyAnEmptyStream) {
    struct Case {
        const char* name;
        Bytes stream;
        InflateStatus expected;
    } cases[] = {
        {"empty stored block", zlibStored({}), inflateOk},
        {"empty fixed block", fixedStream({}), inflateOk},
        {"one stored byte", zlibStored(text("x")), inflateOutputFull},
        {"one fixed literal", fixedStream({lit('x')}), inflateOutputFull},
    };
    for (const Case& c : cases) {
        Bytes file;
        idatChunks(file, c.stream, {});
        uint32_t written = 12345;
        EXPECT_EQ(inflateIdatStreamStatus(file.data(), uint32_t(file.size()), file.data(), nullptr, 0, &written),
                  c.expected)
            << c.name;
        EXPECT_EQ(written, 0u) << c.name;
    }
}

// Mend: a stream that ends before the output is full succeeds, and what it
// did not write is zero rather than whatever the buffer held.
TEST(Inflate, ClearsOutputAfterAnEarlyFinalBlock) {
    struct Case {
        const char* name;
        Bytes stream;
        Bytes expected;
    } cases[] = {
        {"stored", zlibStored(text("hi")), text("hi")},
        {"empty stored", zlibStored({}), {}},
        {"fixed", fixedStream({lit('h'), copy(4, 1)}), text("hhhhh")},
    };
    for (const Case& c : cases) {
        Inflated r = inflateChunks(c.stream, 12);
        EXPECT_EQ(r.status, inflateOk) << c.name;
        Bytes expected = c.expected;
        expected.resize(12, 0);
        EXPECT_EQ(r.output, expected) << c.name;
    }
}

TEST(Inflate, ReadsTheStreamAcrossIdatChunks) {
    Bytes data = pattern(3000, 3);
    BitWriter w;
    zlibHeader(w);
    storedBlocks(w, Bytes(data.begin(), data.begin() + 1000), false);
    fixedBlock(w, {lit('z'), copy(258, 1000), copy(100, 1)}, false);
    storedBlocks(w, Bytes(data.begin() + 1000, data.end()));
    adlerTrailer(w, 0);
    const Bytes& stream = w.bytes;
    Bytes expected(data.begin(), data.begin() + 1000);
    expected = expand({lit('z'), copy(258, 1000), copy(100, 1)}, expected);
    expected.insert(expected.end(), data.begin() + 1000, data.end());

    const int total = int(stream.size());
    struct Case {
        std::vector<int> plan;
        InflateStatus expected;
    } cases[] = {
        {{}, inflateOk},
        {{1, 1, 1, 1, 1, 1, 1}, inflateOk},
        {{0, 0, 5, 0, 1000, 0, 3}, inflateOk},
        {{2, 0, 0, 0, 2, 17}, inflateOk},
        {{total - 5, 0}, inflateOk},
        {{total}, inflateOk},                    // followed directly by IEND
        {{total - 4, foreignChunk}, inflateOk},  // the gap comes after the final block
        {{100, foreignChunk}, inflateInputEnded},
        {{0, foreignChunk}, inflateInputEnded},
        {{1, 1, foreignChunk, 0}, inflateInputEnded},
    };
    for (const Case& c : cases) {
        Inflated r = inflateChunks(stream, uint32_t(expected.size()), c.plan);
        EXPECT_EQ(r.status, c.expected) << planName(c.plan);
        if (c.expected == inflateOk) {
            EXPECT_EQ(r.output, expected) << planName(c.plan);
        }
    }

    // Chunk CRCs are never read: spoil them all.
    Bytes file;
    idatChunks(file, stream, {7, 0, 300});
    for (size_t at = 0; at + 8 <= file.size();) {
        uint32_t length = (uint32_t(file[at]) << 24) | (file[at + 1] << 16) | (file[at + 2] << 8) | file[at + 3];
        file[at + 8 + length] ^= 0x5A;
        at += 12 + length;
    }
    Bytes out(expected.size());
    EXPECT_EQ(
        inflateIdatStreamStatus(file.data(), uint32_t(file.size()), file.data(), out.data(), uint32_t(out.size())),
        inflateOk);
    EXPECT_EQ(out, expected);
}

TEST(Inflate, StopsAtTheEdgesOfTheFile) {
    Bytes stream = zlibStored(text("edge"));
    Bytes file;
    idatChunks(file, stream, {});
    Bytes out(4);
    const uint8_t* f = file.data();
    const uint32_t n = uint32_t(file.size());
    struct Case {
        const char* name;
        const uint8_t* firstIdat;
        uint32_t fileLength;
        InflateStatus expected;
    } cases[] = {
        {"whole chunk", f, n, inflateOk},
        {"CRC missing", f, n - 4, inflateOk},
        {"data runs past the end", f, n - 5, inflateInputEnded},
        {"chunk header cut", f, 7, inflateInputEnded},
        {"no first chunk", nullptr, n, inflateInputEnded},
        {"first chunk at the end of the file", f + n, n, inflateInputEnded},
        {"first chunk before the file", f - 1, n, inflateInputEnded},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(inflateIdatStreamStatus(f, c.fileLength, c.firstIdat, out.data(), 4), c.expected) << c.name;
    }

    // A second IDAT whose declared length runs past the end ends the input.
    Bytes split;
    idatChunks(split, stream, {6});
    split.resize(split.size() - 5);
    EXPECT_EQ(inflateIdatStreamStatus(split.data(), uint32_t(split.size()), split.data(), out.data(), 4),
              inflateInputEnded);
}

#ifdef VETRA_HAVE_LIBPNG
// zlib as an independent compressor: every strategy and level, so that
// stored, fixed and dynamic blocks of real encoders are all decoded.
TEST(Inflate, DecodesWhatZlibWrites) {
    Bytes data = pattern(100000, 11);
    for (size_t i = 50000; i < 60000; ++i) data[i] = uint8_t(i / 1000);  // long runs
    struct Case {
        const char* name;
        int level;
        int strategy;
    } cases[] = {
        {"level 0", 0, Z_DEFAULT_STRATEGY}, {"level 1", 1, Z_DEFAULT_STRATEGY}, {"level 6", 6, Z_DEFAULT_STRATEGY},
        {"level 9", 9, Z_DEFAULT_STRATEGY}, {"fixed codes", 6, Z_FIXED},        {"Huffman only", 6, Z_HUFFMAN_ONLY},
        {"run-length", 6, Z_RLE},           {"filtered", 6, Z_FILTERED},
    };
    for (const Case& c : cases) {
        z_stream z = {};
        ASSERT_EQ(deflateInit2(&z, c.level, Z_DEFLATED, 15, 9, c.strategy), Z_OK) << c.name;
        Bytes stream(deflateBound(&z, uLong(data.size())));
        z.next_in = const_cast<Bytef*>(data.data());
        z.avail_in = uInt(data.size());
        z.next_out = stream.data();
        z.avail_out = uInt(stream.size());
        ASSERT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END) << c.name;
        stream.resize(z.total_out);
        deflateEnd(&z);
        Inflated r = inflateChunks(stream, uint32_t(data.size()), {8192, 0, 8192});
        EXPECT_EQ(r.status, inflateOk) << c.name;
        EXPECT_TRUE(r.output == data) << c.name;
    }
}

// The hand-made streams above are checked against zlib too, so the expected
// bytes do not rest on this file's own reading of the format. The zlib
// header and trailer are left out: some of the streams carry no trailer.
TEST(Inflate, HandMadeStreamsAgreeWithZlib) {
    for (const GoodCase& c : goodCases()) {
        z_stream z = {};
        ASSERT_EQ(inflateInit2(&z, -15), Z_OK);
        Bytes out(c.expected.size() + 1);
        z.next_in = const_cast<Bytef*>(c.stream.data() + 2);
        z.avail_in = uInt(c.stream.size() - 2);
        z.next_out = out.data();
        z.avail_out = uInt(out.size());
        EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END) << c.name;
        out.resize(z.total_out);
        inflateEnd(&z);
        EXPECT_EQ(out, c.expected) << c.name;
    }
}
#endif

}  // namespace
