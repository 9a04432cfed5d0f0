// The table-driven inflater against the one-bit-at-a-time reference: on
// well-formed, mutated, truncated and random streams laid into IDAT chunks
// in many ways, both must give the same status, write the same number of
// bytes and the same bytes (and, on success, the same whole output).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "pictures/inflate.h"
#include "tests/reference/inflateReference.h"
#include "tests/unit/testDeflate.h"

#ifdef VETRA_HAVE_LIBPNG
#include <zlib.h>  // comes with libpng; used only to produce real-world streams
#endif

namespace {

using namespace testdeflate;

struct Random {
    uint64_t state;
    uint32_t next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return uint32_t(state >> 33);
    }
    uint32_t below(uint32_t n) { return n == 0 ? 0 : next() % n; }
};

// The stream in IDAT chunks behind a few unrelated bytes: pieces of random
// sizes, sometimes empty chunks, sometimes a foreign chunk that ends the
// input early, sometimes the file cut short inside the last chunk.
Bytes layOut(const Bytes& stream, Random& random, std::string& plan) {
    std::vector<int> pieces;
    switch (random.below(4)) {
        case 0: break;  // one chunk
        case 1:
            for (int i = 0; i < 6; ++i) pieces.push_back(int(random.below(40)));
            break;
        case 2:
            for (int i = 0; i < 4; ++i) pieces.push_back(int(1 + random.below(9000)));
            break;
        default:
            for (int i = 0; i < 8; ++i) pieces.push_back(random.below(5) == 0 ? 0 : int(random.below(300)));
            if (random.below(3) == 0) pieces[random.below(8)] = foreignChunk;
            break;
    }
    Bytes file = {'j', 'u', 'n', 'k'};
    idatChunks(file, stream, pieces);
    if (file.size() == 4) chunk(file, "IDAT", {});
    chunk(file, "IEND", {});
    plan = planName(pieces);
    if (random.below(8) == 0) {
        size_t cut = random.below(uint32_t(file.size()));
        file.resize(cut < 5 ? 5 : cut);
        plan += " cut at " + std::to_string(file.size());
    }
    return file;
}

// Runs both inflaters on the same file into buffers of the same contents and
// compares everything the contract fixes, for each decoding loop the fast
// one has (the one for processors with BMI2, where this one has it, and the
// plain one). Returns the reference status.
InflateStatus expectSame(const Bytes& file, uint32_t outputSize, const std::string& name) {
    Bytes reference(outputSize, 0x5C);
    uint32_t referenceWritten = ~0u;
    const uint8_t* first = file.data() + 4;
    InflateStatus expected = inflateIdatStreamReference(file.data(), uint32_t(file.size()), first, reference.data(),
                                                        outputSize, &referenceWritten);
    for (bool bmi2 : {true, false}) {
        inflateAllowBmi2(bmi2);
        const std::string loop = name + (bmi2 ? "" : " (plain loop)");
        Bytes fast(outputSize, 0x5C);
        uint32_t fastWritten = ~0u;
        InflateStatus actual =
            inflateIdatStreamStatus(file.data(), uint32_t(file.size()), first, fast.data(), outputSize, &fastWritten);
        EXPECT_EQ(actual, expected) << loop;
        EXPECT_EQ(fastWritten, referenceWritten) << loop;
        if (fastWritten == referenceWritten && referenceWritten > 0 && referenceWritten <= outputSize) {
            EXPECT_EQ(std::memcmp(fast.data(), reference.data(), referenceWritten), 0) << loop;
        }
        if (expected == inflateOk) {
            EXPECT_TRUE(fast == reference) << loop;
        }
    }
    inflateAllowBmi2(true);
    Bytes again(outputSize);
    EXPECT_EQ(inflateIdatStream(file.data(), uint32_t(file.size()), first, again.data(), outputSize),
              expected == inflateOk)
        << name;
    return expected;
}

// Output sizes around the decoded size: exact, short by one or many (the
// output fills up), with room to spare (the tail is cleared), none at all.
uint32_t pickOutputSize(size_t decoded, Random& random) {
    switch (random.below(5)) {
        case 0: return uint32_t(decoded);
        case 1: return decoded > 0 ? uint32_t(decoded - 1) : 0;
        case 2: return uint32_t(random.below(uint32_t(decoded) + 1));
        case 3: return uint32_t(decoded + 1 + random.below(300));
        default: return random.below(2) ? 0 : uint32_t(decoded + 7);
    }
}

