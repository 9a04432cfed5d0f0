// The inflater the decoder uses: Huffman codes through lookup tables (a
// first level indexed by the next 10 or 8 bits, second-level tables for the
// longer codes), a 64-bit bit buffer refilled a word at a time from the IDAT
// data, and copies that move eight bytes at a time while the input and the
// output are far from their ends. Near either end each symbol takes a
// careful step that checks every bit and byte, so that the status, the bytes
// written and the output are exactly those of the reference decoder in
// tests/reference/inflateReference.cpp, which stays the definition of what
// is right.

#include "pictures/inflate.h"

#include <atomic>
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

#include "pictures/unaligned.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <immintrin.h>
#define VETRA_INFLATE_BMI2 1
#endif

namespace {

constexpr int maxCodeLength = 15;
constexpr int maxCodeLengthCode = 7;
constexpr int literalSymbols = 288;
constexpr int distanceSymbols = 32;
constexpr int codeLengthSymbols = 19;
constexpr int chunkHeaderSize = 8;
constexpr int chunkCrcSize = 4;

// Bits that index each first-level table. Codes up to that length are
// resolved in one look-up; a longer code goes through a second-level table
// of its own first-level prefix.
constexpr int literalTableBits = 10;
constexpr int distanceTableBits = 8;
constexpr int codeLengthTableBits = maxCodeLengthCode;  // every code fits: one level

// Room for any set of code lengths, over-full ones included: each code
// longer than the first level may have a prefix of its own, with a second
// level of up to 2^(15 - first-level bits) entries.
constexpr int literalTableSize = (1 << literalTableBits) + literalSymbols * (1 << (maxCodeLength - literalTableBits));
constexpr int distanceTableSize =
    (1 << distanceTableBits) + distanceSymbols * (1 << (maxCodeLength - distanceTableBits));

// A table entry: bits 0-4 the bits a symbol takes, its code and (for a
// length or distance) its extra bits together, so one shift consumes both;
// bits 5-7 zero, so that the low 6 bits are that count and a 64-bit shift by
// the entry itself needs no mask; bits 8-11 the code length alone (for a
// link, the index bits of the second level); bits 12-15 the kind; bits 16-31
// the value (literal byte, base length or distance, second-level offset).
// A length or distance has kind 0: bits 8-12 are then its code length, which
// a shift by the entry shifted down 8 takes without a mask.
constexpr uint32_t kindCopy = 0x0000;         // a length, or a distance
constexpr uint32_t kindLiteral = 0x4000;      // also a code-length symbol
constexpr uint32_t kindLiteralPair = 0x6000;  // two literals, both codes in the first level
constexpr uint32_t kindEnd = 0x8000;          // literal/length 256
constexpr uint32_t kindBadSymbol = 0x9000;    // literal/length 286-287, distance 30-31
constexpr uint32_t kindNoSymbol = 0xA000;     // no code of at most 15 bits starts so
constexpr uint32_t kindLink = 0xB000;         // go on in a second-level table
// One or two literals: a single bit. Every other kind but a copy has the
// top bit, so a length or distance is known after one test each.
inline bool isLiterals(uint32_t e) {
    return (e & 0x4000) != 0;
}
inline bool isExceptional(uint32_t e) {
    return (e & 0x8000) != 0;
}

inline uint32_t entryTotal(uint32_t e) {
    return e & 0x1F;
}
inline uint32_t entryKind(uint32_t e) {
    return e & 0xF000;
}
inline uint32_t entryCodeLength(uint32_t e) {
    return (e >> 8) & 0xF;
}
inline uint32_t entryLinkBits(uint32_t e) {
    return (e >> 8) & 0xF;
}
inline uint32_t entryValue(uint32_t e) {
    return e >> 16;
}
// A symbol's meaning before its code length is added (codeBits).
constexpr uint32_t makeEntry(uint32_t kind, uint32_t extra, uint32_t value) {
    return kind | extra | (value << 16);
}
constexpr uint32_t codeBits(uint32_t length) {
    return length | (length << 8);
}
constexpr uint32_t makeLink(uint32_t bits, uint32_t offset) {
    return kindLink | (bits << 8) | (offset << 16);
}
// The extra bits of a length or distance, taken from the buffer as it was
// before the symbol was consumed.
//
// The bit buffer is one machine register: 64 bits where registers have
// them, 32 bits on 32-bit x86 (the player's build), where a 64-bit buffer
// would be a register pair and every shift a multi-instruction sequence. A
// refill leaves at least refillFloor bits in it: 56 or 24.
using BitBuffer = std::conditional<sizeof(void*) >= 8, uint64_t, uint32_t>::type;
constexpr uint32_t bufferBits = 8 * sizeof(BitBuffer);
constexpr uint32_t refillFloor = bufferBits - 8;
constexpr bool wideBuffer = bufferBits == 64;

inline uint32_t extraValue(BitBuffer saved, uint32_t e) {
    return (uint32_t(saved) & ((1u << (e & 31)) - 1)) >> ((e >> 8) & 31);
}
#ifdef VETRA_INFLATE_BMI2
// BZHI takes its bit count from the low byte of the entry as it is (bits 5-7
// are zero), which the compiler does not know.
__attribute__((target("bmi2"))) inline uint32_t extraValueBmi2(BitBuffer saved, uint32_t e) {
    return _bzhi_u32(uint32_t(saved), e) >> ((e >> 8) & 31);
}
#endif

const uint16_t lengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint8_t lengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint16_t distanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                   33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                   1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint8_t distanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                   6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
const uint8_t codeLengthOrder[codeLengthSymbols] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

enum class Alphabet { literalLength, distance, codeLength };

// What a symbol means, without its code length.
uint32_t symbolEntry(Alphabet alphabet, uint32_t symbol) {
    switch (alphabet) {
        case Alphabet::literalLength:
            if (symbol < 256) return makeEntry(kindLiteral, 0, symbol);
            if (symbol == 256) return makeEntry(kindEnd, 0, 0);
            if (symbol < 286) return makeEntry(kindCopy, lengthExtra[symbol - 257], lengthBase[symbol - 257]);
            return makeEntry(kindBadSymbol, 0, 0);
        case Alphabet::distance:
            if (symbol < 30) return makeEntry(kindCopy, distanceExtra[symbol], distanceBase[symbol]);
            return makeEntry(kindBadSymbol, 0, 0);
        default: return makeEntry(kindLiteral, 0, symbol);
    }
}

// The low `length` bits of code (length <= 16) in reverse order. Swaps of
// halves rather than a loop a bit at a time: a table build reverses every
// code, and blocks of a few thousand symbols each build two tables.
uint32_t reverseBits(uint32_t code, int length) {
    code = ((code & 0x5555) << 1) | ((code >> 1) & 0x5555);
    code = ((code & 0x3333) << 2) | ((code >> 2) & 0x3333);
    code = ((code & 0x0F0F) << 4) | ((code >> 4) & 0x0F0F);
    code = ((code & 0x00FF) << 8) | ((code >> 8) & 0x00FF);
    return code >> (16 - length);
}

// Format notes: canonical codes, as in the reference: codes of one length
// are consecutive from the first code of that length, given to the symbols
// of that length in increasing order, the first code of length L being
// (first of L-1 + count of L-1) * 2. The counts are not checked: of an
// over-full length only the codes that fit in L bits exist, as only those
// can ever be read, and the code of a longer length never starts with a code
// of a shorter one (it is at least (first + count) of the shorter length
// shifted up), so each table slot belongs to at most one code. Slots no code
// reaches stay kindNoSymbol.
void buildTable(uint32_t* table, int tableBits, const uint8_t* lengths, int n, Alphabet alphabet) {
    int count[maxCodeLength + 1] = {};
    for (int i = 0; i < n; ++i) count[lengths[i]]++;
    count[0] = 0;
    uint32_t first[maxCodeLength + 1];
    int offset[maxCodeLength + 2];
    uint32_t code = 0;
    first[0] = 0;
    offset[1] = 0;
    for (int len = 1; len <= maxCodeLength; ++len) {
        code = (code + uint32_t(count[len - 1])) << 1;
        first[len] = code;
        offset[len + 1] = offset[len] + count[len];
    }
    uint16_t sorted[literalSymbols];
    for (int i = 0; i < n; ++i) {
        if (lengths[i] != 0) sorted[offset[lengths[i]]++] = uint16_t(i);
    }

    const uint32_t size = 1u << tableBits;
    const uint32_t noSymbol = makeEntry(kindNoSymbol, 0, 0);
    for (uint32_t i = 0; i < size; ++i) table[i] = noSymbol;

    // First level: every code of at most tableBits bits fills the slots
    // whose low bits (the first bits read) are its bits in reading order.
    int index = 0;
    for (int len = 1; len <= tableBits && len <= maxCodeLength; ++len) {
        for (int k = 0; k < count[len]; ++k, ++index) {
            uint32_t value = first[len] + uint32_t(k);
            if (value >= (1u << len)) continue;
            uint32_t entry = symbolEntry(alphabet, sorted[index]) + codeBits(uint32_t(len));
            for (uint32_t slot = reverseBits(value, len); slot < size; slot += 1u << len) table[slot] = entry;
        }
    }
    if (tableBits >= maxCodeLength) return;
    const int longStart = index;

    // Longer codes: first the size of each prefix's second level (the
    // longest code under it), then its place, then the codes themselves.
    for (int pass = 0; pass < 3; ++pass) {
        uint32_t next = size;
        index = longStart;
        for (int len = tableBits + 1; len <= maxCodeLength; ++len) {
            for (int k = 0; k < count[len]; ++k, ++index) {
                uint32_t value = first[len] + uint32_t(k);
                if (value >= (1u << len)) continue;
                int rest = len - tableBits;
                uint32_t slot = reverseBits(value >> rest, tableBits);
                uint32_t link = table[slot];
                if (pass == 0) {
                    if (entryKind(link) != kindLink || entryLinkBits(link) < uint32_t(rest)) {
                        table[slot] = makeLink(uint32_t(rest), 0);
                    }
                } else if (pass == 1) {
                    if (entryValue(link) == 0) {
                        uint32_t subSize = 1u << entryLinkBits(link);
                        table[slot] = makeLink(entryLinkBits(link), next);
                        for (uint32_t i = 0; i < subSize; ++i) table[next + i] = noSymbol;
                        next += subSize;
                    }
                } else {
                    uint32_t subSize = 1u << entryLinkBits(link);
                    uint32_t entry = symbolEntry(alphabet, sorted[index]) + codeBits(uint32_t(len));
                    uint32_t low = reverseBits(value & ((1u << rest) - 1), rest);
                    for (uint32_t i = low; i < subSize; i += 1u << rest) table[entryValue(link) + i] = entry;
                }
            }
        }
    }
}

// Photographs give long runs of literals with short codes. A first-level
// slot whose literal code leaves room for a whole second literal code holds
// both: the first literal's code length stays in bits 8-11 (all that the
// careful step uses), the two codes together in bits 0-4, the bytes in the
// value, first one low. Slots are visited upward and the second code is
// looked up at a lower slot, which may already be a pair: its first literal
// is the one wanted. Where no two literal codes fit together (the fixed
// code, or a dithered palette picture's codes of 6 bits and more) there is
// nothing to pair, and the slots are not visited.
void pairLiterals(uint32_t* table, int tableBits, const uint8_t* lengths) {
    uint32_t shortest = maxCodeLength;
    for (int i = 0; i < 256; ++i) {
        if (lengths[i] != 0 && lengths[i] < shortest) shortest = lengths[i];
    }
    if (2 * shortest > uint32_t(tableBits)) return;
    const uint32_t size = 1u << tableBits;
    for (uint32_t i = 0; i < size; ++i) {
        uint32_t first = table[i];
        if (entryKind(first) != kindLiteral) continue;
        uint32_t firstLength = entryCodeLength(first);
        uint32_t second = table[i >> firstLength];
        if (!isLiterals(second)) continue;
        uint32_t secondLength = entryCodeLength(second);
        if (firstLength + secondLength > uint32_t(tableBits)) continue;
        uint32_t bytes = (entryValue(first) & 0xFF) | ((entryValue(second) & 0xFF) << 8);
        table[i] = kindLiteralPair | (firstLength + secondLength) | (firstLength << 8) | (bytes << 16);
    }
}

// The next bytes of the stream as a little-endian buffer word.
inline BitBuffer loadWord(const uint8_t* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    BitBuffer v = 0;
    for (int i = int(sizeof v) - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
#else
    BitBuffer v;
    std::memcpy(&v, p, sizeof v);
    return v;
#endif
}

// Two bytes of output, the first from the low byte of v.
inline void storeBytes2(uint8_t* p, uint16_t v) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
#else
    std::memcpy(p, &v, 2);
#endif
}

// All 16 bytes are loaded before any is stored: where the two ranges
// overlap, the bytes stored are the ones that were there before.
// A vector value rather than an array: GCC kept a dead copy of the array
// on the stack after every such move in 32-bit code.
inline void copy16(uint8_t* to, const uint8_t* from) {
    typedef uint8_t Bytes16 __attribute__((vector_size(16)));
    Bytes16 v;
    std::memcpy(&v, from, 16);
    std::memcpy(to, &v, 16);
}

uint32_t bigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// The IDAT byte reader and the bit buffer. Bits are used from the low end of
// `bits`; `count` of them are real stream bits. Above them the buffer holds
// either zeros or the very next stream bytes (a word load takes more than it
// counts), which the next refill ORs in again at the same place.
struct Reader {
    const uint8_t* file;
    uint32_t fileLength;
    const uint8_t* next;  // the current chunk's unread data runs from next to end
    const uint8_t* end;
    bool ended;  // no further IDAT chunk can follow
    BitBuffer bits;
    uint32_t count;
};

// Format notes: a chunk is a 4-byte big-endian data length, a 4-byte type,
// the data and a 4-byte CRC, which is never read. Opens the chunk whose
// length field is at `at` when its header and data lie inside the file.
bool openChunk(Reader& r, uint64_t at, bool mustBeIdat) {
    if (at + chunkHeaderSize > r.fileLength) return false;
    const uint8_t* header = r.file + at;
    uint32_t length = bigEndian32(header);
    if (uint64_t(length) > r.fileLength - (at + chunkHeaderSize)) return false;
    if (mustBeIdat && std::memcmp(header + 4, "IDAT", 4) != 0) return false;
    r.next = header + chunkHeaderSize;
    r.end = r.next + length;
    return true;
}

// Steps to the data of the next non-empty IDAT chunk; false when the input
// has ended (another chunk type, the end of the file, a chunk too long).
bool nextChunk(Reader& r) {
    while (!r.ended) {
        uint64_t at = uint64_t(r.end - r.file) + chunkCrcSize;
        if (!openChunk(r, at, true)) {
            r.ended = true;
            return false;
        }
        if (r.next != r.end) return true;
    }
    return false;
}

// Fills the buffer to at least refillFloor bits, or with whatever input is
// left.
void refillSlow(Reader& r) {
    while (r.count < refillFloor) {
        if (r.next == r.end && !nextChunk(r)) return;
        r.bits |= BitBuffer(*r.next++) << r.count;
        r.count += 8;
    }
}

// A whole word is loaded and as many whole bytes counted as fit: count |
// refillFloor is refillFloor plus the bits of a byte the buffer already had.
inline void refill(Reader& r) {
    if (r.end - r.next >= ptrdiff_t(sizeof(BitBuffer))) {
        r.bits |= loadWord(r.next) << r.count;
        r.next += (bufferBits - 1 - r.count) >> 3;
        r.count |= refillFloor;
    } else {
        refillSlow(r);
    }
}

// A field of n bits (n <= 32), least significant bit first.
inline InflateStatus getBits(Reader& r, uint32_t n, uint32_t& value) {
    if (r.count < n) {
        refill(r);
        if (r.count < n) return inflateInputEnded;
    }
    value = uint32_t(r.bits & ((BitBuffer(1) << n) - 1));
    r.bits >>= n;
    r.count -= n;
    return inflateOk;
}

// One symbol, every bit checked; its extra bits are left for the caller. A code that no table slot resolves is
// NoSymbol only once maxLength bits were there to read; the reference reads
// one bit at a time and runs out of input first otherwise. Likewise a code
// longer than the bits left means the input ended inside it.
InflateStatus decodeCareful(Reader& r, const uint32_t* table, int tableBits, uint32_t maxLength, uint32_t& entry) {
    if (r.count < maxLength) refill(r);
    uint32_t e = table[r.bits & ((1u << tableBits) - 1)];
    if (entryKind(e) == kindLink) {
        e = table[entryValue(e) + ((r.bits >> tableBits) & ((1u << entryLinkBits(e)) - 1))];
    }
    if (entryKind(e) == kindLiteralPair) {
        e = makeEntry(kindLiteral, 0, entryValue(e) & 0xFF) + codeBits(entryCodeLength(e));
    }
    if (entryKind(e) == kindNoSymbol) return r.count >= maxLength ? inflateNoSymbol : inflateInputEnded;
    if (entryCodeLength(e) > r.count) return inflateInputEnded;
    r.bits >>= entryCodeLength(e);
    r.count -= entryCodeLength(e);
    entry = e;
    return inflateOk;
}

struct Tables {
    uint32_t literals[literalTableSize];
    uint32_t distances[distanceTableSize];
    uint32_t codeLengths[1 << codeLengthTableBits];
};

struct InflateState {
    Reader in;
    uint8_t* output;
    uint32_t outputSize;
    uint32_t outputCount;
    Tables tables;
};

// Format notes: two bytes; CM (low nibble of the first) must be 8, CINFO
// (its high nibble) at most 7, FDICT (bit 5 of the second) clear. FCHECK is
// not verified.
InflateStatus zlibHeader(InflateState& s) {
    uint32_t cmf, flags;
    InflateStatus status = getBits(s.in, 8, cmf);
    if (status == inflateOk) status = getBits(s.in, 8, flags);
    if (status != inflateOk) return status;
    if ((cmf & 0x0F) != 8 || (cmf >> 4) > 7) return inflateBadMethod;
    if (flags & 0x20) return inflatePresetDictionary;
    return inflateOk;
}

// Format notes: a stored block drops the unused bits of the current byte,
// then reads LEN and NLEN (16 bits each) and LEN raw bytes. The whole bytes
// still in the bit buffer come first, then the chunks' data is copied
// directly. Per byte the input is read before the output is checked, as in
// the reference, so a stream that runs out of both says InputEnded.
InflateStatus stored(InflateState& s) {
    Reader& r = s.in;
    uint32_t drop = r.count & 7;
    r.bits >>= drop;
    r.count -= drop;
    uint32_t length, complement;
    InflateStatus status = getBits(r, 16, length);
    if (status == inflateOk) status = getBits(r, 16, complement);
    if (status != inflateOk) return status;
    if (length != (~complement & 0xFFFF)) return inflateStoredLength;

    for (; length > 0 && r.count >= 8; --length) {
        if (s.outputCount >= s.outputSize) return inflateOutputFull;
        s.output[s.outputCount++] = uint8_t(r.bits);
        r.bits >>= 8;
        r.count -= 8;
    }
    if (r.count == 0) r.bits = 0;  // what lay above was read again below
    while (length > 0) {
        if (r.next == r.end && !nextChunk(r)) return inflateInputEnded;
        if (s.outputCount >= s.outputSize) return inflateOutputFull;
        uint32_t n = length;
        if (uint64_t(r.end - r.next) < n) n = uint32_t(r.end - r.next);
        if (s.outputSize - s.outputCount < n) n = s.outputSize - s.outputCount;
        std::memcpy(s.output + s.outputCount, r.next, n);
        r.next += n;
        s.outputCount += n;
        length -= n;
    }
    return inflateOk;
}

// Bytes one at a time, in order, written out: a loop of 16 steps costs a
// count and a test per byte and, ending after a varying number of copies
// before it, a mispredicted exit.
template <size_t... i>
[[gnu::always_inline]] inline void copyBytesInOrder(uint8_t* dst, const uint8_t* from, std::index_sequence<i...>) {
    ((dst[i] = from[i]), ...);
}

// Whole periods of 16 bytes for a distance below 16: 16 less 16 mod d.
const uint8_t periodStep[16] = {0, 16, 16, 15, 16, 15, 12, 14, 16, 9, 10, 11, 12, 13, 14, 15};

// Copies `length` bytes from `distance` back, writing up to 31 bytes past
// their end (the caller has that room). The result is that of a copy one
// byte at a time, a pattern repeating when the distance is short.
//
// 32-bit x86 without SSE2 has no 16-byte moves and few registers, so there
// the copy moves 4-byte words, each stored before the next is loaded: with a
// distance of at least 4 every word read is already final.
[[maybe_unused]] [[gnu::always_inline]] inline void copyMatchWords(uint8_t* dst, uint32_t distance, uint32_t length) {
    const uint8_t* from = dst - distance;
    uint8_t* const stop = dst + length;
    if (distance >= 4) {
        // Most matches are short: 16 bytes at once cover them without a
        // test (lengths of about 8 would make one unforeseeable), then
        // steps of 16 for the others.
        storeWord32(dst, loadWord32(from));
        storeWord32(dst + 4, loadWord32(from + 4));
        storeWord32(dst + 8, loadWord32(from + 8));
        storeWord32(dst + 12, loadWord32(from + 12));
        for (dst += 16, from += 16; dst < stop; dst += 16, from += 16) {
            storeWord32(dst, loadWord32(from));
            storeWord32(dst + 4, loadWord32(from + 4));
            storeWord32(dst + 8, loadWord32(from + 8));
            storeWord32(dst + 12, loadWord32(from + 12));
        }
        return;
    }
    uint32_t run;
    if (distance == 1) {
        run = from[0] * 0x01010101u;
    } else if (distance == 2) {
        run = (from[0] | (uint32_t(from[1]) << 8)) * 0x00010001u;
    } else {
        for (uint32_t i = 0; i < length; ++i) dst[i] = from[i];
        return;
    }
    do {
        storeWord32(dst, run);
        storeWord32(dst + 4, run);
        dst += 8;
    } while (dst < stop);
}

// Elsewhere 16 bytes at a time.
[[maybe_unused]] [[gnu::always_inline]] inline void copyMatch16(uint8_t* dst, uint32_t distance, uint32_t length) {
    const uint8_t* from = dst - distance;
    uint8_t* const stop = dst + length;
    // Steps of 32 bytes, in order, where every 16-byte load reads only
    // final bytes: a distance of 16 or more (below 32 the second half of a
    // step reads what the first just wrote), or a match that is nowhere its
    // own source, whose bytes past its end are scratch. One test for both:
    // the nearer matches that do overlap are few, while a test of the
    // distance alone goes either way on pictures with nearby repeats. The
    // first step is taken without a test, as a test of lengths around 16
    // would go either way.
    const uint32_t periodFloor = length < 16 ? length : 16;
    if (distance >= periodFloor) {
        do {
            copy16(dst, from);
            copy16(dst + 16, from + 16);
            dst += 32;
            from += 32;
        } while (dst < stop);
    } else if (distance == 1) {
        uint64_t run = from[0] * 0x0101010101010101ull;
        do {
            std::memcpy(dst, &run, 8);
            std::memcpy(dst + 8, &run, 8);
            std::memcpy(dst + 16, &run, 8);
            std::memcpy(dst + 24, &run, 8);
            dst += 32;
        } while (dst < stop);
    } else {
        // A short period: its first 16 bytes one at a time (they overlap
        // their source), then those 16 bytes again every whole number of
        // periods, with no load waiting on the store before it.
        copyBytesInOrder(dst, from, std::make_index_sequence<16>());
        if (length > 16) {
            uint8_t pattern[16];
            std::memcpy(pattern, dst, 16);
            const uint32_t step = periodStep[distance];
            for (dst += step; dst < stop; dst += step) std::memcpy(dst, pattern, 16);
        }
    }
}

// Whether every processor the build runs on has 16-byte moves: not so for
// 32-bit x86, which is only assumed to have them where the loop for BMI2
// processors runs (all of them have SSE2).
#if defined(__i386__) && !defined(__SSE2__)
constexpr bool moves16Everywhere = false;
#else
constexpr bool moves16Everywhere = true;
#endif

template <bool moves16>
[[gnu::always_inline]] inline void copyMatch(uint8_t* dst, uint32_t distance, uint32_t length) {
    if constexpr (moves16) {
        copyMatch16(dst, distance, length);
    } else {
        copyMatchWords(dst, distance, length);
    }
}

// One literal/length symbol and, for a length, its distance and copy, with
// every bit and byte checked and the reference's order of failures: the
// symbol, its extra bits, the distance symbol, its extra bits, the distance,
// then the copy one byte at a time up to the end of the output.
InflateStatus carefulStep(InflateState& s, const uint32_t* literals, const uint32_t* distances, bool& blockEnded) {
    Reader& r = s.in;
    uint32_t e;
    InflateStatus status = decodeCareful(r, literals, literalTableBits, maxCodeLength, e);
    if (status != inflateOk) return status;
    if (entryKind(e) == kindLiteral) {
        if (s.outputCount >= s.outputSize) return inflateOutputFull;
        s.output[s.outputCount++] = uint8_t(entryValue(e));
        return inflateOk;
    }
    if (entryKind(e) == kindEnd) {
        blockEnded = true;
        return inflateOk;
    }
    if (entryKind(e) != kindCopy) return inflateLengthSymbol;
    uint32_t extra;
    status = getBits(r, entryTotal(e) - entryCodeLength(e), extra);
    if (status != inflateOk) return status;
    uint32_t length = entryValue(e) + extra;

    status = decodeCareful(r, distances, distanceTableBits, maxCodeLength, e);
    if (status != inflateOk) return status;
    if (entryKind(e) != kindCopy) return inflateDistanceSymbol;
    status = getBits(r, entryTotal(e) - entryCodeLength(e), extra);
    if (status != inflateOk) return status;
    uint32_t distance = entryValue(e) + extra;
    if (distance > s.outputCount) return inflateDistanceTooFar;

    uint32_t room = s.outputSize - s.outputCount;
    uint8_t* to = s.output + s.outputCount;
    if (room >= length + 31) {
        copyMatch<moves16Everywhere>(to, distance, length);
        s.outputCount += length;
        return inflateOk;
    }
    uint32_t n = length < room ? length : room;
    const uint8_t* from = to - distance;
    for (uint32_t i = 0; i < n; ++i) to[i] = from[i];
    s.outputCount += n;
    return n < length ? inflateOutputFull : inflateOk;
}

// The fast loop runs while the current chunk holds at least this many bytes:
// a round's refills (two with a 64-bit buffer, three with a 32-bit one; the
// first round has the entry's refill as well) each count at most a word's
// bytes less one, and the last loads a whole word...
constexpr ptrdiff_t fastInputMargin = 24;
constexpr ptrdiff_t refillsPerRound = wideBuffer ? 2 : 3;
static_assert(refillsPerRound * (sizeof(BitBuffer) - 1) + sizeof(BitBuffer) <= fastInputMargin,
              "a round's refills stay inside the chunk");
// ...and the output has room for six literals (and the byte a pair store
// writes past a single one), the longest copy and the 31 bytes a copy of
// 32-byte steps may write past its end.
constexpr uint32_t fastOutputMargin = 7 + 258 + 31 + 8;

// Format notes: literal/length symbols below 256 are bytes, 256 ends the
// block, 257-285 give a length followed by a distance; the copy repeats a
// pattern when the distance is shorter than the length. The output buffer is
// the whole window.
template <bool moves16, bool bmi2>
[[gnu::always_inline]] inline InflateStatus codesBody(InflateState& s, const uint32_t* literals,
                                                      const uint32_t* distances) {
    Reader& r = s.in;
    uint8_t* const out = s.output;
    for (;;) {
        if (r.end - r.next >= fastInputMargin && s.outputSize - s.outputCount >= fastOutputMargin) {
            BitBuffer bits = r.bits;
            uint32_t count = r.count;
            const uint8_t* next = r.next;
            const uint8_t* const inputLimit = r.end - fastInputMargin;
            uint8_t* dst = out + s.outputCount;
            uint8_t* const outputLimit = out + (s.outputSize - fastOutputMargin);
            InflateStatus status = inflateOk;
            bool blockEnded = false;
            constexpr uint32_t literalMask = (1u << literalTableBits) - 1;
            constexpr uint32_t distanceMask = (1u << distanceTableBits) - 1;
            // First level only: literals, the common case, are tested first,
            // and a link is followed where a length is handled, with a full
            // buffer.
            // The helpers are forced inline: otherwise the compiler keeps the
            // buffer, the count and the input pointer they share in memory,
            // storing each after every change.
            auto extra = [](BitBuffer saved, uint32_t e) __attribute__((always_inline)) {
#ifdef VETRA_INFLATE_BMI2
                if constexpr (bmi2) return extraValueBmi2(saved, e);
#endif
                return extraValue(saved, e);
            };
            auto lookupLiteral = [&]() __attribute__((always_inline)) {
                return literals[bits & literalMask];
            };
            // Only the low bits of `count` below the buffer's width are the
            // count: a symbol subtracts its whole entry, whose low byte is
            // the bits it takes (the bits above borrow nothing from them).
            auto refillFast = [&]() __attribute__((always_inline)) {
                bits |= loadWord(next) << (count & (bufferBits - 1));
                next += (~count & (bufferBits - 1)) >> 3;
                count |= refillFloor;
            };
            // A refill here loads a whole word from inside the chunk, so
            // after it every bit of the buffer is a stream bit, counted or
            // not; a symbol shifts in zeros only at the top. Between two
            // refills the loop takes at most a length and a distance with
            // their extra bits from a 64-bit buffer, a first-level distance
            // code and its extra bits from a 32-bit one, so the next
            // first-level entry is always in the buffer before the refill:
            // it is looked up without waiting for the refill, nor for a test
            // of the count.
            static_assert(bufferBits - (wideBuffer ? (15 + 5) + (15 + 13) : distanceTableBits + 13) >= literalTableBits,
                          "the next entry is in the buffer before the refill");
            auto refillAndLookUp = [&](uint32_t & e) __attribute__((always_inline)) {
                e = lookupLiteral();
                refillFast();
            };
            auto putLiterals = [&](uint32_t e) __attribute__((always_inline)) {
                storeBytes2(dst, uint16_t(entryValue(e)));
                dst += 1 + ((e >> 13) & 1);
            };
            // Bits 5-7 of an entry are zero: the shift takes the entry
            // as it is (a count below the buffer's width).
            auto consume = [&](uint32_t e) __attribute__((always_inline)) {
                bits >>= (e & (bufferBits - 1));
                count -= e;
            };
            // The next literal/length entry is looked up as soon as its bits
            // are in, before the refill or the copy that precedes it, so the
            // table load is off the path of the work in between.
            refillFast();
            uint32_t e = lookupLiteral();
            do {
                // Here at least refillFloor bits. 56 are enough for three
                // literal codes (single or paired), or for a length code,
                // its extra bits, a distance code and its extra bits (15 +
                // 5 + 15 + 13); 24 for one literal code, or a length code
                // and its extra bits, and the distance takes a refill.
                if (isLiterals(e)) {
                    // One or two bytes: both are stored, the pointer moves
                    // past one or two.
                    consume(e);
                    putLiterals(e);
                    if constexpr (wideBuffer) {
                        e = lookupLiteral();
                        if (isLiterals(e)) {
                            consume(e);
                            putLiterals(e);
                            e = lookupLiteral();
                            if (isLiterals(e)) {
                                consume(e);
                                putLiterals(e);
                                refillAndLookUp(e);
                                continue;
                            }
                        }
                        refillFast();  // the bits under e stay where they are
                    } else {
                        refillAndLookUp(e);
                        continue;
                    }
                }
                if (isExceptional(e)) {
                    if (entryKind(e) == kindLink) {
                        e = literals[entryValue(e) + ((bits >> literalTableBits) & ((1u << entryLinkBits(e)) - 1))];
                        if (isLiterals(e)) {
                            // A long literal code: second levels hold single
                            // literals only.
                            consume(e);
                            putLiterals(e);
                            refillAndLookUp(e);
                            continue;
                        }
                    }
                    if (entryKind(e) != kindCopy) {
                        if (entryKind(e) == kindEnd) {
                            consume(e);
                            blockEnded = true;
                        } else {
                            // With 15 bits at hand a code with no symbol is
                            // NoSymbol, never the end of the input.
                            status = entryKind(e) == kindBadSymbol ? inflateLengthSymbol : inflateNoSymbol;
                        }
                        break;
                    }
                }
                BitBuffer saved = bits;
                consume(e);
                uint32_t length = entryValue(e) + extra(saved, e);
                // A 32-bit buffer still holds the distance's first-level bits
                // (32 less the length's 20 at most): the look-up does not
                // wait for its refill.
                static_assert(bufferBits - (15 + 5) >= distanceTableBits, "the distance entry is in the buffer");
                e = distances[bits & distanceMask];
                if constexpr (!wideBuffer) refillFast();
                if (isExceptional(e)) {
                    if (entryKind(e) == kindLink) {
                        e = distances[entryValue(e) + ((bits >> distanceTableBits) & ((1u << entryLinkBits(e)) - 1))];
                    }
                    if (entryKind(e) != kindCopy) {
                        status = entryKind(e) == kindBadSymbol ? inflateDistanceSymbol : inflateNoSymbol;
                        break;
                    }
                    if constexpr (!wideBuffer) {
                        // A code longer than the first level with its extra
                        // bits may take 28 bits, more than a 32-bit buffer
                        // holds after a refill: the code, a refill, then the
                        // entry as if its code were empty.
                        const uint32_t codeLength = entryCodeLength(e);
                        bits >>= codeLength;
                        count -= codeLength;
                        refillFast();
                        e -= codeBits(codeLength);
                    }
                }
                saved = bits;
                consume(e);
                const uint32_t distance = entryValue(e) + extra(saved, e);
                if (distance > uint32_t(dst - out)) {
                    status = inflateDistanceTooFar;
                    break;
                }
                refillAndLookUp(e);

                copyMatch<moves16>(dst, distance, length);
                dst += length;
            } while (next <= inputLimit && dst <= outputLimit);
            r.bits = bits;
            r.count = count & (bufferBits - 1);
            r.next = next;
            s.outputCount = uint32_t(dst - out);
            if (status != inflateOk) return status;
            if (blockEnded) return inflateOk;
            continue;
        }
        bool blockEnded = false;
        InflateStatus status = carefulStep(s, literals, distances, blockEnded);
        if (status != inflateOk || blockEnded) return status;
    }
}

// The same loop compiled twice: for any processor, and for those with BMI2,
// whose shifts take their count from any register (on 32-bit x86 a plain
// shift wants it in ECX, one of few registers) and whose BZHI masks the
// extra bits in one instruction; those also have SSE2, whose 16-byte moves
// the 32-bit build otherwise goes without. The processor is asked once.
InflateStatus codesPlain(InflateState& s, const uint32_t* literals, const uint32_t* distances) {
    return codesBody<moves16Everywhere, false>(s, literals, distances);
}

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
__attribute__((target("bmi,bmi2,sse2"))) InflateStatus codesBmi2(InflateState& s, const uint32_t* literals,
                                                                 const uint32_t* distances) {
    return codesBody<true, true>(s, literals, distances);
}

bool processorHasBmi2() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("sse2");
    }();
    return has;
}
#endif

