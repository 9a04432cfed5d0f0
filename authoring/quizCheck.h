// Whether a quiz model can become a player's quiz, and how its problems are
// told to the author.
#pragma once

#include <string>
#include <vector>

#include "authoring/quizModel.h"
#include "authoring/quizToml.h"

// Every problem of the model, in the order of its fields (quiz keys, then
// each question, then the reward codes), without lines. What the model keeps as the
// author wrote it (SourceExtra) is a problem until fixed or deleted. It
// reads the model only and allocates little, so a window may call it on
// every keystroke.
std::vector<ModelProblem> checkQuiz(const QuizModel& model);

// What is worth the author's attention but builds all the same (each with
// ModelProblem::warning set): comments a text quiz never shows, the same
// picture or clip on two questions.
std::vector<ModelProblem> quizWarnings(const QuizModel& model);

// Gives each problem without a line the line of what it is about: the item,
// else the key, else the question's [[question]], else none.
void locateProblems(const SourceLines& lines, std::vector<ModelProblem>& problems);

// Reads a source and checks the model: the reading's problems, then the
// check's about values the reading did not already refuse, all located and
// in line order; the warnings go to `warnings` when given. True when there
// is no problem (warnings aside).
bool readAndCheckQuiz(const std::string& text, QuizModel& model, SourceLines& lines,
                      std::vector<ModelProblem>& problems, std::vector<ModelProblem>* warnings = nullptr);

// What a problem is about, as the source names it: "title",
// "question 2, answer", "reward_codes[3]", "question 2, colonne « Énoncé »"
// for a spreadsheet's cell, or "" for the source as a whole.
std::string problemField(const ModelProblem& problem);

// "FILE:LINE: FIELD: message", LINE and FIELD left out where there is none.
std::string formatProblem(const std::string& file, const ModelProblem& problem);
