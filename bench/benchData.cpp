#include "bench/benchData.h"

#include <unistd.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "quiz/lzw.h"
#include "quiz/quizLayout.h"

namespace benchdata {

namespace {

// A fixed generator, so every run measures the same bytes.
struct Random {
    uint64_t state;
    explicit Random(uint64_t seed) : state(seed) {}
    uint32_t next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return uint32_t(state >> 33);
    }
    int noise(int spread) { return int(next() % uint32_t(2 * spread + 1)) - spread; }
};

int clampTo(int v, int top) {
    return v < 0 ? 0 : (v > top ? top : v);
}

void put32(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void chunk(Bytes& out, const char* type, const uint8_t* data, size_t size) {
    put32(out, uint32_t(size));
    size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    put32(out, uint32_t(crc32(0, out.data() + typeAt, uInt(4 + size))));
}

const uint8_t adam7FirstColumn[7] = {0, 4, 0, 2, 0, 1, 0};
const uint8_t adam7ColumnStep[7] = {8, 8, 4, 4, 2, 2, 1};
const uint8_t adam7FirstRow[7] = {0, 0, 4, 0, 2, 0, 1};
const uint8_t adam7RowStep[7] = {8, 8, 8, 4, 4, 2, 2};

uint8_t paeth(int a, int b, int c) {
    int p = a + b - c;
    int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return uint8_t(a);
    return pb <= pc ? uint8_t(b) : uint8_t(c);
}

// Filters one row with the filter whose output has the smallest sum of
// absolute (signed) values, the usual encoder heuristic.
void filterRow(const uint8_t* row, const uint8_t* prior, size_t length, size_t distance, bool adaptive, Bytes& out) {
    Bytes best, trial(length);
    long bestSum = -1;
    int bestFilter = 0;
    for (int filter = 0; filter <= (adaptive ? 4 : 0); ++filter) {
        long sum = 0;
        for (size_t i = 0; i < length; ++i) {
            int a = i >= distance ? row[i - distance] : 0;
            int b = prior ? prior[i] : 0;
            int c = (prior && i >= distance) ? prior[i - distance] : 0;
            int predictor = 0;
            switch (filter) {
                case 1: predictor = a; break;
                case 2: predictor = b; break;
                case 3: predictor = (a + b) >> 1; break;
                case 4: predictor = paeth(a, b, c); break;
                default: break;
            }
            trial[i] = uint8_t(row[i] - predictor);
            sum += std::abs(int(int8_t(trial[i])));
        }
        if (bestSum < 0 || sum < bestSum) {
            bestSum = sum;
            bestFilter = filter;
            best = trial;
        }
    }
    out.push_back(uint8_t(bestFilter));
    out.insert(out.end(), best.begin(), best.end());
}

}  // namespace

uint32_t RawImage::channels() const {
    switch (colourType) {
        case 2: return 3;
        case 4: return 2;
        case 6: return 4;
        default: return 1;
    }
}

RawImage photoImage(uint32_t width, uint32_t height, uint8_t colourType, uint8_t bitDepth, bool interlaced) {
    RawImage image;
    image.width = width;
    image.height = height;
    image.colourType = colourType;
    image.bitDepth = bitDepth;
    image.interlaced = interlaced;
    Random random(width * 131 + height * 7 + colourType * 3 + bitDepth);
    const uint32_t channels = image.channels();
    const int top = (1 << bitDepth) - 1;
    image.rows.reserve(size_t(height) * image.rowBytes(width));
    if (colourType == 3) {
        // A 3-3-2 colour cube, the shape a quantised photograph takes.
        for (int i = 0; i < 256; ++i) {
            image.palette.push_back(uint8_t((i >> 5) * 255 / 7));
            image.palette.push_back(uint8_t(((i >> 2) & 7) * 255 / 7));
            image.palette.push_back(uint8_t((i & 3) * 255 / 3));
        }
    }
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            double fx = x / double(width), fy = y / double(height);
            double light = 0.5 + 0.3 * std::sin(6.0 * fx + 2.0 * fy) * std::cos(4.0 * fy - fx) + 0.15 * fy;
            double tone[4] = {light + 0.1 * std::sin(17.0 * fx), light * (0.8 + 0.2 * std::cos(9.0 * fy)),
                              light * 0.7 + 0.2 * fx, 1.0 - 0.8 * std::hypot(fx - 0.5, fy - 0.5)};
            // Objects with edges, a woven texture in one part, and noise
            // that is strong in some areas and faint in others: a mix for
            // which an encoder picks every filter type.
            double object = std::hypot(fx - 0.3, fy - 0.6) < 0.18 ? 0.25 : 0.0;
            if (fx > 0.55 && fx < 0.8 && fy > 0.1 && fy < 0.45) object -= 0.2;
            double texture = fx > 0.6 && fy > 0.55 ? 0.08 * std::sin(x * 0.9) * std::sin(y * 0.7) : 0.0;
            double grain = 0.5 + 0.5 * std::sin(3.0 * fx) * std::cos(2.5 * fy);
            int sample[4];
            for (uint32_t c = 0; c < 4; ++c) {
                int spread = int(grain * grain * grain * (top / 50.0)) + (c == 3 ? 0 : 1);
                double value = c == 3 ? tone[c] : tone[c] + object * (c == 1 ? -1.0 : 1.0) + texture;
                sample[c] = clampTo(int(value * top) + random.noise(spread), top);
            }
            if (colourType == 3) {
                int r = sample[0] >> 5, g = sample[1] >> 5, b = sample[2] >> 6;
                image.rows.push_back(uint8_t((r << 5) | (g << 2) | b));
                continue;
            }
            for (uint32_t c = 0; c < channels; ++c) {
                // Grey takes the luminance; the last channel of grey-alpha
                // and RGBA is the alpha vignette.
                int value = sample[c];
                if ((colourType == 0 || colourType == 4) && c == 0) value = (sample[0] + 2 * sample[1] + sample[2]) / 4;
                if ((colourType == 4 && c == 1) || (colourType == 6 && c == 3)) value = sample[3];
                if (bitDepth == 16) image.rows.push_back(uint8_t(value >> 8));
                image.rows.push_back(uint8_t(value));
            }
        }
    }
    return image;
}

