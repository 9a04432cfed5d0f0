// What quizpack is asked to do, read from its arguments. Portable so that the
// native tests cover it, including the one-argument form Windows uses when a
// file is dropped on the program.
#pragma once

#include <string>
#include <vector>

#include "authoring/paths.h"

enum class QuizpackAction {
    usage,
    build,
    extract,
    import,
    web,
    moodle,
};

struct QuizpackCommand {
    QuizpackAction action = QuizpackAction::usage;
    std::string input;
    std::string output;      // empty: derived from the input
    std::string player;      // empty: vetra.exe next to quizpack.exe
    std::string media;       // empty: derived from the output
    int kind = 0;            // import: the new quiz's kind (kindText .. kindVideo)
    bool kindGiven = false;  // import: --kind was given (else a question bank chooses)
    bool scorm = false;      // web: a SCORM package instead of the page alone
    bool gift = false;       // moodle: a GIFT bank instead of Moodle XML
};

// `arguments` leaves out the program's own name: build SOURCE [-o EXE]
// [--player EXE], extract EXE [-o SOURCE] [--media DIR], import CSV|GIFT|XML
// [-o SOURCE] [--kind text|pictures|audio|video], web SOURCE [-o FILE]
// [--scorm], moodle SOURCE [-o FILE] [--gift] (SOURCE a .toml or a packed .exe). A lone .toml argument is a
// source dropped on the program (or given alone on a command line): it is
// built next to itself, named after itself.
QuizpackCommand parseQuizpackArguments(const std::vector<std::string>& arguments);
