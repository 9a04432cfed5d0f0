#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "pictures/png.h"
#include "tests/unit/testDeflate.h"

#ifdef VETRA_HAVE_LIBPNG
#include <png.h>
#include <zlib.h>
#endif

namespace {

using namespace testdeflate;

// ---------------------------------------------------------------------------
// A test-side PNG writer: samples in, file out, with the filter of each row
// and the IDAT layout chosen by the test.

struct Picture {
    uint32_t width = 1, height = 1;
    uint8_t colourType = 0, bitDepth = 8, interlace = 0;
    std::vector<uint16_t> samples;  // channels per pixel, rows from the top
    Bytes palette;                  // RGB triples; written as PLTE when not empty
};

int channelsOf(uint8_t colourType) {
    switch (colourType) {
        case 2: return 3;
        case 4: return 2;
        case 6: return 4;
        default: return 1;
    }
}

uint16_t sampleAt(const Picture& p, uint32_t x, uint32_t y, int c) {
    return p.samples[(size_t(y) * p.width + x) * channelsOf(p.colourType) + c];
}

// Adam7 as the standard draws it: the pass of each pixel of an 8 x 8 tile.
const char adam7Tile[8][9] = {"16462646", "77777777", "56565656", "77777777",
                              "36463646", "77777777", "56565656", "77777777"};

// The columns and rows of one pass (0 for a plain image: all of them).
void passPixels(const Picture& p, int pass, std::vector<uint32_t>& xs, std::vector<uint32_t>& ys) {
    xs.clear();
    ys.clear();
    for (uint32_t x = 0; x < p.width; ++x) {
        bool in = pass == 0;
        for (int ty = 0; ty < 8 && !in; ++ty) in = adam7Tile[ty][x % 8] - '0' == pass;
        if (in) xs.push_back(x);
    }
    for (uint32_t y = 0; y < p.height; ++y) {
        bool in = pass == 0;
        for (int tx = 0; tx < 8 && !in; ++tx) in = adam7Tile[y % 8][tx] - '0' == pass;
        if (in) ys.push_back(y);
    }
}

Bytes packRow(const Picture& p, const std::vector<uint32_t>& xs, uint32_t y) {
    Bytes row;
    int bit = 8;
    for (uint32_t x : xs) {
        for (int c = 0; c < channelsOf(p.colourType); ++c) {
            uint16_t s = sampleAt(p, x, y, c);
            if (p.bitDepth == 16) {
                row.push_back(uint8_t(s >> 8));
                row.push_back(uint8_t(s));
            } else if (p.bitDepth == 8) {
                row.push_back(uint8_t(s));
            } else {
                if (bit == 8) {
                    row.push_back(0);
                    bit = 0;
                }
                bit += p.bitDepth;
                row.back() |= uint8_t(s << (8 - bit));
            }
        }
    }
    return row;
}

int paethOf(int a, int b, int c) {
    int p = a + b - c;
    int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
}

// Filters one raw row against the raw row above (empty for the first row).
Bytes filterRow(int type, const Bytes& raw, const Bytes& above, size_t bpp) {
    Bytes out = {uint8_t(type)};
    for (size_t i = 0; i < raw.size(); ++i) {
        int a = i >= bpp ? raw[i - bpp] : 0;
        int b = above.empty() ? 0 : above[i];
        int c = (above.empty() || i < bpp) ? 0 : above[i - bpp];
        int predictor[5] = {0, a, b, (a + b) / 2, paethOf(a, b, c)};
        out.push_back(uint8_t(raw[i] - predictor[type]));
    }
    return out;
}

constexpr int cycleFilters = 5;  // filter mode: row n of a pass gets type n % 5

// The filtered rows of every pass in order.
Bytes filteredRows(const Picture& p, int filterMode) {
    size_t bitsPerPixel = size_t(channelsOf(p.colourType)) * p.bitDepth;
    size_t bpp = bitsPerPixel >= 8 ? bitsPerPixel / 8 : 1;
    Bytes out;
    for (int pass = p.interlace ? 1 : 0; pass <= (p.interlace ? 7 : 0); ++pass) {
        std::vector<uint32_t> xs, ys;
        passPixels(p, pass, xs, ys);
        if (xs.empty()) continue;
        Bytes above;
        for (size_t n = 0; n < ys.size(); ++n) {
            Bytes raw = packRow(p, xs, ys[n]);
            int type = filterMode == cycleFilters ? int(n % 5) : filterMode;
            Bytes row = filterRow(type, raw, above, bpp);
            out.insert(out.end(), row.begin(), row.end());
            above = raw;
        }
    }
    return out;
}

Bytes ihdrData(const Picture& p) {
    Bytes d;
    put32(d, p.width);
    put32(d, p.height);
    d.insert(d.end(), {p.bitDepth, p.colourType, 0, 0, p.interlace});
    return d;
}

const Bytes signature = {137, 80, 78, 71, 13, 10, 26, 10};

Bytes pngFile(const Picture& p, const Bytes& stream, const std::vector<int>& plan = {}) {
    Bytes file = signature;
    chunk(file, "IHDR", ihdrData(p));
    if (!p.palette.empty()) chunk(file, "PLTE", p.palette);
    idatChunks(file, stream, plan);
    chunk(file, "IEND", {});
    return file;
}

#ifdef VETRA_HAVE_LIBPNG
Bytes zlibCompressed(const Bytes& data) {
    uLongf size = compressBound(uLong(data.size()));
    Bytes out(size);
    compress2(out.data(), &size, data.data(), uLong(data.size()), 9);
    out.resize(size);
    return out;
}
#endif

// Samples from a fixed seed; palette images get a full palette of random
// colours unless the test trims it.
Picture randomPicture(uint8_t colourType, uint8_t bitDepth, uint32_t width, uint32_t height, uint8_t interlace,
                      uint32_t seed) {
    std::mt19937 random(seed);
    Picture p;
    p.width = width;
    p.height = height;
    p.colourType = colourType;
    p.bitDepth = bitDepth;
    p.interlace = interlace;
    uint32_t top = (1u << bitDepth) - 1;
    p.samples.resize(size_t(width) * height * channelsOf(colourType));
    for (uint16_t& s : p.samples) s = uint16_t(random() & top);
    if (colourType == 3) {
        p.palette.resize(3u << bitDepth);
        for (uint8_t& b : p.palette) b = uint8_t(random());
    }
    return p;
}

// ---------------------------------------------------------------------------
// Reading the decoder's bitmap back.

struct Dib {
    PngDecodeResult result = pngDecodeOk;
    Bytes header;  // BITMAPINFOHEADER and colour table
    Bytes pixels;
};

// Each decode runs twice: with the Average and Paeth loops for processors
// with SSE2 (where this one has it) and with the loops that every processor
// runs, which must give the same.
Dib decode(const Bytes& file) {
    Dib d;
    d.result = pngDecodeToDib(file.data(), file.size(), d.header, d.pixels);
    Dib plain;
    pngAllowSse2(false);
    plain.result = pngDecodeToDib(file.data(), file.size(), plain.header, plain.pixels);
    pngAllowSse2(true);
    EXPECT_EQ(plain.result, d.result) << "word loop";
    EXPECT_TRUE(plain.header == d.header) << "word loop";
    EXPECT_TRUE(plain.pixels == d.pixels) << "word loop";
    return d;
}

uint32_t le32(const Bytes& b, size_t at) {
    return uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) | (uint32_t(b[at + 3]) << 24);
}

