// The pictures and clips of the quiz being edited, as files: paths kept
// relative to the source, files from elsewhere copied next to it on saving,
// and files dropped on the window turned into questions. Portable: paths are
// UTF-8 in Windows form (either separator), compared as Windows does for
// ASCII letters, without asking the file system (the caller says what exists).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "authoring/paths.h"
#include "editor/editorDocument.h"

// The path the model keeps for a file the author picks or drops: relative
// to the source's folder when inside it, else the file's own full path (the
// file is copied next to the source when the quiz is saved).
std::string pickedMediaPath(const std::string& sourceFile, const std::string& picked);

struct MediaCopy {
    std::string from;  // full path of the file to copy
    std::string to;    // full path of the copy, inside the media folder
};

// Before `model` is saved as `target`: every media path that leads outside
// the target's folder (a full path, or a relative one of a source kept
// elsewhere before this save) is given a name in the media folder, the model
// is changed to name it there, and the copies to make are returned. A file
// used twice is copied once; a name that exists already, or was just given,
// gets "-2", "-3"... before its extension. A relative path of a quiz never
// saved (`oldSource` empty) is taken as relative to the target.
std::vector<MediaCopy> planMediaCopies(QuizModel& model, const std::string& oldSource, const std::string& target,
                                       const std::function<bool(const std::string& path)>& exists);

enum class DroppedKind { other, source, packed, picture, audio, video, table };
// What a dropped file is, by its extension: a quiz source (.toml), a packed
// quiz (.exe), a picture, a sound, a video, a table of questions (.csv), or
// something else.
DroppedKind droppedKind(const std::string& path);

// File names as a person sorts them: runs of digits by their value
// ("photo2" before "photo10"), letters without regard to ASCII case.
bool comesBefore(const std::string& a, const std::string& b);

struct DropOutcome {
    int added = 0;    // questions given a file
    int skipped = 0;  // files the quiz's kind cannot use, or beyond the last question the player holds
};

// Media files dropped on the question list: one question per file, in name
// order, with the file as its picture (pictures quiz) or clip (audio, video),
// filling the empty questions at the end of the list first. A quiz that holds
// nothing yet takes the kind most of the files have (pictures on a tie). The first question given a
// file becomes the selected one.
DropOutcome addDroppedMedia(EditorDocument& document, std::vector<std::string> files);

// For the status line: "2 fichiers copiés dans formes-media".
std::string copiedNotice(size_t files, const std::string& folder);
// "3 questions ajoutées", with ", 2 fichiers laissés de côté" when some were.
std::string droppedNotice(const DropOutcome& outcome);
