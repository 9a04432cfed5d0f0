// What the Save dialogs offer: a file name made of the quiz's title, in a
// folder the author expects (the source's, the pictures', or that of the
// last quiz opened), never one the editor's last dialog happened to visit.
// Portable, so that the choice is tested natively.
#pragma once

#include <string>

#include "editor/editorDocument.h"

// A file name made of a title: the characters Windows forbids in a name
// (< > : " / \ | ? * and control characters) left out, runs of spaces made
// one, dots and spaces trimmed at both ends (Windows drops them), accents
// and every other character kept; a device name (CON, NUL, COM1...) gets a
// "_" after it. `fallback` when nothing is left. At most 100 bytes, never
// cutting a character in two.
std::string fileNameOfTitle(const std::string& title, const std::string& fallback);

// The folder a quiz never saved is offered in: that of the first picture or
// clip it names by a full path (files dropped or picked), unless it lies in
// `temporaryFolder` (a packed quiz's pictures wait there); else
// `lastFolder` (that of the last quiz opened, or where the editor started).
std::string suggestedFolder(const EditorDocument& document, const std::string& lastFolder,
                            const std::string& temporaryFolder);

// The file a Save dialog offers for `extension` (".toml", ".html", ".zip"):
// a saved source offers itself for ".toml"; else the title's name with the
// extension, in the source's folder or, never saved, in suggestedFolder's.
std::string suggestedSavePath(const EditorDocument& document, const char* extension, const std::string& fallbackName,
                              const std::string& lastFolder, const std::string& temporaryFolder);
