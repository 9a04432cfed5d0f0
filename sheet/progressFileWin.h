// The progress file: the typed answers kept between runs.
#pragma once

#include <windows.h>

#include <string>

#include "quiz/quiz.h"
#include "sheet/progressFile.h"

// The program's file name with its last three characters replaced by "txt",
// relative to the current directory.
void progressFileName(char name[260]);

// The file mapped read-only while the sheet is built; no file, an empty file
// or any failure leaves it without data, and every line then reads empty.
struct ProgressFileView {
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE mapping = nullptr;
    const void* view = nullptr;
    ProgressReader reader{};
};

void openProgressFile(ProgressFileView& progress);
// The next line (at most 259 characters) into `line`.
void readNextProgressLine(ProgressFileView& progress, char line[260]);
void closeProgressFile(ProgressFileView& progress);

// Writes every answer box of the quiz's sheet to the progress file: N x M
// lines, an empty one for a box the sheet does not have. The old file is
// replaced only once the new content is complete; a failed save says so in a
// message box and leaves the old file as it was.
void saveProgress(Quiz* quiz);

// The file's bytes for the sheet's boxes, as saveProgress writes them.
std::string progressFileContents(const Quiz& quiz, HWND sheet);

// Writes all `size` bytes, however many calls it takes; false on any failure.
bool writeAllBytes(HANDLE file, const char* bytes, DWORD size);

// Writes the bytes to `name` + ".tmp" beside it, then moves that over `name`.
// On failure the temporary file is removed and `name` is untouched.
bool replaceFileContents(const char* name, const char* bytes, DWORD size);
