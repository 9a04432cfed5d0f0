#include "answers/verdictChoice.h"

#include <cstring>

#include "answers/answerText.h"

namespace {

void copyBounded(const char* source, char out[answerTextSize]) {
    const int length = boundedTextLength(source);
    if (length > 0) std::memcpy(out, source, length);
    out[length] = '\0';
}

// Verdicts for an accepted answer of four characters or more that is neither
// matched exactly nor an anagram nor one or two edits away.
const char* chooseByContainment(const char* accepted, const char* typed, int answerLength, int typedLength,
                                int distance) {
    const int found = containmentScan(accepted, typed);
    if (found == -2) {
        // A piece of a short answer is too little to be worth a hint.
        if (answerLength <= 9) return verdictWrong;
        const float ratio = lengthRatio(typedLength, answerLength);
        if (ratio > 70.0f) return verdictTooShort;
        if (ratio > 50.0f) return verdictNotFar;
        return verdictWrong;
    }
    if (found == 2) return verdictTooLong;
    if (similarityPercent(answerLength, typedLength, distance) > 80.0) return verdictClose;
    return verdictWrong;
}

}  // namespace

void normaliseTyped(const char* typed, char out[260]) {
    copyBounded(typed, out);
    trimSpaces(out);
    toUpperAscii(out);
}

void normaliseAccepted(const char* accepted, char out[260]) {
    copyBounded(accepted, out);
    toUpperAscii(out);
}

bool answerMatches(const char* acceptedAnswer, const char* typedText) {
    char accepted[answerTextSize];
    char typed[answerTextSize];
    normaliseAccepted(acceptedAnswer, accepted);
    normaliseTyped(typedText, typed);
    return std::strcmp(accepted, typed) == 0;
}

const char* chooseVerdict(const char* acceptedAnswer, const char* typedText) {
    char accepted[answerTextSize];
    char typed[answerTextSize];
    normaliseAccepted(acceptedAnswer, accepted);
    normaliseTyped(typedText, typed);
    const int answerLength = static_cast<int>(std::strlen(accepted));
    const int typedLength = static_cast<int>(std::strlen(typed));

    if (typedLength == 0) return verdictEmpty;
    // Short answers are right or wrong, never hinted at.
    if (answerLength <= 3) return std::strcmp(accepted, typed) == 0 ? verdictRight : verdictWrong;

    const int distance = editDistance(accepted, typed);
    if (distance == 0) return verdictRight;

    // A swap of two letters is an anagram before it is two edits away.
    char sortedAccepted[answerTextSize];
    char sortedTyped[answerTextSize];
    std::memcpy(sortedAccepted, accepted, answerLength + 1);
    std::memcpy(sortedTyped, typed, typedLength + 1);
    sortLetters(sortedAccepted);
    sortLetters(sortedTyped);
    if (std::strcmp(sortedAccepted, sortedTyped) == 0) return verdictAnagram;

    if (distance == 1) return verdictOneEdit;
    if (distance == 2) return verdictTwoEdits;
    return chooseByContainment(accepted, typed, answerLength, typedLength, distance);
}

const char* otherAnswerAt(const char* others, int k) {
    if (!others || k < 1) return nullptr;
    for (const char* text = others; *text; text += std::strlen(text) + 1) {
        if (--k == 0) return text;
    }
    return nullptr;
}

bool answerMatchesAny(const char* mainAnswer, const char* others, const char* typedText) {
    if (answerMatches(mainAnswer, typedText)) return true;
    for (int k = 1; const char* other = otherAnswerAt(others, k); ++k) {
        if (answerMatches(other, typedText)) return true;
    }
    return false;
}

const char* chooseVerdictAmong(const char* mainAnswer, const char* others, const char* typedText, int* matched) {
    const char* hint = nullptr;
    int hintFrom = -1;
    const char* verdict = chooseVerdict(mainAnswer, typedText);
    for (int k = 0;; ++k) {
        if (k > 0) {
            const char* other = otherAnswerAt(others, k);
            if (!other) break;
            verdict = chooseVerdict(other, typedText);
        }
        if (verdict == verdictEmpty) break;
        if (verdict == verdictRight) {
            if (matched) *matched = k;
            return verdict;
        }
        if (!hint && verdict != verdictWrong) {
            hint = verdict;
            hintFrom = k;
        }
    }
    if (matched) *matched = hint ? hintFrom : -1;
    if (verdict == verdictEmpty) return verdictEmpty;
    return hint ? hint : verdictWrong;
}