Bytes sampleData(size_t n, int kind, Random& random) {
    Bytes data(n);
    for (size_t i = 0; i < n; ++i) {
        switch (kind) {
            case 0: data[i] = uint8_t(random.next() >> 24); break;                        // incompressible
            case 1: data[i] = uint8_t("abcabd  xyz"[random.below(11)]); break;            // small alphabet
            case 2: data[i] = uint8_t(i / 300 + (random.below(50) == 0 ? 1 : 0)); break;  // long runs
            default: data[i] = uint8_t(i % 7 == 0 ? random.next() : i * 3 / 5); break;    // rows of a picture
        }
    }
    return data;
}

// Spoils a valid stream: flipped bits, overwritten bytes, a cut, or a
// repeated stretch, each somewhere after the zlib header.
Bytes mutate(Bytes stream, Random& random, std::string& how) {
    if (stream.size() <= 2) return stream;
    uint32_t body = uint32_t(stream.size() - 2);
    switch (random.below(4)) {
        case 0: {
            int flips = 1 + int(random.below(3));
            for (int i = 0; i < flips; ++i) stream[2 + random.below(body)] ^= uint8_t(1u << random.below(8));
            how = "bit flips";
            break;
        }
        case 1:
            for (int i = 0; i < 4; ++i) stream[2 + random.below(body)] = uint8_t(random.next());
            how = "bytes overwritten";
            break;
        case 2:
            stream.resize(2 + random.below(body));
            how = "cut to " + std::to_string(stream.size());
            break;
        default: {
            size_t from = 2 + random.below(body), n = 1 + random.below(64);
            if (from + n > stream.size()) n = stream.size() - from;
            Bytes piece(stream.begin() + long(from), stream.begin() + long(from + n));
            stream.insert(stream.begin() + long(2 + random.below(body)), piece.begin(), piece.end());
            how = "stretch repeated";
            break;
        }
    }
    return stream;
}

// A dynamic block header with arbitrary literal/length and distance code
// lengths (complete, incomplete and over-full codes alike) followed by
// random bits, so the table builder meets every shape of code.
Bytes randomDynamicStream(Random& random) {
    BitWriter w;
    zlibHeader(w);
    w.bits(random.below(2), 1);
    w.bits(2, 2);
    int hlit = 257 + int(random.below(32)), hdist = 1 + int(random.below(32));
    w.bits(uint32_t(hlit - 257), 5);
    w.bits(uint32_t(hdist - 1), 5);
    w.bits(15, 4);
    // Code-length code: symbols 0-15 get 4 bits, 16-18 unused (complete).
    static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    for (int i = 0; i < 19; ++i) w.bits(order[i] < 16 ? 4 : 0, 3);
    int maxLength = 1 + int(random.below(15));
    for (int i = 0; i < hlit + hdist; ++i) {
        uint32_t length = random.below(3) == 0 ? 0 : 1 + random.below(uint32_t(maxLength));
        w.code(length, 4);  // canonical 4-bit codes of symbols 0-15 are the symbols themselves
    }
    int tail = int(random.below(400));
    for (int i = 0; i < tail; ++i) w.bits(random.next() & 0xFF, 8);
    return w.bytes;
}

