#include "answers/verdict.h"

#include <cstdio>
#include <cstring>

#include "answers/answerText.h"
#include "resources/resource.h"

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

void boxQuestionAndSlot(int boxId, int answersPerQuestion, int& question, int& slot) {
    if (answersPerQuestion == 2) {
        question = (boxId - answerBoxIdBase + 1) / 2;
        slot = (boxId % 2 != 0) ? 1 : 2;
    } else {
        question = boxId - answerBoxIdBase;
        slot = 1;
    }
}

int answerBoxId(int question, int slot, int answersPerQuestion) {
    const int perQuestion = answersPerQuestion == 2 ? 2 : 1;
    return answerBoxIdBase + (question - 1) * perQuestion + slot;
}

int countScore(int questionCount, int answersPerQuestion, const std::function<const char*(int boxNumber)>& labelText) {
    if (questionCount <= 0 || answersPerQuestion < 1 || !labelText) return 0;
    int score = 0;
    for (int n = 1; n <= questionCount; ++n) {
        int right = 0;
        for (int k = 1; k <= answersPerQuestion; ++k) {
            const char* text = labelText((n - 1) * answersPerQuestion + k);
            if (text && std::strcmp(text, verdictRight) == 0) ++right;
        }
        if (right == answersPerQuestion) ++score;
    }
    return score;
}

void formatScore(char* out, int score, int questionCount) {
    std::snprintf(out, scoreTextSize, " %d / %d", score, questionCount);
}

const char* rewardText(const Quiz& quiz, int score) {
    if (score <= 0) return "      ";
    if (score > rewardCodeCount) return "";
    return quiz.rewardCodes[score - 1];
}
