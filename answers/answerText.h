// The small text toolkit behind answer judging: normalisation and the
// measures that tell an exact answer from a near miss. Single-byte ANSI
// text, one byte per character; nothing here knows about accents or words.
#pragma once

// Texts are held in 260-byte buffers: at most 259 characters.
constexpr int answerTextSize = 260;
constexpr int answerTextMax = answerTextSize - 1;

// Length of a text, counting no further than its first 259 bytes: every
// measure below looks at that much and no more, so a longer input can never
// overrun the fixed distance table.
int boundedTextLength(const char* text);

// Removes spaces (0x20 only) at both ends, moving the rest to the front.
void trimSpaces(char* text);

// Folds a..z (0x61..0x7A) to A..Z; every other byte, accented letters
// included, stays as typed.
void toUpperAscii(char* text);

// Levenshtein distance (insert, delete, substitute, each 1) of the first
// 259 bytes of each text. Works in a fixed 260 x 260 table on the stack.
int editDistance(const char* a, const char* b);

// Sorts the bytes of the text in place (ascending as unsigned bytes). Only
// compared for equality, to recognise anagrams.
void sortLetters(char* text);

// Whether the shorter of the two texts occurs in the longer by a forward-only
// scan that never steps back after a failed partial match (so "AAB" is not
// found in "AAAB"). +2: the answer was found in the typed text (typed at
// least as long); -2: the shorter typed text was found in the answer; 0: not
// found. When the shorter text is empty the result is +1 or -1.
int containmentScan(const char* answer, const char* typed);

// 100 x typed / answer as a single-precision value; 0 for an answer length
// of 0 or less (never asked for by the judge).
float lengthRatio(int typedLength, int answerLength);

// (longer - distance) x 100 / longer, with longer the greater length; 100
// when both lengths are 0 (two empty texts are alike).
double similarityPercent(int lengthA, int lengthB, int distance);
