#include "tools/quizpack/commandLine.h"

#include "authoring/quizNames.h"

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
    } else if (verb == "web") {
        parsed.action = QuizpackAction::web;
    } else if (verb == "moodle") {
        parsed.action = QuizpackAction::moodle;
    } else {
        return command;
    }
    parsed.input = arguments[1];
    for (size_t i = 2; i < arguments.size(); i += 2) {
        // The options without a value.
        if (arguments[i] == "--scorm" && parsed.action == QuizpackAction::web) {
            parsed.scorm = true;
            --i;
            continue;
        }
        if (arguments[i] == "--gift" && parsed.action == QuizpackAction::moodle) {
            parsed.gift = true;
            --i;
            continue;
        }
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
            parsed.kindGiven = true;
        } else {
            return command;
        }
    }
    return parsed;
}