// A stored block of `history` bytes, then a final dynamic block whose far
// distances have the longest codes: distance symbols 14-27 get lengths 1-14,
// 28 and 29 get 15, so a far copy takes a code of 12-15 bits and 11-13 extra
// bits, more than a 32-bit bit buffer holds after a refill. The block mixes
// literals with copies of lengths 3-258 from any distance the output allows.
Bytes farCopiesStream(Random& random, uint32_t history, int symbols, uint32_t& decodedSize) {
    BitWriter w;
    zlibHeader(w);
    Bytes old(history);
    for (uint8_t& b : old) b = uint8_t(random.next());
    storedBlocks(w, old, false);
    w.bits(1, 1);
    w.bits(2, 2);
    w.bits(29, 5);  // 286 literal/length codes
    w.bits(29, 5);  // 30 distance codes
    w.bits(15, 4);  // 19 code-length codes
    static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    for (int i = 0; i < 19; ++i) w.bits(order[i] < 16 ? 4 : 0, 3);
    // Literals 9 bits, end 2, lengths 258 (symbol 285) and 23-26 (270) 3.
    std::vector<int> literalLengths(286, 0), distanceLengths(30, 0);
    for (int i = 0; i < 256; ++i) literalLengths[size_t(i)] = 9;
    literalLengths[256] = 2;
    literalLengths[270] = 3;
    literalLengths[285] = 3;
    for (int d = 14; d < 28; ++d) distanceLengths[size_t(d)] = d - 13;
    distanceLengths[28] = distanceLengths[29] = 15;
    for (int length : literalLengths) w.code(uint32_t(length), 4);
    for (int length : distanceLengths) w.code(uint32_t(length), 4);
    const std::vector<uint32_t> literalCodes = canonicalCodes(literalLengths);
    const std::vector<uint32_t> distanceCodes = canonicalCodes(distanceLengths);

    decodedSize = history;
    for (int i = 0; i < symbols; ++i) {
        if (random.below(3) == 0) {
            int literal = int(random.below(256));
            w.code(literalCodes[size_t(literal)], 9);
            decodedSize += 1;
            continue;
        }
        int length = random.below(2) ? 258 : 23 + int(random.below(4));
        LengthCode l = lengthCode(length);
        w.code(literalCodes[size_t(l.symbol)], 3);
        w.bits(l.extra, l.extraBits);
        int distance = 129 + int(random.below(decodedSize - 128));
        if (distance > 32768) distance = 32768;
        LengthCode d = distanceCode(distance);
        w.code(distanceCodes[size_t(d.symbol)], distanceLengths[size_t(d.symbol)]);
        w.bits(d.extra, d.extraBits);
        decodedSize += uint32_t(length);
    }
    w.code(literalCodes[256], 2);
    return w.bytes;
}

TEST(InflateDiff, FarCopiesBehindLongCodes) {
    Random random{6};
    int whole = 0;
    for (int i = 0; i < 200; ++i) {
        uint32_t decoded = 0;
        Bytes stream = farCopiesStream(random, 200 + random.below(33000), 50 + int(random.below(400)), decoded);
        std::string how = "whole";
        if (i % 4 == 3) stream = mutate(stream, random, how);
        std::string plan;
        Bytes file = layOut(stream, random, plan);
        std::string name = "far copies #" + std::to_string(i) + " " + how + " " + plan;
        if (expectSame(file, i % 5 == 4 ? pickOutputSize(decoded, random) : decoded, name) == inflateOk) ++whole;
    }
    EXPECT_GT(whole, 60);  // most streams decode to their end
}

TEST(InflateDiff, RandomBytesAfterAHeader) {
    Random random{1};
    for (int i = 0; i < 3000; ++i) {
        BitWriter w;
        zlibHeader(w);
        uint32_t n = random.below(600);
        for (uint32_t k = 0; k < n; ++k) w.bits(random.next() & 0xFF, 8);
        std::string plan;
        Bytes file = layOut(w.bytes, random, plan);
        expectSame(file, random.below(3000), "random bytes #" + std::to_string(i) + " " + plan);
    }
}

TEST(InflateDiff, ArbitraryCodeLengths) {
    Random random{2};
    int decodedSomething = 0;
    for (int i = 0; i < 3000; ++i) {
        Bytes stream = randomDynamicStream(random);
        std::string plan;
        Bytes file = layOut(stream, random, plan);
        InflateStatus status = expectSame(file, random.below(4000), "code lengths #" + std::to_string(i) + " " + plan);
        if (status != inflateRepeatTooLong && status != inflateInputEnded) ++decodedSomething;
    }
    // The streams must get past their headers often enough to test decoding.
    EXPECT_GT(decodedSomething, 300);
}

