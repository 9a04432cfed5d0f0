// PNG decoding in stages: the chunk walk records where things are, the
// inflater fills one exactly sized buffer of filtered rows, and the filling
// step unfilters each row and converts it into the bitmap layout that GDI
// draws. Every size is computed in 64 bits and checked before it is used.

#include "pictures/png.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "pictures/inflate.h"
#include "pictures/unaligned.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <emmintrin.h>
#define VETRA_PNG_SSE2 1
#endif

namespace {

constexpr uint8_t pngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr uint32_t chunkOverhead = 12;  // length, type and CRC
constexpr uint32_t ihdrDataSize = 13;
constexpr uint64_t max32 = 0xFFFFFFFFu;

uint32_t bigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// ---------------------------------------------------------------------------
// Pixel kinds: the fifteen colour type and bit depth pairs, each with the
// bitmap format it becomes and the routine that converts one row.

// Converts `width` pixels of an unfiltered row into output pixels, written
// in whole bytes from the start of `out`.
using ConvertRow = void (*)(const uint8_t* row, uint8_t* out, uint32_t width);

template <int Bits>
void copyRow(const uint8_t* row, uint8_t* out, uint32_t width) {
    std::memcpy(out, row, size_t((uint64_t(width) * Bits + 7) / 8));
}

// Each 2-bit sample becomes a 4-bit sample of the same value, because GDI
// has no 2-bit bitmaps.
void expand2To4(const uint8_t* row, uint8_t* out, uint32_t width) {
    uint32_t outBytes = uint32_t((uint64_t(width) + 1) / 2);
    for (uint32_t j = 0; j < outBytes; ++j) {
        uint8_t in = row[j / 2];
        int shift = (j & 1) ? 0 : 4;  // the high nibble of `in` holds samples 0 and 1
        uint8_t pair = uint8_t(in >> shift);
        out[j] = uint8_t((((pair >> 2) & 3) << 4) | (pair & 3));
    }
}

// 16-bit grey keeps the high byte of each sample; grey and alpha keeps the
// grey (high) byte of each pixel. `Stride` is the input bytes per pixel.
template <int Stride>
void firstByteOfEach(const uint8_t* row, uint8_t* out, uint32_t width) {
    for (uint32_t i = 0; i < width; ++i) out[i] = row[size_t(i) * Stride];
}

// RGB to BGR; `SampleBytes` 2 takes the high byte of 16-bit samples.
template <int SampleBytes>
void rgbToBgr(const uint8_t* row, uint8_t* out, uint32_t width) {
    for (uint32_t i = 0; i < width; ++i, row += 3 * SampleBytes, out += 3) {
        out[0] = row[2 * SampleBytes];
        out[1] = row[SampleBytes];
        out[2] = row[0];
    }
}

// RGBA to BGRA with the alpha kept straight.
template <int SampleBytes>
void rgbaToBgra(const uint8_t* row, uint8_t* out, uint32_t width) {
    for (uint32_t i = 0; i < width; ++i, row += 4 * SampleBytes, out += 4) {
        out[0] = row[2 * SampleBytes];
        out[1] = row[SampleBytes];
        out[2] = row[0];
        out[3] = row[3 * SampleBytes];
    }
}

struct PixelKind {
    uint8_t colourType;
    uint8_t bitDepth;
    uint8_t channels;
    uint8_t outputBits;
    uint16_t greyRamp;  // entries of the grey colour table, 0 for none
    ConvertRow convert;
};

const PixelKind pixelKinds[] = {
    {0, 1, 1, 1, 2, copyRow<1>},
    {0, 2, 1, 4, 4, expand2To4},
    {0, 4, 1, 4, 16, copyRow<4>},
    {0, 8, 1, 8, 256, copyRow<8>},
    {0, 16, 1, 8, 256, firstByteOfEach<2>},
    {2, 8, 3, 24, 0, rgbToBgr<1>},
    {2, 16, 3, 24, 0, rgbToBgr<2>},
    {3, 1, 1, 1, 0, copyRow<1>},
    {3, 2, 1, 4, 0, expand2To4},
    {3, 4, 1, 4, 0, copyRow<4>},
    {3, 8, 1, 8, 0, copyRow<8>},
    {4, 8, 2, 8, 256, firstByteOfEach<2>},
    {4, 16, 2, 8, 256, firstByteOfEach<4>},
    {6, 8, 4, 32, 0, rgbaToBgra<1>},
    {6, 16, 4, 32, 0, rgbaToBgra<2>},
};

const PixelKind* findPixelKind(uint8_t colourType, uint8_t bitDepth) {
    for (const PixelKind& kind : pixelKinds) {
        if (kind.colourType == colourType && kind.bitDepth == bitDepth) return &kind;
    }
    return nullptr;
}

uint32_t bitsPerPixel(const PixelKind& kind) {
    return uint32_t(kind.channels) * kind.bitDepth;
}

// ---------------------------------------------------------------------------
// Pass geometry. A plain image is one pass covering every pixel; Adam7 has
// seven, each a sub-image on a grid of its own.

struct Pass {
    uint32_t width, height;
    uint32_t firstColumn, columnStep;
    uint32_t firstRow, rowStep;
};

const uint8_t adam7FirstColumn[7] = {0, 4, 0, 2, 0, 1, 0};
const uint8_t adam7ColumnStep[7] = {8, 8, 4, 4, 2, 2, 1};
const uint8_t adam7FirstRow[7] = {0, 0, 4, 0, 2, 0, 1};
const uint8_t adam7RowStep[7] = {8, 8, 8, 4, 4, 2, 2};

uint32_t passExtent(uint32_t size, uint32_t first, uint32_t step) {
    if (size <= first) return 0;
    return uint32_t((uint64_t(size) - first + step - 1) / step);
}

int passCount(const PngImage& image) {
    return image.interlaceMethod == 1 ? 7 : 1;
}

// Empty passes (width or height 0) hold no rows, not even filter bytes.
Pass passGeometry(const PngImage& image, int index) {
    if (image.interlaceMethod != 1) return {image.width, image.height, 0, 1, 0, 1};
    Pass p;
    p.firstColumn = adam7FirstColumn[index];
    p.columnStep = adam7ColumnStep[index];
    p.firstRow = adam7FirstRow[index];
    p.rowStep = adam7RowStep[index];
    p.width = passExtent(image.width, p.firstColumn, p.columnStep);
    p.height = passExtent(image.height, p.firstRow, p.rowStep);
    return p;
}

uint64_t rowBytes(uint32_t width, uint32_t bitsPerPixel) {
    return (uint64_t(width) * bitsPerPixel + 7) / 8;
}

// Sum over the non-empty passes of height * (filter byte + row bytes).
bool filteredDataSize(const PngImage& image, const PixelKind& kind, uint32_t& size) {
    uint64_t total = 0;
    for (int i = 0; i < passCount(image); ++i) {
        Pass p = passGeometry(image, i);
        if (p.width == 0 || p.height == 0) continue;
        uint64_t filteredRow = 1 + rowBytes(p.width, bitsPerPixel(kind));
        if (filteredRow > max32) return false;
        uint64_t passBytes = filteredRow * p.height;  // both below 2^32: no overflow
        if (passBytes > max32) return false;
        total += passBytes;
        if (total > max32) return false;
    }
    size = uint32_t(total);
    return true;
}

bool withinLargestPicture(const PngImage& image) {
    return uint64_t(image.width) * image.height <= pngLargestPixelCount;
}

// Rows padded to 4 bytes, the whole checked to fit a 32-bit size and the
// dimensions to fit the bitmap header's signed fields.
bool outputLayout(const PngImage& image, const PixelKind& kind, uint32_t& stride, uint32_t& pixelBytes) {
    if (!withinLargestPicture(image)) return false;
    if (image.width > 0x7FFFFFFFu || image.height > 0x7FFFFFFFu) return false;
    uint64_t rowStride = (rowBytes(image.width, kind.outputBits) + 3) / 4 * 4;
    if (rowStride > max32) return false;
    uint64_t total = rowStride * image.height;  // both below 2^32: no overflow
    if (total > max32) return false;
    stride = uint32_t(rowStride);
    pixelBytes = uint32_t(total);
    return true;
}

// ---------------------------------------------------------------------------
// Chunk walk.

// A chunk at `at` is readable when its 12 bytes of overhead fit and its data
// still leaves room for the CRC before the end of the file.
bool readChunk(const PngImage& image, uint32_t at, uint32_t& length) {
    if (image.sourceLength - at < chunkOverhead) return false;
    length = bigEndian32(image.source + at);
    return length <= image.sourceLength - at - chunkOverhead;
}

bool isChunk(const uint8_t* chunk, const char* type) {
    return std::memcmp(chunk + 4, type, 4) == 0;
}

bool headerSupported(const PngImage& image) {
    const uint8_t* h = image.header;
    uint8_t compressionMethod = h[10], filterMethod = h[11];
    return findPixelKind(image.colourType, image.bitDepth) != nullptr && compressionMethod == 0 && filterMethod == 0 &&
           image.interlaceMethod <= 1;
}

// Returns the last error code of the walk: 0, pngErrorNotPng or
// pngErrorUnsupported. The walk reads every chunk to the end of the data (IEND
// included), so an unknown critical chunk anywhere refuses the file.
uint32_t parseChunks(PngImage& image) {
    image.chunkCursor = nullptr;
    image.header = nullptr;
    image.firstIdat = nullptr;
    image.palette = nullptr;
    image.paletteCount = 0;
    image.lastError = 0;

    if (image.source == nullptr || image.sourceLength < 16 || std::memcmp(image.source, pngSignature, 8) != 0) {
        return pngErrorNotPng;
    }
    uint32_t at = 8, length;
    if (!readChunk(image, at, length) || !isChunk(image.source + at, "IHDR")) return pngErrorNotPng;
    // The IHDR length is not examined, but its fields must lie inside the file.
    if (image.sourceLength - (at + 8) < ihdrDataSize) return pngErrorNotPng;
    image.header = image.source + at + 8;
    image.width = bigEndian32(image.header);
    image.height = bigEndian32(image.header + 4);
    if (image.width == 0 || image.height == 0) return pngErrorNotPng;
    image.bitDepth = image.header[8];
    image.colourType = image.header[9];
    image.interlaceMethod = image.header[12];

    for (at += length + chunkOverhead; readChunk(image, at, length); at += length + chunkOverhead) {
        const uint8_t* chunk = image.source + at;
        image.chunkCursor = chunk;
        if (isChunk(chunk, "PLTE")) {
            if (image.palette == nullptr) {
                image.palette = chunk + 8;
                image.paletteCount = length / 3;
            }
        } else if (isChunk(chunk, "IDAT")) {
            if (image.firstIdat == nullptr) image.firstIdat = chunk;
        } else if (!isChunk(chunk, "IHDR") && !isChunk(chunk, "IEND") && (chunk[4] & 0x20) == 0) {
            return pngErrorUnsupported;  // critical, and not one we know
        }
    }
    return headerSupported(image) ? 0 : pngErrorUnsupported;
}

// ---------------------------------------------------------------------------
// Unfiltering. `prior` is the previous row of the same pass; above the first
// row of a pass lies a row of zeros. Bytes left of the row start count as
// zero too. `distance` is the bytes per pixel, at least 1.
//
// Each filter has its own loop, specialised for the filter distance D so
// that the D bytes to the left stay in registers rather than being read
// back from the row just written. Rows hold whole pixels (or, below 8 bits
// per pixel, D is 1), so their length is a multiple of D.
//
// The filters work byte by byte, each byte from bytes of its own place in
// a sample: the high bytes of 16-bit samples are a picture of their own,
// of the same channels at 8 bits, which is all the bitmap keeps. With Step 2
// only those are rebuilt, from every other byte of the filtered row (the
// first of each sample is the high one), into a row of 8-bit samples whose
// prior row is of the same kind; `length` counts the output bytes.

// Paeth's choice written with the identities |p - a| = |b - c|,
// |p - b| = |a - c| and |p - c| = |a + b - 2c| for p = a + b - c, which
// leave no branch to mispredict.
inline int paethPredictor(int a, int b, int c) {
    int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    int ab = pa <= pb ? a : b;
    int pab = pa <= pb ? pa : pb;
    return pab <= pc ? ab : c;
}

template <int D, int Step>
void unfilterRowFor(uint8_t filter, const uint8_t* row, const uint8_t* prior, uint8_t* out, size_t length) {
    uint8_t left[D];  // the rebuilt pixel to the left (zero before the row)
    uint8_t upLeft[D];
    for (int k = 0; k < D; ++k) left[k] = upLeft[k] = 0;
    switch (filter) {
        case 1:
            for (size_t i = 0; i < length; i += D) {
                for (int k = 0; k < D; ++k) out[i + k] = left[k] = uint8_t(row[(i + k) * Step] + left[k]);
            }
            break;
        case 2:
            for (size_t i = 0; i < length; ++i) out[i] = uint8_t(row[i * Step] + prior[i]);
            break;
        case 3:
            for (size_t i = 0; i < length; i += D) {
                for (int k = 0; k < D; ++k)
                    out[i + k] = left[k] = uint8_t(row[(i + k) * Step] + ((left[k] + prior[i + k]) >> 1));
            }
            break;
        case 4:
            for (size_t i = 0; i < length; i += D) {
                for (int k = 0; k < D; ++k) {
                    uint8_t up = prior[i + k];
                    out[i + k] = left[k] = uint8_t(row[(i + k) * Step] + paethPredictor(left[k], up, upLeft[k]));
                    upLeft[k] = up;
                }
            }
            break;
        default:
            if (Step == 1) {
                std::memcpy(out, row, length);
            } else {
                for (size_t i = 0; i < length; ++i) out[i] = row[i * Step];
            }
            break;
    }
}

// One row with `lanes` bytes from a byte to the one it is filtered against,
// each `Step` bytes apart in the filtered data.
template <size_t Step>
void unfilterLanes(uint8_t filter, const uint8_t* row, const uint8_t* prior, uint8_t* out, size_t length,
                   size_t lanes) {
    switch (lanes) {
        case 2: unfilterRowFor<2, Step>(filter, row, prior, out, length); break;
        case 3: unfilterRowFor<3, Step>(filter, row, prior, out, length); break;
        case 4: unfilterRowFor<4, Step>(filter, row, prior, out, length); break;
        default: unfilterRowFor<1, Step>(filter, row, prior, out, length); break;
    }
}

void unfilterRow(uint8_t filter, const uint8_t* row, const uint8_t* prior, uint8_t* out, size_t length,
                 size_t distance) {
    unfilterLanes<1>(filter, row, prior, out, length, distance);
}

// The high bytes of a row of 16-bit samples, `channels` to a pixel.
void unfilterHighBytes(uint8_t filter, const uint8_t* row, const uint8_t* prior, uint8_t* out, size_t length,
                       size_t channels) {
    unfilterLanes<2>(filter, row, prior, out, length, channels);
}

// Sub, Up and Average on whole pixels held in one 32-bit word (little-endian:
// the first channel lowest), channel by channel without carries between
// them. On 32-bit x86 the rebuilt pixel to the left then stays in one
// register instead of three or four, and each pixel waits on a few
// operations where the channel-by-channel loop waits on reloads of what it
// had to put aside.

// Red and blue (the first and third bytes) exchanged.
inline uint32_t swapRedBlue(uint32_t w) {
    return (w & 0xFF00FF00u) | ((w >> 16) & 0xFFu) | ((w & 0xFFu) << 16);
}
// Each byte of a plus the same byte of b, modulo 256.
inline uint32_t addBytes(uint32_t a, uint32_t b) {
    return ((a & 0x7F7F7F7Fu) + (b & 0x7F7F7F7Fu)) ^ ((a ^ b) & 0x80808080u);
}
// Each byte (a + b) >> 1, rounded down as the Average filter wants.
inline uint32_t averageBytes(uint32_t a, uint32_t b) {
    return (a & b) + (((a ^ b) & 0xFEFEFEFEu) >> 1);
}

// `pixels` pixels of D bytes through rebuild(file pixel swapped, pixel
// above, pixel to the left); each pixel's word load and store may touch the
// byte after a 3-byte pixel, which belongs to the next pixel (or, after the
// last of a row, is never reached: the caller leaves that pixel out).
// Returns the last pixel rebuilt.
template <int D, typename Rebuild>
uint32_t unfilterWords(const uint8_t* row, const uint8_t* prior, uint8_t* out, uint32_t pixels, Rebuild rebuild) {
    uint32_t left = 0;
    const size_t end = size_t(pixels) * D;
    for (size_t i = 0; i < end; i += D) {
        left = rebuild(swapRedBlue(loadWord32(row + i)), loadWord32(prior + i), left);
        storeWord32(out + i, left);
    }
    return left;
}

#ifdef VETRA_PNG_SSE2
// Average with SSE2 byte lanes, which add without a mask and carry nothing
// across (the 32-bit build may use them only once the processor is known to
// have them). PAVGB rounds up where the filter rounds down, but on
// complements it rounds the right way: pavgb(~a, ~b) is ~((a + b) >> 1),
// and the rebuilt pixel raw + ((a + b) >> 1) complemented is that less raw.
// So the pixel to the left is kept complemented, and each pixel waits on two
// operations where the word loop of unfilterWords waits on seven.
template <int D>
__attribute__((target("sse2"))) uint32_t averageWordsSse2(const uint8_t* row, const uint8_t* prior, uint8_t* out,
                                                          uint32_t pixels) {
    const __m128i ones = _mm_set1_epi32(-1);
    __m128i notLeft = ones;  // zero before the row
    const size_t end = size_t(pixels) * D;
    for (size_t i = 0; i < end; i += D) {
        const __m128i raw = _mm_cvtsi32_si128(int(swapRedBlue(loadWord32(row + i))));
        const __m128i notUp = _mm_xor_si128(_mm_cvtsi32_si128(int(loadWord32(prior + i))), ones);
        notLeft = _mm_sub_epi8(_mm_avg_epu8(notLeft, notUp), raw);
        storeWord32(out + i, ~uint32_t(_mm_cvtsi128_si32(notLeft)));
    }
    return ~uint32_t(_mm_cvtsi128_si32(notLeft));
}

__attribute__((target("sse2"))) inline __m128i abs16(__m128i v) {
    return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}

// Paeth with SSE2 on 16-bit lanes, one pixel at a time: the predictor
// chosen by compares and masks, with no branch, where the channel-by-channel
// loop has to keep three or four channels' worth of left and upper-left
// values (on 32-bit x86 mostly on the stack). a, b and c are the pixels to
// the left, above and above-left; pa = |b - c| needs no a, so only
// pb = |a - c|, pc = |(a - c) + (b - c)| (at most 510: 16 bits hold it)
// and the choice wait on the pixel rebuilt just before.
template <int D>
__attribute__((target("sse2"))) uint32_t paethWordsSse2(const uint8_t* row, const uint8_t* prior, uint8_t* out,
                                                        uint32_t pixels) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i lowBytes = _mm_set1_epi16(0xFF);
    __m128i a = zero, c = zero;  // zero before the row
    const size_t end = size_t(pixels) * D;
    for (size_t i = 0; i < end; i += D) {
        const __m128i b = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(loadWord32(prior + i))), zero);
        const __m128i raw = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(swapRedBlue(loadWord32(row + i)))), zero);
        const __m128i bc = _mm_sub_epi16(b, c);
        const __m128i pa = abs16(bc);
        const __m128i bXorC = _mm_xor_si128(b, c);
        const __m128i ac = _mm_sub_epi16(a, c);
        const __m128i pb = abs16(ac);
        const __m128i pc = abs16(_mm_add_epi16(ac, bc));
        // b where pb <= pc, else c; then a where pa is the smallest of the
        // three (ties go to a, then b, as the filter wants).
        const __m128i bOrC = _mm_xor_si128(b, _mm_and_si128(_mm_cmpgt_epi16(pb, pc), bXorC));
        const __m128i notA = _mm_cmpgt_epi16(pa, _mm_min_epi16(pb, pc));
        const __m128i predictor = _mm_or_si128(_mm_and_si128(notA, bOrC), _mm_andnot_si128(notA, a));
        a = _mm_and_si128(_mm_add_epi16(predictor, raw), lowBytes);
        c = b;
        storeWord32(out + i, uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(a, a))));
    }
    return uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(a, a)));
}

