// The editor's menu commands and control identifiers. Portable: the
// end-to-end test sends the same numbers as WM_COMMAND and finds the
// controls by them.
#pragma once

#include <cstdint>
#include <string>

#include "authoring/messages.h"
#include "authoring/quizModel.h"

// Every menu command, once, in the order of its menu: its name and number
// (WM_COMMAND's), its menu, whether a line separates it from the item above
// (newGroup), its text (Windows-1252 escapes, as authoring/messages.cpp
// writes them; the menu adds the key after a tab), its key and its handler,
// a `void handler(EditorWindow&)` of the Windows side. The enumeration, the
// menus, the accelerators and the dispatch are all made from this list.
#define EDITOR_COMMANDS(V)                                                                                          \
    V(cmdNew, 40001, file, sameGroup, "&Nouveau", ctrl('N'), onNew)                                                 \
    V(cmdOpen, 40002, file, sameGroup, "&Ouvrir\x85", ctrl('O'), askAndOpen)                                        \
    V(cmdSave, 40003, file, sameGroup, "&Enregistrer", ctrl('S'), onSave)                                           \
    V(cmdSaveAs, 40004, file, sameGroup, "Enregistrer &sous\x85", noKey, onSaveAs)                                  \
    V(cmdImportTable, 40008, file, newGroup, "&Importer des questions (CSV, GIFT, Moodle XML)\x85", noKey,          \
      importTable)                                                                                                  \
    V(cmdExportWeb, 40009, file, sameGroup, "Exporter en page &web\x85", noKey, exportWebPage)                      \
    V(cmdExportScorm, 40010, file, sameGroup, "Exporter pour une &plateforme (SCORM)\x85", noKey, exportScorm)      \
    V(cmdExportMoodle, 40012, file, sameGroup, "Exporter pour &Moodle\x85", noKey, exportMoodle)                    \
    V(cmdBuild, 40005, file, newGroup, "&Construire le quiz", ctrl('B'), buildQuiz)                                 \
    V(cmdTry, 40007, file, sameGroup, "Essa&yer le quiz", key(fKey(5)), tryQuiz)                                    \
    V(cmdQuit, 40006, file, newGroup, "&Quitter", byWindows(alt(fKey(4))), onQuit)                                  \
    V(cmdUndo, 40107, edit, sameGroup, "A&nnuler", ctrl('Z'), onUndo)                                               \
    V(cmdRedo, 40108, edit, sameGroup, "&R\xE9tablir", ctrl('Y'), onRedo)                                           \
    V(cmdAddQuestion, 40101, edit, newGroup, "&Ajouter une question", noKey, onAddQuestion)                         \
    V(cmdDuplicateQuestion, 40102, edit, sameGroup, "&Dupliquer", noKey, onDuplicateQuestion)                       \
    V(cmdDeleteQuestion, 40103, edit, sameGroup, "&Supprimer", noKey, onDeleteQuestion)                             \
    V(cmdMoveUp, 40104, edit, newGroup, "&Monter", noKey, onMoveUp)                                                 \
    V(cmdMoveDown, 40105, edit, sameGroup, "D&escendre", noKey, onMoveDown)                                         \
    V(cmdCompleteCodes, 40106, edit, newGroup, "&Compl\xE9ter les codes de r\xE9\x63ompense", noKey, completeCodes) \
    V(cmdAbout, 40201, help, sameGroup, "\xC0 &propos", noKey, onAbout)

#define EDITOR_COMMAND_ID(name, number, menu, group, text, key, handler) name = number,
enum EditorCommand { EDITOR_COMMANDS(EDITOR_COMMAND_ID) };
#undef EDITOR_COMMAND_ID

// The menus of the menu bar, in its order; their titles are messages.
enum class EditorMenu { file, edit, help };
constexpr EditorMenu editorMenus[] = {EditorMenu::file, EditorMenu::edit, EditorMenu::help};
Message menuTitle(EditorMenu menu);

