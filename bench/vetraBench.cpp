// The core's decoders and judge against established libraries, on the same
// generated inputs in the same run. Names are <group>/<input>/<implementation>
// so scripts/bench can line each of ours up with its peers.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <png.h>
#include <spng.h>
#include <stb_image.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "answers/verdict.h"
#include "bench/benchData.h"
#include "pictures/inflate.h"
#include "pictures/png.h"
#include "quiz/lzw.h"

using namespace benchdata;

namespace {

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "benchmark set-up failed: %s\n", what.c_str());
    std::exit(1);
}

// ---------------------------------------------------------------------------
// Inflate: the filtered data of an image compressed by zlib at one level.

struct InflateInput {
    Bytes expected;  // the uncompressed bytes
    Bytes stream;    // the zlib stream
    Bytes file;      // the stream in IDAT chunks, for ours
    uint32_t firstIdat = 0;
};

void inflateOurs(benchmark::State& state, const InflateInput* in) {
    Bytes out(in->expected.size());
    for (auto _ : state) {
        bool ok = inflateIdatStream(in->file.data(), uint32_t(in->file.size()), in->file.data() + in->firstIdat,
                                    out.data(), uint32_t(out.size()));
        benchmark::DoNotOptimize(ok);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(out.size()));
}

// zlib and libdeflate get the raw deflate data behind the two header bytes,
// so that none of the three computes an Adler-32 (ours never does).
bool zlibRaw(const InflateInput& in, Bytes& out) {
    z_stream z = {};
    if (inflateInit2(&z, -15) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(in.stream.data() + 2);
    z.avail_in = uInt(in.stream.size() - 2);
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    int status = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    return status == Z_STREAM_END;
}

void inflateZlib(benchmark::State& state, const InflateInput* in) {
    Bytes out(in->expected.size());
    for (auto _ : state) {
        bool ok = zlibRaw(*in, out);
        benchmark::DoNotOptimize(ok);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(out.size()));
}

void inflateLibdeflate(benchmark::State& state, const InflateInput* in) {
    Bytes out(in->expected.size());
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    for (auto _ : state) {
        size_t actual = 0;
        auto r = libdeflate_deflate_decompress(d, in->stream.data() + 2, in->stream.size() - 2, out.data(), out.size(),
                                               &actual);
        benchmark::DoNotOptimize(r);
        benchmark::ClobberMemory();
    }
    libdeflate_free_decompressor(d);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(out.size()));
}

void checkInflateInput(const std::string& name, const InflateInput& in) {
    Bytes ours(in.expected.size()), theirs(in.expected.size());
    if (!inflateIdatStream(in.file.data(), uint32_t(in.file.size()), in.file.data() + in.firstIdat, ours.data(),
                           uint32_t(ours.size())) ||
        ours != in.expected) {
        fail(name + ": ours does not inflate it");
    }
    if (!zlibRaw(in, theirs) || theirs != in.expected) fail(name + ": zlib does not inflate it");
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    size_t actual = 0;
    auto r = libdeflate_deflate_decompress(d, in.stream.data() + 2, in.stream.size() - 2, theirs.data(), theirs.size(),
                                           &actual);
    libdeflate_free_decompressor(d);
    if (r != LIBDEFLATE_SUCCESS || actual != in.expected.size()) fail(name + ": libdeflate does not inflate it");
}

// ---------------------------------------------------------------------------
// Whole PNG decode, file in memory to pixels in memory; each implementation
// allocates its output on every decode, as a caller would.

struct PngInput {
    Bytes file;
};

void pngOurs(benchmark::State& state, const PngInput* in) {
    for (auto _ : state) {
        std::vector<uint8_t> header, pixels;
        PngDecodeResult r = pngDecodeToDib(in->file.data(), in->file.size(), header, pixels);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(pixels.data());
    }
}

struct MemoryReader {
    const uint8_t* data;
    size_t size, at;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t n) {
    auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (r->size - r->at < n) png_error(png, "read past the end");
    std::memcpy(out, r->data + r->at, n);
    r->at += n;
}

// libpng with the transforms that give our pixel layout (high bytes of 16-bit
// samples, blue first); chunk CRCs and the Adler-32 are not checked, as ours
// does not check them either.
bool libpngDecode(const Bytes& file, std::vector<uint8_t>& pixels) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    MemoryReader reader = {file.data(), file.size(), 0};
    png_set_read_fn(png, &reader, readFromMemory);
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    png_read_info(png, info);
    if (png_get_bit_depth(png, info) == 16) png_set_strip_16(png);
    if (png_get_color_type(png, info) & PNG_COLOR_MASK_COLOR && png_get_color_type(png, info) != 3) png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    pixels.resize(rowBytes * height);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.data() + y * rowBytes;
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

