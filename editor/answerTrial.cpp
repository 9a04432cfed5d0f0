#include "editor/answerTrial.h"

#include "answers/verdict.h"
#include "authoring/messages.h"
#include "authoring/windows1252.h"

TrialVerdict trialVerdict(const std::string& accepted, const std::string& typed,
                          const std::vector<std::string>& others) {
    TrialVerdict result;
    std::string acceptedAnsi;
    if (!utf8ToWindows1252(accepted, acceptedAnsi)) return result;
    // Packed as the player holds them.
    std::string packed;
    for (const std::string& other : others) {
        std::string ansi;
        if (!utf8ToWindows1252(other, ansi)) return result;
        packed += ansi + '\0';
    }
    packed += '\0';
    // The player's box is an ANSI one: what it cannot hold arrives as "?".
    const std::string typedAnsi = utf8ToWindows1252Lossy(typed);
    int matched = -1;
    const char* verdict = chooseVerdictAmong(acceptedAnsi.c_str(), packed.c_str(), typedAnsi.c_str(), &matched);
    result.text = windows1252ToUtf8(verdict);
    result.brush = verdictBrushFor(verdict);
    if (verdict == verdictRight && matched > 0) {
        result.note = messageText(Message::trialOtherAnswer, {result.text, others[matched - 1]});
    }
    return result;
}
