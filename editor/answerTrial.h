// "Essayer une réponse": what the player would show beside its answer box
// for a text the author types, worked out by the player's own judge on the
// Windows-1252 bytes the player would hold.
#pragma once

#include <string>
#include <vector>

#include "answers/verdictBrush.h"

struct TrialVerdict {
    std::string text;  // UTF-8, as the label shows it; "" when there is nothing to judge against
    VerdictBrush brush = VerdictBrush::none;
    // Which other accepted answer gave a "BRAVO": "BRAVO — autre réponse : en 1789"; "" for the main one.
    std::string note;
};

// The verdict for `typed` against the accepted answer and the others the box
// accepts (all UTF-8, as the editor holds them), as the player judges them.
// An accepted answer the player could not hold (a character outside
// Windows-1252) gives no verdict: the problem list says why.
TrialVerdict trialVerdict(const std::string& accepted, const std::string& typed,
                          const std::vector<std::string>& others = {});