void pngLibpng(benchmark::State& state, const PngInput* in) {
    for (auto _ : state) {
        std::vector<uint8_t> pixels;
        bool ok = libpngDecode(in->file, pixels);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(pixels.data());
    }
}

// libspng in its own format (no conversion at all, the cheapest it offers)
// with checksums ignored.
bool spngDecode(const Bytes& file, std::vector<uint8_t>& pixels) {
    spng_ctx* ctx = spng_ctx_new(SPNG_CTX_IGNORE_ADLER32);
    bool ok = ctx != nullptr;
    size_t size = 0;
    ok = ok && spng_set_crc_action(ctx, SPNG_CRC_USE, SPNG_CRC_USE) == 0;
    ok = ok && spng_set_png_buffer(ctx, file.data(), file.size()) == 0;
    ok = ok && spng_decoded_image_size(ctx, SPNG_FMT_PNG, &size) == 0;
    if (ok) {
        pixels.resize(size);
        ok = spng_decode_image(ctx, pixels.data(), size, SPNG_FMT_PNG, 0) == 0;
    }
    spng_ctx_free(ctx);
    return ok;
}

void pngSpng(benchmark::State& state, const PngInput* in) {
    for (auto _ : state) {
        std::vector<uint8_t> pixels;
        bool ok = spngDecode(in->file, pixels);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(pixels.data());
    }
}

// stb_image in the file's own channel count (it gives 8-bit samples).
void pngStb(benchmark::State& state, const PngInput* in) {
    for (auto _ : state) {
        int w, h, n;
        stbi_uc* pixels = stbi_load_from_memory(in->file.data(), int(in->file.size()), &w, &h, &n, 0);
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
}

// Every implementation decodes the file, and ours gives exactly libpng's
// pixels (the benchmark images have rows of a multiple of 4 bytes).
void checkPngInput(const std::string& name, const PngInput& in) {
    std::vector<uint8_t> header, ours, theirs;
    if (pngDecodeToDib(in.file.data(), in.file.size(), header, ours) != pngDecodeOk) fail(name + ": ours fails");
    if (!libpngDecode(in.file, theirs)) fail(name + ": libpng fails");
    if (ours != theirs) fail(name + ": ours differs from libpng");
    if (!spngDecode(in.file, theirs)) fail(name + ": libspng fails");
    int w, h, n;
    stbi_uc* pixels = stbi_load_from_memory(in.file.data(), int(in.file.size()), &w, &h, &n, 0);
    if (pixels == nullptr) fail(name + ": stb_image fails");
    stbi_image_free(pixels);
}

// ---------------------------------------------------------------------------
// Quiz data and judging.

struct QuizInput {
    Bytes layout;
    Bytes stream;
};

void lzwDecodeLargest(benchmark::State& state, const QuizInput* in) {
    for (auto _ : state) {
        uint8_t* out = nullptr;
        int32_t length = 0;
        int32_t r = lzwDecode(in->stream.data(), uint32_t(in->stream.size()), &out, &length);
        benchmark::DoNotOptimize(r);
        lzwFree(out);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in->layout.size()));
}

void lzwEncodeLargest(benchmark::State& state, const QuizInput* in) {
    for (auto _ : state) {
        uint8_t* out = nullptr;
        int32_t length = 0;
        int32_t r = lzwEncode(in->layout.data(), uint32_t(in->layout.size()), &out, &length);
        benchmark::DoNotOptimize(r);
        lzwFree(out);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in->layout.size()));
}

void verdictLongest(benchmark::State& state, const std::string* texts) {
    for (auto _ : state) {
        const char* verdict = chooseVerdict(texts[0].c_str(), texts[1].c_str());
        benchmark::DoNotOptimize(verdict);
    }
}

// Inputs live for the whole run; the benchmarks hold pointers to them.
std::vector<std::unique_ptr<InflateInput>> inflateInputs;
std::vector<std::unique_ptr<PngInput>> pngInputs;
QuizInput decodeInput, encodeInput;
std::string verdictTexts[2];

// Ours reads the stream from IDAT chunks of idatSize bytes (8 KB, as libpng
// writes them, unless asked otherwise).
void registerInflate(const std::string& name, const Bytes& data, int level, uint32_t idatSize = 8192) {
    auto in = std::make_unique<InflateInput>();
    in->expected = data;
    in->stream = zlibCompress(data, level);
    in->file = idatFile(in->stream, idatSize, in->firstIdat);
    checkInflateInput(name, *in);
    benchmark::RegisterBenchmark(("inflate/" + name + "/vetra").c_str(), inflateOurs, in.get());
    benchmark::RegisterBenchmark(("inflate/" + name + "/zlib").c_str(), inflateZlib, in.get());
    benchmark::RegisterBenchmark(("inflate/" + name + "/libdeflate").c_str(), inflateLibdeflate, in.get());
    inflateInputs.push_back(std::move(in));
}

