// Inputs of the benchmarks, generated the same way on every run: photo-like
// and flat images, a small PNG writer of our own (zlib compresses, the rows
// are filtered here), and the largest quiz layout the resource format allows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace benchdata {

using Bytes = std::vector<uint8_t>;

// Unfiltered image rows, as PNG lays them out (samples big-endian).
struct RawImage {
    uint32_t width = 0, height = 0;
    uint8_t colourType = 0, bitDepth = 0;
    bool interlaced = false;
    Bytes rows;     // height rows of rowBytes() each
    Bytes palette;  // RGB triples, palette images only
    uint32_t channels() const;
    uint32_t bitsPerPixel() const { return channels() * bitDepth; }
    uint32_t rowBytes(uint32_t w) const { return (w * bitsPerPixel() + 7) / 8; }
};

// Smooth shading plus sensor-like noise: what a photograph gives a PNG coder.
RawImage photoImage(uint32_t width, uint32_t height, uint8_t colourType, uint8_t bitDepth, bool interlaced = false);
// Few colours in large areas, thin lines and small glyph-like marks: what a
// screenshot or a drawing gives.
RawImage flatImage(uint32_t width, uint32_t height);

// The filtered image data (filter byte + row, pass by pass for Adam7) with a
// per-row filter chosen by the smallest sum of absolute values, None for
// palette and sub-byte images.
Bytes filteredData(const RawImage& image);

// A zlib stream of data at the given level (0: stored blocks only).
Bytes zlibCompress(const Bytes& data, int level);

// A PNG file: signature, IHDR, PLTE when needed, the stream cut into IDAT
// chunks of idatSize bytes, IEND.
Bytes pngFile(const RawImage& image, const Bytes& zlibStream, uint32_t idatSize = 8192);

// The image (8-bit RGB or RGBA, not interlaced) written by ImageMagick:
// the pixels go to `convert` as a PPM or PAM file and come back as the PNG
// that `convert <options> <format>:out.png` writes with its own chunking and
// filter choice (format PNG24, PNG32, PNG8 or plain PNG: its own choice).
// `convert` is the program named by VETRA_CONVERT, else the first on the
// path. Aborts with a message when it fails.
Bytes imageMagickPng(const RawImage& image, const std::string& options, const std::string& format);

// A picture that ImageMagick itself makes from `source` (its own input
// syntax, e.g. "-size 640x480 -seed 1 plasma:fractal"), written the same way.
Bytes imageMagickMadePng(const std::string& source, const std::string& options, const std::string& format);

// The data of a PNG file's consecutive IDAT chunks from the first one (the
// zlib stream); firstIdatOffset receives the offset of the first chunk's
// length field.
Bytes idatStream(const Bytes& png, uint32_t& firstIdatOffset);

// A file of IDAT chunks only (behind the signature), for inflating alone;
// firstIdatOffset receives the offset of the first chunk's length field.
Bytes idatFile(const Bytes& zlibStream, uint32_t idatSize, uint32_t& firstIdatOffset);

// Quiz layouts of 96 questions of two answers with reveal mode 3 and texts
// as long as the limits allow: the largest that the decoder's 120000-byte
// buffer holds, and the largest that the encoder takes (its input is under
// 64 KB and its stream within 32768 bytes).
Bytes largestDecodableLayout();
Bytes largestEncodableLayout();

// The LZW stream of any input, written by the codec's own encoding steps
// but without the encoder's input limit, so that the decoder can be given
// the longest output it accepts. For inputs the encoder takes it writes the
// same bytes (checked when the benchmark starts).
Bytes lzwStream(const Bytes& input);

// Two 259-character answers that take every step of the verdict choice:
// full distance table, worst-case sorting, containment scan, similarity.
std::string longAcceptedAnswer();
std::string longTypedAnswer();

}  // namespace benchdata