// A command's key: a virtual key ('A'-'Z', '0'-'9', fKey(1)-fKey(24)) with
// its modifiers as the accelerator table writes them (FSHIFT, FCONTROL,
// FALT). A key Windows answers itself (Alt+F4 closes the window) is shown
// in the menu but left out of the editor's table.
struct CommandKey {
    uint8_t modifiers = 0;
    uint16_t code = 0;  // 0: the command has no key
    bool ownedByWindows = false;
};

// "Ctrl+N", "Ctrl+Alt+Maj+F12" (French Windows calls Shift "Maj"); "" for no key.
std::string keyText(CommandKey key);

enum class CommandGroup { sameGroup, newGroup };  // newGroup: a line above the item

struct EditorCommandEntry {
    int id;
    EditorMenu menu;
    CommandGroup group;
    const char* text;
    CommandKey key;
    const char* handler;  // its name, for the tests; the Windows side calls it
};

// The words the list's keys are written in, kept out of the global names.
namespace commandKeys {
constexpr uint8_t shift = 0x04, control = 0x08, alternate = 0x10;
// F1 to F24 follow each other from VK_F1, 0x70.
constexpr uint16_t fKey(int n) {
    return static_cast<uint16_t>(0x6F + n);
}
constexpr CommandKey noKey{};
constexpr CommandKey key(uint16_t code, uint8_t modifiers = 0) {
    return {modifiers, code, false};
}
constexpr CommandKey ctrl(uint16_t code) {
    return key(code, control);
}
constexpr CommandKey alt(uint16_t code) {
    return key(code, alternate);
}
constexpr CommandKey byWindows(CommandKey k) {
    return {k.modifiers, k.code, true};
}

#define EDITOR_COMMAND_ENTRY(name, number, menu, group, text, key, handler) \
    {name, EditorMenu::menu, CommandGroup::group, text, key, #handler},
constexpr EditorCommandEntry editorCommandList[] = {EDITOR_COMMANDS(EDITOR_COMMAND_ENTRY)};
#undef EDITOR_COMMAND_ENTRY
}  // namespace commandKeys
using commandKeys::editorCommandList;

// The item's text in UTF-8 as its menu shows it: "&Nouveau\tCtrl+N".
std::string menuText(const EditorCommandEntry& command);

// The form shows the fields of the table of fields (authoring/quizFields.h),
// a control each (two for a pair), numbered by the field's row so that a new
// field needs no number of its own: field f's control is
// fieldControlBase + fieldControlStride * f (a pair's second + 1), its button
// ("Parcourir..." beside a media file, "Choisir..." beside the colour) + 2
// and its preview + 3.
enum FieldControls {
    fieldControlBase = 1000,
    fieldControlStride = 4,
    fieldButtonOffset = 2,
    fieldPreviewOffset = 3,
};

enum EditorControl {
    idRewardScores = 112,  // the score each reward code goes with, beside the codes
    idTryAnswer = 209,     // "Essayer une réponse" and the verdict beside it
    idTryVerdict = 210,
    idTryAnswer2 = 211,  // the same for the second answer
    idTryVerdict2 = 212,
    idTryNote = 213,  // "BRAVO — autre réponse : ..." under each
    idTryNote2 = 214,
    idQuestionList = 301,
    idProblemList = 302,
    idStatus = 303,
};

// The control of a field of the form (item 1: a pair's second), its button and its preview.
constexpr int fieldControl(ModelField field, int item = 0) {
    return fieldControlBase + fieldControlStride * static_cast<int>(field) + item;
}
constexpr int fieldButton(ModelField field) {
    return fieldControl(field, fieldButtonOffset);
}
constexpr int fieldPreview(ModelField field) {
    return fieldControl(field, fieldPreviewOffset);
}
// The field whose control, button or preview `id` is, ModelField::none for
// another control; `part` gets which of them (0 or 1 the field's, then the
// button's and the preview's offsets).
constexpr ModelField fieldOfControl(int id, int* part = nullptr) {
    const int last = fieldControl(ModelField::unknownKey);
    if (id < fieldControlBase || id >= last) return ModelField::none;
    if (part) *part = (id - fieldControlBase) % fieldControlStride;
    return static_cast<ModelField>((id - fieldControlBase) / fieldControlStride);
}
