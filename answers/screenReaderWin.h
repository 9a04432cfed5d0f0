// The player's controls as a screen reader meets them: names and
// descriptions through WM_GETOBJECT, verdicts and the score as polite live
// regions. The texts and the decisions are answers/accessibility.h's.
#pragma once

#include <windows.h>

#include <string>

#include "quiz/quiz.h"

// WM_GETOBJECT of an answer box; 0 when the box's own procedure answers.
LRESULT answerBoxAccessibleObject(HWND box, WPARAM wParam, LPARAM lParam);

// After the sheet's build: the pictures and media buttons named, the verdict
// labels declared polite live regions.
void exposeSheetToScreenReaders(HWND sheet);
// After the header's build: the score and the reward code named, the score a live region.
void exposeHeaderToScreenReaders(HWND header);

// Nothing is announced while one lives: the sheet judging the answers it
// restores from the progress file.
class QuietSheetBuild {
public:
    explicit QuietSheetBuild(HWND sheet);
    ~QuietSheetBuild();
    QuietSheetBuild(const QuietSheetBuild&) = delete;
    QuietSheetBuild& operator=(const QuietSheetBuild&) = delete;

private:
    HWND sheet_;
};

// What the header's score shows now, read before a judgement updates it.
std::string headerScoreText(const Quiz* quiz);
// After a judgement that wrote the verdict label `labelId`: the verdict is
// announced, then the score when it changed from `scoreBefore`.
void announceJudgement(const Quiz* quiz, HWND sheet, int labelId, const std::string& scoreBefore);
