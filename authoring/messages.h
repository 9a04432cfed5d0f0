// Every French text the authoring tools show, in one table: what is wrong
// with a quiz, and what quizpack says on its console. The table is written in
// Windows-1252 so that no message can hold a character the player's users
// could not read; callers get it in UTF-8.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

enum class Message {
    // Reading a source: syntax, and values the quiz cannot hold.
    tomlSyntax,
    sourceNotUtf8,
    sourceOutsideText,
    sourceStrayQuote,
    sourceAfterValue,
    unknownKey,
    notText,
    kindChoice,
    revealChoice,
    answersChoice,
    colourForm,
    captionsForm,
    rewardCodesForm,
    questionsForm,
    mediaPathForm,
    acceptedForm,
    // Checking a quiz.
    kindMissing,
    titleMissing,
    answerMissing,
    answer2Missing,
    answer2Unused,
    otherAnswerEmpty,
    otherAnswerRepeated,
    textQuizOneBox,
    commentUnused,
    comment2Unused,
    mediaUnused,
    pictureMissing,
    solutionMissing,
    clipMissing,
    revealNeedsPictures,
    invalidUtf8,
    notWindows1252,
    holdsBar,
    holdsNul,
    tooLong,
    codeLineBreak,
    noQuestion,
    tooManyQuestions,
    rewardCodesMissing,
    rewardCodeCount,
    commentNotShown,
    mediaShared,
    // Assembling the resources.
    textsTooLarge,
    codesTooLarge,
    cannotReadMedia,
    emptyMedia,
    notAPicture,
    pngRefused,
    // Extracting a quiz from a player.
    noQuizResource,
    quizUndecodable,
    quizMalformed,
    kindUnnamed,
    answersUnsupported,
    revealUnnamed,
    // Importing a spreadsheet saved as CSV.
    csvNulByte,
    csvUtf16,
    csvEmptyFile,
    csvNoQuestion,
    csvUnknownColumn,
    csvDuplicateColumn,
    csvNoAnswerColumn,
    csvExtraValue,
    csvValueWithoutName,
    csvUnterminatedQuote,
    csvTextAfterQuote,
    csvTooManyQuestions,
    csvTooManyProblems,
    csvOutOfMemory,
    csvRevealChosen,
    // quizpack's console.
    usage,
    cannotReadSource,
    notPacked,
    picturesRowWarning,
    unstrippedWarning,
    packed,
    extracted,
    extractedMedia,
    noCodesWarning,
    cannotWrite,
    alreadyExists,
    imported,
    notImported,
    // The same, for a count of one.
    packedOne,
    extractedMediaOne,
    importedOne,
    notPackedOne,
    notImportedOne,
    pressAKey,
    cannotOpenExecutable,
    cannotReadResources,
    cannotCreateTemporary,
    cannotCopyPlayer,
    cannotUpdateResources,
    resourcesReadBackDifferent,
    // The authoring workflows and the editor's window.
    cannotWriteFolder,
    questionsImported,
    questionImported,
    labelTryAnswer,
    labelTryAnswer2,
    labelOtherAnswers,
    trialOtherAnswer,
    labelQuestions,
    labelProblems,
    buttonChoose,
    buttonBrowse,
    // The editor's menu bar; the texts of its items are in the list of
    // commands (editor/editorCommands.h), beside their keys.
    menuFile,
    menuEdit,
    menuHelp,
    askSaveChanges,
    valuesLeftAside,
    extractedNotice,
    aboutCaption,
    aboutText,
    untitled,
    filterQuiz,
    filterOpen,
    filterTable,
    filterPictures,
    filterVideos,
    filterSounds,
    deleteKeptKey,
    webUnshowable,
    webLarge,
    webWritten,
    scormWritten,
    // the quiz's web address
    linkForm,
    // editor keyboard, saving and export
    filterWebPage,
    filterScormPackage,
    exportWarnings,
    // question banks for Moodle
    filterMoodleBank,
    moodleQuestionName,
    moodleWrittenOne,
    moodleWritten,
    giftWrittenOne,
    giftWritten,
    giftMediaLeftOutOne,
    giftMediaLeftOut,
    giftArrowLeftOut,
    moodleUnshowable,
    // editor history and codes
    rewardScoreOne,
    rewardScoreMany,
    rewardScoreExtra,
    rewardCodesForScores,
    rewardCodeLackingOne,
    rewardCodesLacking,
    rewardCodeLeftOverOne,
    rewardCodesLeftOver,
    listAnd,
    listRange,
    trialLeftOutOne,
    trialLeftOut,
    trialDraft,
    trialRefused,
    // Question banks from Moodle (GIFT, Moodle XML).
    bankLeftOutOne,
    bankLeftOut,
    bankTypeMultipleChoice,
    bankTypeTrueFalse,
    bankTypeMatching,
    bankTypeEssay,
    bankTypeDescription,
    bankTypeCloze,
    bankTypeNumericalApprox,
    bankTypeShortNoRight,
    bankTypeOther,
    bankPartialOne,
    bankPartial,
    bankUsesCase,
    bankQuestionLeftOut,
    bankNoQuestion,
    bankTooManyQuestions,
    bankPicturesLeftAside,
    giftNulByte,
    giftUnclosedName,
    giftUnclosedBrace,
    giftNestedBrace,
    giftSecondBlock,
    giftBadAnswers,
    giftBadWeight,
    giftBadNumber,
    xmlNotUtf8,
    xmlEntityDeclared,
    xmlUnknownEntity,
    xmlUnclosed,
    xmlMismatch,
    xmlMalformed,
    xmlTooDeep,
    xmlNoRoot,
    xmlNotMoodle,
    xmlBadBase64,
};

// The message in UTF-8, with "{1}", "{2}"... replaced by `arguments` in order
// (an argument is inserted as it is, never scanned for placeholders).
std::string messageText(Message id, std::initializer_list<std::string> arguments = {});

// The message in the editor's words: a message that names a source's keys
// and values ("reveal = \"comment\"") names the form's labels instead
// ("Après une bonne réponse : le commentaire"); any other is messageText's.
std::string formMessageText(Message id, std::initializer_list<std::string> arguments = {});

// The message for a count: `one` for 0 and 1, else `many`; the count is
// the first argument ("{1} questions mises dans {2}").
std::string countedMessage(size_t n, Message one, Message many, std::initializer_list<std::string> rest = {});

// "1 problème", "2 problèmes", "0 problème": a count with its noun (UTF-8).
std::string counted(size_t n, const char* singular, const char* plural);

// The message exactly as the table holds it, in Windows-1252 (for the
// console prompt and tests that check the table itself).
const char* messageTemplate(Message id);

// "a", "a et b", "a, b et c": items joined as a French sentence lists them.
std::string listedItems(const std::vector<std::string>& items);

// How many messages the table holds.
int messageCount();
