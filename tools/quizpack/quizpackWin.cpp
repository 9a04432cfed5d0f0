// quizpack: packs a quiz source (TOML, with its pictures or clips) into a copy
// of the player, extracts a quiz back out of a player, and makes a quiz of a
// table of questions. A thin shell on the authoring library: every path and
// message is UTF-8 inside, and becomes the console's code page only when it
// is written to a console.
#include <conio.h>
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "authoring/csvImport.h"
#include "authoring/messages.h"
#include "authoring/quizAssembly.h"
#include "authoring/quizCheck.h"
#include "authoring/quizToml.h"
#include "tools/quizpack/commandLine.h"
#include "tools/quizpack/packerWin.h"

namespace {

// A console shows its own code page; a file or a pipe gets the UTF-8 as it is.
void say(FILE* stream, const std::string& utf8) {
    const std::string line = utf8 + "\n";
    HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    std::string bytes = line;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring wide = wideFromUtf8(line);
        const UINT page = GetConsoleOutputCP();
        const int length =
            WideCharToMultiByte(page, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
        if (length > 0) {
            bytes.assign(static_cast<size_t>(length), '\0');
            WideCharToMultiByte(page, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0], length, nullptr,
                                nullptr);
        }
    }
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

void tell(const std::string& file, const std::string& what) {
    say(stderr, file + ": " + what);
}

void report(const std::string& file, const std::vector<ModelProblem>& problems) {
    for (const ModelProblem& problem : problems) say(stderr, formatProblem(file, problem));
}

int usage() {
    say(stderr, messageText(Message::usage));
    return 2;
}

std::string fullPath(const std::string& path) {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetFullPathNameW(wideFromUtf8(path).c_str(), MAX_PATH, buffer, nullptr);
    return length > 0 && length < MAX_PATH ? utf8FromWide(std::wstring(buffer, length)) : path;
}

std::string defaultPlayer() {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::string path = utf8FromWide(std::wstring(self, length < MAX_PATH ? length : 0));
    const size_t slash = path.find_last_of("/\\");
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "vetra.exe";
}

bool exists(const std::string& path) {
    return GetFileAttributesW(wideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool readText(const std::string& path, std::string& text) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) return false;
    text.assign(bytes.begin(), bytes.end());
    return true;
}

bool writeText(const std::string& path, const std::string& text) {
    return writeWholeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string count(size_t n) {
    return std::to_string(n);
}

int build(const std::string& source, std::string output, std::string player) {
    if (output.empty()) output = withExtension(source, ".exe");
    if (player.empty()) player = defaultPlayer();
    std::string text;
    if (!readText(source, text)) {
        tell(source, messageText(Message::cannotReadSource));
        return 1;
    }
    QuizModel model;
    SourceLines lines;
    std::vector<ModelProblem> problems;
    std::vector<PackedResource> resources;
    if (!readAndCheckQuiz(text, model, lines, problems) ||
        !assembleQuiz(model, source, readWholeFile, playerReadsPng, resources, problems)) {
        locateProblems(lines, problems);
        report(source, problems);
        tell(source, messageText(Message::notPacked, {count(problems.size())}));
        return 1;
    }
    const size_t questions = model.questions.size();
    if (model.kind == kindPictures && questions % 3 != 0) {
        tell(source, messageText(Message::picturesRowWarning, {count((questions + 2) / 3 * 3), count(questions)}));
    }
    if (hasSymbolTable(player)) tell(player, messageText(Message::unstrippedWarning));
    std::string error;
    if (!writePackedPlayer(player, output, resources, error)) {
        tell(output, error);
        return 1;
    }
    say(stdout, source + ": " + messageText(Message::packed, {count(questions), output}));
    return 0;
}

// How the source will name the media folder: relative to the source's own
// folder when it lies inside it, else by its full path.
std::string mediaPrefix(const std::string& sourceFile, const std::string& mediaDir) {
    const std::string base = fullPath(sourceFile);
    const std::wstring folder = wideFromUtf8(base.substr(0, base.find_last_of("/\\") + 1));
    std::wstring media = wideFromUtf8(fullPath(mediaDir));
    const int length = static_cast<int>(folder.size());
    if (media.size() > folder.size() && CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, media.c_str(), length,
                                                       folder.c_str(), length) == CSTR_EQUAL) {
        media = media.substr(folder.size());
    }
    for (wchar_t& c : media) {
        if (c == L'\\') c = L'/';
    }
    return utf8FromWide(media) + "/";
}

int extract(const std::string& executable, std::string output, std::string mediaDir) {
    if (output.empty()) output = withExtension(executable, ".toml");
    if (mediaDir.empty()) mediaDir = withExtension(output, "-media");
    std::vector<PackedResource> resources;
    std::string error;
    ExtractedQuiz quiz;
    if (!readQuizResources(executable, resources, error) ||
        !extractQuiz(resources, mediaPrefix(output, mediaDir), quiz, error)) {
        tell(executable, error);
        return 1;
    }
    // The source is written last; a failure removes what this run wrote.
    std::vector<std::string> written;
    auto undo = [&written]() {
        for (const std::string& path : written) DeleteFileW(wideFromUtf8(path).c_str());
    };
    if (!quiz.files.empty()) {
        CreateDirectoryW(wideFromUtf8(mediaDir).c_str(), nullptr);
        for (const ExtractedFile& file : quiz.files) {
            const std::string path = mediaDir + "\\" + file.name;
            if (!writeWholeFile(path, *file.data)) {
                tell(executable, messageText(Message::cannotWrite, {path}));
                undo();
                return 1;
            }
            written.push_back(path);
        }
    }
    if (!writeText(output, writeQuizToml(quiz.model))) {
        tell(executable, messageText(Message::cannotWrite, {output}));
        undo();
        return 1;
    }
    if (!quiz.rewardCodesFound) tell(output, messageText(Message::noCodesWarning));
    std::string done = executable + ": " + messageText(Message::extracted, {output});
    if (!quiz.files.empty()) done += " ; " + messageText(Message::extractedMedia, {count(quiz.files.size()), mediaDir});
    say(stdout, done);
    return 0;
}

// A new quiz from a table of questions, named after the table. An existing
// file is never overwritten, not even one named with -o: the author may have
// worked on it since the last import.
int import(const std::string& table, std::string output, int kind) {
    if (output.empty()) output = withExtension(table, ".toml");
    if (exists(output)) {
        tell(output, messageText(Message::alreadyExists));
        return 1;
    }
    std::string bytes;
    if (!readText(table, bytes)) {
        tell(table, messageText(Message::cannotReadMedia, {table}));
        return 1;
    }
    QuizModel model;
    model.kind = kind;
    model.title = fileStem(table);
    std::vector<ModelProblem> problems;
    if (!importQuestionsCsv(bytes, model, problems)) {
        report(table, problems);
        tell(table, messageText(Message::notImported, {count(problems.size())}));
        return 1;
    }
    if (!writeText(output, writeQuizToml(model))) {
        tell(output, messageText(Message::cannotWrite, {output}));
        return 1;
    }
    say(stdout, table + ": " + messageText(Message::imported, {count(model.questions.size()), output}));
    return 0;
}

// Wine run from a Unix terminal gives the program a console of its own too,
// behind a hidden window of this class; that terminal stays open afterwards.
bool isTerminalUnderWine(HWND window) {
    char className[32] = "";
    return window && !IsWindowVisible(window) && GetClassNameA(window, className, sizeof className) &&
           lstrcmpA(className, "WineConsoleClass") == 0;
}

// Started on its own (a file dropped on it, a double click), the program has
// a console of its own that closes with it: the reader needs time to read.
// Input that is no console (a script) has no key to wait for. The console
// window itself may be hidden (Windows Terminal draws the text elsewhere).
bool ownsConsole() {
    DWORD processes[2];
    DWORD mode;
    return GetConsoleProcessList(processes, 2) == 1 && GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) &&
           !isTerminalUnderWine(GetConsoleWindow());
}

