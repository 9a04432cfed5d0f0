// The editor's menu commands and control identifiers. Portable: the
// end-to-end test sends the same numbers as WM_COMMAND and finds the
// controls by them.
#pragma once

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

enum EditorControl {
    idKind = 101,
    idTitle = 102,
    idAuthor = 103,
    idExplanations = 104,
    idAnswersPerQuestion = 105,
    idCaption1 = 106,
    idCaption2 = 107,
    idReveal = 108,
    idRewardCodes = 109,
    idColourSwatch = 110,
    idColourChoose = 111,
    idRewardScores = 112,  // the score each reward code goes with, beside the codes
    idLink = 113,          // the quiz's own web address
    idAnswer = 201,
    idAnswer2 = 202,
    idPrompt = 203,
    idComment = 204,
    idComment2 = 205,
    idPicture = 206,
    idSolution = 207,
    idClip = 208,
    idTryAnswer = 209,  // "Essayer une réponse" and the verdict beside it
    idTryVerdict = 210,
    idTryAnswer2 = 211,  // the same for the second answer
    idTryVerdict2 = 212,
    idBrowsePicture = 213,  // "Parcourir..." beside the picture, the solution and the clip
    idBrowseSolution = 214,
    idBrowseClip = 215,
    idPreviewPicture = 216,  // the picture and the solution as the player shows them
    idPreviewSolution = 217,
    idQuestionList = 301,
    idProblemList = 302,
    idStatus = 303,
};
