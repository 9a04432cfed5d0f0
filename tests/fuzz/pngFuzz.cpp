// The PNG decoder on arbitrary files: the chunk walk, inflation, unfiltering,
// Adam7 and conversion, through the one-call decode and through the staged
// calls the Windows side makes. Besides the sanitizers' checks: every
// address the walk records lies inside the file, the staged calls refuse to
// run out of order, a decoded picture has the header and size its format
// announces, and the bytes that pad each row are zero.
//
// libpng is the reference for the pixels. It refuses or warns about much
// that ours lets through (chunk order, a short or long stream, the zlib check
// bits, palette indices past the palette), so only a file that libpng reads
// without a word (CRCs ignored, as ours does) is compared: ours must then
// decode it too, to the same samples and palette.
//
// A tiny file may declare a huge picture; the decoder then asks for a large
// buffer and must fail cleanly when it is refused. Allocations above 32 MB
// are refused here (a 32-bit process meets the same wall higher up), which
// keeps each run fast. The picture buffer of pngDecodeToDib is a vector,
// whose refusal ASan reports as fatal instead of throwing, so pictures above
// the same bound are drawn through the staged calls into malloc'd memory, as
// the player draws into a DIB section that may not be created.

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "pictures/png.h"
#include "tests/fuzz/fuzzCheck.h"

extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=32";
}

