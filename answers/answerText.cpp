#include "answers/answerText.h"

#include <cstdint>
#include <cstring>

int boundedTextLength(const char* text) {
    if (!text) return 0;
    int length = 0;
    while (length < answerTextMax && text[length] != '\0') ++length;
    return length;
}

void trimSpaces(char* text) {
    if (!text) return;
    size_t end = std::strlen(text);
    while (end > 0 && text[end - 1] == ' ') --end;
    size_t start = 0;
    while (start < end && text[start] == ' ') ++start;
    std::memmove(text, text + start, end - start);
    text[end - start] = '\0';
}

void toUpperAscii(char* text) {
    if (!text) return;
    for (; *text != '\0'; ++text) {
        if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 0x20);
    }
}

int editDistance(const char* a, const char* b) {
    const int lengthA = boundedTextLength(a);
    const int lengthB = boundedTextLength(b);
    if (lengthA == 0) return lengthB;
    if (lengthB == 0) return lengthA;

    // The whole table, as the texts are bounded: no heap, no early cut-off.
    std::int32_t cell[answerTextSize][answerTextSize];
    for (int j = 0; j <= lengthB; ++j) cell[0][j] = j;
    for (int i = 1; i <= lengthA; ++i) {
        cell[i][0] = i;
        for (int j = 1; j <= lengthB; ++j) {
            const std::int32_t substitute = cell[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            const std::int32_t remove = cell[i - 1][j] + 1;
            const std::int32_t insert = cell[i][j - 1] + 1;
            std::int32_t best = substitute < remove ? substitute : remove;
            if (insert < best) best = insert;
            cell[i][j] = best;
        }
    }
    return cell[lengthA][lengthB];
}

void sortLetters(char* text) {
    if (!text) return;
    const size_t length = std::strlen(text);
    if (length < 2) return;
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (size_t i = 0; i + 1 < length; ++i) {
            const unsigned char first = static_cast<unsigned char>(text[i]);
            const unsigned char second = static_cast<unsigned char>(text[i + 1]);
            if (first > second) {
                text[i] = static_cast<char>(second);
                text[i + 1] = static_cast<char>(first);
                swapped = true;
            }
        }
    }
}

int containmentScan(const char* answer, const char* typed) {
    const int answerLength = boundedTextLength(answer);
    const int typedLength = boundedTextLength(typed);
    const bool typedShorter = typedLength < answerLength;
    const char* shorter = typedShorter ? typed : answer;
    const char* longer = typedShorter ? answer : typed;
    const int shortLength = typedShorter ? typedLength : answerLength;
    const int longLength = typedShorter ? answerLength : typedLength;
    const int sign = typedShorter ? -1 : 1;
    if (shortLength == 0) return sign;

    // After a failed partial match the scan resumes at the mismatching byte,
    // never one past where the attempt began; overlapping starts are missed
    // on purpose, as the hints depend on exactly this behaviour.
    int i = 0;
    for (;;) {
        while (i < longLength && longer[i] != shorter[0]) ++i;
        if (i >= longLength) return 0;
        int j = 0;
        while (j < shortLength && i < longLength && shorter[j] == longer[i]) {
            ++i;
            ++j;
        }
        if (j == shortLength) return 2 * sign;
    }
}

float lengthRatio(int typedLength, int answerLength) {
    if (answerLength <= 0) return 0.0f;
    return static_cast<float>(100.0 * typedLength / answerLength);
}

double similarityPercent(int lengthA, int lengthB, int distance) {
    const int longer = lengthA > lengthB ? lengthA : lengthB;
    if (longer <= 0) return 100.0;
    return (longer - distance) * 100.0 / longer;
}
