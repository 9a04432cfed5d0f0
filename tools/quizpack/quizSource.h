// The authoring tool's portable half: the TOML quiz source read into a
// QuizSource with clear, located messages; the resources a player carries
// assembled from it; and the way back from resources to a source.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quiz/quizLayout.h"

// UTF-8 source texts become Windows-1252 bytes in the player and back. The
// tool passes the platform's converter; the portable table serves native
// builds and tests.
struct TextCodec {
    // False when the text is not valid UTF-8 or holds a character that
    // Windows-1252 has no byte for.
    bool (*toAnsi)(const std::string& utf8, std::string& ansi);
    std::string (*toUtf8)(const std::string& ansi);
};
extern const TextCodec portableCodec;

// Media files named by one question, as written in the source (UTF-8, relative
// to the source file's folder unless absolute); empty when absent.
struct QuestionMedia {
    std::string picture;
    std::string solution;
    std::string clip;
    int pictureLine = 0;
    int solutionLine = 0;
    int clipLine = 0;
};

struct QuizDocument {
    QuizSource source;                 // texts already in Windows-1252
    std::vector<QuestionMedia> media;  // one per question
};

constexpr size_t maxSourceQuestions = 96;  // one reward code per possible score

// Reads and checks a quiz source. Every problem is added to `errors` as
// "FILE:LINE: FIELD: what is wrong" (LINE left out where none is known);
// returns true only when there is none.
bool parseQuizToml(const std::string& text, const std::string& fileName, const TextCodec& codec, QuizDocument& out,
                   std::vector<std::string>& errors);

// ---- Resources ------------------------------------------------------------

enum class ResourceKind { patch, img, rcdata };

struct PackedResource {
    ResourceKind kind;
    uint16_t id;
    std::vector<uint8_t> data;
};

constexpr uint16_t quizResourceId = 104;
constexpr uint16_t codesResourceId = 105;
constexpr uint16_t pictureResourceBase = 400;
constexpr uint16_t solutionResourceBase = 10400;

// Reads a whole file; false when it cannot be read. Paths are as written in
// the source, already joined to the source's folder.
using FileReader = bool (*)(const std::string& path, std::vector<uint8_t>& bytes);
// Whether the program's own decoder reads a PNG file; null skips the check.
using PngChecker = bool (*)(const std::vector<uint8_t>& bytes);

// The player's own PNG decoder, decoding the whole picture as it would.
bool playerReadsPng(const std::vector<uint8_t>& bytes);

// Joins a media path from the source to the source file's folder.
std::string mediaPath(const std::string& sourceFile, const std::string& relative);

// The resources of a checked document: PATCH 104 and 105 (LZW-encoded), and
// for each question its picture or clip (400 + n) and solution picture
// (10400 + n), a PNG file (by its signature) as a raw-data resource, any
// other as IMG. Media that cannot be read, a PNG the decoder refuses, or
// layouts too large for the stream add errors and make it return false.
bool assembleQuiz(const QuizDocument& document, const std::string& sourceFile, FileReader readFile,
                  PngChecker pngReadable, std::vector<PackedResource>& out, std::vector<std::string>& errors);

// What a media file is, by its first bytes; the extension it gets on extraction.
const char* mediaExtension(const std::vector<uint8_t>& bytes, int32_t kind);
bool isPngFile(const std::vector<uint8_t>& bytes);

// ---- Extraction -----------------------------------------------------------

struct ExtractedFile {
    std::string name;  // file name inside the media folder
    const std::vector<uint8_t>* data;
};

// Finds a resource of the list; null when absent.
const PackedResource* findResource(const std::vector<PackedResource>& resources, ResourceKind kind, uint16_t id);

// Turns a player's quiz resources back into a source text. Media files get
// the names "<id>.<ext>" and are referred to as mediaPrefix + name (the
// prefix is the folder as seen from the source file, with a trailing "/", or
// empty). Fails with a message when 104 is absent or undecodable or holds
// values that a source cannot express.
bool disassembleQuiz(const std::vector<PackedResource>& resources, const TextCodec& codec,
                     const std::string& mediaPrefix, std::string& tomlText, std::vector<ExtractedFile>& files,
                     std::string& error);
