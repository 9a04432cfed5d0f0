// The resources a player carries, made from a checked quiz model, and the
// model made back from them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "authoring/paths.h"
#include "authoring/quizModel.h"

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

// Reads a whole file named by a UTF-8 path (already joined to the source's
// folder); false when it cannot be read.
using FileReader = std::function<bool(const std::string& path, std::vector<uint8_t>& bytes)>;
// Whether the player's own decoder reads a PNG file; empty skips the check.
using PngChecker = std::function<bool(const std::vector<uint8_t>& bytes)>;

// A PNG file that the player's own decoder decodes whole (see
// playerReadsPicture); false for any other file.
bool playerReadsPng(const std::vector<uint8_t>& bytes);

// What keeps the player from using one media file (a picture when
// `picture`, else a clip): unreadable, empty, a PNG its decoder refuses, no
// picture it knows; "" when nothing does. The file's bytes are left in `bytes`.
std::string mediaProblem(const std::string& path, bool picture, const FileReader& readFile,
                         const PngChecker& pngReadable, std::vector<uint8_t>& bytes);

// The resources of a model: PATCH 104 and 105 (LZW-encoded Windows-1252
// layouts), PATCH 106 (the quiz's web address) when it has one, and per
// question n its picture or clip (400 + n) and solution picture (10400 + n),
// a PNG file (by its signature) as raw data, any other as IMG. The model is checked first; its problems, media that
// cannot be read, a PNG the decoder refuses or texts too large for the stream are appended to `problems` (without
// lines: see locateProblems) and nothing is produced.
bool assembleQuiz(const QuizModel& model, const std::string& sourceFile, const FileReader& readFile,
                  const PngChecker& pngReadable, std::vector<PackedResource>& out, std::vector<ModelProblem>& problems);

// Finds a resource of the list; null when absent.
const PackedResource* findResource(const std::vector<PackedResource>& resources, ResourceKind kind, uint16_t id);

// What a media file is, by its first bytes: the extension it gets on extraction.
const char* mediaExtension(const std::vector<uint8_t>& bytes, int32_t kind);
// A picture for the player's own PNG decoder (pictureDecoderFor).
bool isPngFile(const std::vector<uint8_t>& bytes);

struct ExtractedFile {
    std::string name;                  // file name inside the media folder
    const std::vector<uint8_t>* data;  // points into the resources given
};

struct ExtractedQuiz {
    QuizModel model;
    std::vector<ExtractedFile> files;
    bool rewardCodesFound = true;  // false: no readable 105, the codes are left empty
};

// The quiz of a player's resources. Media files are named "<id>.<ext>" and
// the model refers to them as mediaPrefix + name (the folder as seen from the
// source file, with a trailing "/", or empty). Fails with a French message
// when 104 is absent or undecodable or holds values a source cannot name.
bool extractQuiz(const std::vector<PackedResource>& resources, const std::string& mediaPrefix, ExtractedQuiz& out,
                 std::string& error);
