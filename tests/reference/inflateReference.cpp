// A small inflater in the counts-and-symbols style: one function per step of
// the format, all state in one record, every failure a distinct status.
// Huffman codes are decoded one bit at a time against the first code and the
// count of each code length, with no lookup tables. This is the reference
// decoder: keep it simple so that the table-driven one in inflate.cpp can be
// checked against it byte for byte.

#include "tests/reference/inflateReference.h"

#include <cstring>

namespace {

constexpr int maxCodeLength = 15;     // longest literal/length or distance code
constexpr int maxCodeLengthCode = 7;  // longest code of the code-length alphabet
constexpr int literalSymbols = 288;   // literal/length alphabet, 286 and 287 never valid
constexpr int distanceSymbols = 32;   // distance alphabet, 30 and 31 never valid
constexpr int codeLengthSymbols = 19;
constexpr int chunkHeaderSize = 8;  // length and type
constexpr int chunkCrcSize = 4;

struct InflateState {
    // Input: the file and the chunk being read.
    const uint8_t* file;
    uint32_t fileLength;
    uint32_t position;   // next byte to read in the file
    uint32_t chunkLeft;  // data bytes left in the current chunk
    bool inputEnded;     // no further IDAT chunk can follow
    // Bit reader: the current byte and how many of its bits are still unused.
    uint32_t bitByte;
    int bitsLeft;
    // Output: the caller's buffer, which is also the whole window.
    uint8_t* output;
    uint32_t outputSize;
    uint32_t outputCount;
};

// A canonical Huffman code: how many codes each length has, the first code of
// each length, and the symbols ordered by code.
struct Huffman {
    int count[maxCodeLength + 1];
    int first[maxCodeLength + 1];
    uint16_t symbol[literalSymbols];
    int maxLength;
};

uint32_t bigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// Format notes: a chunk is a 4-byte big-endian data length, a 4-byte type,
// the data and a 4-byte CRC. Opens the chunk whose length field is at `at`
// when its header and data lie inside the file (the CRC is never read, so it
// may be missing) and, if asked, when it is an IDAT chunk.
bool openChunk(InflateState& s, uint64_t at, bool mustBeIdat) {
    if (at + chunkHeaderSize > s.fileLength) return false;
    const uint8_t* header = s.file + at;
    uint32_t length = bigEndian32(header);
    if (uint64_t(length) > s.fileLength - (at + chunkHeaderSize)) return false;
    if (mustBeIdat && std::memcmp(header + 4, "IDAT", 4) != 0) return false;
    s.position = uint32_t(at + chunkHeaderSize);
    s.chunkLeft = length;
    return true;
}

// Format notes: the stream is the concatenated data of consecutive IDAT
// chunks; chunk boundaries mean nothing to it, and an empty IDAT chunk is
// simply a boundary with nothing between.
InflateStatus nextByte(InflateState& s, uint32_t& byte) {
    while (s.chunkLeft == 0) {
        if (s.inputEnded) return inflateInputEnded;
        uint64_t next = uint64_t(s.position) + chunkCrcSize;
        if (!openChunk(s, next, true)) {
            s.inputEnded = true;
            return inflateInputEnded;
        }
    }
    byte = s.file[s.position];
    s.position++;
    s.chunkLeft--;
    return inflateOk;
}

InflateStatus nextBit(InflateState& s, uint32_t& bit) {
    if (s.bitsLeft == 0) {
        InflateStatus status = nextByte(s, s.bitByte);
        if (status != inflateOk) return status;
        s.bitsLeft = 8;
    }
    bit = s.bitByte & 1;
    s.bitByte >>= 1;
    s.bitsLeft--;
    return inflateOk;
}

// Format notes: bits are taken from each byte starting with the least
// significant, and a field of n bits (n <= 16) is assembled least significant
// bit first.
InflateStatus bits(InflateState& s, int n, uint32_t& value) {
    value = 0;
    for (int i = 0; i < n; ++i) {
        uint32_t bit;
        InflateStatus status = nextBit(s, bit);
        if (status != inflateOk) return status;
        value |= bit << i;
    }
    return inflateOk;
}

InflateStatus putByte(InflateState& s, uint8_t byte) {
    if (s.outputCount >= s.outputSize) return inflateOutputFull;
    s.output[s.outputCount++] = byte;
    return inflateOk;
}

// Format notes: two bytes. The low nibble of the first (CM) is the method,
// which must be 8 (deflate); its high nibble (CINFO) is the log of the window
// size minus 8, at most 7. Bit 5 of the second (FDICT) announces a preset
// dictionary, which a PNG stream never has. The remaining check bits (FCHECK)
// are not verified.
InflateStatus zlibHeader(InflateState& s) {
    uint32_t cmf, flags;
    InflateStatus status = bits(s, 8, cmf);
    if (status == inflateOk) status = bits(s, 8, flags);
    if (status != inflateOk) return status;
    if ((cmf & 0x0F) != 8 || (cmf >> 4) > 7) return inflateBadMethod;
    if (flags & 0x20) return inflatePresetDictionary;
    return inflateOk;
}

// Format notes: a stored block starts at the next byte boundary (the unused
// bits of the current byte are dropped) with LEN and NLEN, 16 bits each,
// least significant byte first; NLEN is the ones' complement of LEN. LEN raw
// bytes follow, and the next block starts on a fresh byte.
InflateStatus stored(InflateState& s) {
    s.bitsLeft = 0;
    uint32_t length, complement;
    InflateStatus status = bits(s, 16, length);
    if (status == inflateOk) status = bits(s, 16, complement);
    if (status != inflateOk) return status;
    if (length != (~complement & 0xFFFF)) return inflateStoredLength;
    for (uint32_t i = 0; i < length; ++i) {
        uint32_t byte;
        status = nextByte(s, byte);
        if (status == inflateOk) status = putByte(s, uint8_t(byte));
        if (status != inflateOk) return status;
    }
    return inflateOk;
}

// Format notes: canonical codes. Codes of one length are consecutive
// integers given to the symbols of that length in increasing symbol order;
// the first code of length L is (first code of L-1 + count of L-1) * 2,
// starting from 0. Length 0 means the symbol has no code. The counts are not
// checked for an over-full or incomplete code: decode() stays inside the
// symbol list either way, and a code with no symbol fails when it is read.
void construct(Huffman& h, const uint8_t* lengths, int n, int maxLength) {
    h.maxLength = maxLength;
    for (int len = 0; len <= maxCodeLength; ++len) h.count[len] = 0;
    for (int i = 0; i < n; ++i) h.count[lengths[i]]++;
    h.count[0] = 0;

    int offset[maxCodeLength + 1];
    h.first[0] = 0;
    offset[1] = 0;
    int code = 0;
    for (int len = 1; len <= maxCodeLength; ++len) {
        code = (code + h.count[len - 1]) << 1;
        h.first[len] = code;
        if (len < maxCodeLength) offset[len + 1] = offset[len] + h.count[len];
    }
    for (int i = 0; i < n; ++i) {
        if (lengths[i] != 0) h.symbol[offset[lengths[i]]++] = uint16_t(i);
    }
}

// Format notes: a Huffman code is sent most significant bit first. Growing
// the code one bit at a time, it is complete at the first length whose codes
// run from first to first + count - 1 and include it (it is never below
// first, because every shorter length already ruled it out).
InflateStatus decode(InflateState& s, const Huffman& h, int& symbol) {
    int code = 0;
    int index = 0;  // position of the first symbol of the current length
    for (int len = 1; len <= h.maxLength; ++len) {
        uint32_t bit;
        InflateStatus status = nextBit(s, bit);
        if (status != inflateOk) return status;
        code |= int(bit);
        int count = h.count[len];
        if (code - h.first[len] < count) {
            symbol = h.symbol[index + (code - h.first[len])];
            return inflateOk;
        }
        index += count;
        code <<= 1;
    }
    return inflateNoSymbol;
}

const uint16_t lengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint8_t lengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint16_t distanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                   33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                   1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint8_t distanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                   6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Format notes: literal/length symbols below 256 are bytes, 256 ends the
// block, 257 to 285 give a length (base plus extra bits, 285 is 258) that is
// followed by a distance symbol (base plus extra bits). The copy goes one
// byte at a time, so a distance shorter than the length repeats a pattern.
// The output buffer is the whole window.
InflateStatus codes(InflateState& s, const Huffman& literals, const Huffman& distances) {
    for (;;) {
        int symbol;
        InflateStatus status = decode(s, literals, symbol);
        if (status != inflateOk) return status;
        if (symbol < 256) {
            status = putByte(s, uint8_t(symbol));
            if (status != inflateOk) return status;
            continue;
        }
        if (symbol == 256) return inflateOk;

        symbol -= 257;
        if (symbol >= 29) return inflateLengthSymbol;
        uint32_t extra;
        status = bits(s, lengthExtra[symbol], extra);
        if (status != inflateOk) return status;
        uint32_t length = lengthBase[symbol] + extra;

        status = decode(s, distances, symbol);
        if (status != inflateOk) return status;
        if (symbol >= 30) return inflateDistanceSymbol;
        status = bits(s, distanceExtra[symbol], extra);
        if (status != inflateOk) return status;
        uint32_t distance = distanceBase[symbol] + extra;

        if (distance > s.outputCount) return inflateDistanceTooFar;
        for (uint32_t i = 0; i < length; ++i) {
            status = putByte(s, s.output[s.outputCount - distance]);
            if (status != inflateOk) return status;
        }
    }
}

// Format notes: the fixed code gives literal/length symbols 0-143 8 bits,
// 144-255 9 bits, 256-279 7 bits and 280-287 8 bits; distance codes are
// plain 5-bit values, so all 32 get length 5 and 30 and 31 fail when used.
InflateStatus fixed(InflateState& s) {
    uint8_t lengths[literalSymbols];
    int symbol = 0;
    for (; symbol < 144; ++symbol) lengths[symbol] = 8;
    for (; symbol < 256; ++symbol) lengths[symbol] = 9;
    for (; symbol < 280; ++symbol) lengths[symbol] = 7;
    for (; symbol < literalSymbols; ++symbol) lengths[symbol] = 8;
    Huffman literals;
    construct(literals, lengths, literalSymbols, maxCodeLength);

    for (symbol = 0; symbol < distanceSymbols; ++symbol) lengths[symbol] = 5;
    Huffman distances;
    construct(distances, lengths, distanceSymbols, maxCodeLength);
    return codes(s, literals, distances);
}

const uint8_t codeLengthOrder[codeLengthSymbols] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// Format notes: HLIT (5 bits, + 257), HDIST (5 bits, + 1), HCLEN (4 bits,
// + 4), then HCLEN 3-bit lengths of the code-length code in a fixed order.
// With that code come HLIT + HDIST lengths as one sequence: 0-15 literally,
// 16 repeats the previous length 3-6 times (2 extra bits), 17 gives 3-10
// zeros (3 bits), 18 gives 11-138 zeros (7 bits). A repeat may cross from the
// literal lengths into the distance lengths but not past their end.
InflateStatus dynamic(InflateState& s) {
    uint32_t literalCount, distanceCount, codeLengthCount;
    InflateStatus status = bits(s, 5, literalCount);
    if (status == inflateOk) status = bits(s, 5, distanceCount);
    if (status == inflateOk) status = bits(s, 4, codeLengthCount);
    if (status != inflateOk) return status;
    literalCount += 257;
    distanceCount += 1;
    codeLengthCount += 4;

    uint8_t lengths[literalSymbols + distanceSymbols] = {};
    for (uint32_t i = 0; i < codeLengthCount; ++i) {
        uint32_t length;
        status = bits(s, 3, length);
        if (status != inflateOk) return status;
        lengths[codeLengthOrder[i]] = uint8_t(length);
    }
    Huffman lengthCode;
    construct(lengthCode, lengths, codeLengthSymbols, maxCodeLengthCode);

    uint32_t total = literalCount + distanceCount;
    uint32_t index = 0;
    while (index < total) {
        int symbol;
        status = decode(s, lengthCode, symbol);
        if (status != inflateOk) return status;
        if (symbol < 16) {
            lengths[index++] = uint8_t(symbol);
            continue;
        }
        uint8_t repeated = 0;
        uint32_t times;
        if (symbol == 16) {
            if (index == 0) return inflateRepeatFirst;
            repeated = lengths[index - 1];
            status = bits(s, 2, times);
            times += 3;
        } else if (symbol == 17) {
            status = bits(s, 3, times);
            times += 3;
        } else {
            status = bits(s, 7, times);
            times += 11;
        }
        if (status != inflateOk) return status;
        if (times > total - index) return inflateRepeatTooLong;
        while (times--) lengths[index++] = repeated;
    }

    Huffman literals, distances;
    construct(literals, lengths, int(literalCount), maxCodeLength);
    construct(distances, lengths + literalCount, int(distanceCount), maxCodeLength);
    return codes(s, literals, distances);
}

// Format notes: blocks follow the zlib header until one has BFINAL set; each
// starts with BFINAL (1 bit) and BTYPE (2 bits). The Adler-32 trailer after
// the final block is not compared, so it is not read at all.
InflateStatus blocks(InflateState& s) {
    uint32_t last;
    do {
        uint32_t type;
        InflateStatus status = bits(s, 1, last);
        if (status == inflateOk) status = bits(s, 2, type);
        if (status != inflateOk) return status;
        switch (type) {
            case 0: status = stored(s); break;
            case 1: status = fixed(s); break;
            case 2: status = dynamic(s); break;
            default: return inflateBadBlockType;
        }
        if (status != inflateOk) return status;
    } while (!last);
    return inflateOk;
}

}  // namespace

InflateStatus inflateIdatStreamReference(const uint8_t* file, uint32_t fileLength, const uint8_t* firstIdat,
                                         uint8_t* output, uint32_t outputSize, uint32_t* written) {
    InflateState s = {};
    s.file = file;
    s.fileLength = fileLength;
    s.output = output;
    s.outputSize = outputSize;
    s.inputEnded = true;
    // Compared as integers: firstIdat may lie anywhere, even outside the file.
    uintptr_t offset = reinterpret_cast<uintptr_t>(firstIdat) - reinterpret_cast<uintptr_t>(file);
    if (file != nullptr && firstIdat != nullptr && offset < fileLength && openChunk(s, offset, false)) {
        s.inputEnded = false;
    }

    InflateStatus status = zlibHeader(s);
    if (status == inflateOk) status = blocks(s);
    if (written != nullptr) *written = s.outputCount;
    if (status == inflateOk && s.outputCount < outputSize) {
        std::memset(output + s.outputCount, 0, outputSize - s.outputCount);
    }
    return status;
}
