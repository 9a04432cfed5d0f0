// The verdict choice on two arbitrary texts, the accepted answer and the
// typed one (the input split at its first NUL; either may be longer than a
// box holds). The verdict is always one of the ten label texts, by address,
// and it agrees with answerMatches: "BRAVO" exactly when the normalised texts
// match and something was typed, "?" exactly when nothing was; and neither
// surrounding spaces nor letter case change it.

#include <cstring>
#include <string>

#include "answers/verdict.h"
#include "tests/fuzz/fuzzCheck.h"

namespace {

const char* const verdicts[] = {verdictEmpty,    verdictRight,    verdictWrong,  verdictAnagram, verdictOneEdit,
                                verdictTwoEdits, verdictTooShort, verdictNotFar, verdictTooLong, verdictClose};

bool isVerdict(const char* text) {
    for (const char* v : verdicts) {
        if (text == v) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    const std::string accepted = in.takeUntil('\0');
    const std::string typed(reinterpret_cast<const char*>(in.data), in.size);  // up to its own NUL

    const char* verdict = chooseVerdict(accepted.c_str(), typed.c_str());
    FUZZ_CHECK(verdict != nullptr && isVerdict(verdict), "verdict is one of the ten label texts");

    char normalisedTyped[260];
    std::memset(normalisedTyped, 'Z', sizeof normalisedTyped);
    normaliseTyped(typed.c_str(), normalisedTyped);
    FUZZ_CHECK(std::memchr(normalisedTyped, '\0', sizeof normalisedTyped) != nullptr, "normalised text terminated");
    char normalisedAccepted[260];
    std::memset(normalisedAccepted, 'Z', sizeof normalisedAccepted);
    normaliseAccepted(accepted.c_str(), normalisedAccepted);
    FUZZ_CHECK(std::memchr(normalisedAccepted, '\0', sizeof normalisedAccepted) != nullptr,
               "normalised text terminated");

    const bool nothingTyped = normalisedTyped[0] == '\0';
    FUZZ_CHECK((verdict == verdictEmpty) == nothingTyped, "\"?\" exactly when nothing was typed");
    const bool matches = answerMatches(accepted.c_str(), typed.c_str());
    FUZZ_CHECK((verdict == verdictRight) == (matches && !nothingTyped), "\"BRAVO\" exactly for a match");

    // Spaces around the typed text and the case of a..z in either text do
    // not change the verdict (while the padded text still fits a box).
    const std::string typedText(typed.c_str());
    if (typedText.size() + 2 <= 259) {
        FUZZ_CHECK(chooseVerdict(accepted.c_str(), (" " + typedText + " ").c_str()) == verdict,
                   "spaces around the typed text are trimmed");
    }
    std::string lowerAccepted(accepted.c_str());
    for (char& c : lowerAccepted) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    FUZZ_CHECK(chooseVerdict(lowerAccepted.c_str(), typed.c_str()) == verdict, "case of the answer does not count");
    return 0;
}
