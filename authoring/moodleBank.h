// The quiz as a question bank for Moodle, in its two import formats: Moodle
// XML, which carries the pictures and clips inside the file, and GIFT, plain
// text without them. Every answer box is one short-answer question whose
// accepted answers all score 100 %; a question with two boxes becomes two.
// Same model and same media, same bytes.
#pragma once

#include <string>
#include <vector>

#include "authoring/quizAssembly.h"
#include "authoring/quizModel.h"

// Moodle keeps a question's name in 255 characters.
constexpr size_t moodleNameLength = 255;

// One Moodle question: one answer box of the quiz.
struct ExportedQuestion {
    std::string name;                  // plain text, at most moodleNameLength characters
    std::string text;                  // plain text: what the question asks
    std::vector<std::string> answers;  // the main one first, then the others
    std::string feedback;              // the box's comment, or ""
    std::string media;                 // the picture or clip shown with it, as the model names it, or ""
    bool picture = false;              // media is a picture (an <img>), else a clip (a link)
};

// The questions of a model, in its order, box by box, their texts trimmed.
std::vector<ExportedQuestion> bankQuestions(const QuizModel& model);

struct MoodleBank {
    std::string text;                        // UTF-8
    size_t questions = 0;                    // Moodle questions written
    std::vector<std::string> unshowable;     // media no browser shows (WMF, EMF, AVI...), as the model names them
    std::vector<std::string> unreadable;     // media that could not be read, joined to the source's folder
    size_t mediaLeftOut = 0;                 // GIFT: the questions whose picture or clip stays out
    std::vector<std::string> arrowsLeftOut;  // GIFT: the names of the questions left out, an answer holding "->"
};

// Moodle XML of a model a build accepts (the caller checks it): one
// category named `category`, then the questions with their media embedded
// in base64. False, with out.unreadable filled, when a medium cannot be read.
bool writeMoodleXml(const QuizModel& model, const std::string& category, const std::string& sourceFile,
                    const FileReader& readFile, MoodleBank& out);

// GIFT of the same questions, without media, but those with an answer
// holding "->": GIFT would make them matching questions.
void writeGift(const QuizModel& model, const std::string& category, MoodleBank& out);

// A text as Moodle's own export writes it inside <text>: as it is when it
// holds none of & < > " ', else as CDATA (a "]]>" split across two sections).
// Control characters other than tab and line ends, which XML cannot hold, are dropped.
std::string moodleXmlText(const std::string& text);

// A text of a GIFT question with the format's characters ~ = # { } : and the
// backslash escaped by a backslash, a line end written \n.
std::string giftEscaped(const std::string& text);

// An accepted answer as Moodle's short answer matches it: "*" matches any
// text there, so a literal one is written "\*".
std::string moodleAnswer(const std::string& answer);

// "$course$/top/NAME" with each "/" of the name doubled, as Moodle writes a
// category's path.
std::string moodleCategoryPath(const std::string& name);
