// The progress file's format: one line per answer box, each the box's text
// followed by CR LF. Pure functions over bytes; opening, mapping and writing
// the file are the Windows side's.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

constexpr int progressLineSize = 260;  // 259 characters and the terminator

// Forward-only reader over the file's bytes. No data (null or size 0) is a
// missing file: every line reads empty.
struct ProgressReader {
    const char* data = nullptr;
    size_t size = 0;
    size_t position = 0;
};

// The next line into out. A line ends only at CR: a lone LF belongs to the
// answer. Bytes between the CR and the next LF are dropped and the LF is
// stepped over. A line longer than 259 characters keeps its first 259. Once
// the data is exhausted every call gives an empty text.
void readProgressLine(ProgressReader& reader, char out[progressLineSize]);

// The whole file for the boxes' texts in box order: each cut to 259 bytes,
// then CR LF. An empty text gives an empty line, so the file has exactly one
// line per box.
std::string buildProgressFile(const std::vector<std::string>& boxTexts);

// The progress file's name from the program's full path: what follows the
// last backslash with its last three characters replaced by "txt"
// (histoire.exe -> histoire.txt). A name of one or two characters gets
// ".txt" appended instead, and an empty one (a path ending in a backslash,
// or no path at all) becomes "vetra.txt", so the result is always a usable
// relative name.
void progressFileNameFromModulePath(const char* modulePath, char out[progressLineSize]);
