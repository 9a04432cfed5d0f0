// The web page's judge: the player's own verdict choice behind the few
// functions the page calls. The page writes the accepted answer, its other
// accepted answers (othersBuffer) and the typed text as Windows-1252 bytes
// into the buffers (each text NUL-terminated, at most 259 bytes are read)
// and gets back the verdict's number; the verdict
// texts themselves come from here too, so the page judges nothing itself.
// It does rely on the numbering below (which number is right, and the
// colour it gives each), and it applies a few other rules of the player
// again in JavaScript: those are mirroredRules in web/player.js, checked
// against their C++ functions by web/tests/mirroredRules.mjs.
#include <cstring>

#include "answers/answerText.h"
#include "answers/verdictChoice.h"

#define JUDGE_EXPORT(name) extern "C" __attribute__((export_name(#name)))

namespace {

char accepted[answerTextSize];
char typed[answerTextSize];
// The box's other accepted answers, packed as chooseVerdictAmong takes them:
// room for the most a box can have (255 of 259 characters), and the end.
constexpr int othersSize = 255 * answerTextSize + 1;
char others[othersSize];

// Numbered in this order for the page: the empty box, right, wrong, then the
// near-miss hints.
const char* const verdicts[] = {verdictEmpty,    verdictRight,    verdictWrong,  verdictAnagram, verdictOneEdit,
                                verdictTwoEdits, verdictTooShort, verdictNotFar, verdictTooLong, verdictClose};
constexpr int verdictCount = sizeof(verdicts) / sizeof(verdicts[0]);

// The page may have filled a buffer to its last byte: never read past it.
void terminateBuffers() {
    accepted[answerTextMax] = '\0';
    typed[answerTextMax] = '\0';
    others[othersSize - 2] = '\0';
    others[othersSize - 1] = '\0';
}

}  // namespace

JUDGE_EXPORT(acceptedBuffer) char* acceptedBuffer() {
    return accepted;
}

JUDGE_EXPORT(typedBuffer) char* typedBuffer() {
    return typed;
}

// The page writes a box's other answers here one after the other, each
// NUL-terminated, then an empty one; a box without any is just the empty one.
JUDGE_EXPORT(othersBuffer) char* othersBuffer() {
    return others;
}

JUDGE_EXPORT(othersBufferSize) int othersBufferSize() {
    return othersSize;
}

JUDGE_EXPORT(bufferSize) int bufferSize() {
    return answerTextSize;
}

JUDGE_EXPORT(verdictTotal) int verdictTotal() {
    return verdictCount;
}

// The verdict text of a number, NUL-terminated; "FAUX" for a number out of range.
JUDGE_EXPORT(verdictText) const char* verdictText(int number) {
    return number >= 0 && number < verdictCount ? verdicts[number] : verdictWrong;
}

JUDGE_EXPORT(judge) int judge() {
    terminateBuffers();
    const char* verdict = chooseVerdictAmong(accepted, others, typed);
    for (int i = 0; i < verdictCount; ++i) {
        if (std::strcmp(verdict, verdicts[i]) == 0) return i;
    }
    return 2;
}

// Whether the typed text is one of the accepted answers: the test for a fully
// answered question, which differs from a "BRAVO" for an empty answer.
JUDGE_EXPORT(matches) int matches() {
    terminateBuffers();
    return answerMatchesAny(accepted, others, typed) ? 1 : 0;
}