TEST(InflateDiff, HandMadeStreamsCutEverywhere) {
    // Streams of every block type, cut at every byte: the careful steps at
    // the end of the input must fail exactly where the reference does.
    BitWriter w;
    zlibHeader(w);
    storedBlocks(w, Bytes{'s', 't', 'o', 'r', 'e', 'd'}, false);
    w.bits(0, 1);
    w.bits(1, 2);
    for (int c : {'f', 'i', 'x'}) fixedSymbol(w, c);
    fixedCopy(w, 258, 1);
    fixedCopy(w, 5, 9);
    fixedSymbol(w, 256);
    Random random{3};
    Bytes dynamic = randomDynamicStream(random);
    Bytes streams[] = {w.bytes, dynamic};
    for (const Bytes& full : streams) {
        for (size_t cut = 0; cut <= full.size(); ++cut) {
            Bytes stream(full.begin(), full.begin() + long(cut));
            Bytes file = {'j', 'u', 'n', 'k'};
            idatChunks(file, stream, {3});
            if (file.size() == 4) chunk(file, "IDAT", {});
            expectSame(file, 300, "cut at " + std::to_string(cut));
        }
    }
}

TEST(InflateDiff, NearCopiesAroundTheirDistance) {
    // Copies from 1 to 40 bytes back, each as long as its distance, one
    // byte shorter or longer, and across the 16- and 32-byte steps of the
    // fast copies: which way a near copy goes depends on both. A tail of
    // literals keeps them inside the fast loop; shorter outputs move the
    // last of them into the careful steps.
    BitWriter w;
    zlibHeader(w);
    w.bits(1, 1);
    w.bits(1, 2);
    for (int i = 0; i < 40; ++i) fixedSymbol(w, 'A' + i % 23);
    uint32_t decoded = 40;
    for (int distance = 1; distance <= 40; ++distance) {
        for (int length : {distance - 1, distance, distance + 1, 15, 16, 17, 31, 32, 33, 2 * distance + 1}) {
            if (length < 3) continue;
            fixedCopy(w, length, distance);
            fixedSymbol(w, 'a' + length % 26);
            decoded += uint32_t(length) + 1;
        }
    }
    for (int i = 0; i < 400; ++i) fixedSymbol(w, 'z' - i % 7);
    fixedSymbol(w, 256);
    decoded += 400;
    Bytes file = {'j', 'u', 'n', 'k'};
    idatChunks(file, w.bytes, {});
    chunk(file, "IEND", {});
    for (uint32_t size : {decoded, decoded - 400, decoded - 450, decoded - 700}) {
        expectSame(file, size, "near copies into " + std::to_string(size) + " bytes");
    }
    EXPECT_EQ(expectSame(file, decoded, "near copies"), inflateOk);
}

#ifdef VETRA_HAVE_LIBPNG
Bytes zlibStream(const Bytes& data, int level, int strategy) {
    z_stream z = {};
    if (deflateInit2(&z, level, Z_DEFLATED, 15, 9, strategy) != Z_OK) return {};
    Bytes out(deflateBound(&z, uLong(data.size())));
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = uInt(data.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

TEST(InflateDiff, RealStreamsWholeAndSpoiled) {
    Random random{4};
    const int levels[] = {0, 1, 6, 9};
    const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FIXED, Z_HUFFMAN_ONLY, Z_RLE};
    const size_t sizes[] = {0, 1, 17, 300, 5000, 40000, 70000};
    int okCount = 0;
    for (int i = 0; i < 600; ++i) {
        size_t n = sizes[random.below(7)];
        int kind = int(random.below(4));
        int level = levels[random.below(4)], strategy = strategies[random.below(4)];
        Bytes data = sampleData(n, kind, random);
        Bytes stream = zlibStream(data, level, strategy);
        std::string how = "whole";
        if (i % 3 != 0) stream = mutate(stream, random, how);
        std::string plan;
        Bytes file = layOut(stream, random, plan);
        std::string name = "real #" + std::to_string(i) + " size " + std::to_string(n) + " kind " +
                           std::to_string(kind) + " level " + std::to_string(level) + " strategy " +
                           std::to_string(strategy) + " " + how + " " + plan;
        if (expectSame(file, pickOutputSize(n, random), name) == inflateOk) ++okCount;
    }
    EXPECT_GT(okCount, 100);  // and many of them decode all the way
}

#endif

}  // namespace