std::atomic<bool> bmi2Allowed{true};

InflateStatus codes(InflateState& s, const uint32_t* literals, const uint32_t* distances) {
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
    if (bmi2Allowed.load(std::memory_order_relaxed) && processorHasBmi2()) return codesBmi2(s, literals, distances);
#endif
    return codesPlain(s, literals, distances);
}

// Format notes: the fixed code gives literal/length symbols 0-143 8 bits,
// 144-255 9 bits, 256-279 7 bits, 280-287 8 bits; distance codes are 5-bit
// values, so 30 and 31 exist and fail when used.
InflateStatus fixed(InflateState& s) {
    uint8_t lengths[literalSymbols];
    int symbol = 0;
    for (; symbol < 144; ++symbol) lengths[symbol] = 8;
    for (; symbol < 256; ++symbol) lengths[symbol] = 9;
    for (; symbol < 280; ++symbol) lengths[symbol] = 7;
    for (; symbol < literalSymbols; ++symbol) lengths[symbol] = 8;
    buildTable(s.tables.literals, literalTableBits, lengths, literalSymbols, Alphabet::literalLength);
    pairLiterals(s.tables.literals, literalTableBits, lengths);
    for (symbol = 0; symbol < distanceSymbols; ++symbol) lengths[symbol] = 5;
    buildTable(s.tables.distances, distanceTableBits, lengths, distanceSymbols, Alphabet::distance);
    return codes(s, s.tables.literals, s.tables.distances);
}