bool processorHasSse2() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("sse2") != 0;
    }();
    return has;
}
#endif

std::atomic<bool> sse2Allowed{true};

// Unfiltering and the conversion to blue-first order
// in one pass, for 8-bit RGB (D 3) and RGBA (D 4): output channel c is the file's channel swapped[c]. The filters work
// per channel, so they work as well on the swapped channels: `prior` is the previous output row, already blue-first,
// and no row is written twice.
template <int D>
void unfilterSwappedRow(uint8_t filter, const uint8_t* row, const uint8_t* prior, uint8_t* out, uint32_t width) {
    constexpr int swapped[4] = {2, 1, 0, 3};
    int left[D] = {};  // the rebuilt pixel to the left, zero before the row
    int upLeft[D] = {};
    size_t length = size_t(width) * D;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    bool words = filter != 4;
#ifdef VETRA_PNG_SSE2
    const bool sse2 = sse2Allowed.load(std::memory_order_relaxed) && processorHasSse2();
    words = words || sse2;
#endif
    if (words) {
        // Every pixel but the last of a 3-byte row in words; that one,
        // whose word store would reach the row's padding, is left below.
        const uint32_t wordPixels = D == 4 || width == 0 ? width : width - 1;
        uint32_t last = 0;
        switch (filter) {
            case 1:
                last = unfilterWords<D>(row, prior, out, wordPixels,
                                        [](uint32_t raw, uint32_t, uint32_t before) { return addBytes(raw, before); });
                break;
            case 2:
                last = unfilterWords<D>(row, prior, out, wordPixels,
                                        [](uint32_t raw, uint32_t up, uint32_t) { return addBytes(raw, up); });
                break;
            case 3:
#ifdef VETRA_PNG_SSE2
                if (sse2) {
                    last = averageWordsSse2<D>(row, prior, out, wordPixels);
                    break;
                }
#endif
                last = unfilterWords<D>(row, prior, out, wordPixels, [](uint32_t raw, uint32_t up, uint32_t before) {
                    return addBytes(raw, averageBytes(before, up));
                });
                break;
#ifdef VETRA_PNG_SSE2
            case 4: last = paethWordsSse2<D>(row, prior, out, wordPixels); break;
#endif
            default:
                last =
                    unfilterWords<D>(row, prior, out, wordPixels, [](uint32_t raw, uint32_t, uint32_t) { return raw; });
                break;
        }
        if (D == 4 || width == 0) return;
        const size_t done = size_t(wordPixels) * D;
        for (int c = 0; c < D; ++c) {
            left[c] = int((last >> (8 * c)) & 0xFF);
            if (done != 0) upLeft[c] = prior[done - D + c];
        }
        row += done;
        prior += done;
        out += done;
        length = D;
    }
#endif
    switch (filter) {
        case 1:
            for (size_t i = 0; i < length; i += D) {
                for (int c = 0; c < D; ++c) out[i + c] = uint8_t(left[c] = uint8_t(row[i + swapped[c]] + left[c]));
            }
            break;
        case 2:
            for (size_t i = 0; i < length; i += D) {
                for (int c = 0; c < D; ++c) out[i + c] = uint8_t(row[i + swapped[c]] + prior[i + c]);
            }
            break;
        case 3:
            for (size_t i = 0; i < length; i += D) {
                for (int c = 0; c < D; ++c) {
                    out[i + c] = uint8_t(left[c] = uint8_t(row[i + swapped[c]] + ((left[c] + prior[i + c]) >> 1)));
                }
            }
            break;
        case 4:
            for (size_t i = 0; i < length; i += D) {
                for (int c = 0; c < D; ++c) {
                    const int up = prior[i + c];
                    out[i + c] =
                        uint8_t(left[c] = uint8_t(row[i + swapped[c]] + paethPredictor(left[c], up, upLeft[c])));
                    upLeft[c] = up;
                }
            }
            break;
        default:
            for (size_t i = 0; i < length; i += D) {
                for (int c = 0; c < D; ++c) out[i + c] = row[i + swapped[c]];
            }
            break;
    }
}

