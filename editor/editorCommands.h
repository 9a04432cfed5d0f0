// The editor's menu commands and control identifiers. Portable: the
// end-to-end test sends the same numbers as WM_COMMAND and finds the
// controls by them.
#pragma once

#include "authoring/quizModel.h"

enum EditorCommand {
    cmdNew = 40001,
    cmdOpen = 40002,
    cmdSave = 40003,
    cmdSaveAs = 40004,
    cmdBuild = 40005,
    cmdQuit = 40006,
    cmdTry = 40007,
    cmdImportTable = 40008,
    cmdExportWeb = 40009,
    cmdExportScorm = 40010,
    cmdAddQuestion = 40101,
    cmdDuplicateQuestion = 40102,
    cmdDeleteQuestion = 40103,
    cmdMoveUp = 40104,
    cmdMoveDown = 40105,
    cmdCompleteCodes = 40106,
    cmdUndo = 40107,
    cmdRedo = 40108,
    cmdAbout = 40201,
};

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
