// The choice of a verdict for one typed text against its accepted answer.
// Needs nothing but the answer text toolkit and a few bytes functions, so
// that the same sources also build freestanding (the web page's judge).
#pragma once

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

// A box may accept other answers than its main one: `others` packs them one
// after the other in the author's order, each ended by a NUL and the list by
// an empty text ("en 1789\0" "1789 \0" "\0"); null when there are none.

// Whether the box holds its main answer or one of the others (answerMatches).
bool answerMatchesAny(const char* mainAnswer, const char* others, const char* typedText);

// The verdict against every accepted answer, in the author's order: "BRAVO"
// when one of them gives it, else the first hint one of them gives, else
// "FAUX"; "?" for an empty box. `matched` (when not null) gets which answer
// gave the verdict: 0 the main one, k the k-th other, -1 for "FAUX" and "?".
const char* chooseVerdictAmong(const char* mainAnswer, const char* others, const char* typedText,
                               int* matched = nullptr);

// The other answer number k (from 1) of a packed list, null beyond its end.
const char* otherAnswerAt(const char* others, int k);