// ---------------------------------------------------------------------------
// Adam7 placement of one converted pass row into its output row.

void placePassRow(const uint8_t* converted, uint8_t* outRow, const Pass& pass, uint32_t outputBits) {
    if (outputBits < 8) {
        // 1 or 4 bits: the leftmost pixel sits in the most significant bits,
        // and the output was cleared, so setting bits is enough.
        uint32_t mask = (1u << outputBits) - 1;
        for (uint32_t x = 0; x < pass.width; ++x) {
            uint64_t from = uint64_t(x) * outputBits;
            uint32_t value = (converted[from >> 3] >> (8 - outputBits - (from & 7))) & mask;
            uint64_t to = (uint64_t(pass.firstColumn) + uint64_t(x) * pass.columnStep) * outputBits;
            outRow[to >> 3] |= uint8_t(value << (8 - outputBits - (to & 7)));
        }
        return;
    }
    size_t pixelBytes = outputBits / 8;
    for (uint32_t x = 0; x < pass.width; ++x) {
        uint64_t column = uint64_t(pass.firstColumn) + uint64_t(x) * pass.columnStep;
        std::memcpy(outRow + size_t(column) * pixelBytes, converted + size_t(x) * pixelBytes, pixelBytes);
    }
}

// Adam7 placement of a pass row of D-byte pixels that are already in the
// bitmap's order.
template <int D>
void placePixels(const uint8_t* converted, uint8_t* outRow, const Pass& pass) {
    uint8_t* to = outRow + size_t(pass.firstColumn) * D;
    const size_t step = size_t(pass.columnStep) * D;
    for (uint32_t x = 0; x < pass.width; ++x, converted += D, to += step) {
        for (int c = 0; c < D; ++c) to[c] = converted[c];
    }
}

