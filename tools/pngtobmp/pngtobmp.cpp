// pngtobmp INPUT.png OUTPUT.bmp
//
// Decodes a PNG file with the player's own decoder and writes exactly the
// device-independent bitmap the player would create from it: the 40-byte
// header (negative height, rows from the top), its colour table and the rows
// padded to 4 bytes, behind a 14-byte file header. On a decoding failure it
// prints the message the player would show and exits with status 1.

#include <cstdio>
#include <vector>

#include "pictures/png.h"

namespace {

bool readFile(const char* path, std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return false;
    uint8_t block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, f)) > 0) bytes.insert(bytes.end(), block, block + got);
    bool ok = std::ferror(f) == 0;
    std::fclose(f);
    return ok;
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// BITMAPFILEHEADER: "BM", file size, two reserved words, offset of the pixels.
std::vector<uint8_t> fileHeader(size_t headerAndTableSize, size_t pixelBytes) {
    std::vector<uint8_t> out;
    uint32_t offset = uint32_t(14 + headerAndTableSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, uint32_t(offset + pixelBytes));
    put16(out, 0);
    put16(out, 0);
    put32(out, offset);
    return out;
}

bool writeFile(const char* path, const std::vector<uint8_t>* parts[], int count) {
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return false;
    bool ok = true;
    for (int i = 0; i < count; ++i) {
        const std::vector<uint8_t>& part = *parts[i];
        if (!part.empty() && std::fwrite(part.data(), 1, part.size(), f) != part.size()) ok = false;
    }
    if (std::fclose(f) != 0) ok = false;
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pngtobmp INPUT.png OUTPUT.bmp\n");
        return 2;
    }
    std::vector<uint8_t> png;
    if (!readFile(argv[1], png)) {
        std::fprintf(stderr, "pngtobmp: cannot read %s\n", argv[1]);
        return 2;
    }
    std::vector<uint8_t> headerAndTable, pixels;
    PngDecodeResult result = pngDecodeToDib(png.data(), png.size(), headerAndTable, pixels);
    if (result != pngDecodeOk) {
        std::fprintf(stderr, "%s\n", pngDecodeMessage(result));
        return 1;
    }
    std::vector<uint8_t> header = fileHeader(headerAndTable.size(), pixels.size());
    const std::vector<uint8_t>* parts[] = {&header, &headerAndTable, &pixels};
    if (!writeFile(argv[2], parts, 3)) {
        std::fprintf(stderr, "pngtobmp: cannot write %s\n", argv[2]);
        return 2;
    }
    return 0;
}
