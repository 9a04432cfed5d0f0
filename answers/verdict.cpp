#include "answers/verdict.h"

#include <cstdio>
#include <cstring>

#include "resources/resource.h"

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