struct FillBuffers {
    uint8_t* rows = nullptr;     // two row buffers used in turn
    uint8_t* zeros = nullptr;    // the row above the first row of each pass
    uint8_t* scratch = nullptr;  // one converted pass row (Adam7 only)
    size_t half = 0;
    ~FillBuffers() {
        std::free(rows);
        std::free(zeros);
        std::free(scratch);
    }
};

// Every row of a plain 8-bit RGB or RGBA image through unfilterSwappedRow;
// `zeros` is the row above the first.
bool fillSwapped(const PngImage& image, uint32_t pixelSize, uint8_t* pixels, uint32_t stride, const uint8_t* zeros) {
    const size_t length = size_t(image.width) * pixelSize;
    const uint8_t* prior = zeros;
    uint64_t position = 0;
    for (uint32_t y = 0; y < image.height; ++y) {
        if (position + 1 + length > image.filteredSize) return false;
        const uint8_t filter = image.filteredData[position];
        const uint8_t* row = image.filteredData + position + 1;
        position += 1 + length;
        if (filter > 4) return false;
        uint8_t* out = pixels + size_t(y) * stride;
        if (pixelSize == 3) {
            unfilterSwappedRow<3>(filter, row, prior, out, image.width);
        } else {
            unfilterSwappedRow<4>(filter, row, prior, out, image.width);
        }
        prior = out;
    }
    return true;
}

