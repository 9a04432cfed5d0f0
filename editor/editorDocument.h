// The quiz being edited, as the editor's window sees it: the model, the file
// it came from, whether it changed since, and the question the author works
// on; plus the texts the window shows about it. Portable, so that every rule
// of the window that is not drawing is tested natively.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "authoring/quizFields.h"
#include "authoring/quizModel.h"

struct EditorDocument {
    QuizModel model;
    QuizModel saved;    // the model as last read or written: unsaved means different
    std::string path;   // UTF-8, empty for a quiz never saved
    int selected = -1;  // index of the question shown, -1 when there is none

    bool isDirty() const { return model != saved; }
};

// A new quiz: a text quiz with one empty question, as a starting point.
EditorDocument newDocument();
// A document for a model just read from `path` (not dirty).
EditorDocument openedDocument(const QuizModel& model, const std::string& path);
// After a save under `path`: the current model becomes the saved one.
void markSaved(EditorDocument& document, const std::string& path);

// Question operations. Each keeps `selected` on the question the author
// expects to see next and returns false (changing nothing) when it cannot
// apply: no question selected, the list full, already first or last.
bool addQuestion(EditorDocument& document);  // an empty one after the selected
bool duplicateQuestion(EditorDocument& document);
bool deleteQuestion(EditorDocument& document);
bool moveQuestionUp(EditorDocument& document);
bool moveQuestionDown(EditorDocument& document);
bool selectQuestion(EditorDocument& document, int index);

// The text of a field of the quiz (title .. caption2) or of the selected
// question (answer .. clip; item 1 of an answer: the others it accepts, one
// per line); "" for another field or no selected question.
std::string fieldText(const EditorDocument& document, ModelField field, int item = 0);
// Sets it; false when nothing changed (same text, or no such field).
bool setFieldText(EditorDocument& document, ModelField field, const std::string& utf8, int item = 0);

// Whether the window enables a question field: the quiz uses it (its kind,
// reveal mode and answer count: fieldUsed), or it holds a value (so that the
// author can clear a value the quiz would leave aside).
bool fieldEnabled(const QuizModel& model, const ModelQuestion& question, ModelField field);

// The media fields whose picture the form previews (the picture, the
// solution picture), in the table's order: at most two, side by side.
constexpr int previewCount = 2;
int previewSlot(ModelField field);  // its place among them, -1 for another field
ModelField previewedField(int slot);

// A choice of the reveal combo box: its label, and for a text quiz, which
// shows no comment, a word on the modes that would show one.
std::string revealChoiceLabel(int32_t kind, int32_t mode);

// What the Problems list holds: the problems, then the warnings that are
// about a field (a warning about the quiz as a whole goes to the status line).
std::vector<ModelProblem> listedProblems(const std::vector<ModelProblem>& problems,
                                         const std::vector<ModelProblem>& warnings);

// A field's label as the form shows it, from the table of fields, with its
// colon: "Titre :", "Légende 2 :" (item 1 of the captions).
std::string formLabel(ModelField field, int item = -1);

// "3. carré" for the question list, with " (!)" when it has a problem;
// "3. (sans réponse)" while its answer is empty. In a picture, audio or video
// quiz (`kind`) the file's name comes first, so that questions just made from
// dropped files are told apart: "3. chat.png — chat", "3. chat.png". UTF-8.
std::string questionListLine(int index, const ModelQuestion& question, bool hasProblem, int32_t kind = modelKindUnset);
bool questionHasProblem(const std::vector<ModelProblem>& problems, int index);
// The problem for the problems list, its place and its message in the
// form's words: "Question 2, réponse : manque ..." or "Titre : manque ...";
// a warning says "(attention)" after its place.
std::string problemLine(const ModelProblem& problem);
// "3 questions, 1 problème" for the status line, with ", 2 avertissements"
// when there are warnings (problems counts the others).
std::string statusLine(size_t questions, size_t problems, size_t warnings = 0);
// What quizpack warns about a picture quiz whose questions do not fill its
// rows of three (the player then looks for pictures that are not there);
// "" for any other quiz. UTF-8.
std::string picturesRowWarning(const QuizModel& model);
// "formes.toml* — Atelier Vetra"; "Sans titre" for a quiz never saved.
std::string windowTitle(const std::string& path, bool dirty);
// Why Construire refuses: the number of problems to fix first.
std::string buildRefusedText(size_t problems);

