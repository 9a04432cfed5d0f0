// Runs one decoder on one file a given number of times and nothing else, for
// counts that a shared machine does not disturb (instructions and simulated
// branch mispredictions under valgrind --tool=callgrind --branch-sim=yes):
//   vetra_decode_runs make FOLDER            writes the ImageMagick inputs of
//                                            the benchmark that it names below
//   vetra_decode_runs inflate N FILE.png     ours on the file's IDAT chunks
//   vetra_decode_runs inflate-plain N FILE   the same without the BMI2 loop
//   vetra_decode_runs libdeflate N FILE.png  libdeflate on the same stream
//   vetra_decode_runs png N FILE.png         pngDecodeToDib
//   vetra_decode_runs png-plain N FILE.png   the same without the SSE2 loops
//   vetra_decode_runs pair N FILE...         ours and libdeflate in turn, N
//                                            inflates each per file: median
//                                            CPU times and their ratio
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/benchData.h"
#include "pictures/inflate.h"
#include "pictures/png.h"

using namespace benchdata;

namespace {

void write(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

int make(const std::string& folder) {
    const RawImage photo = photoImage(2400, 1800, 2, 8);
    write(folder + "/im-rgb.png", imageMagickPng(photo, "", "PNG24:"));
    write(folder + "/im-palette200.png", imageMagickPng(photo, "-colors 200", "PNG8:"));
    const std::string plasma = "-size 1600x1200 -seed 7 plasma:fractal -blur 0x4";
    write(folder + "/im-paeth-rgb.png", imageMagickMadePng(plasma, "", "PNG24:"));
    write(folder + "/im-paeth-rgba.png",
          imageMagickMadePng(plasma + " \\( -size 1600x1200 radial-gradient:white-black \\)"
                                      " -alpha off -compose CopyOpacity -composite",
                             "", "PNG32:"));
    write(folder + "/im-rgba.png", imageMagickPng(photoImage(1600, 1200, 6, 8), "", "PNG32:"));
    write(folder + "/im-flat.png", imageMagickPng(flatImage(1600, 1200), "", "PNG:"));
    // The benchmark's own streams (filtered rows, zlib, 8 KB IDAT chunks).
    const Bytes rows = filteredData(photoImage(1024, 768, 2, 8));
    const Bytes flat = filteredData(flatImage(1024, 768));
    for (int level : {1, 6, 9}) {
        uint32_t firstIdat = 0;
        write(folder + "/photo-l" + std::to_string(level) + ".idat",
              idatFile(zlibCompress(rows, level), 8192, firstIdat));
        write(folder + "/flat-l" + std::to_string(level) + ".idat",
              idatFile(zlibCompress(flat, level), 8192, firstIdat));
    }
    return 0;
}

double threadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Ours and libdeflate alternately on each file, so that both see the same
// load: the ratio of the medians is what the benchmark's tables give.
int pair(int runs, int argc, char** argv) {
    for (int a = 3; a < argc; ++a) {
        std::ifstream f(argv[a], std::ios::binary);
        const Bytes file((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        uint32_t firstIdat = 0;
        const Bytes stream = idatStream(file, firstIdat);
        uLongf size = 64u << 20;
        Bytes expected(size);
        if (stream.size() < 2 || uncompress(expected.data(), &size, stream.data(), uLong(stream.size())) != Z_OK) {
            return 1;
        }
        Bytes ours(size), theirs(size);
        libdeflate_decompressor* d = libdeflate_alloc_decompressor();
        std::vector<double> oursTimes, theirTimes;
        for (int i = 0; i < runs; ++i) {
            double t0 = threadSeconds();
            const bool ok = inflateIdatStream(file.data(), uint32_t(file.size()), file.data() + firstIdat, ours.data(),
                                              uint32_t(size));
            double t1 = threadSeconds();
            size_t actual = 0;
            const bool theirOk = libdeflate_deflate_decompress(d, stream.data() + 2, stream.size() - 2, theirs.data(),
                                                               size, &actual) == LIBDEFLATE_SUCCESS;
            double t2 = threadSeconds();
            if (!ok || !theirOk) return 1;
            oursTimes.push_back(t1 - t0);
            theirTimes.push_back(t2 - t1);
        }
        libdeflate_free_decompressor(d);
        if (std::memcmp(ours.data(), expected.data(), size) != 0) return 1;
        const double o = median(oursTimes), t = median(theirTimes);
        std::printf("%-28s ours %8.3f ms  libdeflate %8.3f ms  ratio %.3f\n", argv[a], o * 1e3, t * 1e3, t / o);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "make" && argc == 3) return make(argv[2]);
    if (mode == "pair" && argc >= 4) return pair(std::atoi(argv[2]), argc, argv);
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: vetra_decode_runs make FOLDER | inflate|inflate-plain|libdeflate|png|png-plain N FILE\n");
        return 2;
    }
    const int runs = std::atoi(argv[2]);
    std::ifstream f(argv[3], std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    uint32_t firstIdat = 0;
    const Bytes stream = idatStream(file, firstIdat);
    if (mode == "png" || mode == "png-plain") {
        pngAllowSse2(mode == "png");
        Bytes header, pixels;
        for (int i = 0; i < runs; ++i) {
            if (pngDecodeToDib(file.data(), file.size(), header, pixels) != pngDecodeOk) return 1;
        }
        return 0;
    }
    uLongf size = 64u << 20;
    Bytes expected(size), out;
    if (stream.size() < 2 || uncompress(expected.data(), &size, stream.data(), uLong(stream.size())) != Z_OK) return 1;
    expected.resize(size);
    out.resize(size);
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    inflateAllowBmi2(mode != "inflate-plain");
    for (int i = 0; i < runs; ++i) {
        size_t actual = 0;
        const bool ok = mode == "libdeflate"
                            ? libdeflate_deflate_decompress(d, stream.data() + 2, stream.size() - 2, out.data(),
                                                            out.size(), &actual) == LIBDEFLATE_SUCCESS
                            : inflateIdatStream(file.data(), uint32_t(file.size()), file.data() + firstIdat, out.data(),
                                                uint32_t(out.size()));
        if (!ok) return 1;
    }
    libdeflate_free_decompressor(d);
    return out == expected ? 0 : 1;
}
