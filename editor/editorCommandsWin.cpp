// The editor's menu commands and what the author changes in its fields.
#include <windows.h>
// After windows.h, whose types it uses.
#include <commdlg.h>

#include "editor/editorCommands.h"
#include "editor/editorWindowWin.h"
#include "resources/version.h"

namespace {

// The platform's colour chooser, starting from the quiz's colour.
void chooseColour(EditorWindow& e) {
    QuizModel& model = e.document.model;
    CHOOSECOLORW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = e.window;
    dialog.rgbResult = RGB(model.colourRed, model.colourGreen, model.colourBlue);
    dialog.lpCustColors = e.customColours;
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&dialog)) return;
    model.colourRed = GetRValue(dialog.rgbResult);
    model.colourGreen = GetGValue(dialog.rgbResult);
    model.colourBlue = GetBValue(dialog.rgbResult);
    fieldChanged(e.document, ModelField::colour);
    refresh(e);
}

void onQuestionOperation(EditorWindow& e, bool (*operation)(EditorDocument&)) {
    if (!operation(e.document)) return;
    e.notice.clear();
    showQuestion(e);
    refresh(e);
}

// Annuler and Rétablir: the document as it was one step before (or after),
// shown whole, with the question the author was on.
void onUndoRedo(EditorWindow& e, bool forward) {
    if (!(forward ? e.history.redo(e.document) : e.history.undo(e.document))) return;
    e.notice.clear();
    showDocument(e);
    // Shown again, a field being typed in keeps its caret at the end of its text.
    HWND focused = GetFocus();
    if (focused && GetParent(focused) == e.window) SendMessageW(focused, EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
}

}  // namespace

// Every command's handler, declared from the list; those of the files are
// defined in editorFilesWin.cpp, the others here.
#define EDITOR_COMMAND_HANDLER(name, number, menu, group, text, key, handler) void handler(EditorWindow& e);
EDITOR_COMMANDS(EDITOR_COMMAND_HANDLER)
#undef EDITOR_COMMAND_HANDLER

void onNew(EditorWindow& e) {
    if (!confirmLeaving(e)) return;
    e.document = newDocument();
    e.history.reset(e.document);
    e.notice.clear();
    clearTrials(e);
    showDocument(e);
}

void onSave(EditorWindow& e) {
    save(e);
}

void onSaveAs(EditorWindow& e) {
    saveAs(e);
}

void exportWebPage(EditorWindow& e) {
    exportQuiz(e, false);
}

void exportScorm(EditorWindow& e) {
    exportQuiz(e, true);
}

// Closing asks first, as the window's own box does.
void onQuit(EditorWindow& e) {
    PostMessageW(e.window, WM_CLOSE, 0, 0);
}

void onUndo(EditorWindow& e) {
    onUndoRedo(e, false);
}

void onRedo(EditorWindow& e) {
    onUndoRedo(e, true);
}

void onAddQuestion(EditorWindow& e) {
    onQuestionOperation(e, addQuestion);
}

void onDuplicateQuestion(EditorWindow& e) {
    onQuestionOperation(e, duplicateQuestion);
}

void onDeleteQuestion(EditorWindow& e) {
    onQuestionOperation(e, deleteQuestion);
}

void onMoveUp(EditorWindow& e) {
    onQuestionOperation(e, moveQuestionUp);
}

void onMoveDown(EditorWindow& e) {
    onQuestionOperation(e, moveQuestionDown);
}

// A code for each score that has none, so that a quiz of thirty pictures
// does not need thirty codes made up by hand.
void completeCodes(EditorWindow& e) {
    uint32_t& state = e.randomState;
    // xorshift: unpredictable enough for codes a player should not guess.
    auto random = [&state]() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    if (!completeRewardCodes(e.document.model, random)) return;
    fieldChanged(e.document, ModelField::rewardCodes);
    e.loading = true;
    setControlText(e, fieldControl(ModelField::rewardCodes), rewardCodesText(e.document.model.rewardCodes));
    e.loading = false;
    e.notice.clear();
    refresh(e);
}

// The version is the one of the programs' version records.
void onAbout(EditorWindow& e) {
    MessageBoxW(e.window, wide(messageText(Message::aboutText, {VETRA_VERSION_TEXT})).c_str(),
                wideMessage(Message::aboutCaption).c_str(), MB_OK | MB_ICONINFORMATION);
}

void onMenuCommand(EditorWindow& e, int id) {
    switch (id) {
#define EDITOR_COMMAND_CASE(name, number, menu, group, text, key, handler) \
    case name: handler(e); break;
        EDITOR_COMMANDS(EDITOR_COMMAND_CASE)
#undef EDITOR_COMMAND_CASE
    }
}

void onEditChanged(EditorWindow& e, int id) {
    if (e.loading) return;
    if (id == idTryAnswer || id == idTryAnswer2) return showTrials(e);
    e.notice.clear();
    int item = 0;
    const ModelField field = fieldOfControl(id, &item);
    if (field == ModelField::none || item >= fieldButtonOffset) return;
    const std::string typed = textOfControl(e, id);
    if (fieldInfo(field).form == FieldForm::textList) {
        e.typingEndsWord = typingEndsWord(rewardCodesText(e.document.model.rewardCodes), typed);
        e.document.model.rewardCodes = rewardCodesFromText(typed);
        fieldChanged(e.document, field);
    } else {
        e.typingEndsWord = typingEndsWord(fieldText(e.document, field, item), typed);
        if (!setFieldText(e.document, field, typed, item)) return;
    }
    e.typing = id;
    refresh(e);
}

void onComboChanged(EditorWindow& e, int id) {
    if (e.loading) return;
    const int choice = static_cast<int>(SendMessageW(control(e, id), CB_GETCURSEL, 0, 0));
    if (choice < 0) return;
    const ModelField field = fieldOfControl(id);
    const FieldInfo& info = fieldInfo(field);
    if (!info.quizNumber) return;
    // A number's choices start at 1.
    e.document.model.*info.quizNumber = choice + (info.form == FieldForm::number ? 1 : 0);
    // A value chosen here replaces what the source held under that key.
    fieldChanged(e.document, field);
    if (field == ModelField::kind) showRevealChoices(e);
    refresh(e);
}

void onButton(EditorWindow& e, int id) {
    int part = 0;
    const ModelField field = fieldOfControl(id, &part);
    if (field == ModelField::none || part != fieldButtonOffset) return;
    if (fieldInfo(field).media) return browseMedia(e, field);
    if (fieldInfo(field).form == FieldForm::colour) chooseColour(e);
}
