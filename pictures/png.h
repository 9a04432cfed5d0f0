// The program's own PNG decoder: chunk walk, inflation, unfiltering, Adam7
// and conversion into a top-down device-independent bitmap layout that GDI
// draws. Portable: the Windows side (pngResourceWin.cpp) only finds the
// resource and creates the DIB section around pngOutputFormat and
// pngImageFillPixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Last error codes of a PngImage; 0 after a step that succeeded.
constexpr uint32_t pngErrorOutOfMemory = 0x1001;
constexpr uint32_t pngErrorSourceAttached = 0x1002;
constexpr uint32_t pngErrorNotPng = 0x2000;  // also held while inflating
constexpr uint32_t pngErrorUnsupported = 0x2001;
constexpr uint32_t pngErrorWrongStage = 0x2003;
constexpr uint32_t pngErrorCreateBitmap = 0x2006;
constexpr uint32_t pngErrorNoResource = 0x3001;
constexpr uint32_t pngErrorLoadResource = 0x3002;

constexpr uint8_t pngStageEmpty = 0;
constexpr uint8_t pngStageParsed = 1;
constexpr uint8_t pngStageInflated = 2;

constexpr uint8_t pngSourceNone = 0;
constexpr uint8_t pngSourceResource = 1;

// The decoder's state for one picture; starts zeroed (pngImageClear).
// Every address points into the caller's source except filteredData.
struct PngImage {
    uint32_t width;
    uint32_t height;
    uint32_t lastError;
    uint32_t paletteCount;  // colours of the first PLTE chunk (length / 3)
    uint8_t colourType;
    uint8_t bitDepth;
    uint8_t interlaceMethod;
    const uint8_t* source;  // the whole file; never written or freed here
    uint32_t sourceLength;
    const uint8_t* chunkCursor;
    uint8_t* filteredData;  // inflated, still filtered rows; owned from stage 2
    uint32_t filteredSize;
    const uint8_t* palette;    // data of the first PLTE chunk, or null
    uint8_t sourceKind;        // pngSourceNone or pngSourceResource
    const uint8_t* header;     // data of the IHDR chunk
    const uint8_t* firstIdat;  // length field of the first IDAT chunk, or null
    uint8_t stage;             // pngStageEmpty, pngStageParsed, pngStageInflated
};

// The BITMAPINFOHEADER fields that vary, the colour table that follows it,
// and the layout of the pixel rows. The fixed fields are biSize 40, biPlanes
// 1, biCompression BI_RGB and zero for the rest.
struct PngOutputFormat {
    int32_t width;
    int32_t height;  // minus the image height: rows run from the top
    uint16_t bitCount;
    uint32_t clrUsed;
    uint32_t colourCount;          // entries in colourTable that the DIB needs
    uint8_t colourTable[256 * 4];  // blue, green, red, 0 per entry; zero beyond
    uint32_t stride;               // bytes per row, a multiple of 4
    uint32_t pixelBytes;           // stride * height
};

// The largest picture the player shows, in pixels (8192 x 8192, whatever its
// format): beyond it the decoder refuses the picture as out of memory before
// allocating anything, and no bitmap layout is given. A fixed number, so that
// every build refuses the same pictures whatever memory its address space
// could have found for them.
constexpr uint64_t pngLargestPixelCount = uint64_t(8192) * 8192;

void pngImageClear(PngImage& image);

// Attaches a PNG file held in memory and walks its chunks: stage 0 to 1.
// Fails with pngErrorSourceAttached when a source is attached or the stage is
// not 0, pngErrorNotPng or pngErrorUnsupported when the data is refused (the
// source is then detached again).
bool pngImageAttach(PngImage& image, const uint8_t* data, uint32_t size);

// Inflates the image data into an exactly sized buffer: stage 1 to 2. A
// picture of more than pngLargestPixelCount pixels fails with
// pngErrorOutOfMemory.
bool pngImageDecompress(PngImage& image);

// The bitmap layout of a parsed or inflated image. False for a palette image
// without PLTE and for a picture of more than pngLargestPixelCount pixels.
bool pngOutputFormat(const PngImage& image, PngOutputFormat& format);

// Unfilters, de-interlaces and converts the rows into pixels laid out as
// pngOutputFormat says (pixelsSize at least its pixelBytes); requires stage
// 2 and leaves it. The bytes that pad each row to a multiple of 4 are not
// written. False on a filter type above 4.
bool pngImageFillPixels(PngImage& image, uint8_t* pixels, size_t pixelsSize);

// Frees the filtered data of an inflated image and zeroes the record.
void pngImageRelease(PngImage& image);

// The 40-byte BITMAPINFOHEADER (little-endian) followed by the colour table.
void pngDibHeaderBytes(const PngOutputFormat& format, std::vector<uint8_t>& bytes);

// Which step of a whole decode failed; each has its own user message.
enum PngDecodeResult {
    pngDecodeOk = 0,
    pngDecodeLoadFailed,     // finding or parsing the file
    pngDecodeInflateFailed,  // inflating the image data
    pngDecodeBitmapFailed,   // converting into the bitmap
};

// "Error: couldn't load PNG resource" and its two siblings; empty for pngDecodeOk.
const char* pngDecodeMessage(PngDecodeResult result);

// The whole decode of a file in memory, as the program would draw it:
// headerAndTable receives pngDibHeaderBytes, pixels the rows (padding zero).
PngDecodeResult pngDecodeToDib(const uint8_t* data, size_t size, std::vector<uint8_t>& headerAndTable,
                               std::vector<uint8_t>& pixels);

// Whether unfiltering may take the Average and Paeth loops built for
// processors with SSE2 when the processor has it (the default), or must take
// the loops that every processor runs. Both give the same pixels; tests run
// both.
void pngAllowSse2(bool allowed);
