// Test-side writers for zlib streams and PNG chunks: a bit writer, stored
// blocks, the fixed code, canonical codes for hand-made dynamic blocks, and
// IDAT chunk layouts. Written from the formats, independently of the decoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testdeflate {

using Bytes = std::vector<uint8_t>;

struct BitWriter {
    Bytes bytes;
    int used = 8;  // bits used in the last byte

    // A field of n bits, least significant bit first.
    void bits(uint32_t value, int n) {
        for (int i = 0; i < n; ++i) bit((value >> i) & 1);
    }
    // A Huffman code, most significant bit first.
    void code(uint32_t value, int length) {
        for (int i = length - 1; i >= 0; --i) bit((value >> i) & 1);
    }
    void bit(uint32_t b) {
        if (used == 8) {
            bytes.push_back(0);
            used = 0;
        }
        bytes.back() |= uint8_t(b << used);
        used++;
    }
    void alignToByte() { used = 8; }
    void byte(uint8_t b) {
        alignToByte();
        bytes.push_back(b);
    }
};

inline uint32_t adler32(const Bytes& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t c : data) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

inline void zlibHeader(BitWriter& w, uint8_t cmf = 0x78, uint8_t flg = 0x01) {
    w.bits(cmf, 8);
    w.bits(flg, 8);
}

inline void adlerTrailer(BitWriter& w, uint32_t adler) {
    w.alignToByte();
    for (int shift = 24; shift >= 0; shift -= 8) w.byte(uint8_t(adler >> shift));
}

// Stored blocks of at most 65535 bytes; an empty input still gets one block.
inline void storedBlocks(BitWriter& w, const Bytes& data, bool final = true) {
    size_t at = 0;
    do {
        size_t n = data.size() - at < 65535 ? data.size() - at : 65535;
        bool last = final && at + n == data.size();
        w.bits(last ? 1 : 0, 1);
        w.bits(0, 2);
        w.alignToByte();
        w.bits(uint32_t(n), 16);
        w.bits(uint32_t(~n & 0xFFFF), 16);
        for (size_t i = 0; i < n; ++i) w.byte(data[at + i]);
        at += n;
    } while (at < data.size());
}

inline Bytes zlibStored(const Bytes& data) {
    BitWriter w;
    zlibHeader(w);
    storedBlocks(w, data);
    adlerTrailer(w, adler32(data));
    return w.bytes;
}

// The fixed literal/length code of the format.
inline void fixedSymbol(BitWriter& w, int symbol) {
    if (symbol < 144)
        w.code(0x30 + symbol, 8);
    else if (symbol < 256)
        w.code(0x190 + (symbol - 144), 9);
    else if (symbol < 280)
        w.code(symbol - 256, 7);
    else
        w.code(0xC0 + (symbol - 280), 8);
}

struct LengthCode {
    int symbol, extraBits;
    uint32_t extra;
};

inline LengthCode lengthCode(int length) {
    static const int base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    for (int i = 28; i >= 0; --i) {
        if (length >= base[i]) return {257 + i, extra[i], uint32_t(length - base[i])};
    }
    return {0, 0, 0};
}

inline LengthCode distanceCode(int distance) {
    for (int i = 29; i >= 0; --i) {
        int extraBits = i < 4 ? 0 : i / 2 - 1;
        int base = i < 4 ? i + 1 : (1 << (i / 2)) + ((i & 1) << extraBits) + 1;
        if (distance >= base) return {i, extraBits, uint32_t(distance - base)};
    }
    return {0, 0, 0};
}

// A length/distance pair with the fixed code.
inline void fixedCopy(BitWriter& w, int length, int distance) {
    LengthCode l = lengthCode(length);
    fixedSymbol(w, l.symbol);
    w.bits(l.extra, l.extraBits);
    LengthCode d = distanceCode(distance);
    w.code(uint32_t(d.symbol), 5);
    w.bits(d.extra, d.extraBits);
}

// Canonical codes for the given lengths (0: no code), assigned in order of
// length, then symbol.
inline std::vector<uint32_t> canonicalCodes(const std::vector<int>& lengths) {
    std::vector<uint32_t> codes(lengths.size(), 0);
    uint32_t next = 0;
    for (int len = 1; len <= 15; ++len) {
        for (size_t s = 0; s < lengths.size(); ++s) {
            if (lengths[s] == len) codes[s] = next++;
        }
        next <<= 1;
    }
    return codes;
}

inline uint32_t crc32(const uint8_t* data, size_t n, uint32_t crc = 0xFFFFFFFFu) {
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return crc;
}

inline void put32(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

// A chunk with its length, type, data and correct CRC (or a wrong one).
inline void chunk(Bytes& out, const char* type, const Bytes& data, bool goodCrc = true) {
    put32(out, uint32_t(data.size()));
    size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uint32_t crc = crc32(out.data() + typeAt, 4 + data.size()) ^ 0xFFFFFFFFu;
    put32(out, goodCrc ? crc : ~crc);
}

// How a stream is laid into chunks: each entry is the size of one IDAT
// chunk, 0 an empty IDAT, foreignChunk a "tEXt" chunk; the rest of the stream
// goes into a final IDAT chunk (none when nothing is left).
constexpr int foreignChunk = -1;

inline void idatChunks(Bytes& out, const Bytes& stream, const std::vector<int>& plan) {
    size_t at = 0;
    for (int piece : plan) {
        if (piece == foreignChunk) {
            chunk(out, "tEXt", Bytes{'a', 0, 'b'});
            continue;
        }
        size_t n = size_t(piece) < stream.size() - at ? size_t(piece) : stream.size() - at;
        chunk(out, "IDAT", Bytes(stream.begin() + long(at), stream.begin() + long(at + n)));
        at += n;
    }
    if (at < stream.size()) chunk(out, "IDAT", Bytes(stream.begin() + long(at), stream.end()));
}

inline std::string planName(const std::vector<int>& plan) {
    std::string name;
    for (int piece : plan) name += (piece == foreignChunk ? std::string("X") : std::to_string(piece)) + ",";
    return name + "rest";
}

}  // namespace testdeflate
