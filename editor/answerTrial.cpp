#include "editor/answerTrial.h"

#include "answers/verdict.h"
#include "authoring/windows1252.h"

TrialVerdict trialVerdict(const std::string& accepted, const std::string& typed) {
    TrialVerdict result;
    std::string acceptedAnsi;
    if (!utf8ToWindows1252(accepted, acceptedAnsi)) return result;
    // The player's box is an ANSI one: what it cannot hold arrives as "?".
    const std::string typedAnsi = utf8ToWindows1252Lossy(typed);
    const char* verdict = chooseVerdict(acceptedAnsi.c_str(), typedAnsi.c_str());
    result.text = windows1252ToUtf8(verdict);
    result.brush = verdictBrushFor(verdict);
    return result;
}