// ---------------------------------------------------------------------------
// The buffer of the filtered data. A quiz decodes its pictures one after
// another, each into a buffer as large as its whole filtered data; fresh
// memory costs a page fault per page on its first write, which on a large
// picture takes as long as inflating into it. So the buffer of the last
// decode is kept for the next (up to keptBufferLimit bytes): a spare block,
// taken and given back by atomic exchange, which stays correct should two
// threads ever decode at once. A block starts with its capacity.

constexpr size_t blockHeader = 16;  // keeps the data as aligned as malloc's
constexpr size_t keptBufferLimit = size_t(16) << 20;
std::atomic<uint8_t*> spareBlock{nullptr};

size_t blockCapacity(const uint8_t* block) {
    size_t capacity;
    std::memcpy(&capacity, block, sizeof capacity);
    return capacity;
}

uint8_t* takeFilteredBuffer(uint32_t size) {
    uint8_t* block = spareBlock.exchange(nullptr);
    if (block != nullptr && blockCapacity(block) >= size) return block + blockHeader;
    std::free(block);
    const size_t total = size_t(size) + blockHeader;
    if (total < size) return nullptr;  // wrapped: a 32-bit size_t
    block = static_cast<uint8_t*>(std::malloc(total));
    if (block == nullptr) return nullptr;
    const size_t capacity = size;
    std::memcpy(block, &capacity, sizeof capacity);
    return block + blockHeader;
}

