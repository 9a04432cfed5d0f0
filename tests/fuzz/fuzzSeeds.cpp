// Writes the seed corpora of the fuzz targets: worked examples of each
// format, LZW streams made by the encoder, zlib streams of each block type
// and a few PngSuite pictures. Run once after a format change; the output is
// committed (tests/fuzz/corpus) and small.
//   build/fuzz/fuzzSeeds tests/fuzz/corpus tests/data/pngsuite

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "quiz/lzw.h"
#include "quiz/quizLayout.h"
#include "sheet/progressFile.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string corpus;
int failures = 0;

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

void write(const std::string& target, const std::string& name, const Bytes& bytes) {
    std::error_code ignored;  // a folder that cannot be made shows when the file cannot be written
    std::filesystem::create_directories(corpus + "/" + target, ignored);
    const std::string path = corpus + "/" + target + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        ++failures;
    }
}

bool readFile(const std::string& path, Bytes& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

Bytes lzw(const Bytes& plain) {
    uint8_t* stream = nullptr;
    int32_t length = 0;
    Bytes out;
    if (lzwEncode(plain.data(), uint32_t(plain.size()), &stream, &length) == lzwOk) {
        out.assign(stream, stream + length - 1);
    } else {
        std::fprintf(stderr, "lzwEncode refused a seed of %zu bytes\n", plain.size());
        ++failures;
    }
    lzwFree(stream);
    return out;
}

// French-like text, the kind of bytes a quiz holds; 2000 bytes make codes
// past 511, so the stream holds widen codes.
std::string prose(size_t size, unsigned seed) {
    static const char* const words[] = {"le", "la",    "quiz",  "r\xE9ponse", "question", "image",  "de",
                                        "et", "Paris", "Vinci", "chanson",    "film",     "auteur", "ann\xE9\x65"};
    std::mt19937 rng(seed);
    std::string text;
    while (text.size() < size) {
        text += words[rng() % (sizeof words / sizeof *words)];
        text += rng() % 7 == 0 ? ".\r\n" : " ";
    }
    text.resize(size);
    return text;
}

QuizSource sampleSource(int questions, int answers, int mode) {
    QuizSource s;
    s.kind = 1;
    s.title = "Films des ann\xE9\x65s 80";
    s.author = "Claire";
    s.explanations = "Trouvez le titre de chaque film.";
    s.caption1 = "Titre";
    s.caption2 = "Ann\xE9\x65";
    s.answersPerQuestion = answers;
    s.revealMode = mode;
    s.colourRed = 0x35;
    s.colourGreen = 0xCB;
    s.colourBlue = 0xA3;
    for (int i = 1; i <= questions; ++i) {
        QuizSourceQuestion q;
        q.answer1 = "R\xE9ponse " + std::to_string(i);
        if (answers == 2) q.answer2 = std::to_string(1980 + i);
        q.prompt = "img" + std::to_string(i) + ".png";
        q.comment = "Indice " + std::to_string(i);
        q.secondComment = "Autre indice " + std::to_string(i);
        s.questions.push_back(q);
        s.rewardCodes.push_back("CODE" + std::to_string(i * 37));
    }
    return s;
}

// Two bytes giving where 104 ends, 104, then 105: the quiz layout target's input.
Bytes layoutInput(const Bytes& layout, const Bytes& codes) {
    Bytes in = {uint8_t(layout.size()), uint8_t(layout.size() >> 8)};
    in.insert(in.end(), layout.begin(), layout.end());
    in.insert(in.end(), codes.begin(), codes.end());
    return in;
}

void quizSeeds() {
    const struct {
        const char* name;
        int questions, answers, mode;
    } quizzes[] = {{"one-answer-mode0", 3, 1, 0}, {"two-answers-mode2", 3, 2, 2},
                   {"mode3-pairs", 2, 1, 3},      {"mode4", 2, 2, 4},
                   {"no-questions", 0, 1, 0},     {"beyond-96-codes", 100, 1, 0}};
    for (const auto& q : quizzes) {
        const QuizSource source = sampleSource(q.questions, q.answers, q.mode);
        const Bytes layout = writeQuizLayout(source), codes = writeRewardCodes(source);
        write("quizLayout", q.name, layoutInput(layout, codes));
        if (q.questions <= 3) {
            write("lzwRoundTrip", std::string("layout-") + q.name, layout);
            write("lzwDecode", std::string("layout-") + q.name, lzw(layout));
            if (!codes.empty()) write("lzwDecode", std::string("codes-") + q.name, lzw(codes));
        }
    }
    // Hand-made edge cases: a text running to the end, a code line without its CR.
    write("quizLayout", "truncated-text", layoutInput(bytesOf(std::string("\0\2\1\1Titre|Aut", 13)), Bytes()));
    const Bytes oneQuestion = bytesOf(std::string("\0\1\1\1T|A|E|C|D|r|p|\0\1\2\3", 22));
    write("quizLayout", "code-without-cr", layoutInput(oneQuestion, bytesOf("CODE")));
    write("quizLayout", "long-text",
          layoutInput(
              bytesOf(std::string("\0\1\0\1", 4) + std::string(300, 'x') + "|A|E|C|D|" + std::string(1, '\0') + "abc"),
              Bytes()));
    // Two questions whose second bytes, read as 107, give both boxes of question 2 other answers.
    const QuizSource two = sampleSource(2, 2, 0);
    write("quizLayout", "other-answers",
          layoutInput(writeQuizLayout(two), writeOtherAnswers({{2, 1, {"en 1789", "1789"}}, {2, 2, {"x"}}})));
}

void lzwSeeds() {
    const struct {
        const char* name;
        std::string plain;
    } texts[] = {{"abc", "abc"},
                 {"one-byte", "x"},
                 {"run", std::string(600, 'a')},
                 {"zero-bytes", std::string(40, '\0')},
                 {"prose-2k", prose(2000, 1)}};
    for (const auto& t : texts) {
        write("lzwRoundTrip", t.name, bytesOf(t.plain));
        write("lzwDecode", t.name, lzw(bytesOf(t.plain)));
    }
    // Nearly every byte of noise adds a dictionary entry: 5000 bytes fill
    // it once, so the encoder resets it and the stream holds a reset code.
    Bytes noise(5000);
    std::mt19937 rng(3);
    for (uint8_t& b : noise) b = uint8_t(rng());
    write("lzwDecode", "noise-5k-reset", lzw(noise));
    write("lzwRoundTrip", "noise-5k-reset", noise);
}

// The inflate target's input: mode, 3-byte output size, then its payload.
Bytes inflateInput(uint8_t mode, uint32_t outputSize, const Bytes& payload) {
    Bytes in = {mode, uint8_t(outputSize), uint8_t(outputSize >> 8), uint8_t(outputSize >> 16)};
    in.insert(in.end(), payload.begin(), payload.end());
    return in;
}

Bytes zlibStream(const Bytes& plain, int level, int strategy) {
    z_stream z = {};
    deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy);
    Bytes out(deflateBound(&z, uLong(plain.size())));
    z.next_in = const_cast<Bytef*>(plain.data());
    z.avail_in = uInt(plain.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

void inflateSeeds(const std::string& pngsuite) {
    const Bytes text = bytesOf(prose(3000, 4));
    const uint32_t size = uint32_t(text.size());
    write("inflate", "stored-one-chunk", inflateInput(0x00, size, zlibStream(text, 0, Z_DEFAULT_STRATEGY)));
    write("inflate", "fixed-chunks-of-7", inflateInput(0x07, size, zlibStream(text, 9, Z_FIXED)));
    write("inflate", "dynamic-empty-chunks", inflateInput(0x45, size, zlibStream(text, 9, Z_DEFAULT_STRATEGY)));
    write("inflate", "dynamic-short-output", inflateInput(0x00, size / 2, zlibStream(text, 6, Z_DEFAULT_STRATEGY)));
    write("inflate", "rle-long-output", inflateInput(0x00, size + 100, zlibStream(text, 6, Z_RLE)));
    // A dynamic block whose code-length code is empty: zlib reads on as if
    // every length were 0, ours stops at the first code it cannot read.
    const uint8_t emptyCodeLengths[] = {0x78, 0x01, 0x05, 0x02, 0x00, 0x00, 0x00, 0xC1, 0xC1, 0x98, 0x0F};
    write("inflate", "empty-code-length-code",
          inflateInput(0x00, 3100, Bytes(emptyCodeLengths, emptyCodeLengths + sizeof emptyCodeLengths)));
    // Whole files: the offset of the first IDAT's length field, then the file.
    for (const char* name : {"basn0g08.png", "basi3p02.png", "z00n2c08.png"}) {
        Bytes png;
        if (!readFile(pngsuite + "/" + name, png)) {
            std::fprintf(stderr, "cannot read %s/%s\n", pngsuite.c_str(), name);
            ++failures;
            continue;
        }
        const std::string file(png.begin(), png.end());
        const size_t idat = file.find("IDAT");
        if (idat == std::string::npos || idat < 4) continue;
        Bytes payload = {uint8_t(idat - 4), uint8_t((idat - 4) >> 8)};
        payload.insert(payload.end(), png.begin(), png.end());
        write("inflate", std::string("file-") + name, inflateInput(0x80, 0x1000, payload));
    }
}

void pngSeeds(const std::string& pngsuite) {
    // Each colour type and depth, Adam7, odd sizes, filters, ancillary
    // chunks, stored blocks, and the suite's corrupt files.
    for (const char* name :
         {"basn0g01.png", "basn0g02.png", "basn0g04.png", "basn0g08.png", "basn0g16.png", "basn2c08.png",
          "basn2c16.png", "basn3p01.png", "basn3p02.png", "basn3p04.png", "basn3p08.png", "basn4a08.png",
          "basn4a16.png", "basn6a08.png", "basn6a16.png", "basi0g01.png", "basi0g04.png", "basi3p02.png",
          "basi4a08.png", "basi6a16.png", "s01i3p01.png", "s07i3p02.png", "s35i3p04.png", "s09n3p02.png",
          "f01n2c08.png", "f02n2c08.png", "f03n0g08.png", "f04n2c08.png", "ct1n0g04.png", "tbbn3p08.png",
          "z00n2c08.png", "oi4n2c16.png", "xc9n2c08.png", "xd3n2c08.png", "xdtn0g01.png", "xhdn0g08.png",
          "xcsn0g01.png"}) {
        Bytes png;
        if (!readFile(pngsuite + "/" + name, png)) {
            std::fprintf(stderr, "cannot read %s/%s\n", pngsuite.c_str(), name);
            ++failures;
            continue;
        }
        write("png", name, png);
    }
}

void progressSeeds() {
    write("progressLine", "three-boxes", bytesOf(buildProgressFile({"Paris", "", "Leonard de Vinci"})));
    write("progressLine", "lone-lf-and-cr-junk", bytesOf("a\nb\r\nabc\rxy\ndef\r\n\r\r\nlast"));
    write("progressLine", "long-line", bytesOf(std::string(300, 'y') + "\r\nshort\r\n"));
    write("progressLine", "high-bytes", bytesOf("\xE9lan\r\ny a de l'id\xE9\x65\r\n"));
    write("progressLine", "module-path", bytesOf("C:\\Jeux\\histoire.exe"));
    Bytes binary(512);
    std::mt19937 rng(5);
    for (uint8_t& b : binary) b = uint8_t(rng());
    write("progressLine", "binary", binary);
}

void verdictSeeds() {
    const char* const pairs[][2] = {{"oui", "  oui "},
                                    {"Paris", "pari"},
                                    {"Paris", "Prais"},
                                    {"Paris", "Paris France"},
                                    {"Leonard de Vinci", "Leonard de Vin"},
                                    {"Leonard de Vinci", "Leonard de V"},
                                    {"Leonard de Vinci", "Leonard de"},
                                    {"Christophe Colomb", "Christofe Kolomb"},
                                    {"\xC9lan", "\xC9LAN"},
                                    {"abcde", "zzabcdezz"},
                                    {"aabc", "aaabcxx"},
                                    {"oui", "   "}};
    int n = 0;
    for (const auto& pair : pairs) {
        Bytes input = bytesOf(pair[0]);
        input.push_back(0);
        const Bytes typed = bytesOf(pair[1]);
        input.insert(input.end(), typed.begin(), typed.end());
        write("verdict", "pair-" + std::to_string(++n), input);
    }
    Bytes longPair = bytesOf(std::string(300, 'a'));
    longPair.push_back(0);
    const Bytes longTyped = bytesOf(std::string(280, 'a') + "b");
    longPair.insert(longPair.end(), longTyped.begin(), longTyped.end());
    write("verdict", "longer-than-a-box", longPair);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzzSeeds <corpus folder> <PngSuite folder>\n");
        return 2;
    }
    corpus = argv[1];
    quizSeeds();
    lzwSeeds();
    inflateSeeds(argv[2]);
    pngSeeds(argv[2]);
    progressSeeds();
    verdictSeeds();
    return failures == 0 ? 0 : 1;
}