// The reward codes in a multi-line box, one per line (CRLF between lines);
// reading back drops the empty lines at the end only.
std::string rewardCodesText(const std::vector<std::string>& codes);
std::vector<std::string> rewardCodesFromText(const std::string& text);

// The side of each of the two picture previews placed side by side in a
// space of width x height: the player's 260 when both fit, else half of it,
// else 0 (no room: they are hidden).
int previewSide(int width, int height);

// The column beside the reward codes, line for line: the score each code
// rewards ("1 bonne réponse", "2 bonnes réponses"...), one line per question
// or per code, whichever is more; a code beyond the last score is "(en trop)".
// Lines joined by CRLF, as the codes box joins them.
std::string rewardScoresText(size_t questions, size_t codes);

// Gives every score without a code (an empty line, or beyond the last code,
// up to the number of questions) a new code: six capitals and digits, without
// the easily confused 0, O, 1 and I, drawn from `random`, different from every
// code of the list. Codes beyond the number of questions are the author's to
// remove. False when every score already had one.
bool completeRewardCodes(QuizModel& model, const std::function<uint32_t()>& random);

// What the source held that the model cannot read stays until the author
// fixes it or deletes it. A value set in the form replaces the one the
// source held under that key (setFieldText does it for texts; the other
// fields call fieldChanged). deleteKeptValue removes an unknown key a
// problem names; keptValueText is that key as the source will keep it
// ("titel = \"Ma dictée\""), "" for another problem.
void fieldChanged(EditorDocument& document, ModelField field);
bool deleteKeptValue(EditorDocument& document, const ModelProblem& problem);
std::string keptValueText(const EditorDocument& document, const ModelProblem& problem);

// Whether the document is a quiz just begun (by Nouveau or at the start) and
// never edited: its one empty question is only a starting point.
bool isUntouchedNewQuiz(const EditorDocument& document);
// Questions imported into the document by `import` (which appends to the
// model it is given and returns false, leaving it as it was, on a problem).
// A quiz just begun gives up its empty question, so that the table's rows
// become questions 1..N with their codes at their scores; any other quiz
// keeps its questions and gets the new ones after them. The first new
// question is selected. False when `import` fails: nothing changed.
bool importIntoDocument(EditorDocument& document, const std::function<bool(QuizModel& model)>& import);

// What F5 plays of a quiz that still has problems: a draft without the
// questions that have one (their numbers in `leftOut`, from 0). Values the
// quiz leaves aside (a comment it does not show, a key it cannot read) are
// left out rather than the question; the reward codes follow the questions
// kept, a code with a problem played empty; a quiz without a title plays as
// "Sans titre". `remaining` counts the problems the draft still has (no
// kind, no question left...): then it cannot be tried. `check` is the
// build's check (the media files' included).
struct TrialDraft {
    QuizModel model;
    std::vector<int> leftOut;
    size_t remaining = 0;
};
TrialDraft trialDraft(const QuizModel& model,
                      const std::function<std::vector<ModelProblem>(const QuizModel& model)>& check);
// For the status line after F5 on a quiz with `problems` problems: which
// questions were left out ("questions 3 et 7 laissées de côté : elles ont
// des problèmes"), else that the quiz was tried in spite of them; "" for a
// quiz without a problem.
std::string trialNotice(const TrialDraft& draft, size_t problems);
// Why F5 refuses a quiz even as a draft: the problems the draft still has.
std::string trialRefusedText(size_t remaining);
