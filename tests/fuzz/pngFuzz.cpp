// The PNG decoder on arbitrary files: the chunk walk, inflation, unfiltering,
// Adam7 and conversion, through the one-call decode and through the staged
// calls the Windows side makes. Besides the sanitizers' checks: every
// address the walk records lies inside the file, the staged calls refuse to
// run out of order, a decoded picture has the header and size its format
// announces, and the bytes that pad each row are zero.
//
// A tiny file may declare a huge picture; the decoder then asks for a large
// buffer and must fail cleanly when it is refused. Allocations above 32 MB
// are refused here (a 32-bit process meets the same wall higher up), which
// keeps each run fast. The picture buffer of pngDecodeToDib is a vector,
// whose refusal ASan reports as fatal instead of throwing, so pictures above
// the same bound are drawn through the staged calls into malloc'd memory, as
// the player draws into a DIB section that may not be created.

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
        if (result == pngDecodeOk) {
            FUZZ_CHECK(haveFormat, "a decoded picture has a format");
            checkDecoded(format, header, pixels);
        } else {
            FUZZ_CHECK(header.empty() && pixels.empty(), "a failed decode hands back nothing");
        }
    } else {
        decodeStaged(image, format);
    }
    pngImageRelease(image);
    FUZZ_CHECK(image.stage == pngStageEmpty && image.filteredData == nullptr, "release clears the record");
    return 0;
}