// The image data of a PNG file made elsewhere: ours reads it from the file's
// own IDAT chunks, zlib and libdeflate get the stream in one piece.
void registerInflateOfPng(const std::string& name, const Bytes& png) {
    auto in = std::make_unique<InflateInput>();
    uint32_t firstIdat = 0;
    in->stream = idatStream(png, firstIdat);
    in->file = png;
    in->firstIdat = firstIdat;
    // Sized by zlib itself: the file's rows, whatever their layout.
    z_stream z = {};
    if (inflateInit(&z) != Z_OK) fail(name + ": zlib");
    Bytes out(size_t(1) << 20);
    z.next_in = in->stream.data();
    z.avail_in = uInt(in->stream.size());
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = out.data();
        z.avail_out = uInt(out.size());
        status = inflate(&z, Z_NO_FLUSH);
        in->expected.insert(in->expected.end(), out.data(), z.next_out);
    }
    inflateEnd(&z);
    if (status != Z_STREAM_END) fail(name + ": zlib does not inflate the file's stream");
    checkInflateInput(name, *in);
    std::fprintf(stderr, "%s: %zu bytes from %zu of stream\n", name.c_str(), in->expected.size(), in->stream.size());
    benchmark::RegisterBenchmark(("inflate/" + name + "/vetra").c_str(), inflateOurs, in.get());
    benchmark::RegisterBenchmark(("inflate/" + name + "/zlib").c_str(), inflateZlib, in.get());
    benchmark::RegisterBenchmark(("inflate/" + name + "/libdeflate").c_str(), inflateLibdeflate, in.get());
    inflateInputs.push_back(std::move(in));
}

void registerPngFile(const std::string& name, Bytes file) {
    auto in = std::make_unique<PngInput>();
    in->file = std::move(file);
    checkPngInput(name, *in);
    benchmark::RegisterBenchmark(("png/" + name + "/vetra").c_str(), pngOurs, in.get());
    benchmark::RegisterBenchmark(("png/" + name + "/libpng").c_str(), pngLibpng, in.get());
    benchmark::RegisterBenchmark(("png/" + name + "/spng").c_str(), pngSpng, in.get());
    benchmark::RegisterBenchmark(("png/" + name + "/stb_image").c_str(), pngStb, in.get());
    pngInputs.push_back(std::move(in));
}

void registerPng(const std::string& name, const RawImage& image) {
    registerPngFile(name, pngFile(image, zlibCompress(filteredData(image), 6)));
}

// The filter types of the rows of a plain (not interlaced) 8-bit file, from
// its filtered data: "None/Sub/Up/Average/Paeth n/n/n/n/n".
std::string filterShares(const Bytes& png, const Bytes& filtered) {
    const uint32_t width = (uint32_t(png[16]) << 24) | (uint32_t(png[17]) << 16) | (uint32_t(png[18]) << 8) | png[19];
    const uint8_t colourType = png[25];
    if (png[24] != 8 || png[28] != 0) return "";
    const size_t row = 1 + size_t(width) * (colourType == 2 ? 3 : colourType == 6 ? 4 : colourType == 4 ? 2 : 1);
    size_t counts[5] = {};
    for (size_t at = 0; at < filtered.size(); at += row) counts[filtered[at] < 5 ? filtered[at] : 0]++;
    return ", rows None/Sub/Up/Average/Paeth " + std::to_string(counts[0]) + "/" + std::to_string(counts[1]) + "/" +
           std::to_string(counts[2]) + "/" + std::to_string(counts[3]) + "/" + std::to_string(counts[4]);
}

void registerImageMagickFile(const char* name, Bytes png) {
    registerInflateOfPng(name, png);
    std::fprintf(stderr, "%s: %zu bytes, colour type %d, interlace %d%s\n", name, png.size(),
                 png.size() > 25 ? png[25] : -1, png.size() > 28 ? png[28] : -1,
                 filterShares(png, inflateInputs.back()->expected).c_str());
    registerPngFile(name, std::move(png));
}

