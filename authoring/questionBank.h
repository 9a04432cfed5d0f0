// Question banks kept on a Moodle platform (GIFT or Moodle XML), read into
// what Vetra can ask: short-answer questions, and numerical ones with one
// exact value. Everything else is counted by type and left out. The readers
// (giftImport.h, moodleXmlImport.h) fill a BankReading; importQuestionBank
// turns it into questions of a model.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "authoring/quizModel.h"

struct BankFile {
    std::string name;  // as the bank names it, without folder
    std::vector<uint8_t> bytes;
};

struct BankQuestion {
    int number = 0;  // its place among the file's questions, from 1
    int line = 0;    // where it begins in the file
    std::string name;
    ModelQuestion question;          // answer, otherAnswers, prompt, comment (UTF-8)
    std::vector<BankFile> pictures;  // the files its text embeds
};

struct BankReading {
    std::string category;  // the first category the file names, its last part
    std::vector<BankQuestion> questions;
    // What was left out, by type: the French words after "questions"
    // ("à choix multiples") and how many, in the order first met.
    std::vector<std::pair<std::string, size_t>> leftOut;
    size_t partialAnswers = 0;  // answers worth less than 100 %
    bool usesCase = false;      // a question asked for the case to be respected
};

// Counts one question of a type left out.
void leaveOut(BankReading& reading, const std::string& typeWords);

// Markup reduced to the text a reader sees: tags dropped (a line break, a
// paragraph or a cell becomes a space), entities decoded, runs of spaces
// made one, the ends trimmed. "<" that opens no tag stays.
std::string htmlToText(const std::string& html);

// Runs of spaces, tabs and line breaks made one space, the ends trimmed.
std::string collapseSpaces(const std::string& text);

// At most `characters` characters of a UTF-8 text, cut between two of them.
std::string textExcerpt(const std::string& text, size_t characters);

// The last name of a Moodle category path: "$course$/top/Géo"
// gives "Géo" ("//" is a "/" inside a name).
std::string categoryName(const std::string& path);

// Adds the answers worth 100 % to `question` in order, the first as its main
// answer; an empty one, or one the judge would take for an earlier one, is dropped.
void addAcceptedAnswer(ModelQuestion& question, const std::string& answer);

struct BankImportOptions {
    std::string mediaFolder;  // where embedded pictures are written
    std::string mediaPrefix;  // how the source names that folder, ending in "/"
};

struct BankImportResult {
    std::vector<ModelProblem> problems;  // nothing imported
    std::vector<ModelProblem> warnings;  // questions left out, media left aside
    std::vector<std::string> notices;    // what was left out by type, usecase
    std::vector<BankFile> mediaToWrite;  // named as in the media folder
    std::vector<std::string> picturesLeftAside;
    size_t imported = 0;
    int32_t revealChosen = -1;
};

// The questions of `reading` appended to `model`. The kind is chosen when
// the model has none: pictures when every question brings exactly one, else
// text. On a problem (too many questions, a picture the player cannot show)
// the model is left as it was.
bool importQuestionBank(const BankReading& reading, QuizModel& model, const BankImportOptions& options,
                        BankImportResult& result);
