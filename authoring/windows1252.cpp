#include "authoring/windows1252.h"

#include <cstdint>

namespace {

// Code points of the bytes 0x80 to 0x9F; the five bytes Windows-1252 leaves
// unassigned map to the control character of the same value, as the
// platform's converter does.
const uint16_t highControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

uint32_t codePointOf(uint8_t byte) {
    return byte >= 0x80 && byte < 0xA0 ? highControls[byte - 0x80] : byte;
}

bool byteOf(uint32_t codePoint, uint8_t& byte) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        byte = static_cast<uint8_t>(codePoint);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (highControls[i] == codePoint) {
            byte = static_cast<uint8_t>(0x80 + i);
            return true;
        }
    }
    return false;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool nextCodePoint(const std::string& text, size_t& i, uint32_t& codePoint) {
    const uint8_t lead = static_cast<uint8_t>(text[i]);
    int extra = 0;
    uint32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        codePoint = lead & 0x1F, extra = 1, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        codePoint = lead & 0x0F, extra = 2, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        codePoint = lead & 0x07, extra = 3, minimum = 0x10000;
    } else {
        return false;
    }
    if (i + extra >= text.size()) return false;
    for (int k = 1; k <= extra; ++k) {
        const uint8_t next = static_cast<uint8_t>(text[i + k]);
        if ((next & 0xC0) != 0x80) return false;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return false;
    i += extra + 1;
    return true;
}

}  // namespace

void appendUtf8(std::string& out, uint32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

bool isValidUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        uint32_t codePoint = 0;
        if (!nextCodePoint(text, i, codePoint)) return false;
    }
    return true;
}

bool utf8ToWindows1252(const std::string& utf8, std::string& ansi) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        uint32_t codePoint = 0;
        uint8_t byte = 0;
        if (!nextCodePoint(utf8, i, codePoint) || !byteOf(codePoint, byte)) return false;
        out.push_back(static_cast<char>(byte));
    }
    ansi = std::move(out);
    return true;
}

std::string utf8ToWindows1252Lossy(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        uint32_t codePoint = 0;
        uint8_t byte = 0;
        if (!nextCodePoint(utf8, i, codePoint)) {
            ++i;
            byte = '?';
        } else if (!byteOf(codePoint, byte)) {
            byte = '?';
        }
        out.push_back(static_cast<char>(byte));
    }
    return out;
}

std::string windows1252ToUtf8(const std::string& ansi) {
    std::string out;
    for (char c : ansi) appendUtf8(out, codePointOf(static_cast<uint8_t>(c)));
    return out;
}
