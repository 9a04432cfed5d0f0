// The progress file: the typed answers kept between runs.
#pragma once

#include <windows.h>

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

// Writes every answer box of the quiz's sheet to the progress file.
void saveProgress(Quiz* quiz);