// Format notes: HLIT (5 bits, + 257), HDIST (5 bits, + 1), HCLEN (4 bits,
// + 4), HCLEN 3-bit lengths of the code-length code in the fixed order, then
// HLIT + HDIST code lengths as one sequence: 0-15 literally, 16 repeats the
// previous length 3-6 times, 17 and 18 give 3-10 and 11-138 zeros. A repeat
// may cross into the distance lengths but not past their end.
InflateStatus dynamic(InflateState& s) {
    Reader& r = s.in;
    uint32_t literalCount, distanceCount, codeLengthCount;
    InflateStatus status = getBits(r, 5, literalCount);
    if (status == inflateOk) status = getBits(r, 5, distanceCount);
    if (status == inflateOk) status = getBits(r, 4, codeLengthCount);
    if (status != inflateOk) return status;
    literalCount += 257;
    distanceCount += 1;
    codeLengthCount += 4;

    uint8_t lengths[literalSymbols + distanceSymbols] = {};
    for (uint32_t i = 0; i < codeLengthCount; ++i) {
        uint32_t length;
        status = getBits(r, 3, length);
        if (status != inflateOk) return status;
        lengths[codeLengthOrder[i]] = uint8_t(length);
    }
    buildTable(s.tables.codeLengths, codeLengthTableBits, lengths, codeLengthSymbols, Alphabet::codeLength);

    uint32_t total = literalCount + distanceCount;
    uint32_t index = 0;
    while (index < total) {
        uint32_t e;
        status = decodeCareful(r, s.tables.codeLengths, codeLengthTableBits, maxCodeLengthCode, e);
        if (status != inflateOk) return status;
        uint32_t symbol = entryValue(e);
        if (symbol < 16) {
            lengths[index++] = uint8_t(symbol);
            continue;
        }
        uint8_t repeated = 0;
        uint32_t times;
        if (symbol == 16) {
            if (index == 0) return inflateRepeatFirst;
            repeated = lengths[index - 1];
            status = getBits(r, 2, times);
            times += 3;
        } else if (symbol == 17) {
            status = getBits(r, 3, times);
            times += 3;
        } else {
            status = getBits(r, 7, times);
            times += 11;
        }
        if (status != inflateOk) return status;
        if (times > total - index) return inflateRepeatTooLong;
        while (times--) lengths[index++] = repeated;
    }

    buildTable(s.tables.literals, literalTableBits, lengths, int(literalCount), Alphabet::literalLength);
    pairLiterals(s.tables.literals, literalTableBits, lengths);
    buildTable(s.tables.distances, distanceTableBits, lengths + literalCount, int(distanceCount), Alphabet::distance);
    return codes(s, s.tables.literals, s.tables.distances);
}

