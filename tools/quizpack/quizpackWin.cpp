// quizpack: packs a quiz source (TOML, with its pictures or clips) into a copy
// of the player, and extracts a quiz back out of a player.
#include <conio.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/quizpack/commandLine.h"
#include "tools/quizpack/packerWin.h"
#include "tools/quizpack/quizSource.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: quizpack build QUIZ.toml [-o NAME.exe] [--player vetra.exe]\n"
                 "       quizpack extract NAME.exe [-o QUIZ.toml] [--media DIR]\n"
                 "\n"
                 "       quizpack QUIZ.toml\n"
                 "\n"
                 "build    checks the quiz source and writes a copy of the player that carries it\n"
                 "         (default player: vetra.exe next to quizpack.exe; default output: the\n"
                 "         source's name with .exe); a source alone, or dropped on quizpack.exe,\n"
                 "         is built next to itself\n"
                 "extract  writes the quiz a player carries back out as a source, its pictures and\n"
                 "         clips into DIR (default: a folder named after the source, \"-media\" added)\n");
    return 2;
}

std::string fullPath(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : path;
}

std::string defaultPlayer() {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self, length < MAX_PATH ? length : 0);
    const size_t slash = path.find_last_of("/\\");
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "vetra.exe";
}

void report(const std::vector<std::string>& errors) {
    for (const std::string& e : errors) std::fprintf(stderr, "%s\n", e.c_str());
}

bool toAcp(const std::string& utf8, std::string& ansi) {
    const int wideLength =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (wideLength <= 0) return false;
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], wideLength);
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return false;
    ansi.assign(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, &ansi[0], length, nullptr, nullptr);
    return true;
}

// Media paths come from the UTF-8 source; the file functions take the ANSI page.
bool mediaPathsToAcp(QuizDocument& document, const std::string& source, std::vector<std::string>& errors) {
    for (size_t i = 0; i < document.media.size(); ++i) {
        QuestionMedia& media = document.media[i];
        const struct {
            const char* field;
            std::string* path;
            int line;
        } slots[] = {{"picture", &media.picture, media.pictureLine},
                     {"solution", &media.solution, media.solutionLine},
                     {"clip", &media.clip, media.clipLine}};
        for (const auto& slot : slots) {
            if (!slot.path->empty() && !toAcp(*slot.path, *slot.path)) {
                errors.push_back(source + ":" + std::to_string(slot.line) + ": question " + std::to_string(i + 1) +
                                 ", " + slot.field + ": the path holds characters this system cannot name files with");
            }
        }
    }
    return errors.empty();
}

int build(const std::string& source, std::string output, std::string player) {
    if (output.empty()) output = withExtension(source, ".exe");
    if (player.empty()) player = defaultPlayer();
    std::vector<uint8_t> bytes;
    if (!readWholeFile(source, bytes)) {
        std::fprintf(stderr, "%s: cannot read the quiz source\n", source.c_str());
        return 1;
    }
    std::vector<std::string> errors;
    QuizDocument document;
    if (!parseQuizToml(std::string(bytes.begin(), bytes.end()), source, windowsCodec, document, errors) ||
        !mediaPathsToAcp(document, source, errors)) {
        report(errors);
        std::fprintf(stderr, "%s: not packed (%u problem%s)\n", source.c_str(), static_cast<unsigned>(errors.size()),
                     errors.size() == 1 ? "" : "s");
        return 1;
    }
    std::vector<PackedResource> resources;
    if (!assembleQuiz(document, source, readWholeFile, playerReadsPng, resources, errors)) {
        report(errors);
        std::fprintf(stderr, "%s: not packed\n", source.c_str());
        return 1;
    }
    const size_t count = document.source.questions.size();
    if (document.source.kind == kindPictures && count % 3 != 0) {
        std::fprintf(stderr,
                     "%s: warning: the player lays pictures out three to a row and looks for pictures up to "
                     "number %u; with %u questions it will report the missing ones\n",
                     source.c_str(), static_cast<unsigned>((count + 2) / 3 * 3), static_cast<unsigned>(count));
    }
    if (hasSymbolTable(player)) {
        std::fprintf(stderr,
                     "%s: warning: the player is not stripped; its symbol table will point at the wrong place once "
                     "its resources grow (link it with -s)\n",
                     player.c_str());
    }
    std::string error;
    if (!writePackedPlayer(player, output, resources, error)) {
        std::fprintf(stderr, "%s: %s\n", output.c_str(), error.c_str());
        return 1;
    }
    std::printf("%s: %u questions packed into %s\n", source.c_str(), static_cast<unsigned>(count), output.c_str());
    return 0;
}

// How the source will name the media folder: relative to the source's own
// folder when it lies inside it, else by its full path.
std::string mediaPrefix(const std::string& sourceFile, const std::string& mediaDir) {
    const std::string base = fullPath(sourceFile);
    const std::string folder = base.substr(0, base.find_last_of("/\\") + 1);
    std::string media = fullPath(mediaDir);
    if (media.size() > folder.size() &&
        CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, media.c_str(), static_cast<int>(folder.size()),
                       folder.c_str(), static_cast<int>(folder.size())) == CSTR_EQUAL) {
        media = media.substr(folder.size());
    }
    for (char& c : media) {
        if (c == '\\') c = '/';
    }
    return media + "/";
}

int extract(const std::string& executable, std::string output, std::string mediaDir) {
    if (output.empty()) output = withExtension(executable, ".toml");
    if (mediaDir.empty()) mediaDir = withExtension(output, "-media");
    std::vector<PackedResource> resources;
    std::string error;
    if (!readQuizResources(executable, resources, error)) {
        std::fprintf(stderr, "%s: %s\n", executable.c_str(), error.c_str());
        return 1;
    }
    std::string text;
    std::vector<ExtractedFile> files;
    if (!disassembleQuiz(resources, windowsCodec, mediaPrefix(output, mediaDir), text, files, error)) {
        std::fprintf(stderr, "%s: %s\n", executable.c_str(), error.c_str());
        return 1;
    }
    // The source is written last; a failure removes what this run wrote.
    std::vector<std::string> written;
    auto undo = [&written]() {
        for (const std::string& path : written) DeleteFileA(path.c_str());
    };
    if (!files.empty()) {
        CreateDirectoryA(mediaDir.c_str(), nullptr);
        for (const ExtractedFile& file : files) {
            const std::string path = mediaDir + "\\" + file.name;
            if (!writeWholeFile(path, *file.data)) {
                std::fprintf(stderr, "%s: cannot write\n", path.c_str());
                undo();
                return 1;
            }
            written.push_back(path);
        }
    }
    if (!writeWholeFile(output, std::vector<uint8_t>(text.begin(), text.end()))) {
        std::fprintf(stderr, "%s: cannot write\n", output.c_str());
        undo();
        return 1;
    }
    std::printf("%s: quiz written to %s", executable.c_str(), output.c_str());
    if (!files.empty()) std::printf(", %u media files to %s", static_cast<unsigned>(files.size()), mediaDir.c_str());
    std::printf("\n");
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
    const char* const prompt = "Appuyez sur une touche pour fermer cette fen\xEAtre...";
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
        case QuizpackAction::usage: break;
    }
    return usage();
}

}  // namespace

int main(int argc, char** argv) {
    const int result = run(parseQuizpackArguments(std::vector<std::string>(argv + 1, argv + argc)));
    if (ownsConsole()) waitForKey();
    return result;
}
