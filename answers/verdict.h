// The choice of a verdict for one answer box, the score counted from the
// verdict labels, and the texts the header bar shows for it. Pure functions:
// the Windows side reads the controls and writes the results back.
#pragma once

#include <functional>

#include "answers/verdictChoice.h"
#include "quiz/quiz.h"

// Question n (from 1) and answer slot (1 or 2) of an answer box identifier
// (4001 and up). Any count of answers other than 2 is taken as 1.
void boxQuestionAndSlot(int boxId, int answersPerQuestion, int& question, int& slot);

// The identifier of the answer box of question n, slot k.
int answerBoxId(int question, int slot, int answersPerQuestion);

// Counts the questions whose every answer box has a label reading exactly
// "BRAVO". labelText is asked for box numbers 1 .. N x M in box order
// (box identifier 4000 + number); the text it returns need only stay valid
// until its next call, and null counts as not right. No questions, or fewer
// than one answer per question, score 0.
int countScore(int questionCount, int answersPerQuestion, const std::function<const char*(int boxNumber)>& labelText);

// Room for " %d / %d" with any two ints.
constexpr int scoreTextSize = 32;

// " score / questionCount" into a buffer of scoreTextSize bytes.
void formatScore(char* out, int score, int questionCount);

// The reward-code box's text for a score: six spaces for 0 (or less), the
// score's own code for 1..96, and an empty text above 96, where the quiz
// holds no code.
const char* rewardText(const Quiz& quiz, int score);