namespace {

constexpr uint32_t allocationCap = 32u << 20;
// Pictures compared with libpng: small enough to keep the runs fast.
constexpr uint32_t referenceCap = 1u << 20;

bool inside(const uint8_t* p, size_t length, const uint8_t* data, size_t size) {
    return p >= data && p <= data + size && length <= size_t(data + size - p);
}

void checkParsed(const PngImage& image, const uint8_t* data, size_t size) {
    FUZZ_CHECK(image.stage == pngStageParsed && image.lastError == 0, "attached image is parsed");
    FUZZ_CHECK(image.width > 0 && image.height > 0, "zero dimensions are refused");
    FUZZ_CHECK(inside(image.header, 13, data, size), "IHDR fields inside the file");
    FUZZ_CHECK(image.firstIdat == nullptr || inside(image.firstIdat, 8, data, size), "first IDAT inside the file");
    FUZZ_CHECK(image.palette == nullptr || inside(image.palette, size_t(image.paletteCount) * 3, data, size),
               "palette inside the file");
}

void checkFormat(const PngImage& image, const PngOutputFormat& format) {
    FUZZ_CHECK(format.width == int32_t(image.width) && format.height == -int32_t(image.height),
               "format dimensions, rows from the top");
    FUZZ_CHECK(format.stride % 4 == 0 && uint64_t(format.stride) * image.height == format.pixelBytes,
               "rows padded to 4 bytes");
    FUZZ_CHECK(uint64_t(format.stride) * 8 >= uint64_t(image.width) * format.bitCount, "a row holds its pixels");
    FUZZ_CHECK(format.colourCount <= 256 && format.clrUsed <= format.colourCount, "colour table size");
}

void checkDecoded(const PngOutputFormat& format, const std::vector<uint8_t>& header,
                  const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> expected;
    pngDibHeaderBytes(format, expected);
    FUZZ_CHECK(expected.size() == 40 + 4 * size_t(format.colourCount), "header and colour table size");
    FUZZ_CHECK(header == expected, "decoded header is the format's");
    FUZZ_CHECK(pixels.size() == format.pixelBytes, "picture size is the format's");
    const size_t used = (size_t(format.width) * format.bitCount + 7) / 8;
    for (size_t row = 0; row < pixels.size(); row += format.stride) {
        for (size_t i = used; i < format.stride; ++i) FUZZ_CHECK(pixels[row + i] == 0, "row padding is zero");
    }
}

// ---- libpng as the reference -----------------------------------------------

struct Reference {
    uint32_t width = 0, height = 0;
    int colourType = 0, bitDepth = 0, channels = 0;
    std::vector<std::vector<uint8_t>> rows;
    std::vector<uint8_t> palette;  // RGB triples
    bool warned = false;
};

struct MemoryReader {
    const uint8_t* data;
    size_t size;
    size_t at;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t n) {
    auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (n > r->size - r->at) png_error(png, "read past the end");
    std::memcpy(out, r->data + r->at, n);
    r->at += n;
}

void libpngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void libpngWarning(png_structp png, png_const_charp) {
    static_cast<Reference*>(png_get_error_ptr(png))->warned = true;
}

// The transformations that match our output: high byte of 16-bit samples,
// alpha dropped from grey and alpha, palette indices and packed sub-byte
// samples kept, transparency ignored. False when libpng refuses the file.
bool decodeWithLibpng(const uint8_t* data, size_t size, Reference& out) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &out, libpngError, libpngWarning);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{data, size, 0};
    std::vector<png_bytep> rowPointers;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, readFromMemory);
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_read_info(png, info);
    out.colourType = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) == 16) png_set_strip_16(png);
    if (out.colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_strip_alpha(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    out.bitDepth = png_get_bit_depth(png, info);
    out.channels = png_get_channels(png, info);
    out.rows.assign(out.height, std::vector<uint8_t>(png_get_rowbytes(png, info)));
    for (std::vector<uint8_t>& row : out.rows) rowPointers.push_back(row.data());
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

// One pixel as our bitmap holds it: a sub-byte value, an index or grey
// byte, or blue-green-red(-alpha) bytes.
std::vector<uint8_t> ourPixel(const PngOutputFormat& format, const std::vector<uint8_t>& pixels, uint32_t x,
                              uint32_t y) {
    const uint8_t* row = pixels.data() + size_t(y) * format.stride;
    const size_t bit = size_t(x) * format.bitCount;
    if (format.bitCount < 8) {
        return {uint8_t((row[bit / 8] >> (8 - format.bitCount - bit % 8)) & ((1 << format.bitCount) - 1))};
    }
    return std::vector<uint8_t>(row + bit / 8, row + bit / 8 + format.bitCount / 8);
}

// libpng's pixel in the same form (2-bit samples keep their value in our
// 4-bit pixels).
std::vector<uint8_t> referencePixel(const Reference& r, uint32_t x, uint32_t y) {
    const std::vector<uint8_t>& row = r.rows[y];
    if (r.bitDepth < 8) {
        const size_t bit = size_t(x) * r.bitDepth;
        return {uint8_t((row[bit / 8] >> (8 - r.bitDepth - bit % 8)) & ((1 << r.bitDepth) - 1))};
    }
    std::vector<uint8_t> pixel(row.begin() + long(x) * r.channels, row.begin() + long(x + 1) * r.channels);
    if (r.channels >= 3) std::swap(pixel[0], pixel[2]);
    return pixel;
}

void compareWithLibpng(const uint8_t* data, size_t size, PngDecodeResult result, const PngOutputFormat& format,
                       const std::vector<uint8_t>& header, const std::vector<uint8_t>& pixels) {
    Reference reference;
    if (!decodeWithLibpng(data, size, reference) || reference.warned) return;
    FUZZ_CHECK(result == pngDecodeOk, "a file libpng reads cleanly decodes");
    FUZZ_CHECK(format.width == int32_t(reference.width) && format.height == -int32_t(reference.height),
               "same size as libpng");
    for (uint32_t y = 0; y < reference.height; ++y) {
        for (uint32_t x = 0; x < reference.width; ++x) {
            FUZZ_CHECK(ourPixel(format, pixels, x, y) == referencePixel(reference, x, y), "same pixel as libpng");
        }
    }
    if (reference.colourType == PNG_COLOR_TYPE_PALETTE) {
        const size_t colours = std::min<size_t>(reference.palette.size() / 3, format.colourCount);
        for (size_t i = 0; i < colours; ++i) {
            const uint8_t* entry = header.data() + 40 + 4 * i;
            const uint8_t* rgb = reference.palette.data() + 3 * i;
            FUZZ_CHECK(entry[0] == rgb[2] && entry[1] == rgb[1] && entry[2] == rgb[0] && entry[3] == 0,
                       "same palette as libpng");
        }
    }
}

// The player's way for a picture too large for a vector here: inflate, then
// fill memory that may not be granted.
void decodeStaged(PngImage& image, const PngOutputFormat& format) {
    if (!pngImageDecompress(image)) {
        FUZZ_CHECK(image.stage == pngStageParsed && image.filteredData == nullptr, "failed inflation keeps nothing");
        return;
    }
    FUZZ_CHECK(image.stage == pngStageInflated && image.filteredData != nullptr, "inflated");
    uint8_t* pixels = static_cast<uint8_t*>(std::malloc(format.pixelBytes));
    if (pixels) {
        pngImageFillPixels(image, pixels, format.pixelBytes);
        std::free(pixels);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> header, pixels;
    PngImage image;
    pngImageClear(image);
    if (!pngImageAttach(image, data, uint32_t(size))) {
        FUZZ_CHECK(image.lastError == pngErrorNotPng || image.lastError == pngErrorUnsupported, "refusal code");
        FUZZ_CHECK(image.stage == pngStageEmpty && image.sourceKind == pngSourceNone, "a refused file is detached");
        FUZZ_CHECK(pngDecodeToDib(data, size, header, pixels) == pngDecodeLoadFailed, "refused file fails to load");
        FUZZ_CHECK(header.empty() && pixels.empty(), "a failed decode hands back nothing");
        return 0;
    }
    checkParsed(image, data, size);
    FUZZ_CHECK(!pngImageFillPixels(image, nullptr, 0) && image.lastError == pngErrorWrongStage,
               "filling before inflating is refused");
    FUZZ_CHECK(!pngImageAttach(image, data, uint32_t(size)) && image.lastError == pngErrorSourceAttached,
               "a second attach is refused");
    image.lastError = 0;

    PngOutputFormat format;
    const bool haveFormat = pngOutputFormat(image, format);
    if (haveFormat) checkFormat(image, format);
    if (!haveFormat || format.pixelBytes <= allocationCap) {
        const PngDecodeResult result = pngDecodeToDib(data, size, header, pixels);
        FUZZ_CHECK(result == pngDecodeOk || result == pngDecodeInflateFailed || result == pngDecodeBitmapFailed,
                   "an attached file gets past loading");
        FUZZ_CHECK(std::strlen(pngDecodeMessage(result)) > 0 || result == pngDecodeOk, "a failure has a message");
        {
            // The loops of Average and Paeth that every processor runs,
            // where this one has SSE2 and the decode above took the others.
            std::vector<uint8_t> plainHeader, plainPixels;
            pngAllowSse2(false);
            const PngDecodeResult plainResult = pngDecodeToDib(data, size, plainHeader, plainPixels);
            pngAllowSse2(true);
            FUZZ_CHECK(plainResult == result && plainHeader == header && plainPixels == pixels,
                       "the loops without SSE2 decode as the others do");
        }
        if (result == pngDecodeOk) {
            FUZZ_CHECK(haveFormat, "a decoded picture has a format");
            checkDecoded(format, header, pixels);
        } else {
            FUZZ_CHECK(header.empty() && pixels.empty(), "a failed decode hands back nothing");
        }
        if (haveFormat && format.pixelBytes <= referenceCap)
            compareWithLibpng(data, size, result, format, header, pixels);
    } else {
        decodeStaged(image, format);
    }
    pngImageRelease(image);
    FUZZ_CHECK(image.stage == pngStageEmpty && image.filteredData == nullptr, "release clears the record");
    return 0;
}
