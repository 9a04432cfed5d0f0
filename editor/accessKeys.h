// Access keys: the underlined letter of a label ("&Titre :") that Alt
// brings the author to. The labels of the window are given one each, no
// two alike, and none that the menu bar already answers to. A French
// keyboard types é, è, à and ç without a dead key, so accented letters
// count as keys too. Portable, so that the choice is tested natively.
#pragma once

#include <string>
#include <vector>

// A character as an access key: letters in lower case (ASCII and
// Latin-1's, "É" is "é"); 0 for a character that is no letter or digit.
char32_t foldedKey(char32_t c);

// The access key of a label (UTF-8): the character after a single "&",
// folded ("&&" is a plain "&"); 0 when it has none.
char32_t accessKeyOf(const std::string& label);

// The labels (UTF-8) given distinct access keys, none of them in `taken`
// (folded keys). The labels are served in order: each takes the first
// letter of one of its words if free, then any of its letters, then its
// digits; one that finds all its keys held has a label before it move to
// another of its own, so that as many labels as possible get a key and
// none given one loses it. A "&" already in a label is doubled; a label
// left without a key stays as it is.
std::vector<std::string> withAccessKeys(const std::vector<std::string>& labels, const std::u32string& taken);
