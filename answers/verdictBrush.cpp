#include "answers/verdictBrush.h"

#include <cstring>

VerdictBrush verdictBrushFor(const char* labelText) {
    const char* text = labelText ? labelText : "";
    if (std::strcmp(text, "Anagramme") == 0) return VerdictBrush::anagram;
    if (std::strcmp(text, "BRAVO") == 0) return VerdictBrush::right;
    if (std::strcmp(text, "FAUX") == 0) return VerdictBrush::wrong;
    if (std::strcmp(text, "?") == 0) return VerdictBrush::none;
    return VerdictBrush::hint;
}