// Large pictures as ImageMagick writes them, the way authors' files come:
// its own filter choice, chunking and compression level. Each file is both a
// whole-decode input and, through its IDAT data, an inflate input.
void registerImageMagick() {
    const RawImage photo = photoImage(2400, 1800, 2, 8);
    const struct {
        const char* name;
        RawImage image;
        const char* options;
        const char* format;
    } files[] = {
        {"im-rgb", photo, "", "PNG24:"},
        {"im-rgba", photoImage(1600, 1200, 6, 8), "", "PNG32:"},
        {"im-palette200", photo, "-colors 200", "PNG8:"},
        {"im-rgb-adam7", photoImage(1600, 1200, 2, 8), "-interlace PNG", "PNG24:"},
        {"im-flat", flatImage(1600, 1200), "", "PNG:"},
    };
    for (const auto& f : files) registerImageMagickFile(f.name, imageMagickPng(f.image, f.options, f.format));
    // Smooth photo-like pictures without grain (a blurred plasma fractal),
    // for which ImageMagick picks Paeth for all rows but the first.
    const char* const plasma = "-size 1600x1200 -seed 7 plasma:fractal -blur 0x4";
    registerImageMagickFile("im-paeth-rgb", imageMagickMadePng(plasma, "", "PNG24:"));
    registerImageMagickFile(
        "im-paeth-rgba", imageMagickMadePng(std::string(plasma) + " \\( -size 1600x1200 radial-gradient:white-black \\)"
                                                                  " -alpha off -compose CopyOpacity -composite",
                                            "", "PNG32:"));
}

void registerAll() {
    const Bytes photo = filteredData(photoImage(1024, 768, 2, 8));
    const Bytes flat = filteredData(flatImage(1024, 768));
    for (int level : {1, 6, 9}) {
        registerInflate("photo-l" + std::to_string(level), photo, level);
        registerInflate("flat-l" + std::to_string(level), flat, level);
    }
    registerInflate("stored", photo, 0);
    registerInflate("stored-idat64k", photo, 0, 65536);

    registerPng("rgb8", photoImage(1024, 768, 2, 8));
    registerPng("rgba8", photoImage(1024, 768, 6, 8));
    registerPng("palette8", photoImage(1024, 768, 3, 8));
    registerPng("grey16", photoImage(1024, 768, 0, 16));
    registerPng("rgb8-adam7", photoImage(1024, 768, 2, 8, true));
    registerImageMagick();

    // The encoder's own stream for the largest layout it takes; our writer
    // of the format must give the same bytes before it is trusted with the
    // longer layout that only the decoder's limits bound.
    encodeInput.layout = largestEncodableLayout();
    uint8_t* stream = nullptr;
    int32_t length = 0;
    if (lzwEncode(encodeInput.layout.data(), uint32_t(encodeInput.layout.size()), &stream, &length) != lzwOk) {
        fail("the largest encodable layout does not encode");
    }
    encodeInput.stream.assign(stream, stream + (length - 1));
    lzwFree(stream);
    if (lzwStream(encodeInput.layout) != encodeInput.stream) fail("the benchmark's LZW writer differs from lzwEncode");

    decodeInput.layout = largestDecodableLayout();
    decodeInput.stream = lzwStream(decodeInput.layout);
    uint8_t* decoded = nullptr;
    bool same = lzwDecode(decodeInput.stream.data(), uint32_t(decodeInput.stream.size()), &decoded, &length) == lzwOk &&
                size_t(length) == decodeInput.layout.size() + 2 &&
                std::memcmp(decoded, decodeInput.layout.data(), decodeInput.layout.size()) == 0;
    lzwFree(decoded);
    if (!same) fail("the largest decodable layout does not decode back");
    std::fprintf(stderr, "quiz layouts: %zu bytes from %zu of stream (decoding), %zu bytes into %zu (encoding)\n",
                 decodeInput.layout.size(), decodeInput.stream.size(), encodeInput.layout.size(),
                 encodeInput.stream.size());
    benchmark::RegisterBenchmark("quiz/decode-limit/lzwDecode", lzwDecodeLargest, &decodeInput);
    benchmark::RegisterBenchmark("quiz/encode-limit/lzwDecode", lzwDecodeLargest, &encodeInput);
    benchmark::RegisterBenchmark("quiz/encode-limit/lzwEncode", lzwEncodeLargest, &encodeInput);

    verdictTexts[0] = longAcceptedAnswer();
    verdictTexts[1] = longTypedAnswer();
    std::fprintf(stderr, "verdict of the two longest answers: %s\n",
                 chooseVerdict(verdictTexts[0].c_str(), verdictTexts[1].c_str()));
    benchmark::RegisterBenchmark("verdict/longest/chooseVerdict", verdictLongest, verdictTexts);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