RawImage flatImage(uint32_t width, uint32_t height) {
    RawImage image;
    image.width = width;
    image.height = height;
    image.colourType = 2;
    image.bitDepth = 8;
    image.rows.assign(size_t(width) * height * 3, 0);
    Random random(99);
    auto fill = [&](uint32_t x0, uint32_t y0, uint32_t w, uint32_t h, uint32_t rgb) {
        for (uint32_t y = y0; y < y0 + h && y < height; ++y) {
            for (uint32_t x = x0; x < x0 + w && x < width; ++x) {
                uint8_t* p = &image.rows[(size_t(y) * width + x) * 3];
                p[0] = uint8_t(rgb >> 16);
                p[1] = uint8_t(rgb >> 8);
                p[2] = uint8_t(rgb);
            }
        }
    };
    fill(0, 0, width, height, 0xF0F0F0);
    const uint32_t colours[] = {0x2060C0, 0xFFFFFF, 0xC0C0C0, 0x404040, 0xE0E8FF, 0x80A040};
    for (int i = 0; i < 60; ++i) {
        uint32_t x = random.next() % width, y = random.next() % height;
        fill(x, y, 40 + random.next() % 300, 20 + random.next() % 200, colours[random.next() % 6]);
        fill(x, y, 1 + random.next() % 300, 1, 0x000000);  // a frame line
    }
    // Glyph-like marks in rows, as text in a window would give.
    for (uint32_t line = 10; line + 12 < height; line += 24) {
        for (uint32_t x = 8; x + 8 < width / 2; x += 7) {
            uint32_t glyph = random.next();
            for (uint32_t bit = 0; bit < 30; ++bit) {
                if (glyph & (1u << bit)) fill(x + bit % 5, line + bit / 5 * 2, 1, 2, 0x101010);
            }
        }
    }
    return image;
}

