// The decoded layout of a quiz's two resources: 104 (description) and 105
// (reward codes), read into the Quiz record by the player and written from a
// QuizSource by the authoring tool.
//
// Description (104): byte 0 unused (written 0); byte 1 kind + 1; byte 2 the
// question count N; byte 3 answers per question M; five text fields (title,
// author, explanations, two answer captions); N question records (answer,
// second answer only when M is 2, prompt); the reveal mode byte; for modes 2
// and 4 one comment per question, for mode 3 a pair per question; then the
// colour bytes red, green, blue. A text field is its bytes and a "|".
// Reward codes (105): one line per score from 1, each code then CR LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "quiz/quiz.h"

constexpr uint8_t layoutFieldEnd = '|';
constexpr uint8_t layoutLineEnd = '\r';

// Fills a constructed quiz from decoded resource 104 (pass the decoded byte
// count, not the size of the decoder's buffer). Texts longer than 259
// characters are cut and reading goes on after their "|". All N questions
// are appended, even beyond the 96 reward codes (N <= 255 < 260 solution
// flags). The brush is left to the platform side.
// When a text field or a count, mode or colour byte lies past the data the
// resource is undecodable: returns false, sets questionCount to 0 and leaves
// every other field and the question list as they were.
bool readQuizLayout(Quiz& quiz, const uint8_t* data, size_t size);

// Fills rewardCodes from decoded resource 105: questionCount lines, at most
// 96 of them kept (later lines are not read). Codes are cut at 259
// characters. A kept line without its carriage return inside the data makes
// the resource undecodable: returns false and sets no code at all.
bool readRewardCodes(Quiz& quiz, const uint8_t* data, size_t size);

// Fills `link` from the decoded link resource (106), which only a quiz with
// its own web address carries. Anything but a web address (isWebAddress)
// leaves the quiz without one: the player opens what it shows, and must not
// be made to open a program.
void readQuizLink(Quiz& quiz, const uint8_t* data, size_t size);

// The answers boxes accept besides their main one (resource 107, decoded):
// for each box that has some, its question number (1..255), its slot (1 or
// 2) and their count (1..255) as three bytes, then each answer's text and a
// "|". Boxes in any order, each once.
struct OtherAnswers {
    int question = 0;  // from 1
    int slot = 1;      // 1 or 2
    std::vector<std::string> texts;
};

// Whether the data holds such records and nothing else, for a quiz of
// `questionCount` questions: every count, slot and question in range, every
// text of 1..259 characters, no box twice. False leaves `out` empty.
bool parseOtherAnswers(const uint8_t* data, size_t size, int questionCount, std::vector<OtherAnswers>& out);

// Gives the quiz's entries the other answers of a resource 107 that parses
// whole; anything else (absent, damaged) leaves every box with its main
// answer only. The player accepts a quiz either way.
bool readOtherAnswers(Quiz& quiz, const uint8_t* data, size_t size);

// An address a browser opens: "http://" or "https://", then at least one
// character, all printable ASCII without spaces, quotes or angle brackets,
// and at most 259 characters in all.
bool isWebAddress(const std::string& text);

// The quiz shown when the executable carries none (its brush is left to the
// platform side): 7 questions over two entries.
void loadSampleQuiz(Quiz& quiz);

// ---- Authoring side -------------------------------------------------------

struct QuizSourceQuestion {
    std::string answer1;
    std::string answer2;  // written only when answersPerQuestion is 2
    std::string prompt;
    std::string comment;        // written for reveal modes 2, 3 and 4
    std::string secondComment;  // written for reveal mode 3 only
};

// A quiz as the authoring tool holds it; texts are Windows-1252 bytes.
struct QuizSource {
    int32_t kind = 0;
    std::string title;
    std::string author;
    std::string explanations;
    std::string caption1;
    std::string caption2;
    int32_t answersPerQuestion = 1;
    int32_t revealMode = 0;
    uint8_t colourRed = 0;
    uint8_t colourGreen = 0;
    uint8_t colourBlue = 0;
    std::vector<QuizSourceQuestion> questions;
    std::vector<std::string> rewardCodes;  // one per score, in score order
};

// Why a source cannot be written so that it reads back the same, or null:
// kind, answers per question or reveal mode outside a byte, more than 255
// questions, a "|" in a text, a CR or LF in a code, a text or code longer
// than 259 characters, or a reward code count other than the question count.
const char* quizSourceProblem(const QuizSource& source);

// The two layouts, exactly as the player reads them. They do not check the
// source: call quizSourceProblem first.
std::vector<uint8_t> writeQuizLayout(const QuizSource& source);
std::vector<uint8_t> writeRewardCodes(const QuizSource& source);
// Resource 107's layout; the boxes must be as parseOtherAnswers accepts them.
std::vector<uint8_t> writeOtherAnswers(const std::vector<OtherAnswers>& boxes);

// The inverse, for extraction. `codes` may be null (no resource 105): the
// reward codes are then left empty. Otherwise one code per question is read
// and a line running past the data fails. Texts are kept whole, and for
// reveal mode 3 the second text of each pair is kept, so writing the result
// gives the same bytes (apart from byte 0 and anything after the colours).
bool readQuizSource(const uint8_t* layout, size_t layoutSize, const uint8_t* codes, size_t codesSize, QuizSource& out);
