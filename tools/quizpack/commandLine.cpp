#include "tools/quizpack/commandLine.h"

#include <cstring>

#include "authoring/quizNames.h"

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

size_t fileNameStart(const std::string& path) {
    const size_t slash = path.find_last_of("/\\:");
    return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

std::string withExtension(const std::string& path, const char* extension) {
    const size_t dot = path.find_last_of('.');
    const bool hasDot = dot != std::string::npos && dot >= fileNameStart(path);
    return (hasDot ? path.substr(0, dot) : path) + extension;
}

std::string fileStem(const std::string& path) {
    const std::string name = path.substr(fileNameStart(path));
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool hasExtension(const std::string& path, const char* extension) {
    const size_t length = std::strlen(extension);
    const size_t start = fileNameStart(path);
    // A name that is only the extension (".toml") names no source.
    if (path.size() - start <= length) return false;
    for (size_t i = 0; i < length; ++i) {
        if (lowerAscii(path[path.size() - length + i]) != lowerAscii(extension[i])) return false;
    }
    return true;
}

QuizpackCommand parseQuizpackArguments(const std::vector<std::string>& arguments) {
    QuizpackCommand command;
    if (arguments.size() == 1 && hasExtension(arguments[0], ".toml")) {
        command.action = QuizpackAction::build;
        command.input = arguments[0];
        command.output = withExtension(arguments[0], ".exe");
        return command;
    }
    if (arguments.size() < 2) return command;
    const std::string& verb = arguments[0];
    QuizpackCommand parsed;
    if (verb == "build") {
        parsed.action = QuizpackAction::build;
    } else if (verb == "extract") {
        parsed.action = QuizpackAction::extract;
    } else if (verb == "import") {
        parsed.action = QuizpackAction::import;
    } else {
        return command;
    }
    parsed.input = arguments[1];
    for (size_t i = 2; i < arguments.size(); i += 2) {
        if (i + 1 >= arguments.size()) return command;
        const std::string& option = arguments[i];
        const std::string& value = arguments[i + 1];
        if (option == "-o") {
            parsed.output = value;
        } else if (option == "--player" && parsed.action == QuizpackAction::build) {
            parsed.player = value;
        } else if (option == "--media" && parsed.action == QuizpackAction::extract) {
            parsed.media = value;
        } else if (option == "--kind" && parsed.action == QuizpackAction::import) {
            int kind = 0;
            while (kind < kindNameCount && value != kindNames[kind]) ++kind;
            if (kind == kindNameCount) return command;
            parsed.kind = kind;
        } else {
            return command;
        }
    }
    return parsed;
}