void waitForKey() {
    // The prompt is Windows-1252; the console shows its own code page.
    const char* const prompt = messageTemplate(Message::pressAKey);
    wchar_t wide[128];
    const int wideLength = MultiByteToWideChar(1252, 0, prompt, -1, wide, 128);
    char local[256];
    const int localLength =
        wideLength > 0 ? WideCharToMultiByte(GetConsoleOutputCP(), 0, wide, -1, local, sizeof local, nullptr, nullptr)
                       : 0;
    std::fflush(stderr);
    std::printf("\n%s", localLength > 0 ? local : prompt);
    std::fflush(stdout);
    _getch();
    std::printf("\n");
}

int run(const QuizpackCommand& command) {
    switch (command.action) {
        case QuizpackAction::build: return build(command.input, command.output, command.player);
        case QuizpackAction::extract: return extract(command.input, command.output, command.media);
        case QuizpackAction::import: return import(command.input, command.output, command.kind);
        case QuizpackAction::usage: break;
    }
    return usage();
}

// The arguments in UTF-8, from the wide command line: a path may hold any
// character, whatever the system's code page.
std::vector<std::string> arguments() {
    std::vector<std::string> out;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return out;
    for (int i = 1; i < count; ++i) out.push_back(utf8FromWide(wide[i]));
    LocalFree(wide);
    return out;
}

}  // namespace

int main() {
    const int result = run(parseQuizpackArguments(arguments()));
    if (ownsConsole()) waitForKey();
    return result;
}
