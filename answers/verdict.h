// The choice of a verdict for one answer box, the score counted from the
// verdict labels, and the texts the header bar shows for it. Pure functions:
// the Windows side reads the controls and writes the results back.
#pragma once

#include <functional>

#include "quiz/quiz.h"

// Verdict texts exactly as the labels show them (Windows-1252). Labels are
// compared with these byte for byte wherever they are read.
inline constexpr char verdictEmpty[] = "?";
inline constexpr char verdictRight[] = "BRAVO";
inline constexpr char verdictWrong[] = "FAUX";
inline constexpr char verdictAnagram[] = "Anagramme";
inline constexpr char verdictOneEdit[] = "Quasiment";
inline constexpr char verdictTwoEdits[] = "Presque";
inline constexpr char verdictTooShort[] = "Trop court";
inline constexpr char verdictNotFar[] = "pas loin";
inline constexpr char verdictTooLong[] = "Trop long";
// The e is escaped too: "\xE9e" would read as one (out of range) hex escape.
inline constexpr char verdictClose[] = "y a de l'id\xE9\x65";

// Normalised copies (at most 259 characters are taken from the source): the
// typed text is trimmed then folded, the accepted answer only folded, so an
// answer stored with a trailing space can never be matched.
void normaliseTyped(const char* typed, char out[260]);
void normaliseAccepted(const char* accepted, char out[260]);

// Whether a box holds its accepted answer once both are normalised. This is
// the test for a fully answered question; unlike chooseVerdict it says yes to
// an empty box whose accepted answer is empty.
bool answerMatches(const char* acceptedAnswer, const char* typedText);

// One of the verdict texts above for the typed text against the accepted
// answer. Works on normalised copies; neither input is changed.
const char* chooseVerdict(const char* acceptedAnswer, const char* typedText);

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
int countScore(int questionCount, int answersPerQuestion,
               const std::function<const char*(int boxNumber)>& labelText);

// Room for " %d / %d" with any two ints.
constexpr int scoreTextSize = 32;

// " score / questionCount" into a buffer of scoreTextSize bytes.
void formatScore(char* out, int score, int questionCount);

// The reward-code box's text for a score: six spaces for 0 (or less), the
// score's own code for 1..96, and an empty text above 96, where the quiz
// holds no code.
const char* rewardText(const Quiz& quiz, int score);
