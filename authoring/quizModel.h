// The quiz as an author sees it: every value a quiz source can hold, in
// UTF-8, with media as paths relative to the source file. The authoring tools
// (quizpack, the editor) read a source into this record, change it, check it
// and write it back; the player's resources are made from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quiz/quiz.h"

constexpr int modelKindUnset = -1;        // no "kind" key (yet)
constexpr size_t maxModelQuestions = 96;  // one reward code per possible score

// A key of a source whose value the model cannot read (a misspelt key, a
// value of the wrong form), kept as the author wrote it so that writing the
// source back loses nothing. It stays a problem until the author fixes or
// deletes it.
struct SourceExtra {
    std::string key;          // as the source names it, unquoted
    std::string value;        // TOML text of the value, as written
    std::string message;      // why the model could not read it, French, UTF-8
    std::string formMessage;  // the same in the editor's words
    int line = 0;             // where it was read, 0 when unknown

    bool operator==(const SourceExtra& other) const { return key == other.key && value == other.value; }
};

struct ModelQuestion {
    std::string answer;  // the main one: F1 offers it
    std::string answer2;
    // What each box accepts besides its main answer, in the author's order.
    std::vector<std::string> otherAnswers;
    std::vector<std::string> otherAnswers2;
    std::string prompt;
    std::string comment;
    std::string comment2;
    std::string picture;  // media paths, relative to the source file's folder
    std::string solution;
    std::string clip;
    std::vector<SourceExtra> extras;  // written back at the end of its [[question]]

    bool operator==(const ModelQuestion& other) const;
    bool operator!=(const ModelQuestion& other) const { return !(*this == other); }
};

struct QuizModel {
    int32_t kind = modelKindUnset;  // kindText .. kindVideo, or modelKindUnset
    std::string title;
    std::string author;
    std::string explanations;
    std::string link;  // the quiz's own web address (http:// or https://), or none
    int32_t answersPerQuestion = 1;
    std::string caption1;
    std::string caption2;
    int32_t reveal = 0;  // 0 none .. 4 all comments
    // The sample quiz's colour, so that a quiz without one still looks familiar.
    uint8_t colourRed = 0x35;
    uint8_t colourGreen = 0xCB;
    uint8_t colourBlue = 0xA3;
    std::vector<std::string> rewardCodes;  // one per score, from 1
    std::vector<ModelQuestion> questions;
    std::vector<SourceExtra> extras;  // written back among the quiz's own keys

    bool operator==(const QuizModel& other) const;
    bool operator!=(const QuizModel& other) const { return !(*this == other); }
};

// Which value of the model a problem is about, so that a window can point at it.
enum class ModelField {
    none,  // the source as a whole (syntax, size of the compressed texts)
    kind,
    title,
    author,
    explanations,
    link,
    answersPerQuestion,
    captions,
    reveal,
    colour,
    rewardCodes,
    questions,  // the list itself (none, too many)
    answer,
    answer2,
    prompt,
    comment,
    comment2,
    picture,
    solution,
    clip,
    unknownKey,
};

// One problem found in a source, a model or an imported table.
struct ModelProblem {
    ModelField field = ModelField::none;
    int question = -1;        // index from 0 for a question's field, else -1
    int item = -1;            // index from 0 in captions or reward codes, else -1
    int line = 0;             // line in the file read, 0 when none is known
    std::string message;      // French, UTF-8, without the location
    std::string key;          // ModelField::unknownKey: the key as written
    std::string formMessage;  // the message in the editor's words, "" when the same
    std::string column;       // a spreadsheet's problem: the column's header as the file writes it
    bool warning = false;     // worth knowing, but the quiz still builds
};

// How many of the problems stop a build (warnings aside).
size_t errorCount(const std::vector<ModelProblem>& problems);
