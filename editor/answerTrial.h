// "Essayer une réponse": what the player would show beside its answer box
// for a text the author types, worked out by the player's own judge on the
// Windows-1252 bytes the player would hold.
#pragma once

#include <string>

#include "answers/verdictBrush.h"

struct TrialVerdict {
    std::string text;  // UTF-8, as the label shows it; "" when there is nothing to judge against
    VerdictBrush brush = VerdictBrush::none;
};

// The verdict for `typed` against the accepted answer (both UTF-8, as the
// editor holds them). An accepted answer the player could not hold (a
// character outside Windows-1252) gives no verdict: the problem list says why.
TrialVerdict trialVerdict(const std::string& accepted, const std::string& typed);