int32_t dibWidth(const Dib& d) {
    return int32_t(le32(d.header, 4));
}
int32_t dibHeight(const Dib& d) {
    return int32_t(le32(d.header, 8));
}
int dibBitCount(const Dib& d) {
    return d.header[14] | (d.header[15] << 8);
}
size_t dibStride(const Dib& d) {
    return (size_t(dibWidth(d)) * dibBitCount(d) + 31) / 32 * 4;
}

// The output bytes of one pixel; a sub-byte pixel as one value.
Bytes dibPixel(const Dib& d, uint32_t x, uint32_t y) {
    int bits = dibBitCount(d);
    const uint8_t* row = d.pixels.data() + y * dibStride(d);
    if (bits < 8) {
        size_t bit = size_t(x) * bits;
        return {uint8_t((row[bit / 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1))};
    }
    return Bytes(row + size_t(x) * bits / 8, row + size_t(x + 1) * bits / 8);
}

// What the output format table says a pixel of the picture becomes.
Bytes expectedPixel(const Picture& p, uint32_t x, uint32_t y) {
    auto s = [&](int c) {
        return p.bitDepth == 16 ? uint8_t(sampleAt(p, x, y, c) >> 8) : uint8_t(sampleAt(p, x, y, c));
    };
    switch (p.colourType) {
        case 2: return {s(2), s(1), s(0)};
        case 6: return {s(2), s(1), s(0), s(3)};
        default: return {s(0)};  // grey, palette index, grey of grey and alpha
    }
}

// Compares every pixel; returns the first difference, empty when none.
std::string comparePixels(const Picture& p, const Dib& d) {
    if (d.result != pngDecodeOk) return std::string("decode failed: ") + pngDecodeMessage(d.result);
    if (dibWidth(d) != int32_t(p.width) || dibHeight(d) != -int32_t(p.height)) return "size differs";
    if (d.pixels.size() != dibStride(d) * p.height) return "pixel bytes differ";
    for (uint32_t y = 0; y < p.height; ++y) {
        for (uint32_t x = 0; x < p.width; ++x) {
            if (dibPixel(d, x, y) != expectedPixel(p, x, y)) {
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + " differs";
            }
        }
    }
    return "";
}

struct Kind {
    uint8_t colourType, bitDepth, bitCount;
    uint32_t clrUsed;
};
const Kind allKinds[] = {
    {0, 1, 1, 2},  {0, 2, 4, 4},   {0, 4, 4, 16},   {0, 8, 8, 256}, {0, 16, 8, 256},
    {2, 8, 24, 0}, {2, 16, 24, 0}, {3, 1, 1, 0},    {3, 2, 4, 0},   {3, 4, 4, 0},
    {3, 8, 8, 0},  {4, 8, 8, 256}, {4, 16, 8, 256}, {6, 8, 32, 0},  {6, 16, 32, 0},
};

std::string kindName(uint8_t colourType, uint8_t bitDepth) {
    return "type " + std::to_string(colourType) + " depth " + std::to_string(bitDepth);
}

// ---------------------------------------------------------------------------

TEST(PngGenerated, EveryKindInterlaceAndFilterDecodesToItsSamples) {
    const uint32_t sizes[][2] = {{1, 1}, {3, 2}, {6, 3}, {13, 9}, {35, 7}};
    uint32_t seed = 1;
    for (const Kind& k : allKinds) {
        for (uint8_t interlace : {0, 1}) {
            for (const auto& size : sizes) {
                Picture p = randomPicture(k.colourType, k.bitDepth, size[0], size[1], interlace, seed++);
                for (int filter = 0; filter <= cycleFilters; ++filter) {
                    Bytes file = pngFile(p, zlibStored(filteredRows(p, filter)));
                    Dib d = decode(file);
                    std::string name = kindName(k.colourType, k.bitDepth) + " interlace " + std::to_string(interlace) +
                                       " " + std::to_string(size[0]) + "x" + std::to_string(size[1]) + " filter " +
                                       std::to_string(filter);
                    ASSERT_EQ(comparePixels(p, d), "") << name;
                    EXPECT_EQ(dibBitCount(d), k.bitCount) << name;
                }
#ifdef VETRA_HAVE_LIBPNG
                Dib z = decode(pngFile(p, zlibCompressed(filteredRows(p, cycleFilters)), {20, 0, 7}));
                ASSERT_EQ(comparePixels(p, z), "") << kindName(k.colourType, k.bitDepth) << " zlib";
#endif
            }
        }
    }
}

// Paeth's choice turns on ties and on differences up to 510: samples from
// small alphabets make pa, pb and pc equal in every combination, or as far
// apart as bytes go. Rows of every width from 1 (the last pixel of an RGB
// row takes a path of its own), plain and interlaced; decode() also holds
// the SSE2 loop to the channel-by-channel one.
TEST(PngGenerated, PaethRowsOfTiesAndExtremes) {
    const std::vector<uint16_t> alphabets[] = {{0, 1, 2}, {7, 9, 11, 13}, {0, 128, 255}, {0, 1, 254, 255}};
    uint32_t seed = 500;
    for (uint8_t colourType : {2, 6}) {
        for (const std::vector<uint16_t>& alphabet : alphabets) {
            for (uint32_t width = 1; width <= 9; ++width) {
                Picture p = randomPicture(colourType, 8, width, 6, width % 2, seed++);
                for (uint16_t& sample : p.samples) sample = alphabet[sample % alphabet.size()];
                const std::string name = kindName(colourType, 8) + " alphabet of " + std::to_string(alphabet.size()) +
                                         " from " + std::to_string(alphabet[0]) + " width " + std::to_string(width);
                EXPECT_EQ(comparePixels(p, decode(pngFile(p, zlibStored(filteredRows(p, 4))))), "") << name;
            }
        }
    }
}

TEST(PngGenerated, IdatChunksSplitAnywhere) {
    Picture p = randomPicture(2, 8, 13, 9, 1, 99);
    Bytes stream = zlibStored(filteredRows(p, cycleFilters));
    const int all = int(stream.size());
    struct Case {
        std::vector<int> plan;
        PngDecodeResult expected;
    } cases[] = {
        {{}, pngDecodeOk},
        {{1, 1, 1, 1, 1, 1, 1, 1, 1}, pngDecodeOk},
        {{0, 0, 30, 0, 100}, pngDecodeOk},
        {{0}, pngDecodeOk},
        {{all, 0, 0}, pngDecodeOk},
        {{all, foreignChunk, 0}, pngDecodeOk},   // the gap comes after the final block
        {{all - 4, foreignChunk}, pngDecodeOk},  // only the Adler-32 is cut off
        {{50, foreignChunk}, pngDecodeInflateFailed},
        {{0, foreignChunk, 0}, pngDecodeInflateFailed},
    };
    for (const Case& c : cases) {
        Dib d = decode(pngFile(p, stream, c.plan));
        EXPECT_EQ(d.result, c.expected) << planName(c.plan);
        if (c.expected == pngDecodeOk) {
            EXPECT_EQ(comparePixels(p, d), "") << planName(c.plan);
        }
    }
}

// Which passes hold pixels, by the filtered bytes they need: 1 filter byte
// plus one byte per pixel of an 8-bit grey pass row.
TEST(PngAdam7, PassGeometryOfSmallImages) {
    struct Case {
        uint32_t width, height;
        uint32_t filteredSize;
        const char* passes;
    } cases[] = {
        {1, 1, 2, "1 (1x1)"},
        {3, 2, 2 + 2 + 2 + 4, "1 (1x1), 4 (1x1), 6 (1x1), 7 (3x1)"},
        {6, 3, 2 + 2 + 2 + 4 + 2 * 4 + 7, "1, 2, 4 (1x1 each), 5 (3x1), 6 (3x2), 7 (6x1)"},
        {8, 8, 2 + 2 + 3 + 2 * 3 + 2 * 5 + 4 * 5 + 4 * 9, "all seven, full"},
        {1, 8, 2 + 2 + 2 * 2 + 4 * 2, "1, 3, 5, 7 (one column)"},
    };
    for (const Case& c : cases) {
        Picture interlaced = randomPicture(0, 8, c.width, c.height, 1, c.width * 10 + c.height);
        Bytes file = pngFile(interlaced, zlibStored(filteredRows(interlaced, cycleFilters)));
        PngImage image;
        pngImageClear(image);
        ASSERT_TRUE(pngImageAttach(image, file.data(), uint32_t(file.size()))) << c.passes;
        ASSERT_TRUE(pngImageDecompress(image)) << c.passes;
        EXPECT_EQ(image.filteredSize, c.filteredSize) << c.passes;
        pngImageRelease(image);

        // Same pixels as the same samples stored without interlacing.
        Picture plain = interlaced;
        plain.interlace = 0;
        Dib a = decode(file), b = decode(pngFile(plain, zlibStored(filteredRows(plain, 0))));
        ASSERT_EQ(a.result, pngDecodeOk) << c.passes;
        EXPECT_EQ(a.pixels, b.pixels) << c.passes;
        EXPECT_EQ(a.header, b.header) << c.passes;
    }
}

// Rows take a multiple of 4 bytes; the decoder writes whole converted bytes
// and leaves the rest of each row as it was, except that interlaced output
// of fewer than 8 bits per pixel is cleared first (its pixels are OR-ed in).
TEST(PngLayout, RowsArePaddedToFourBytes) {
    struct Case {
        uint8_t colourType, bitDepth;
        uint32_t width;
        uint32_t stride, written;  // bytes per row, bytes written per row
    } cases[] = {
        {2, 8, 5, 16, 15}, {2, 16, 5, 16, 15}, {6, 8, 3, 12, 12}, {0, 1, 1, 4, 1}, {0, 1, 33, 8, 5},
        {0, 2, 9, 8, 5},   {3, 4, 7, 4, 4},    {4, 16, 5, 8, 5},  {0, 8, 4, 4, 4}, {3, 1, 17, 4, 3},
    };
    for (const Case& c : cases) {
        for (uint8_t interlace : {0, 1}) {
            std::string name = kindName(c.colourType, c.bitDepth) + " width " + std::to_string(c.width) +
                               " interlace " + std::to_string(interlace);
            Picture p = randomPicture(c.colourType, c.bitDepth, c.width, 3, interlace, c.width);
            Bytes file = pngFile(p, zlibStored(filteredRows(p, 1)));
            PngImage image;
            pngImageClear(image);
            ASSERT_TRUE(pngImageAttach(image, file.data(), uint32_t(file.size()))) << name;
            ASSERT_TRUE(pngImageDecompress(image)) << name;
            PngOutputFormat format;
            ASSERT_TRUE(pngOutputFormat(image, format)) << name;
            EXPECT_EQ(format.stride, c.stride) << name;
            EXPECT_EQ(format.pixelBytes, c.stride * 3) << name;

            Bytes pixels(format.pixelBytes, 0xCD);
            ASSERT_TRUE(pngImageFillPixels(image, pixels.data(), pixels.size())) << name;
            uint8_t padding = (interlace && format.bitCount < 8) ? 0x00 : 0xCD;
            for (uint32_t y = 0; y < 3; ++y) {
                for (uint32_t i = c.written; i < c.stride; ++i) {
                    EXPECT_EQ(pixels[y * c.stride + i], padding) << name << " row " << y << " byte " << i;
                }
            }
            // And the rows are where the stride says.
            Dib d{pngDecodeOk, {}, pixels};
            pngDibHeaderBytes(format, d.header);
            EXPECT_EQ(comparePixels(p, d), "") << name;
            EXPECT_FALSE(pngImageFillPixels(image, pixels.data(), pixels.size() - 1)) << name;
            pngImageRelease(image);
        }
    }
}

TEST(PngLayout, TwoBitSamplesBecomeFourBitSamples) {
    Picture p;
    p.width = 5;
    p.bitDepth = 2;
    p.samples = {0, 1, 2, 3, 3};
    Dib grey = decode(pngFile(p, zlibStored(filteredRows(p, 0))));
    ASSERT_EQ(grey.result, pngDecodeOk);
    EXPECT_EQ(dibBitCount(grey), 4);
    EXPECT_EQ(Bytes(grey.pixels.begin(), grey.pixels.begin() + 3), (Bytes{0x01, 0x23, 0x30}));
    EXPECT_EQ(Bytes(grey.header.begin() + 40, grey.header.end()),
              (Bytes{0, 0, 0, 0, 85, 85, 85, 0, 170, 170, 170, 0, 255, 255, 255, 0}));

    p.colourType = 3;
    p.palette = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    Dib palette = decode(pngFile(p, zlibStored(filteredRows(p, 0))));
    ASSERT_EQ(palette.result, pngDecodeOk);
    EXPECT_EQ(Bytes(palette.pixels.begin(), palette.pixels.begin() + 3), (Bytes{0x01, 0x23, 0x30}));
    Bytes table(palette.header.begin() + 40, palette.header.end());
    ASSERT_EQ(table.size(), 16u * 4);  // 2^4 entries: clrUsed is 0
    EXPECT_EQ(Bytes(table.begin(), table.begin() + 16),
              (Bytes{30, 20, 10, 0, 60, 50, 40, 0, 90, 80, 70, 0, 120, 110, 100, 0}));
    EXPECT_EQ(Bytes(table.begin() + 16, table.end()), Bytes(48, 0));
}

TEST(PngFormat, HeaderFieldsAndColourTablesOfEveryKind) {
    for (const Kind& k : allKinds) {
        std::string name = kindName(k.colourType, k.bitDepth);
        Picture p = randomPicture(k.colourType, k.bitDepth, 3, 2, 0, 5);
        Dib d = decode(pngFile(p, zlibStored(filteredRows(p, 0))));
        ASSERT_EQ(d.result, pngDecodeOk) << name;
        const Bytes& h = d.header;
        EXPECT_EQ(le32(h, 0), 40u) << name;
        EXPECT_EQ(dibWidth(d), 3) << name;
        EXPECT_EQ(dibHeight(d), -2) << name;
        EXPECT_EQ(h[12] | (h[13] << 8), 1) << name;  // planes
        EXPECT_EQ(dibBitCount(d), k.bitCount) << name;
        for (size_t at : {16, 20, 24, 28, 36}) EXPECT_EQ(le32(h, at), 0u) << name << " field at " << at;
        EXPECT_EQ(le32(h, 32), k.clrUsed) << name;

        size_t entries = k.clrUsed ? k.clrUsed : (k.colourType == 3 ? 1u << k.bitCount : 0);
        ASSERT_EQ(h.size(), 40 + 4 * entries) << name;
        for (size_t i = 0; i < entries; ++i) {
            Bytes expected(4, 0);
            if (k.clrUsed) {
                expected[0] = expected[1] = expected[2] = uint8_t(i * 255 / (k.clrUsed - 1));
            } else if (i < p.palette.size() / 3) {
                expected = {p.palette[3 * i + 2], p.palette[3 * i + 1], p.palette[3 * i], 0};
            }
            ASSERT_EQ(Bytes(h.begin() + long(40 + 4 * i), h.begin() + long(44 + 4 * i)), expected)
                << name << " entry " << i;
        }
    }
}

TEST(PngFormat, PaletteShorterOrLongerThanTheTable) {
    struct Case {
        const char* name;
        uint8_t bitDepth;
        size_t plteBytes;
        uint32_t paletteCount;
    } cases[] = {
        {"2 colours for 256 indices", 8, 6, 2},
        {"7 bytes: 2 colours", 8, 7, 2},
        {"300 colours for 2 indices", 1, 900, 300},
        {"empty PLTE", 4, 0, 0},
    };
    for (const Case& c : cases) {
        Picture p = randomPicture(3, c.bitDepth, 9, 4, 0, 17);  // indices use the whole range
        p.palette.assign(c.plteBytes, 0);
        for (size_t i = 0; i < c.plteBytes; ++i) p.palette[i] = uint8_t(i * 7 + 1);
        Bytes file = pngFile(p, zlibStored(filteredRows(p, 0)));
        if (c.plteBytes == 0) {  // pngFile leaves out an empty palette
            file = signature;
            chunk(file, "IHDR", ihdrData(p));
            chunk(file, "PLTE", {});
            idatChunks(file, zlibStored(filteredRows(p, 0)), {});
            chunk(file, "IEND", {});
        }
        PngImage image;
        pngImageClear(image);
        ASSERT_TRUE(pngImageAttach(image, file.data(), uint32_t(file.size()))) << c.name;
        EXPECT_EQ(image.paletteCount, c.paletteCount) << c.name;
        pngImageRelease(image);

        Dib d = decode(file);
        ASSERT_EQ(comparePixels(p, d), "") << c.name;  // indices beyond the palette kept
        size_t entries = size_t(1) << p.bitDepth;
        ASSERT_EQ(d.header.size(), 40 + 4 * entries) << c.name;
        for (size_t i = 0; i < entries; ++i) {
            Bytes expected(4, 0);
            if (i < c.paletteCount) expected = {p.palette[3 * i + 2], p.palette[3 * i + 1], p.palette[3 * i], 0};
            EXPECT_EQ(Bytes(d.header.begin() + long(40 + 4 * i), d.header.begin() + long(44 + 4 * i)), expected)
                << c.name << " entry " << i;
        }
    }
}

// ---------------------------------------------------------------------------
// Files refused, and by which step.

struct Chunk {
    std::string type;
    Bytes data;
};

std::vector<Chunk> chunksOf(const Bytes& file) {
    std::vector<Chunk> out;
    for (size_t at = 8; at + 12 <= file.size();) {
        uint32_t length = (uint32_t(file[at]) << 24) | (file[at + 1] << 16) | (file[at + 2] << 8) | file[at + 3];
        out.push_back({std::string(file.begin() + long(at + 4), file.begin() + long(at + 8)),
                       Bytes(file.begin() + long(at + 8), file.begin() + long(at + 8 + length))});
        at += 12 + length;
    }
    return out;
}

Bytes fileOf(const std::vector<Chunk>& chunks, bool goodCrc = true) {
    Bytes file = signature;
    for (const Chunk& c : chunks) chunk(file, c.type.c_str(), c.data, goodCrc);
    return file;
}

size_t indexOf(const std::vector<Chunk>& chunks, const std::string& type) {
    for (size_t i = 0; i < chunks.size(); ++i) {
        if (chunks[i].type == type) return i;
    }
    return chunks.size();
}

struct Refusal {
    std::string name;
    Bytes file;
    PngDecodeResult result;
    uint32_t attachError;  // last error after pngImageAttach
};

std::vector<Refusal> refusals() {
    Picture p = randomPicture(0, 8, 4, 4, 0, 3);
    const Bytes good = pngFile(p, zlibStored(filteredRows(p, cycleFilters)));
    const std::vector<Chunk> base = chunksOf(good);
    std::vector<Refusal> out;
    auto mutated = [&](const std::string& name, PngDecodeResult result, uint32_t attachError,
                       const std::function<void(std::vector<Chunk>&)>& change) {
        std::vector<Chunk> chunks = base;
        change(chunks);
        out.push_back({name, fileOf(chunks), result, attachError});
    };
    auto ihdrByte = [&](const std::string& name, size_t at, uint8_t value, uint32_t error) {
        mutated(name, pngDecodeLoadFailed, error, [=](std::vector<Chunk>& c) { c[0].data[at] = value; });
    };
    out.push_back({"empty", {}, pngDecodeLoadFailed, pngErrorNotPng});
    out.push_back({"15 bytes", Bytes(good.begin(), good.begin() + 15), pngDecodeLoadFailed, pngErrorNotPng});
    out.push_back({"IHDR cut short", Bytes(good.begin(), good.begin() + 28), pngDecodeLoadFailed, pngErrorNotPng});
    Bytes badSignature = good;
    badSignature[4] = 'x';
    out.push_back({"wrong signature", badSignature, pngDecodeLoadFailed, pngErrorNotPng});
    Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
    out.push_back({"a JPEG", jpeg, pngDecodeLoadFailed, pngErrorNotPng});
    mutated("first chunk not IHDR", pngDecodeLoadFailed, pngErrorNotPng, [](std::vector<Chunk>& c) {
        c.insert(c.begin(), Chunk{"tEXt", {'k', 0, 'v'}});
    });
    mutated("IHDR data too short for its fields", pngDecodeLoadFailed, pngErrorNotPng, [](std::vector<Chunk>& c) {
        c.erase(c.begin() + 1, c.end());
        c[0].data.resize(1);
    });
    ihdrByte("width 0", 3, 0, pngErrorNotPng);
    ihdrByte("height 0", 7, 0, pngErrorNotPng);
    mutated("unknown critical chunk", pngDecodeLoadFailed, pngErrorUnsupported, [](std::vector<Chunk>& c) {
        c.insert(c.begin() + 1, Chunk{"CRIT", {}});
    });
    mutated("unknown critical chunk after IEND", pngDecodeLoadFailed, pngErrorUnsupported, [](std::vector<Chunk>& c) {
        c.push_back({"Zzzz", {1}});
    });
    const uint8_t badPairs[][2] = {{0, 3}, {0, 32}, {1, 8}, {2, 4}, {2, 1}, {3, 16},
                                   {4, 4}, {5, 8},  {6, 2}, {7, 8}, {8, 8}, {0, 0}};
    for (const auto& pair : badPairs) {
        mutated("unsupported " + kindName(pair[0], pair[1]), pngDecodeLoadFailed, pngErrorUnsupported,
                [&](std::vector<Chunk>& c) {
                    c[0].data[8] = pair[1];
                    c[0].data[9] = pair[0];
                });
    }
    ihdrByte("compression method 1", 10, 1, pngErrorUnsupported);
    ihdrByte("filter method 1", 11, 1, pngErrorUnsupported);
    ihdrByte("interlace method 2", 12, 2, pngErrorUnsupported);

    mutated("no IDAT", pngDecodeInflateFailed, 0,
            [](std::vector<Chunk>& c) { c.erase(c.begin() + long(indexOf(c, "IDAT"))); });
    mutated("zlib preset dictionary", pngDecodeInflateFailed, 0,
            [](std::vector<Chunk>& c) { c[indexOf(c, "IDAT")].data[1] |= 0x20; });
    mutated("stream cut short", pngDecodeInflateFailed, 0,
            [](std::vector<Chunk>& c) { c[indexOf(c, "IDAT")].data.resize(20); });
    mutated("IDAT split by another chunk", pngDecodeInflateFailed, 0, [](std::vector<Chunk>& c) {
        size_t i = indexOf(c, "IDAT");
        Bytes& d = c[i].data;
        Chunk rest{"IDAT", Bytes(d.begin() + 10, d.end())};
        d.resize(10);
        c.insert(c.begin() + long(i) + 1, {Chunk{"tIME", Bytes(7, 1)}, rest});
    });
    Bytes cutInIdat(good.begin(), good.begin() + long(good.size()) - 20);
    out.push_back({"file ends inside IDAT", cutInIdat, pngDecodeInflateFailed, 0});

    mutated("palette image without PLTE", pngDecodeBitmapFailed, 0, [](std::vector<Chunk>& c) { c[0].data[9] = 3; });
    {
        Bytes rows = filteredRows(p, 0);
        rows[5 * 2] = 5;  // the third row's filter byte
        out.push_back({"filter type 5", pngFile(p, zlibStored(rows)), pngDecodeBitmapFailed, 0});
        rows[5 * 2] = 255;
        out.push_back({"filter type 255", pngFile(p, zlibStored(rows)), pngDecodeBitmapFailed, 0});
    }
    return out;
}

TEST(PngRefused, EachFailureComesFromItsStep) {
    for (const Refusal& r : refusals()) {
        Dib d = decode(r.file);
        EXPECT_EQ(d.result, r.result) << r.name;
        EXPECT_TRUE(d.pixels.empty()) << r.name;

        PngImage image;
        pngImageClear(image);
        bool attached = pngImageAttach(image, r.file.data(), uint32_t(r.file.size()));
        EXPECT_EQ(attached, r.result != pngDecodeLoadFailed) << r.name;
        EXPECT_EQ(image.lastError, r.attachError) << r.name;
        EXPECT_EQ(image.stage, attached ? pngStageParsed : pngStageEmpty) << r.name;
        EXPECT_EQ(image.sourceKind, attached ? pngSourceResource : pngSourceNone) << r.name;
        if (attached && r.result == pngDecodeInflateFailed) {
            EXPECT_FALSE(pngImageDecompress(image)) << r.name;
            EXPECT_EQ(image.lastError, pngErrorNotPng) << r.name;
            EXPECT_EQ(image.stage, pngStageParsed) << r.name;
            EXPECT_EQ(image.filteredData, nullptr) << r.name;
        }
        pngImageRelease(image);
    }
}

TEST(PngRefused, MessagesOfTheThreeSteps) {
    EXPECT_STREQ(pngDecodeMessage(pngDecodeLoadFailed), "Error: couldn't load PNG resource");
    EXPECT_STREQ(pngDecodeMessage(pngDecodeInflateFailed), "Error: couldn't decode PNG resource");
    EXPECT_STREQ(pngDecodeMessage(pngDecodeBitmapFailed), "Error: couldn't create bitmap");
}

// Everything the decoder does not read leaves the bitmap as it was.
TEST(PngAccepted, ChunksItDoesNotReadHaveNoEffect) {
    Picture p = randomPicture(3, 8, 11, 5, 1, 21);
    const Bytes good = pngFile(p, zlibStored(filteredRows(p, cycleFilters)), {40, 0});
    const Dib expected = decode(good);
    ASSERT_EQ(comparePixels(p, expected), "");
    const std::vector<Chunk> base = chunksOf(good);
    const Bytes otherPalette(768, 0x11);
    struct Case {
        const char* name;
        std::function<void(std::vector<Chunk>&)> change;
        bool goodCrc;
    } cases[] = {
        {"ancillary chunks before IDAT",
         [](std::vector<Chunk>& c) {
             c.insert(c.begin() + 1,
                      {Chunk{"gAMA", {0, 1, 0x86, 0xA0}}, Chunk{"tEXt", {'a', 0, 'b'}}, Chunk{"prIv", {1, 2, 3}}});
             c.insert(c.begin() + long(indexOf(c, "IDAT")), {Chunk{"tRNS", {0, 0, 0}}, Chunk{"bKGD", {7}}});
         },
         true},
        {"second PLTE",
         [&](std::vector<Chunk>& c) {
             c.insert(c.begin() + long(indexOf(c, "IDAT")), {"PLTE", otherPalette});
         },
         true},
        {"second PLTE after IEND",
         [&](std::vector<Chunk>& c) {
             c.push_back({"PLTE", otherPalette});
         },
         true},
        {"second IHDR",
         [](std::vector<Chunk>& c) {
             c.push_back(c[0]);
             c.back().data[3] = 99;
         },
         true},
        {"chunks after IEND",
         [](std::vector<Chunk>& c) {
             c.push_back({"zTXt", {'k', 0, 0}});
             c.push_back({"IEND", {}});
         },
         true},
        {"IEND before the data",
         [](std::vector<Chunk>& c) {
             c.insert(c.begin() + 2, Chunk{"IEND", {}});
         },
         true},
        {"later IDAT after IEND",
         [](std::vector<Chunk>& c) {
             c.push_back({"IDAT", {0xFF, 0xFF}});
         },
         true},
        {"wrong CRCs", [](std::vector<Chunk>&) {}, false},
        {"wrong Adler-32", [](std::vector<Chunk>& c) { c[indexOf(c, "IEND") - 1].data.back() ^= 0xFF; }, true},
    };
    for (const Case& c : cases) {
        std::vector<Chunk> chunks = base;
        c.change(chunks);
        Dib d = decode(fileOf(chunks, c.goodCrc));
        ASSERT_EQ(d.result, pngDecodeOk) << c.name;
        EXPECT_EQ(d.header, expected.header) << c.name;
        EXPECT_EQ(d.pixels, expected.pixels) << c.name;
    }
    // Bytes after the last chunk that do not form a chunk are ignored too.
    Bytes trailing = good;
    trailing.insert(trailing.end(), {1, 2, 3, 4, 5});
    EXPECT_EQ(decode(trailing).pixels, expected.pixels);
}

TEST(PngStages, EachOperationChecksItsStage) {
    Picture p = randomPicture(6, 8, 4, 4, 0, 8);
    Bytes file = pngFile(p, zlibStored(filteredRows(p, 2)));
    Bytes pixels(4 * 4 * 4);
    PngOutputFormat format;

    PngImage image;
    pngImageClear(image);
    EXPECT_FALSE(pngImageDecompress(image));
    EXPECT_EQ(image.lastError, pngErrorWrongStage);
    EXPECT_FALSE(pngImageFillPixels(image, pixels.data(), pixels.size()));
    EXPECT_EQ(image.lastError, pngErrorWrongStage);
    EXPECT_FALSE(pngOutputFormat(image, format));

    ASSERT_TRUE(pngImageAttach(image, file.data(), uint32_t(file.size())));
    EXPECT_EQ(image.lastError, 0u);
    EXPECT_EQ(image.stage, pngStageParsed);
    EXPECT_EQ(image.source, file.data());
    EXPECT_EQ(image.sourceLength, file.size());
    EXPECT_EQ(image.header, file.data() + 16);
    EXPECT_EQ(image.firstIdat, file.data() + 33);
    EXPECT_EQ(image.width, 4u);
    EXPECT_EQ(image.colourType, 6);
    EXPECT_FALSE(pngImageAttach(image, file.data(), uint32_t(file.size())));
    EXPECT_EQ(image.lastError, pngErrorSourceAttached);
    EXPECT_EQ(image.stage, pngStageParsed);
    EXPECT_FALSE(pngImageFillPixels(image, pixels.data(), pixels.size()));
    EXPECT_EQ(image.lastError, pngErrorWrongStage);
    EXPECT_TRUE(pngOutputFormat(image, format));  // the header is enough

    ASSERT_TRUE(pngImageDecompress(image));
    EXPECT_EQ(image.lastError, 0u);
    EXPECT_EQ(image.stage, pngStageInflated);
    EXPECT_EQ(image.filteredSize, 4u * (1 + 16));
    EXPECT_FALSE(pngImageDecompress(image));
    EXPECT_EQ(image.lastError, pngErrorWrongStage);
    EXPECT_TRUE(pngImageFillPixels(image, pixels.data(), pixels.size()));
    EXPECT_TRUE(pngImageFillPixels(image, pixels.data(), pixels.size()));  // stage unchanged
    EXPECT_EQ(image.stage, pngStageInflated);

    pngImageRelease(image);
    PngImage zero;
    std::memset(&zero, 0, sizeof zero);
    EXPECT_EQ(std::memcmp(&image, &zero, sizeof image), 0);

    // A refused source leaves the record free for another.
    Bytes junk(40, 'j');
    EXPECT_FALSE(pngImageAttach(image, junk.data(), uint32_t(junk.size())));
    EXPECT_EQ(image.stage, pngStageEmpty);
    EXPECT_TRUE(pngImageAttach(image, file.data(), uint32_t(file.size())));
    pngImageRelease(image);
}

// Sizes that cannot be held fail before any allocation of that size.
TEST(PngSizes, RefusesPicturesLargerThanItShowsBeforeAllocating) {
    // The same pictures are refused by every build, whatever its address space.
    struct Case {
        const char* name;
        uint32_t width, height;
        uint8_t colourType, bitDepth, interlace;
        bool tooLarge;  // refused as out of memory, and no bitmap layout
    } cases[] = {
        {"grey1 8192 x 8192, the largest", 8192, 8192, 0, 1, 0, false},
        {"grey1 interlaced 8192 x 8192", 8192, 8192, 0, 1, 1, false},
        {"grey1 one row of 2^26 pixels", 0x4000000, 1, 0, 1, 0, false},
        {"grey1 8193 x 8192", 8193, 8192, 0, 1, 0, true},
        {"grey1 one row of 2^26 + 1 pixels", 0x4000001, 1, 0, 1, 0, true},
        {"grey1 65535 x 65535: small filtered data, huge bitmap", 0xFFFF, 0xFFFF, 0, 1, 0, true},
        {"RGBA16 2^31-1 square", 0x7FFFFFFF, 0x7FFFFFFF, 6, 16, 0, true},
        {"RGBA16 2^31-1 square interlaced", 0x7FFFFFFF, 0x7FFFFFFF, 6, 16, 1, true},
        {"grey8 row of 2^30 pixels, 64 rows", 0x40000000, 64, 0, 8, 0, true},
        {"grey1 widest row, 2^20 rows", 0xFFFFFFFF, 0x100000, 0, 1, 1, true},
        {"height 2^32-1 of RGB", 1, 0xFFFFFFFF, 2, 8, 0, true},
        {"width 2^31 of grey 1-bit", 0x80000000u, 1, 0, 1, 0, true},
        {"RGB8 DIB above 2^32 bytes", 0x10000, 0x5556, 2, 8, 0, true},
    };
    for (const Case& c : cases) {
        Picture header;
        header.width = c.width;
        header.height = c.height;
        header.colourType = c.colourType;
        header.bitDepth = c.bitDepth;
        header.interlace = c.interlace;
        Bytes file = signature;
        chunk(file, "IHDR", ihdrData(header));
        chunk(file, "IDAT", zlibStored({}));
        chunk(file, "IEND", {});
        PngImage image;
        pngImageClear(image);
        ASSERT_TRUE(pngImageAttach(image, file.data(), uint32_t(file.size()))) << c.name;
        PngOutputFormat format;
        EXPECT_EQ(pngOutputFormat(image, format), !c.tooLarge) << c.name;
        const bool inflated = pngImageDecompress(image);
        if (c.tooLarge) {
            EXPECT_FALSE(inflated) << c.name;
            EXPECT_EQ(image.lastError, pngErrorOutOfMemory) << c.name;
            EXPECT_EQ(image.stage, pngStageParsed) << c.name;
        } else {
            // Within the limit the buffer is allocated and the (empty) stream inflated into it.
            EXPECT_NE(image.lastError, pngErrorOutOfMemory) << c.name;
            EXPECT_EQ(image.stage, inflated ? pngStageInflated : pngStageParsed) << c.name;
        }
        pngImageRelease(image);
    }
}

// ---------------------------------------------------------------------------
// PngSuite.

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::filesystem::path suiteDir = std::filesystem::path(VETRA_TESTDATA_DIR) / "pngsuite";

std::vector<std::string> suiteNames() {
    std::vector<std::string> names;
    if (!std::filesystem::is_directory(suiteDir)) return names;
    for (const auto& entry : std::filesystem::directory_iterator(suiteDir)) {
        if (entry.path().extension() == ".png") names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The corrupted files, by the step that refuses them. Two of them differ
// from a well-formed file only in a CRC, which is never checked.
PngDecodeResult expectedSuiteResult(const std::string& name) {
    static const std::pair<const char*, PngDecodeResult> corrupted[] = {
        {"xc1n0g08", pngDecodeLoadFailed}, {"xc9n2c08", pngDecodeLoadFailed},    {"xcrn0g04", pngDecodeLoadFailed},
        {"xcsn0g01", pngDecodeOk},         {"xd0n2c08", pngDecodeLoadFailed},    {"xd3n2c08", pngDecodeLoadFailed},
        {"xd9n2c08", pngDecodeLoadFailed}, {"xdtn0g01", pngDecodeInflateFailed}, {"xhdn0g08", pngDecodeOk},
        {"xlfn0g04", pngDecodeLoadFailed}, {"xs1n0g01", pngDecodeLoadFailed},    {"xs2n0g01", pngDecodeLoadFailed},
        {"xs4n0g01", pngDecodeLoadFailed}, {"xs7n0g01", pngDecodeLoadFailed},
    };
    for (const auto& c : corrupted) {
        if (name == c.first) return c.second;
    }
    return pngDecodeOk;
}

TEST(PngSuite, EveryFileDecodesOrFailsInItsStep) {
    std::vector<std::string> names = suiteNames();
    ASSERT_GE(names.size(), 170u) << "PngSuite not found in " << suiteDir;
    int corrupted = 0;
    for (const std::string& name : names) {
        Dib d = decode(readFile(suiteDir / (name + ".png")));
        EXPECT_EQ(d.result, expectedSuiteResult(name)) << name;
        if (name[0] == 'x') corrupted++;
    }
    EXPECT_EQ(corrupted, 14);
}

// An interlaced file and its plain twin hold the same picture.
TEST(PngSuite, InterlacedFilesMatchTheirPlainTwins) {
    int pairs = 0;
    for (const std::string& name : suiteNames()) {
        if (name.size() != 8 || name[3] != 'i' || name[0] == 'x') continue;
        std::string twin = name.substr(0, 3) + "n" + name.substr(4);
        if (!std::filesystem::exists(suiteDir / (twin + ".png"))) continue;
        Dib a = decode(readFile(suiteDir / (name + ".png")));
        Dib b = decode(readFile(suiteDir / (twin + ".png")));
        ASSERT_EQ(a.result, pngDecodeOk) << name;
        EXPECT_EQ(a.header, b.header) << name;
        EXPECT_TRUE(a.pixels == b.pixels) << name;
        pairs++;
    }
    EXPECT_GE(pairs, 30);
}

#ifdef VETRA_HAVE_LIBPNG
struct Reference {
    uint32_t width = 0, height = 0;
    int colourType = 0, bitDepth = 0, channels = 0;  // after the transformations
    std::vector<Bytes> rows;
    Bytes palette;
};

struct MemoryReader {
    const Bytes* data;
    size_t at;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t n) {
    auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (r->at + n > r->data->size()) png_error(png, "read past the end");
    std::memcpy(out, r->data->data() + r->at, n);
    r->at += n;
}

void libpngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void libpngWarning(png_structp, png_const_charp) {}

// libpng with the transformations that match our output table: high byte of
// 16-bit samples, alpha dropped from grey and alpha, indices and packed
// sub-byte samples kept, nothing from ancillary chunks; CRCs ignored like ours.
bool decodeWithLibpng(const Bytes& file, Reference& out) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, libpngError, libpngWarning);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{&file, 0};
    std::vector<png_bytep> rowPointers;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, readFromMemory);
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_read_info(png, info);
    int colourType = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) == 16) png_set_strip_16(png);
    if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_strip_alpha(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    out.colourType = colourType;
    out.bitDepth = png_get_bit_depth(png, info);
    out.channels = png_get_channels(png, info);
    out.rows.assign(out.height, Bytes(png_get_rowbytes(png, info)));
    for (Bytes& row : out.rows) rowPointers.push_back(row.data());
    png_read_image(png, rowPointers.data());
    png_colorp plte = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &plte, &count) == PNG_INFO_PLTE) {
        for (int i = 0; i < count; ++i)
            out.palette.insert(out.palette.end(), {plte[i].red, plte[i].green, plte[i].blue});
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// libpng's pixel in our output order.
Bytes referencePixel(const Reference& r, uint32_t x, uint32_t y) {
    const Bytes& row = r.rows[y];
    if (r.bitDepth < 8) {
        size_t bit = size_t(x) * r.bitDepth;
        return {uint8_t((row[bit / 8] >> (8 - r.bitDepth - bit % 8)) & ((1 << r.bitDepth) - 1))};
    }
    Bytes px(row.begin() + long(x) * r.channels, row.begin() + long(x + 1) * r.channels);
    if (r.channels >= 3) std::swap(px[0], px[2]);  // RGB(A) to BGR(A)
    return px;
}

TEST(PngSuite, DecodesLikeLibpng) {
    int compared = 0;
    for (const std::string& name : suiteNames()) {
        if (expectedSuiteResult(name) != pngDecodeOk) continue;
        Bytes file = readFile(suiteDir / (name + ".png"));
        Reference ref;
        ASSERT_TRUE(decodeWithLibpng(file, ref)) << name;
        Dib d = decode(file);
        ASSERT_EQ(d.result, pngDecodeOk) << name;
        ASSERT_EQ(dibWidth(d), int32_t(ref.width)) << name;
        ASSERT_EQ(dibHeight(d), -int32_t(ref.height)) << name;
        std::string difference;
        for (uint32_t y = 0; y < ref.height && difference.empty(); ++y) {
            for (uint32_t x = 0; x < ref.width && difference.empty(); ++x) {
                if (dibPixel(d, x, y) != referencePixel(ref, x, y)) {
                    difference = "pixel " + std::to_string(x) + "," + std::to_string(y);
                }
            }
        }
        EXPECT_EQ(difference, "") << name;
        if (ref.colourType == PNG_COLOR_TYPE_PALETTE) {
            size_t colours = ref.palette.size() / 3;
            for (size_t i = 0; i < colours && 44 + 4 * i <= d.header.size(); ++i) {
                Bytes entry(d.header.begin() + long(40 + 4 * i), d.header.begin() + long(44 + 4 * i));
                EXPECT_EQ(entry, (Bytes{ref.palette[3 * i + 2], ref.palette[3 * i + 1], ref.palette[3 * i], 0}))
                    << name << " entry " << i;
            }
        }
        compared++;
    }
    EXPECT_GE(compared, 160);
}
#endif

}  // namespace