void giveFilteredBuffer(uint8_t* buffer) {
    if (buffer == nullptr) return;
    uint8_t* block = buffer - blockHeader;
    if (blockCapacity(block) > keptBufferLimit) {
        std::free(block);
        return;
    }
    std::free(spareBlock.exchange(block));
}

}  // namespace

void pngImageClear(PngImage& image) {
    std::memset(&image, 0, sizeof image);
}

bool pngImageAttach(PngImage& image, const uint8_t* data, uint32_t size) {
    if (image.sourceKind != pngSourceNone || image.stage != pngStageEmpty) {
        image.lastError = pngErrorSourceAttached;
        return false;
    }
    image.lastError = 0;
    image.source = data;
    image.sourceLength = size;
    image.sourceKind = pngSourceResource;
    uint32_t error = parseChunks(image);
    if (error != 0) {
        image.sourceKind = pngSourceNone;
        image.lastError = error;
        return false;
    }
    image.stage = pngStageParsed;
    return true;
}

bool pngImageDecompress(PngImage& image) {
    if (image.stage != pngStageParsed) {
        image.lastError = pngErrorWrongStage;
        return false;
    }
    const PixelKind* kind = findPixelKind(image.colourType, image.bitDepth);
    uint32_t size = 0;
    if (kind == nullptr || !withinLargestPicture(image) || !filteredDataSize(image, *kind, size)) {
        image.lastError = pngErrorOutOfMemory;
        return false;
    }
    uint8_t* buffer = takeFilteredBuffer(size);
    if (buffer == nullptr) {
        image.lastError = pngErrorOutOfMemory;
        return false;
    }
    image.lastError = pngErrorNotPng;
    if (!inflateIdatStream(image.source, image.sourceLength, image.firstIdat, buffer, size)) {
        giveFilteredBuffer(buffer);
        return false;
    }
    image.filteredData = buffer;
    image.filteredSize = size;
    image.lastError = 0;
    image.stage = pngStageInflated;
    return true;
}

