#include "quiz/quiz.h"

#include <cstdlib>
#include <cstring>
#include <new>

void copyText(char* destination, int size, const char* source) {
    if (size <= 0) return;
    int i = 0;
    if (source) {
        for (; i < size - 1 && source[i] != '\0'; ++i) destination[i] = source[i];
    }
    destination[i] = '\0';
}

void initQuizValues(Quiz& quiz) {
    std::memset(&quiz, 0, sizeof quiz);
    quiz.kind = kindText;
    copyText(quiz.title, quizTextSize, "nom du vetra");
    copyText(quiz.author, quizTextSize, " createur");
    quiz.questionCount = 2;
    quiz.answersPerQuestion = 1;
    quiz.revealMode = revealNone;
    quiz.colourRed = 90;
    quiz.colourGreen = 95;
    quiz.colourBlue = 150;
    // The construction colour does not match the three bytes: the record
    // starts with the sheet painted 0x00965F5A while `colour` reads this.
    quiz.colour = 0x00969BFF;
}

void appendQuestion(Quiz& quiz, const char* answer1, const char* answer2, const char* prompt) {
    QuestionEntry* entry = static_cast<QuestionEntry*>(std::calloc(1, sizeof(QuestionEntry)));
    if (!entry) throw std::bad_alloc();  // like any failed allocation, this ends the program
    copyText(entry->answer1, quizTextSize, answer1);
    copyText(entry->answer2, quizTextSize, answer2);
    copyText(entry->prompt, quizTextSize, prompt);
    entry->previous = quiz.lastQuestion;
    if (quiz.lastQuestion) quiz.lastQuestion->next = entry;
    if (!quiz.firstQuestion) quiz.firstQuestion = entry;
    quiz.lastQuestion = entry;
}

QuestionEntry* questionAt(const Quiz& quiz, int n) {
    // Unsigned on purpose: n = 0 (or below) walks to the end of the list.
    const unsigned limit = static_cast<unsigned>(n) - 1u;
    QuestionEntry* found = nullptr;
    unsigned steps = 0;
    for (QuestionEntry* entry = quiz.firstQuestion; entry && steps <= limit; entry = entry->next, ++steps) {
        found = entry;
    }
    return found;
}

void releaseQuestions(Quiz& quiz) {
    QuestionEntry* entry = quiz.firstQuestion;
    while (entry) {
        QuestionEntry* next = entry->next;
        for (char* others : entry->otherAnswers) std::free(others);
        std::free(entry);
        entry = next;
    }
    quiz.firstQuestion = nullptr;
    quiz.lastQuestion = nullptr;
}

int effectiveAnswersPerQuestion(const Quiz& quiz) {
    return quiz.kind == kindText ? 1 : quiz.answersPerQuestion;
}
