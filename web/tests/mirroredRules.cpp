// The player's side of the rules the web page applies again in JavaScript
// (mirroredRules in web/player.js), for web/tests/mirroredRules.mjs: prints
// the page's rules as the writer gives them (webPageRules), then answers one
// line of stdin at a time. Texts are hex bytes, "-" for an empty one.
//   link TEXT                    -> isWebAddress (0 or 1) and linkText
//   boxes KIND ANSWERS           -> effectiveAnswersPerQuestion
//   colour RED GREEN             -> blackTextOnQuizColour (0 or 1)
//   score QUESTIONS PER LABEL... -> countScore over those labels, in box order
//   reward SCORE CODE...         -> rewardText of a quiz holding those codes
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "answers/verdict.h"
#include "app/headerLayout.h"
#include "authoring/webPage.h"
#include "quiz/quizLayout.h"
#include "sheet/scrollMath.h"

namespace {

std::string fromHex(const std::string& hex) {
    std::string text;
    if (hex == "-") return text;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) text += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return text;
}

std::string toHex(const std::string& text) {
    if (text.empty()) return "-";
    std::string hex;
    char digits[3];
    for (unsigned char c : text) {
        std::snprintf(digits, sizeof digits, "%02x", c);
        hex += digits;
    }
    return hex;
}

std::vector<std::string> texts(std::istringstream& words) {
    std::vector<std::string> out;
    for (std::string word; words >> word;) out.push_back(fromHex(word));
    return out;
}

Quiz quiz;  // large (its reward codes): not on the stack

std::string answer(const std::string& line) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    if (command == "link") {
        std::string hex;
        words >> hex;
        const std::string text = fromHex(hex);
        initQuizValues(quiz);
        copyText(quiz.link, quizTextSize, text.c_str());
        return std::string(isWebAddress(text) ? "1 " : "0 ") + toHex(linkText(quiz));
    }
    if (command == "boxes") {
        initQuizValues(quiz);
        words >> quiz.kind >> quiz.answersPerQuestion;
        return std::to_string(effectiveAnswersPerQuestion(quiz));
    }
    if (command == "colour") {
        int red = 0;
        int green = 0;
        words >> red >> green;
        return blackTextOnQuizColour(static_cast<uint8_t>(red), static_cast<uint8_t>(green)) ? "1" : "0";
    }
    if (command == "score") {
        int questions = 0;
        int perQuestion = 0;
        words >> questions >> perQuestion;
        const std::vector<std::string> labels = texts(words);
        return std::to_string(countScore(questions, perQuestion, [&](int box) {
            return box >= 1 && box <= static_cast<int>(labels.size()) ? labels[box - 1].c_str() : nullptr;
        }));
    }
    if (command == "reward") {
        int score = 0;
        words >> score;
        initQuizValues(quiz);
        const std::vector<std::string> codes = texts(words);
        for (size_t i = 0; i < codes.size() && i < rewardCodeCount; ++i) {
            copyText(quiz.rewardCodes[i], quizTextSize, codes[i].c_str());
        }
        return toHex(rewardText(quiz, score));
    }
    return "? " + command;
}

}  // namespace

int main() {
    std::cout << webPageRules() << '\n';
    for (std::string line; std::getline(std::cin, line);) std::cout << answer(line) << '\n';
    return 0;
}