bool pngOutputFormat(const PngImage& image, PngOutputFormat& format) {
    std::memset(&format, 0, sizeof format);
    if (image.stage == pngStageEmpty) return false;
    const PixelKind* kind = findPixelKind(image.colourType, image.bitDepth);
    if (kind == nullptr || !outputLayout(image, *kind, format.stride, format.pixelBytes)) {
        return false;
    }
    format.width = int32_t(image.width);
    format.height = -int32_t(image.height);
    format.bitCount = kind->outputBits;

    if (kind->greyRamp != 0) {
        uint32_t n = kind->greyRamp;
        format.clrUsed = n;
        format.colourCount = n;
        for (uint32_t i = 0; i < n; ++i) {
            uint8_t level = uint8_t(i * 255 / (n - 1));
            std::memset(format.colourTable + 4 * i, level, 3);
        }
    } else if (image.colourType == 3) {
        // clrUsed 0: the bitmap takes 2^bitCount entries; those past the
        // palette stay zero, and a longer palette is cut to fit.
        if (image.palette == nullptr) return false;
        format.colourCount = 1u << kind->outputBits;
        uint32_t used = image.paletteCount < format.colourCount ? image.paletteCount : format.colourCount;
        for (uint32_t i = 0; i < used; ++i) {
            const uint8_t* rgb = image.palette + 3 * i;
            format.colourTable[4 * i] = rgb[2];
            format.colourTable[4 * i + 1] = rgb[1];
            format.colourTable[4 * i + 2] = rgb[0];
        }
    }
    return true;
}

bool pngImageFillPixels(PngImage& image, uint8_t* pixels, size_t pixelsSize) {
    if (image.stage != pngStageInflated) {
        image.lastError = pngErrorWrongStage;
        return false;
    }
    const PixelKind* kind = findPixelKind(image.colourType, image.bitDepth);
    uint32_t stride = 0, pixelBytes = 0;
    if (kind == nullptr || !outputLayout(image, *kind, stride, pixelBytes) || pixels == nullptr ||
        pixelsSize < pixelBytes) {
        return false;
    }
    const uint32_t bpp = bitsPerPixel(*kind);
    const size_t distance = bpp >= 8 ? bpp / 8 : 1;
    const bool interlaced = image.interlaceMethod == 1;

    // Two halves of at least r + 8 bytes each, r the longest row; it already
    // fits in the filtered data, so the sum cannot overflow 64 bits.
    FillBuffers buffers;
    uint64_t halfSize = (rowBytes(image.width, bpp) + 8 + 7) / 8 * 8;
    if (halfSize > SIZE_MAX / 2) {
        image.lastError = pngErrorOutOfMemory;
        return false;
    }
    buffers.half = size_t(halfSize);
    buffers.rows = static_cast<uint8_t*>(std::malloc(2 * buffers.half));
    buffers.zeros = static_cast<uint8_t*>(std::calloc(buffers.half, 1));
    if (interlaced) buffers.scratch = static_cast<uint8_t*>(std::malloc(size_t(stride) + 16));
    if (buffers.rows == nullptr || buffers.zeros == nullptr || (interlaced && buffers.scratch == nullptr)) {
        image.lastError = pngErrorOutOfMemory;
        return false;
    }
    // The commonest pictures take one pass per row, straight into the
    // bitmap, the row above read back from it.
    if (!interlaced && image.bitDepth == 8 && (image.colourType == 2 || image.colourType == 6)) {
        return fillSwapped(image, bpp / 8, pixels, stride, buffers.zeros);
    }
    const bool swappedRows = image.bitDepth == 8 && (image.colourType == 2 || image.colourType == 6);
    // 16-bit samples: their high bytes are rebuilt alone, an 8-bit picture
    // that the 8-bit kind's conversion then takes.
    const bool highBytes = image.bitDepth == 16;
    const PixelKind* rowKind = highBytes ? findPixelKind(image.colourType, 8) : kind;
    if (rowKind == nullptr) return false;
    // Sub-byte pixels of a pass are OR-ed into place.
    if (interlaced && kind->outputBits < 8) std::memset(pixels, 0, pixelBytes);

    uint64_t position = 0;
    for (int index = 0; index < passCount(image); ++index) {
        Pass pass = passGeometry(image, index);
        if (pass.width == 0 || pass.height == 0) continue;
        size_t length = size_t(rowBytes(pass.width, bpp));
        const uint8_t* prior = buffers.zeros;
        for (uint32_t y = 0; y < pass.height; ++y) {
            if (position + 1 + length > image.filteredSize) return false;
            uint8_t filter = image.filteredData[position];
            const uint8_t* row = image.filteredData + position + 1;
            position += 1 + length;
            if (filter > 4) return false;

            uint8_t* outRow = pixels + size_t(pass.firstRow + uint64_t(y) * pass.rowStep) * stride;
            if (swappedRows) {
                // 8-bit RGB or RGBA passes: rebuilt blue-first, pass 7's rows
                // straight into the bitmap, the others' placed pixel by pixel.
                uint8_t* target = pass.columnStep == 1    ? outRow
                                  : buffers.rows == prior ? buffers.rows + buffers.half
                                                          : buffers.rows;
                if (distance == 3) {
                    unfilterSwappedRow<3>(filter, row, prior, target, pass.width);
                    if (target != outRow) placePixels<3>(target, outRow, pass);
                } else {
                    unfilterSwappedRow<4>(filter, row, prior, target, pass.width);
                    if (target != outRow) placePixels<4>(target, outRow, pass);
                }
                prior = target;
                continue;
            }

            // A None row of 8-bit samples or less is read where it lies; any
            // other is rebuilt in the buffer that does not hold the previous
            // row.
            const uint8_t* current = row;
            if (highBytes || filter != 0) {
                uint8_t* target = buffers.rows == prior ? buffers.rows + buffers.half : buffers.rows;
                if (highBytes) {
                    unfilterHighBytes(filter, row, prior, target, length / 2, kind->channels);
                } else {
                    unfilterRow(filter, row, prior, target, length, distance);
                }
                current = target;
            }
            prior = current;

            if (!interlaced || pass.columnStep == 1) {
                // Pass 7 covers whole rows that no other pass touches.
                rowKind->convert(current, outRow, pass.width);
            } else {
                rowKind->convert(current, buffers.scratch, pass.width);
                placePassRow(buffers.scratch, outRow, pass, kind->outputBits);
            }
        }
    }
    return true;
}

