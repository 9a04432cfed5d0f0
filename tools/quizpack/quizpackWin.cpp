// quizpack: packs a quiz source (TOML, with its pictures or clips) into a copy
// of the player, extracts a quiz back out of a player, and makes a quiz of a
// table of questions. A printer of the authoring workflows' reports: every
// path and message is UTF-8 inside, and becomes the console's code page only
// when it is written to a console.
#include <conio.h>
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "authoring/fileSystemWin.h"
#include "authoring/filesWin.h"
#include "authoring/messages.h"
#include "authoring/workflows.h"
#include "tools/quizpack/commandLine.h"

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

int usage() {
    say(stderr, messageText(Message::usage));
    return 2;
}

// Warnings and problems on the error stream, what was done on the output.
int print(const WorkflowReport& report) {
    for (const ReportProblem& warning : report.warnings) say(stderr, reportText(warning));
    for (const ReportProblem& problem : report.problems) say(stderr, reportText(problem));
    if (!report.refusal.text.empty()) say(stderr, report.refusal.file + ": " + report.refusal.text);
    for (const ReportLine& line : report.done) say(stdout, line.file + ": " + line.text);
    return report.succeeded() ? 0 : 1;
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
    WindowsFileSystem files;
    switch (command.action) {
        case QuizpackAction::build:
            return print(buildQuizSource(files, {command.input, command.output, command.player}));
        case QuizpackAction::extract:
            return print(extractQuizSource(files, {command.input, command.output, command.media}));
        case QuizpackAction::import:
            return print(importQuizSource(files, command.input, command.output,
                                          command.kindGiven ? command.kind : modelKindUnset));
        case QuizpackAction::web: return print(exportWebQuiz(files, {command.input, command.output, command.scorm}));
        case QuizpackAction::moodle:
            return print(exportMoodleBank(files, {command.input, command.output, command.gift}));
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
