// What a screen reader is told about the editor's fields, and which changes
// of the status line and the Problems list it is told about. Portable; texts
// are UTF-8 like the labels.
#pragma once

#include <string>
#include <vector>

// The name of control `controlId`, labelled by `labelText` as the form
// shows it ("&Titre :"): the label without its access key's "&" ("&&" is a
// plain "&") and without the colon that ends it. The previews and the score
// column, which no label names, have names of their own; empty when the
// control has neither.
std::string accessibleName(int controlId, const std::string& labelText);

// The status line reads "counts — message": only a new message (a build
// done, an import) is announced, not the counts that follow typing.
bool statusMessageToAnnounce(const std::string& before, const std::string& after);

// The lines of `after` that `before` did not hold: the Problems list's new
// problems, announced when there is at least one.
std::vector<std::string> newLines(const std::vector<std::string>& before, const std::vector<std::string>& after);