void pngAllowSse2(bool allowed) {
    sse2Allowed.store(allowed, std::memory_order_relaxed);
}

void pngImageRelease(PngImage& image) {
    if (image.stage == pngStageInflated) giveFilteredBuffer(image.filteredData);
    pngImageClear(image);
}

void pngDibHeaderBytes(const PngOutputFormat& format, std::vector<uint8_t>& bytes) {
    bytes.clear();
    auto put16 = [&bytes](uint32_t v) {
        bytes.push_back(uint8_t(v));
        bytes.push_back(uint8_t(v >> 8));
    };
    auto put32 = [&put16](uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    put32(40);                       // biSize
    put32(uint32_t(format.width));   // biWidth
    put32(uint32_t(format.height));  // biHeight, negative: top-down
    put16(1);                        // biPlanes
    put16(format.bitCount);          // biBitCount
    put32(0);                        // biCompression BI_RGB
    put32(0);                        // biSizeImage
    put32(0);                        // biXPelsPerMeter
    put32(0);                        // biYPelsPerMeter
    put32(format.clrUsed);           // biClrUsed
    put32(0);                        // biClrImportant
    bytes.insert(bytes.end(), format.colourTable, format.colourTable + 4 * format.colourCount);
}

const char* pngDecodeMessage(PngDecodeResult result) {
    switch (result) {
        case pngDecodeLoadFailed: return "Error: couldn't load PNG resource";
        case pngDecodeInflateFailed: return "Error: couldn't decode PNG resource";
        case pngDecodeBitmapFailed: return "Error: couldn't create bitmap";
        default: return "";
    }
}

PngDecodeResult pngDecodeToDib(const uint8_t* data, size_t size, std::vector<uint8_t>& headerAndTable,
                               std::vector<uint8_t>& pixels) {
    headerAndTable.clear();
    pixels.clear();
    PngImage image;
    pngImageClear(image);
    if (size > max32 || !pngImageAttach(image, data, uint32_t(size))) return pngDecodeLoadFailed;
    if (!pngImageDecompress(image)) {
        pngImageRelease(image);
        return pngDecodeInflateFailed;
    }
    PngDecodeResult result = pngDecodeBitmapFailed;
    PngOutputFormat format;
    if (pngOutputFormat(image, format)) {
        try {
            pixels.assign(format.pixelBytes, 0);  // zeroed like a new DIB section
            if (pngImageFillPixels(image, pixels.data(), pixels.size())) {
                pngDibHeaderBytes(format, headerAndTable);
                result = pngDecodeOk;
            }
        } catch (const std::bad_alloc&) {
        }
    }
    if (result != pngDecodeOk) pixels.clear();
    pngImageRelease(image);
    return result;
}
