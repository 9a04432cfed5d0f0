// Which of the quiz's brushes paints a verdict label, by the label's text,
// without the platform: the sheet and the editor's answer trial both ask.
#pragma once

enum class VerdictBrush { none, anagram, right, wrong, hint };

// Brush of a verdict label by its exact text; a null text counts as empty.
VerdictBrush verdictBrushFor(const char* labelText);