Bytes filteredData(const RawImage& image) {
    const uint32_t bpp = image.bitsPerPixel();
    const size_t distance = bpp >= 8 ? bpp / 8 : 1;
    const bool adaptive = image.colourType != 3 && image.bitDepth >= 8;
    const size_t pixelBytes = bpp / 8;
    Bytes out;
    const int passes = image.interlaced ? 7 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        uint32_t x0 = image.interlaced ? adam7FirstColumn[pass] : 0, dx = image.interlaced ? adam7ColumnStep[pass] : 1;
        uint32_t y0 = image.interlaced ? adam7FirstRow[pass] : 0, dy = image.interlaced ? adam7RowStep[pass] : 1;
        if (x0 >= image.width || y0 >= image.height) continue;
        uint32_t passWidth = (image.width - x0 + dx - 1) / dx;
        size_t length = image.rowBytes(passWidth);
        Bytes prior, row(length);
        for (uint32_t y = y0; y < image.height; y += dy) {
            const uint8_t* source = &image.rows[size_t(y) * image.rowBytes(image.width)];
            if (!image.interlaced) {
                row.assign(source, source + length);
            } else {
                // The benchmark images have whole-byte pixels.
                for (uint32_t i = 0; i < passWidth; ++i) {
                    std::memcpy(&row[i * pixelBytes], source + (x0 + size_t(i) * dx) * pixelBytes, pixelBytes);
                }
            }
            filterRow(row.data(), prior.empty() ? nullptr : prior.data(), length, distance, adaptive, out);
            prior = row;
        }
    }
    return out;
}

Bytes zlibCompress(const Bytes& data, int level) {
    uLongf size = compressBound(uLong(data.size()));
    Bytes out(size);
    if (compress2(out.data(), &size, data.data(), uLong(data.size()), level) != Z_OK) std::abort();
    out.resize(size);
    return out;
}

Bytes pngFile(const RawImage& image, const Bytes& zlibStream, uint32_t idatSize) {
    static const uint8_t signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    Bytes out(signature, signature + 8);
    Bytes header;
    put32(header, image.width);
    put32(header, image.height);
    header.insert(header.end(), {image.bitDepth, image.colourType, 0, 0, uint8_t(image.interlaced ? 1 : 0)});
    chunk(out, "IHDR", header.data(), header.size());
    if (!image.palette.empty()) chunk(out, "PLTE", image.palette.data(), image.palette.size());
    for (size_t at = 0; at < zlibStream.size(); at += idatSize) {
        size_t n = zlibStream.size() - at < idatSize ? zlibStream.size() - at : idatSize;
        chunk(out, "IDAT", zlibStream.data() + at, n);
    }
    chunk(out, "IEND", nullptr, 0);
    return out;
}

Bytes idatFile(const Bytes& zlibStream, uint32_t idatSize, uint32_t& firstIdatOffset) {
    static const uint8_t signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    Bytes out(signature, signature + 8);
    firstIdatOffset = uint32_t(out.size());
    for (size_t at = 0; at < zlibStream.size(); at += idatSize) {
        size_t n = zlibStream.size() - at < idatSize ? zlibStream.size() - at : idatSize;
        chunk(out, "IDAT", zlibStream.data() + at, n);
    }
    chunk(out, "IEND", nullptr, 0);
    return out;
}