// Format notes: blocks follow the zlib header until one has BFINAL set; the
// Adler-32 trailer is not read.
InflateStatus blocks(InflateState& s) {
    uint32_t last;
    do {
        uint32_t type;
        InflateStatus status = getBits(s.in, 1, last);
        if (status == inflateOk) status = getBits(s.in, 2, type);
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

InflateStatus inflateIdatStreamStatus(const uint8_t* file, uint32_t fileLength, const uint8_t* firstIdat,
                                      uint8_t* output, uint32_t outputSize, uint32_t* written) {
    // Some 60 KB of tables on the stack: no allocation that could fail.
    InflateState state;
    InflateState* s = &state;
    s->in = Reader{file, fileLength, nullptr, nullptr, true, 0, 0};
    s->output = output;
    s->outputSize = outputSize;
    s->outputCount = 0;
    // Compared as integers: firstIdat may lie anywhere, even outside the file.
    uintptr_t offset = reinterpret_cast<uintptr_t>(firstIdat) - reinterpret_cast<uintptr_t>(file);
    if (file != nullptr && firstIdat != nullptr && offset < fileLength && openChunk(s->in, offset, false)) {
        s->in.ended = false;
    }

    InflateStatus status = zlibHeader(*s);
    if (status == inflateOk) status = blocks(*s);
    if (written != nullptr) *written = s->outputCount;
    if (status == inflateOk && s->outputCount < outputSize) {
        std::memset(output + s->outputCount, 0, outputSize - s->outputCount);
    }
    return status;
}

void inflateAllowBmi2(bool allowed) {
    bmi2Allowed.store(allowed, std::memory_order_relaxed);
}

bool inflateIdatStream(const uint8_t* file, uint32_t fileLength, const uint8_t* firstIdat, uint8_t* output,
                       uint32_t outputSize) {
    return inflateIdatStreamStatus(file, fileLength, firstIdat, output, outputSize) == inflateOk;
}
