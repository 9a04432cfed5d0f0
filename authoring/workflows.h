// What the authoring front-ends do with files, written once: check, build,
// extract and import take paths and options and return a report: what was
// done, the warnings, the problems (each with the file it is about). quizpack
// prints a report; the editor shows it in its status line and problems list.
// Portable: the files are reached through a FileSystem.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "authoring/fileSystem.h"
#include "authoring/quizModel.h"
#include "authoring/quizToml.h"

struct ReportLine {
    std::string file;  // what the line is about, as the caller named it
    std::string text;  // French, UTF-8
};

struct ReportProblem {
    std::string file;
    ModelProblem problem;
};

struct WorkflowReport {
    std::vector<ReportLine> done;         // what was done
    std::vector<ReportProblem> warnings;  // what the author should know; nothing stopped
    std::vector<ReportProblem> problems;  // what stopped the work: nothing was made
    ReportLine refusal;                   // after the problems, their count ("3 problèmes, ..."), or empty

    bool succeeded() const { return problems.empty(); }
};

// "FILE:LINE: FIELD: message", as quizpack prints a problem or a warning.
std::string reportText(const ReportProblem& problem);

// The warning about a picture quiz whose questions do not fill its rows of
// three (the player then looks for pictures that are not there); "" for any
// other quiz. UTF-8.
std::string picturesRowWarningText(const QuizModel& model);

// What the media check found of each file, by kind and full path, so that a
// window checking on every keystroke reads each file once.
using MediaVerdicts = std::map<std::string, std::string>;

// check: the model's problems (those it marks as warnings apart) and those of
// every media file a question names, found as the build finds them, for the
// fields the model check left without a problem. `verdicts`, when given,
// keeps each file's result for the next call.
WorkflowReport checkQuizFiles(FileSystem& files, const QuizModel& model, const std::string& sourceFile,
                              MediaVerdicts* verdicts = nullptr);

struct BuildRequest {
    std::string source;
    std::string output;  // empty: the source's name with ".exe"
    std::string player;  // empty: vetra.exe beside the running program
};

// build: the player of `request.player` with the model packed in, written as
// the output; `lines` (when known) give the problems their lines.
WorkflowReport buildQuizModel(FileSystem& files, const QuizModel& model, const BuildRequest& request,
                              const SourceLines* lines = nullptr);
// The same from the source file itself, read and checked first.
WorkflowReport buildQuizSource(FileSystem& files, const BuildRequest& request);
// The output the build writes: the one asked for, else beside the source.
std::string buildOutput(const BuildRequest& request);

// extract, the first half: the quiz of a player, its media files written
// into `mediaFolder` (made when there is one) and named in the model as
// `mediaPrefix` + name. `written` gets every file written, in order.
WorkflowReport extractQuizMedia(FileSystem& files, const std::string& executable, const std::string& mediaFolder,
                                const std::string& mediaPrefix, QuizModel& model, std::vector<std::string>& written);

struct ExtractRequest {
    std::string executable;
    std::string output;       // empty: the executable's name with ".toml"
    std::string mediaFolder;  // empty: the output's name with "-media"
};
// extract: a source and its media folder from a player; on a failure nothing
// this run wrote is left.
WorkflowReport extractQuizSource(FileSystem& files, const ExtractRequest& request);

// import, the first half: the table's questions appended to `model`; on any
// problem the model is left as it was. When the table's comments or solution
// pictures made the import choose a reveal mode, the report says so, in the
// form's words when `formWords` (the editor) else in the source's.
// A question bank from Moodle (.gift or .txt in GIFT, .xml in Moodle XML)
// comes in the same way: what it leaves out is said by type, and its
// embedded pictures are written into the folder beside `sourceFile` (the
// quiz's source, or the bank itself when the quiz has none yet) named after
// it with "-media". A model of no kind takes the pictures kind when every
// question brings exactly one picture, else the text kind.
WorkflowReport importQuestions(FileSystem& files, const std::string& table, QuizModel& model, bool formWords = false,
                               const std::string& sourceFile = "");

// Whether the import reads the file as a question bank rather than a table.
bool isQuestionBank(const std::string& path);
struct WebExportRequest {
    std::string source;  // a quiz source (.toml) or a packed quiz (.exe)
    std::string output;  // empty: the source's name with ".html", or ".zip" for a package
    bool scorm = false;  // a SCORM 1.2 package for a learning platform instead of the page alone
};
// web: the quiz as one page that plays in any browser, or as a SCORM
// package. The problems that refuse a build refuse it, in the same words;
// nothing is written then. What browsers cannot show, and a page too large
// to mail, are warnings.
WorkflowReport exportWebQuiz(FileSystem& files, const WebExportRequest& request);

struct MoodleExportRequest {
    std::string source;  // a quiz source (.toml) or a packed quiz (.exe)
    std::string output;  // empty: the source's name with ".xml", or ".gift"
    bool gift = false;   // GIFT (text, no media) instead of Moodle XML
};
// moodle: the quiz as a question bank for Moodle, one short-answer question
// per answer box, its category named after the title. Refused as a build
// refuses it; nothing is written then. Pictures and clips left out of a GIFT
// bank, and media no browser shows, are warnings.
WorkflowReport exportMoodleBank(FileSystem& files, const MoodleExportRequest& request);
// The file the moodle export writes: the one asked for, else beside the source.
std::string moodleOutput(const MoodleExportRequest& request);

// import: a new source of the given kind named after the table (a bank's
// first category names it when it has one). An existing file is never
// overwritten: the author may have worked on it since. `kind` may be
// modelKindUnset: a bank then chooses (see importQuestions), a table is text.
WorkflowReport importQuizSource(FileSystem& files, const std::string& table, std::string output, int kind);