namespace {

uint32_t bigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

[[noreturn]] void setupFailed(const std::string& what) {
    std::fprintf(stderr, "benchmark set-up failed: %s\n", what.c_str());
    std::exit(1);
}

// Runs `convert <source> <options> <format>out.png` in a folder of its own
// and returns the file; `source` names the input, `in` is a file already
// written there (removed afterwards) or empty.
Bytes runConvert(const std::string& folder, const std::string& in, const std::string& source,
                 const std::string& options, const std::string& format) {
    const std::string out = folder + "/out.png";
    const char* program = std::getenv("VETRA_CONVERT");
    const std::string command = std::string(program != nullptr && *program != 0 ? program : "convert") + " " + source +
                                " -define png:exclude-chunks=date,time " + options + " " + format + out;
    const int status = std::system((command + " > /dev/null 2>&1").c_str());
    std::ifstream f(out, std::ios::binary);
    Bytes png((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (!in.empty()) std::remove(in.c_str());
    std::remove(out.c_str());
    rmdir(folder.c_str());
    if (status != 0 || png.size() < 8) setupFailed("convert failed: " + command);
    return png;
}

std::string temporaryFolder() {
    char folder[] = "/tmp/vetra-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) setupFailed("no temporary folder");
    return folder;
}

}  // namespace

Bytes imageMagickPng(const RawImage& image, const std::string& options, const std::string& format) {
    if (image.bitDepth != 8 || (image.colourType != 2 && image.colourType != 6) || image.interlaced) {
        setupFailed("imageMagickPng takes 8-bit RGB or RGBA rows");
    }
    const std::string dir = temporaryFolder();
    const bool alpha = image.colourType == 6;
    const std::string in = dir + (alpha ? "/in.pam" : "/in.ppm");
    {
        std::ofstream f(in, std::ios::binary);
        const std::string w = std::to_string(image.width), h = std::to_string(image.height);
        f << (alpha ? "P7\nWIDTH " + w + "\nHEIGHT " + h + "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                    : "P6\n" + w + " " + h + "\n255\n");
        f.write(reinterpret_cast<const char*>(image.rows.data()), std::streamsize(image.rows.size()));
        if (!f) setupFailed("cannot write " + in);
    }
    return runConvert(dir, in, in, options, format);
}

Bytes imageMagickMadePng(const std::string& source, const std::string& options, const std::string& format) {
    return runConvert(temporaryFolder(), "", source, options, format);
}

Bytes idatStream(const Bytes& png, uint32_t& firstIdatOffset) {
    Bytes stream;
    firstIdatOffset = 0;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = bigEndian32(&png[at]);
        if (length > png.size() - at - 12) break;
        const bool idat = std::memcmp(&png[at + 4], "IDAT", 4) == 0;
        if (idat && stream.empty()) firstIdatOffset = uint32_t(at);
        if (!idat && !stream.empty()) break;
        if (idat) stream.insert(stream.end(), png.begin() + long(at + 8), png.begin() + long(at + 8 + length));
        at += 12 + size_t(length);
    }
    return stream;
}

namespace {

// French-looking text drawn from a small vocabulary: about as compressible
// as the texts of a real quiz.
std::string quizText(Random& random, size_t length) {
    static const char* const words[] = {
        "le",      "la",         "les",      "des",      "une",        "un",       "de",       "du",     "et",
        "qui",     "que",        "dans",     "sur",      "pour",       "par",      "avec",     "sans",   "roi",
        "reine",   "ville",      "fleuve",   "montagne", "peintre",    "auteur",   "chanson",  "film",   "annee",
        "guerre",  "paix",       "histoire", "musique",  "tableau",    "roman",    "capitale", "pays",   "mer",
        "grand",   "petit",      "ancien",   "nouveau",  "celebre",    "premier",  "dernier",  "nord",   "sud",
        "est",     "ouest",      "siecle",   "empire",   "republique", "victoire", "ecrivain", "poete",  "pont",
        "chateau", "cathedrale", "riviere",  "ile",      "lac",        "foret",    "jardin",   "palais", "tour"};
    const size_t count = sizeof words / sizeof words[0];
    std::string text;
    while (text.size() < length) {
        if (!text.empty()) text += ' ';
        text += words[random.next() % count];
        if (random.next() % 7 == 0) text += char('A' + random.next() % 26);  // names, dates, oddities
    }
    text.resize(length);
    if (text.back() == ' ') text.back() = '.';
    return text;
}

// A layout of 96 questions of two answers with reveal mode 3, every text
// `length` characters long (the header texts 259).
Bytes quizLayout(size_t length) {
    Random random(2024);
    QuizSource source;
    source.kind = 0;
    source.title = quizText(random, 259);
    source.author = quizText(random, 259);
    source.explanations = quizText(random, 259);
    source.caption1 = quizText(random, 259);
    source.caption2 = quizText(random, 259);
    source.answersPerQuestion = 2;
    source.revealMode = 3;
    for (int i = 0; i < 96; ++i) {
        QuizSourceQuestion q;
        q.answer1 = quizText(random, length);
        q.answer2 = quizText(random, length);
        q.prompt = quizText(random, length);
        q.comment = quizText(random, length);
        q.secondComment = quizText(random, length);
        source.questions.push_back(q);
        source.rewardCodes.push_back(quizText(random, 12));
    }
    if (quizSourceProblem(source) != nullptr) std::abort();
    return writeQuizLayout(source);
}

}  // namespace

Bytes lzwStream(const Bytes& input) {
    // The encoder's steps with a map for the dictionary: codes packed most
    // significant bit first from 9 bits, widened by code 257, reset by 258
    // when the dictionary is full, ended by 256.
    Bytes out;
    uint64_t pending = 0;
    int pendingBits = 0;
    int width = 9;
    auto write = [&](uint32_t code) {
        pending = (pending << width) | code;
        pendingBits += width;
        while (pendingBits >= 8) {
            out.push_back(uint8_t(pending >> (pendingBits - 8)));
            pendingBits -= 8;
        }
    };
    auto writeWidened = [&](uint32_t code) {
        for (uint32_t k = code >> width; k != 0; k >>= 1) {
            write(257);
            ++width;
        }
        write(code);
    };
    std::map<std::string, uint32_t> dictionary;
    uint32_t nextCode = 259;
    auto codeOf = [&](const std::string& text) {
        return text.size() == 1 ? uint32_t(uint8_t(text[0])) : dictionary.at(text);
    };
    std::string current(1, char(input.at(0)));
    for (size_t i = 1; i < input.size(); ++i) {
        std::string candidate = current + char(input[i]);
        if (candidate.size() > 1 && dictionary.count(candidate) != 0) {
            current = candidate;
            continue;
        }
        dictionary[candidate] = nextCode++;
        writeWidened(codeOf(current));
        current.assign(1, char(input[i]));
        if (nextCode == 4096) {
            write(258);
            nextCode = 259;
            dictionary.clear();
            dictionary[candidate] = nextCode++;
            width = 9;
        }
    }
    writeWidened(codeOf(current));
    write(256);
    if (pendingBits > 0) out.push_back(uint8_t(pending << (8 - pendingBits)));
    return out;
}

Bytes largestDecodableLayout() {
    // Shorten the texts until the decoded bytes fit the decoder's buffer.
    for (size_t length = 259; length > 0; --length) {
        Bytes layout = quizLayout(length);
        if (layout.size() + 2 <= lzwDecodedCapacity) return layout;
    }
    std::abort();
}

Bytes largestEncodableLayout() {
    // Shorten the texts until the encoder takes the input (under 64 KB) and
    // its stream fits its 32768-byte buffer.
    for (size_t length = 259; length > 0; --length) {
        Bytes layout = quizLayout(length);
        if (layout.size() > lzwMaxInputSize) continue;
        uint8_t* stream = nullptr;
        int32_t streamLength = 0;
        int32_t result = lzwEncode(layout.data(), uint32_t(layout.size()), &stream, &streamLength);
        lzwFree(stream);
        if (result == lzwOk) return layout;
    }
    std::abort();
}

std::string longAcceptedAnswer() {
    // Letters in descending order: the most swaps for the letter sort.
    std::string text;
    for (int i = 0; i < 259; ++i) text += char('Z' - i * 26 / 259);
    return text;
}

std::string longTypedAnswer() {
    // Same shape, other letter counts (not an anagram), typed in lower case.
    std::string text;
    for (int i = 0; i < 259; ++i) text += char('z' - (i * 26 / 259 + i % 3) % 26);
    return text;
}

}  // namespace benchdata
