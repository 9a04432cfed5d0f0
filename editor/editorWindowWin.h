// The editor's main window: the question list, the quiz's and the selected
// question's fields, the problems of the quiz and the status line. Its state
// lives with the window (GWLP_USERDATA); the handlers of one concern share a
// file: editorWindowWin.cpp (the procedure), editorLayoutWin.cpp (controls,
// menu, layout), editorViewWin.cpp (showing the document),
// editorCommandsWin.cpp (menu commands and edits), editorFilesWin.cpp (open,
// save, build, import, drops).
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "authoring/messages.h"
#include "authoring/workflows.h"
#include "editor/answerTrial.h"
#include "editor/editHistory.h"
#include "editor/editorDocument.h"
#include "editor/picturePreviewWin.h"

// Registers the window class; false when the platform refuses it.
bool registerEditorWindow(HINSTANCE instance);
// Creates and shows the main window, opening `path` (UTF-8) when not empty.
HWND createEditorWindow(HINSTANCE instance, const std::string& path, int show);
// Keys the editor takes before the dialog navigation does: Tab and
// Shift+Tab go round every control in reading order, Alt and a label's
// underlined letter go to its field, Enter in the answer field goes on to
// the next question's answer (a list of pictures is answered one after the
// other from the keyboard) and Enter in the Problems list to the field of
// the problem. True when taken.
bool editorTakesKey(HWND window, const MSG& message);
// The menu accelerators, made from the keys of the list of commands
// (editorCommands.h), the list the menus take their texts from.
HACCEL createEditorAccelerators();

// ---- Inside the editor --------------------------------------------------------

struct EditorWindow {
    HWND window = nullptr;
    HFONT font = nullptr;
    EditorDocument document;
    std::vector<ModelProblem> problems;        // the check's, media files included
    std::vector<ModelProblem> warnings;        // what the Problems list or the status line adds
    std::vector<ModelProblem> listed;          // what the Problems list shows, line by line
    int revealChoicesKind = -2;                // the kind the reveal choices were worded for
    MediaVerdicts mediaVerdicts;               // each media file's check, read once
    std::vector<std::string> listLines;        // what the question list shows now
    bool loading = false;                      // fields are being filled from the document
    std::vector<std::pair<int, HWND>> labels;  // labels by the control they name
    TrialVerdict verdicts[2];                  // what each "Essayer" box shows now
    HBRUSH verdictBrushes[5] = {};             // by VerdictBrush, the player's colours
    HBRUSH colourBrush = nullptr;              // the quiz's colour, for the swatch
    COLORREF colour = 0;
    COLORREF customColours[16] = {};  // the colour chooser's own, kept between uses
    uint32_t randomState = 0;         // for new reward codes
    PicturePreview previews[2];       // by previewedFields(): the picture, the solution picture
    int previewSide = 0;
    std::string notice;      // what the last file operation did, after the counts
    std::string lastFolder;  // of the last quiz opened, else where the editor started: Save offers it
    int extractions = 0;     // packed quizzes opened, to name their folders
    // What opening packed quizzes wrote under the temporary folder, removed at the end.
    std::vector<std::string> extractedFiles;
    std::vector<std::string> extractedFolders;
    EditHistory history;          // undo and redo
    int typing = 0;               // the field typed in, for the change refresh() notes next
    bool typingEndsWord = false;  // that change ended a word
    WNDPROC codesProc = nullptr;  // the reward codes box's own procedure, which the score column follows
    bool aligningScores = false;
    std::string scoresText;  // what the score column shows now
};

// The answer fields and the "Essayer une réponse" box and verdict of each.
struct Trial {
    ModelField answer;
    int box;
    int verdict;
    int note;  // which other accepted answer gave the "BRAVO", under the box
    Message label;
};
extern const Trial trials[2];

// Controls and texts.
HWND control(const EditorWindow& e, int id);
// The control that shows a field of the table (item 1: a pair's second).
HWND fieldWindow(const EditorWindow& e, ModelField field, int item = 0);
std::wstring wide(const std::string& utf8);
std::wstring wideMessage(Message id);
std::wstring fieldLabel(ModelField field, int item = -1);
// Gives a control the focus as Tab does: an edit's text selected whole.
void focusControl(HWND child);
// The reveal combo box's choices, worded for the quiz's kind.
void showRevealChoices(EditorWindow& e);
// A kept key (one the source held that the editor cannot read) deleted, once the author agrees.
void deleteKeptKey(EditorWindow& e, const ModelProblem& problem);
std::wstring windowText(HWND handle);
std::string textOfControl(const EditorWindow& e, int id);
void setControlText(const EditorWindow& e, int id, const std::string& utf8);
int ask(const EditorWindow& e, const std::string& text, UINT flags);

// editorLayoutWin.cpp
void makeControls(EditorWindow& e);
// Underlines a letter of every label (the fields' first), no two alike and
// none of the menu bar's.
void addAccessKeys(EditorWindow& e);
HMENU makeMenu();
HWND labelFor(const EditorWindow& e, int id);
void layout(EditorWindow& e, int width, int height);

// editorViewWin.cpp
void showEnabledFields(EditorWindow& e);
void showTrials(EditorWindow& e);
// Empties the "Essayer" boxes: a trial belongs to the quiz it was typed for.
void clearTrials(EditorWindow& e);
void showPreviews(EditorWindow& e);
void showQuestionList(EditorWindow& e);
void showQuestion(EditorWindow& e);
void showDocument(EditorWindow& e);
// After any change: the check again, and everything derived from the document.
void refresh(EditorWindow& e);
// The question chosen in a list shown with its fields, trials and previews.
void showSelectedQuestion(EditorWindow& e);
// The score column beside the reward codes scrolls with them.
void followRewardCodes(EditorWindow& e);

// editorCommandsWin.cpp
void onMenuCommand(EditorWindow& e, int id);
void onEditChanged(EditorWindow& e, int id);
void onComboChanged(EditorWindow& e, int id);
void onButton(EditorWindow& e, int id);

// editorFilesWin.cpp
bool openFile(EditorWindow& e, const std::string& given);
bool save(EditorWindow& e);
bool saveAs(EditorWindow& e);
bool confirmLeaving(EditorWindow& e);
void askAndOpen(EditorWindow& e);
void buildQuiz(EditorWindow& e);
void tryQuiz(EditorWindow& e);
void importTable(EditorWindow& e);
void importTableFile(EditorWindow& e, const std::string& path);
void exportQuiz(EditorWindow& e, bool scorm);
void browseMedia(EditorWindow& e, ModelField field);
void dropFiles(EditorWindow& e, const std::vector<std::string>& files);
void removeExtractedFiles(EditorWindow& e);
