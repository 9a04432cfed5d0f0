#include "sheet/progressFileWin.h"

#include <vector>

#include "quiz/quizGdiWin.h"
#include "resources/resource.h"

namespace {

constexpr char temporarySuffix[] = ".tmp";
constexpr char saveFailedText[] = "Impossible d'enregistrer les r\xE9ponses.";
constexpr char saveFailedCaption[] = "Vetra";

int lineCount(int questionCount, int answersPerQuestion) {
    return questionCount > 0 && answersPerQuestion > 0 ? questionCount * answersPerQuestion : 0;
}

// Writes everything to the open temporary file and closes it; false when any
// byte could not be written. The bytes are flushed to the disk before the
// file takes the old one's place: after a power cut the rename may survive
// while unflushed data does not, and the answers would come back empty.
bool fillTemporaryFile(HANDLE file, const char* bytes, DWORD size) {
    const bool written = writeAllBytes(file, bytes, size) && FlushFileBuffers(file) != 0;
    const bool closed = CloseHandle(file) != 0;
    return written && closed;
}

}  // namespace

void progressFileName(char name[260]) {
    char path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    // An over-long path may come back unterminated.
    path[length < MAX_PATH ? length : MAX_PATH] = '\0';
    progressFileNameFromModulePath(path, name);
}

void openProgressFile(ProgressFileView& progress) {
    closeProgressFile(progress);
    char name[progressLineSize];
    progressFileName(name);
    progress.file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (progress.file == INVALID_HANDLE_VALUE) return;
    const DWORD size = GetFileSize(progress.file, nullptr);
    // An empty file cannot be mapped; it simply holds no answers.
    if (size == 0 || size == INVALID_FILE_SIZE) return;
    progress.mapping = CreateFileMappingA(progress.file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!progress.mapping) return;
    progress.view = MapViewOfFile(progress.mapping, FILE_MAP_READ, 0, 0, 0);
    if (!progress.view) return;
    progress.reader.data = static_cast<const char*>(progress.view);
    progress.reader.size = size;
    progress.reader.position = 0;
}

void readNextProgressLine(ProgressFileView& progress, char line[260]) {
    readProgressLine(progress.reader, line);
}

void closeProgressFile(ProgressFileView& progress) {
    if (progress.view) UnmapViewOfFile(progress.view);
    if (progress.mapping) CloseHandle(progress.mapping);
    if (progress.file != INVALID_HANDLE_VALUE) CloseHandle(progress.file);
    progress = ProgressFileView{};
}

std::string progressFileContents(const Quiz& quiz, HWND sheet) {
    // The file keeps N x M lines even where the sheet laid out fewer boxes
    // (the text kind has one per question): those lines are empty.
    const int lines = lineCount(quiz.questionCount, quiz.answersPerQuestion);
    const int boxes = lineCount(quiz.questionCount, effectiveAnswersPerQuestion(quiz));
    std::vector<std::string> texts(static_cast<size_t>(lines));
    for (int k = 0; k < lines && k < boxes; ++k) {
        char text[progressLineSize];
        text[0] = '\0';
        GetDlgItemTextA(sheet, firstAnswerBoxId + k, text, sizeof text);
        texts[static_cast<size_t>(k)] = text;
    }
    return buildProgressFile(texts);
}

bool writeAllBytes(HANDLE file, const char* bytes, DWORD size) {
    DWORD done = 0;
    while (done < size) {
        DWORD written = 0;
        if (!WriteFile(file, bytes + done, size - done, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

bool replaceFileContents(const char* name, const char* bytes, DWORD size) {
    std::string temporary = std::string(name) + temporarySuffix;
    HANDLE file =
        CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    if (!fillTemporaryFile(file, bytes, size) || !MoveFileExA(temporary.c_str(), name, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

void saveProgress(Quiz* quiz) {
    if (!quiz) return;
    HWND sheet = asWindow(quiz->sheetWindow);
    // Without a sheet there are no answers to keep: writing empty lines would
    // only wipe the ones saved last time.
    if (!sheet || !IsWindow(sheet)) return;
    char name[progressLineSize];
    progressFileName(name);
    const std::string content = progressFileContents(*quiz, sheet);
    if (!replaceFileContents(name, content.data(), static_cast<DWORD>(content.size()))) {
        MessageBoxA(GetAncestor(sheet, GA_ROOT), saveFailedText, saveFailedCaption, MB_OK);
    }
}
