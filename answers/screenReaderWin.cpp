#include "answers/screenReaderWin.h"

#include <vector>

#include "answers/accessibility.h"
#include "app/accessibleObjectWin.h"
#include "quiz/quizGdiWin.h"
#include "resources/resource.h"

namespace {

const char buildingProperty[] = "VetraSheetBuilding";

std::string textOf(HWND control) {
    char text[quizTextSize] = "";
    if (control) GetWindowTextA(control, text, sizeof text);
    return text;
}

bool toPlatform(bool spoken, const SpokenText& text, AccessibleTexts& out) {
    if (!spoken) return false;
    out.name = wideFromAnsi(text.name);
    out.description = wideFromAnsi(text.description);
    return true;
}

// Asked when a screen reader reads the control, so the description carries
// the verdict the label shows at that moment.
bool sheetControlTexts(HWND control, AccessibleTexts& out) {
    if (!currentQuiz) return false;
    const int id = GetDlgCtrlID(control);
    const std::string verdict = textOf(GetDlgItem(GetParent(control), id + verdictLabelOffset));
    SpokenText text;
    return toPlatform(sheetControlSpeech(*currentQuiz, id, verdict.c_str(), text), text, out);
}

bool headerControlTexts(HWND control, AccessibleTexts& out) {
    SpokenText text;
    return toPlatform(headerControlSpeech(GetDlgCtrlID(control), textOf(control).c_str(), text), text, out);
}

}  // namespace

LRESULT answerBoxAccessibleObject(HWND box, WPARAM wParam, LPARAM lParam) {
    return serveAccessibleObject(box, wParam, lParam, sheetControlTexts);
}

void exposeSheetToScreenReaders(HWND sheet) {
    if (!currentQuiz) return;
    std::vector<HWND> liveRegions;
    for (HWND child = GetWindow(sheet, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        switch (sheetSpokenControl(*currentQuiz, GetDlgCtrlID(child))) {
            case SpokenControl::picture:
            case SpokenControl::playButton:
            case SpokenControl::stopButton: speakThrough(child, sheetControlTexts); break;
            case SpokenControl::verdictLabel: liveRegions.push_back(child); break;
            default: break;  // answer boxes answer in their own procedure
        }
    }
    markPoliteLiveRegions(liveRegions.data(), static_cast<int>(liveRegions.size()));
}

void exposeHeaderToScreenReaders(HWND header) {
    for (HWND child = GetWindow(header, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const SpokenControl spoken = headerSpokenControl(GetDlgCtrlID(child));
        if (spoken == SpokenControl::none) continue;
        speakThrough(child, headerControlTexts);
        if (spoken == SpokenControl::score) markPoliteLiveRegions(&child, 1);
    }
}

QuietSheetBuild::QuietSheetBuild(HWND sheet) : sheet_(sheet) {
    SetPropA(sheet_, buildingProperty, reinterpret_cast<HANDLE>(1));
}

QuietSheetBuild::~QuietSheetBuild() {
    RemovePropA(sheet_, buildingProperty);
}

std::string headerScoreText(const Quiz* quiz) {
    return quiz ? textOf(GetDlgItem(asWindow(quiz->headerWindow), headerScoreId)) : std::string();
}

void announceJudgement(const Quiz* quiz, HWND sheet, int labelId, const std::string& scoreBefore) {
    if (!quiz) return;
    const bool building = GetPropA(sheet, buildingProperty) != nullptr;
    const std::string scoreAfter = headerScoreText(quiz);
    const JudgementAnnouncements say =
        announcementsAfterJudgement(building, true, scoreBefore.c_str(), scoreAfter.c_str());
    if (say.verdict) signalLiveRegionChange(GetDlgItem(sheet, labelId));
    if (say.score) signalLiveRegionChange(GetDlgItem(asWindow(quiz->headerWindow), headerScoreId));
}
