// The editor's main window. Every change in a field goes to the document at
// once and the problems, the question list, the status line and the title
// are shown again from it, so what the author sees is always what Save
// would write and what Construire would check.
#include "editor/editorMainWin.h"

#include <commdlg.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <vector>

#include "authoring/csvImport.h"
#include "authoring/messages.h"
#include "authoring/quizAssembly.h"
#include "authoring/quizCheck.h"
#include "authoring/quizToml.h"
#include "editor/answerTrial.h"
#include "editor/editorCommands.h"
#include "editor/editorDocument.h"
#include "editor/mediaFiles.h"
#include "editor/picturePreviewWin.h"
#include "pictures/pictureResourceWin.h"
#include "quiz/quiz.h"
#include "tools/quizpack/commandLine.h"
#include "tools/quizpack/packerWin.h"

namespace {

const wchar_t windowClass[] = L"AtelierVetra";
const wchar_t appName[] = L"Atelier Vetra";
const int minimumWidth = 900;
const int minimumHeight = 640;

// A text field of the quiz or of the question, by control.
struct TextField {
    int id;
    ModelField field;
    int item;
    const wchar_t* label;
};

const TextField quizFields[] = {
    {idTitle, ModelField::title, 0, L"Titre :"},
    {idAuthor, ModelField::author, 0, L"Auteur :"},
    {idExplanations, ModelField::explanations, 0, L"Explications :"},
    {idCaption1, ModelField::captions, 0, L"L\u00E9gende 1 :"},
    {idCaption2, ModelField::captions, 1, L"L\u00E9gende 2 :"},
};

const TextField questionFields[] = {
    {idAnswer, ModelField::answer, 0, L"R\u00E9ponse :"},
    {idAnswer2, ModelField::answer2, 0, L"R\u00E9ponse 2 :"},
    {idPrompt, ModelField::prompt, 0, L"Consigne :"},
    {idComment, ModelField::comment, 0, L"Commentaire :"},
    {idComment2, ModelField::comment2, 0, L"Commentaire 2 :"},
    {idPicture, ModelField::picture, 0, L"Image :"},
    {idSolution, ModelField::solution, 0, L"Image solution :"},
    {idClip, ModelField::clip, 0, L"Extrait :"},
};

// The rows of the right-hand columns, top to bottom: a control and its label.
struct Row {
    int id;
    const wchar_t* label;
};
const Row quizRows[] = {
    {idKind, L"Type :"},
    {idTitle, L"Titre :"},
    {idAuthor, L"Auteur :"},
    {idExplanations, L"Explications :"},
    {idAnswersPerQuestion, L"R\u00E9ponses par question :"},
    {idCaption1, L"L\u00E9gende 1 :"},
    {idCaption2, L"L\u00E9gende 2 :"},
    {idReveal, L"Apr\u00E8s une bonne r\u00E9ponse :"},
    {idColourSwatch, L"Couleur :"},
};

// The answer fields and the "Essayer une réponse" box and verdict of each.
struct Trial {
    ModelField answer;
    int box;
    int verdict;
    const wchar_t* label;
};
const Trial trials[] = {
    {ModelField::answer, idTryAnswer, idTryVerdict, L"Essayer une r\u00E9ponse :"},
    {ModelField::answer2, idTryAnswer2, idTryVerdict2, L"Essayer la r\u00E9ponse 2 :"},
};

// The media fields, their "Parcourir..." buttons and previews (0 for none).
struct MediaField {
    int field;
    int button;
    int preview;
    const wchar_t* previewLabel;
};
const MediaField mediaFields[] = {
    {idPicture, idBrowsePicture, idPreviewPicture, L"Image :"},
    {idSolution, idBrowseSolution, idPreviewSolution, L"Image solution :"},
    {idClip, idBrowseClip, 0, nullptr},
};

struct Editor {
    HWND window = nullptr;
    HFONT font = nullptr;
    EditorDocument document;
    std::vector<ModelProblem> problems;
    std::vector<std::string> listLines;  // what the question list shows now
    bool loading = false;                // fields are being filled from the document
    // Labels by the control they name, for the layout.
    std::vector<std::pair<int, HWND>> labels;
    TrialVerdict verdicts[2];       // what each "Essayer" box shows now
    HBRUSH verdictBrushes[5] = {};  // by VerdictBrush, the player's colours
    HBRUSH colourBrush = nullptr;   // the quiz's colour, for the swatch
    COLORREF colour = 0;
    PicturePreview previews[2];  // picture, solution picture
    int previewSide = 0;
    std::string notice;         // what the last file operation did, after the counts
    std::string suggestedPath;  // the source Save As offers for a quiz never saved
    // What opening packed quizzes wrote under the temporary folder, removed at the end.
    std::vector<std::string> extractedFiles;
    std::vector<std::string> extractedFolders;
};

Editor editor;

HWND control(int id) {
    return GetDlgItem(editor.window, id);
}

std::wstring wide(const std::string& utf8) {
    return wideFromUtf8(utf8);
}

std::string textOfControl(int id) {
    HWND handle = control(id);
    const int length = GetWindowTextLengthW(handle);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(handle, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return utf8FromWide(text);
}

void setControlText(int id, const std::string& utf8) {
    SetWindowTextW(control(id), wide(utf8).c_str());
}

int ask(const std::string& text, UINT flags) {
    return MessageBoxW(editor.window, wide(text).c_str(), appName, flags);
}

// ---- Creating the controls -------------------------------------------------

HWND makeChild(const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, int id) {
    HWND child = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, editor.window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(editor.font), FALSE);
    return child;
}

void makeLabel(int forId, const wchar_t* text) {
    editor.labels.emplace_back(forId, makeChild(L"STATIC", text, SS_LEFT, 0, -1));
}

void makeEdit(int id, const wchar_t* label) {
    makeLabel(id, label);
    makeChild(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, id);
}

void makeCombo(int id, const wchar_t* label, const char* const* choices, int count) {
    makeLabel(id, label);
    HWND combo = makeChild(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, id);
    for (int i = 0; i < count; ++i)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(choices[i]).c_str()));
}

void makeControls() {
    static const char* const answerCounts[] = {"1", "2"};
    makeLabel(idQuestionList, L"Questions :");
    makeChild(L"LISTBOX", L"", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
              WS_EX_CLIENTEDGE, idQuestionList);
    makeCombo(idKind, L"Type :", kindLabels, 4);
    for (const TextField& f : quizFields) {
        if (f.id == idCaption1) makeCombo(idAnswersPerQuestion, L"R\u00E9ponses par question :", answerCounts, 2);
        makeEdit(f.id, f.label);
    }
    makeCombo(idReveal, L"Apr\u00E8s une bonne r\u00E9ponse :", revealLabels, 5);
    makeLabel(idColourSwatch, L"Couleur :");
    makeChild(L"STATIC", L"", SS_LEFT, WS_EX_CLIENTEDGE, idColourSwatch);
    makeChild(L"BUTTON", L"Choisir\u2026", WS_TABSTOP | BS_PUSHBUTTON, 0, idColourChoose);
    makeLabel(idRewardCodes, L"Codes de r\u00E9compense, un par ligne (score 1, 2...) :");
    makeChild(L"EDIT", L"", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, WS_EX_CLIENTEDGE,
              idRewardCodes);
    for (const TextField& f : questionFields) makeEdit(f.id, f.label);
    for (const MediaField& m : mediaFields) {
        makeChild(L"BUTTON", L"Parcourir\u2026", WS_TABSTOP | BS_PUSHBUTTON, 0, m.button);
    }
    for (const Trial& t : trials) {
        makeEdit(t.box, t.label);
        // Framed and centred like the player's verdict labels.
        makeChild(L"STATIC", L"", SS_CENTER | SS_CENTERIMAGE | WS_BORDER, 0, t.verdict);
    }
    for (const MediaField& m : mediaFields) {
        if (!m.preview) continue;
        makeLabel(m.preview, m.previewLabel);
        makeChild(L"STATIC", L"", SS_OWNERDRAW, 0, m.preview);
    }
    makeLabel(idProblemList, L"Probl\u00E8mes :");
    makeChild(L"LISTBOX", L"", WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
              WS_EX_CLIENTEDGE, idProblemList);
    makeChild(L"STATIC", L"", SS_LEFT | SS_SUNKEN, 0, idStatus);
}

HMENU makeMenu() {
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, cmdNew, L"&Nouveau\tCtrl+N");
    AppendMenuW(file, MF_STRING, cmdOpen, L"&Ouvrir\u2026\tCtrl+O");
    AppendMenuW(file, MF_STRING, cmdSave, L"&Enregistrer\tCtrl+S");
    AppendMenuW(file, MF_STRING, cmdSaveAs, L"Enregistrer &sous\u2026");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, cmdImportTable, L"&Importer des questions (CSV)\u2026");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, cmdBuild, L"&Construire le quiz\tCtrl+B");
    AppendMenuW(file, MF_STRING, cmdTry, L"Essa&yer le quiz\tF5");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, cmdQuit, L"&Quitter");
    HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING, cmdAddQuestion, L"&Ajouter une question");
    AppendMenuW(edit, MF_STRING, cmdDuplicateQuestion, L"&Dupliquer");
    AppendMenuW(edit, MF_STRING, cmdDeleteQuestion, L"&Supprimer");
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(edit, MF_STRING, cmdMoveUp, L"&Monter");
    AppendMenuW(edit, MF_STRING, cmdMoveDown, L"D&escendre");
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(edit, MF_STRING, cmdCompleteCodes, L"&Compl\u00E9ter les codes de r\u00E9compense");
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, cmdAbout, L"\u00C0 &propos");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&Fichier");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"\u00C9&dition");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Aide");
    return bar;
}

// ---- Showing the document --------------------------------------------------

HWND labelFor(int id);

void showEnabledFields() {
    const EditorDocument& d = editor.document;
    const bool selected = d.selected >= 0;
    const QuestionFieldUse use =
        selected ? questionFieldsEnabled(d.model, d.model.questions[d.selected]) : QuestionFieldUse();
    const struct {
        int id;
        bool enabled;
    } states[] = {
        {idAnswer, selected},       {idAnswer2, use.answer2}, {idPrompt, selected},       {idComment, use.comment},
        {idComment2, use.comment2}, {idPicture, use.picture}, {idSolution, use.solution}, {idClip, use.clip},
    };
    for (const auto& s : states) EnableWindow(control(s.id), s.enabled ? TRUE : FALSE);
    const bool buttons[] = {use.picture, use.solution, use.clip};
    for (int i = 0; i < 3; ++i) EnableWindow(control(mediaFields[i].button), buttons[i] ? TRUE : FALSE);
    EnableWindow(control(idTryAnswer), selected ? TRUE : FALSE);
    EnableWindow(control(idTryAnswer2), use.answer2 ? TRUE : FALSE);
    // The previews belong to a picture quiz, the solution's to a reveal that swaps it in.
    const QuestionFieldUse used = questionFieldsUsed(d.model);
    const bool shown[] = {used.picture && editor.previewSide > 0, used.solution && editor.previewSide > 0};
    for (int i = 0; i < 2; ++i) {
        ShowWindow(control(mediaFields[i].preview), shown[i] ? SW_SHOWNA : SW_HIDE);
        ShowWindow(labelFor(mediaFields[i].preview), shown[i] ? SW_SHOWNA : SW_HIDE);
    }
}

// Each "Essayer" box judged against its answer as the player would judge it.
void showTrials() {
    for (int i = 0; i < 2; ++i) {
        const Trial& t = trials[i];
        editor.verdicts[i] = editor.document.selected >= 0
                                 ? trialVerdict(fieldText(editor.document, t.answer), textOfControl(t.box))
                                 : TrialVerdict();
        setControlText(t.verdict, editor.verdicts[i].text);
        InvalidateRect(control(t.verdict), nullptr, TRUE);
    }
}

// The selected question's pictures, read again only when their file changed.
void showPreviews() {
    const EditorDocument& d = editor.document;
    const ModelField fields[] = {ModelField::picture, ModelField::solution};
    for (int i = 0; i < 2; ++i) {
        const std::string relative = fieldText(d, fields[i]);
        const std::string full = relative.empty() ? std::string() : mediaPath(d.path, relative);
        if (full == editor.previews[i].path) continue;
        loadPreview(editor.previews[i], full);
        InvalidateRect(control(mediaFields[i].preview), nullptr, TRUE);
    }
}

// The swatch follows the quiz's colour.
void showColour() {
    const QuizModel& m = editor.document.model;
    const COLORREF colour = RGB(m.colourRed, m.colourGreen, m.colourBlue);
    if (editor.colourBrush && colour == editor.colour) return;
    if (editor.colourBrush) DeleteObject(editor.colourBrush);
    editor.colour = colour;
    editor.colourBrush = CreateSolidBrush(colour);
    InvalidateRect(control(idColourSwatch), nullptr, TRUE);
    for (const MediaField& m : mediaFields) {
        if (m.preview) InvalidateRect(control(m.preview), nullptr, TRUE);
    }
}

void showQuestionList() {
    HWND list = control(idQuestionList);
    const std::vector<ModelQuestion>& questions = editor.document.model.questions;
    std::vector<std::string> lines;
    for (size_t i = 0; i < questions.size(); ++i) {
        const int index = static_cast<int>(i);
        lines.push_back(questionListLine(index, questions[i], questionHasProblem(editor.problems, index)));
    }
    if (lines.size() != editor.listLines.size()) {
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (const std::string& line : lines)
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(line).c_str()));
    } else {
        // Only the lines that changed, so that typing does not flicker the list.
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] == editor.listLines[i]) continue;
            SendMessageW(list, LB_DELETESTRING, i, 0);
            SendMessageW(list, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(wide(lines[i]).c_str()));
        }
    }
    editor.listLines = lines;
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(editor.document.selected), 0);
}

void showProblems() {
    HWND list = control(idProblemList);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const ModelProblem& problem : editor.problems) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(problemLine(problem)).c_str()));
    }
    // Long lines can be scrolled to.
    SendMessageW(list, LB_SETHORIZONTALEXTENT, 2000, 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// After any change: everything derived from the document, shown again.
void refresh() {
    editor.problems = checkQuiz(editor.document.model);
    showProblems();
    showQuestionList();
    showEnabledFields();
    std::string status = statusLine(editor.document.model.questions.size(), editor.problems.size());
    const std::string rows = picturesRowWarning(editor.document.model);
    if (!rows.empty()) status += u8" \u2014 " + rows;
    if (!editor.notice.empty()) status += u8" \u2014 " + editor.notice;
    setControlText(idStatus, status);
    SetWindowTextW(editor.window, wide(windowTitle(editor.document.path, editor.document.isDirty())).c_str());
    showTrials();
    showPreviews();
    showColour();
}

void showQuestion() {
    editor.loading = true;
    for (const TextField& f : questionFields) setControlText(f.id, fieldText(editor.document, f.field, f.item));
    editor.loading = false;
}

void showDocument() {
    const QuizModel& model = editor.document.model;
    editor.loading = true;
    for (const TextField& f : quizFields) setControlText(f.id, fieldText(editor.document, f.field, f.item));
    SendMessageW(control(idKind), CB_SETCURSEL, static_cast<WPARAM>(model.kind), 0);
    SendMessageW(control(idAnswersPerQuestion), CB_SETCURSEL, static_cast<WPARAM>(model.answersPerQuestion - 1), 0);
    SendMessageW(control(idReveal), CB_SETCURSEL, static_cast<WPARAM>(model.reveal), 0);
    setControlText(idRewardCodes, rewardCodesText(model.rewardCodes));
    editor.loading = false;
    editor.listLines.clear();
    SendMessageW(control(idQuestionList), LB_RESETCONTENT, 0, 0);
    showQuestion();
    refresh();
}

// ---- Files -----------------------------------------------------------------

std::string fullPath(const std::string& path) {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetFullPathNameW(wide(path).c_str(), MAX_PATH, buffer, nullptr);
    return length > 0 && length < MAX_PATH ? utf8FromWide(std::wstring(buffer, length)) : path;
}

// Written under a temporary name and moved over the old file only once
// complete, so that a full disk or a crash never leaves half a quiz.
bool writeAtomically(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".tmp";
    if (!writeWholeFile(temporary, std::vector<uint8_t>(text.begin(), text.end())) ||
        !MoveFileExW(wide(temporary).c_str(), wide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(wide(temporary).c_str());
        ask(messageText(Message::cannotWrite, {path}), MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Pictures and clips from outside the source's folder are copied into a
// folder beside it first, so that the folder holds the whole quiz; the source
// then names them there.
bool saveTo(const std::string& path) {
    QuizModel model = editor.document.model;
    const std::vector<MediaCopy> copies = planMediaCopies(model, editor.document.path, path, fileExists);
    if (!copies.empty()) CreateDirectoryW(wide(folderOf(path) + mediaFolderName(path)).c_str(), nullptr);
    for (const MediaCopy& copy : copies) {
        if (!CopyFileW(wide(copy.from).c_str(), wide(copy.to).c_str(), TRUE)) {
            ask(messageText(Message::cannotReadMedia, {copy.from}) + "\n" +
                    messageText(Message::cannotWrite, {copy.to}),
                MB_OK | MB_ICONERROR);
            return false;
        }
    }
    if (!writeAtomically(path, writeQuizToml(model))) return false;
    editor.document.model = model;
    markSaved(editor.document, path);
    editor.notice = copies.empty() ? std::string() : copiedNotice(copies.size(), mediaFolderName(path));
    showQuestion();
    refresh();
    return true;
}

// The common file dialog for a quiz source; "" when the author cancels.
const wchar_t quizFilter[] = L"Quiz Vetra (*.toml)\0*.toml\0Tous les fichiers (*.*)\0*.*\0";
const wchar_t openFilter[] =
    L"Quiz Vetra (*.toml, *.exe)\0*.toml;*.exe\0Source de quiz (*.toml)\0*.toml\0Quiz construit (*.exe)\0*.exe\0"
    L"Tous les fichiers (*.*)\0*.*\0";
const wchar_t tableFilter[] = L"Tableau CSV (*.csv)\0*.csv\0Tous les fichiers (*.*)\0*.*\0";

std::string askFileName(bool forSaving, const wchar_t* filter = quizFilter) {
    wchar_t name[MAX_PATH] = L"";
    const std::string& offered = editor.document.path.empty() ? editor.suggestedPath : editor.document.path;
    if (forSaving && !offered.empty()) lstrcpynW(name, wide(offered).c_str(), MAX_PATH);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = editor.window;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = name;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = forSaving ? L"toml" : nullptr;
    dialog.Flags = forSaving ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY
                             : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    const BOOL chosen = forSaving ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    return chosen ? utf8FromWide(name) : std::string();
}

bool saveAs() {
    const std::string path = askFileName(true);
    return !path.empty() && saveTo(path);
}

bool save() {
    return editor.document.path.empty() ? saveAs() : saveTo(editor.document.path);
}

// Before the quiz is left (New, Open, Quit): true when the author may go on.
bool confirmLeaving() {
    if (!editor.document.isDirty()) return true;
    switch (ask(u8"Enregistrer les modifications ?", MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: return save();
        case IDNO: return true;
        default: return false;
    }
}

std::string problemList(const std::vector<ModelProblem>& problems) {
    std::string text;
    for (const ModelProblem& problem : problems) text += "\n" + problemLine(problem);
    return text;
}

std::string temporaryFolder() {
    wchar_t temporary[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temporary);
    if (length == 0 || length >= MAX_PATH) return "";
    const std::string folder = utf8FromWide(std::wstring(temporary, length)) + "Atelier Vetra";
    CreateDirectoryW(wide(folder).c_str(), nullptr);
    return folder;
}

// A packed quiz becomes a quiz never saved: its pictures or clips wait in a
// folder of their own under the temporary folder until Save copies them
// beside the source the author chooses.
bool openPackedQuiz(const std::string& path) {
    std::vector<PackedResource> resources;
    std::string error;
    ExtractedQuiz quiz;
    static int extractions = 0;
    const std::string folder =
        temporaryFolder() + "\\extrait-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++extractions);
    if (!readQuizResources(path, resources, error) || !extractQuiz(resources, folder + "\\", quiz, error)) {
        ask(path + " : " + error, MB_OK | MB_ICONERROR);
        return false;
    }
    if (!quiz.files.empty() && CreateDirectoryW(wide(folder).c_str(), nullptr)) {
        editor.extractedFolders.push_back(folder);
    }
    for (const ExtractedFile& file : quiz.files) {
        editor.extractedFiles.push_back(folder + "\\" + file.name);
        if (!writeWholeFile(folder + "\\" + file.name, *file.data)) {
            ask(messageText(Message::cannotWrite, {folder + "\\" + file.name}), MB_OK | MB_ICONERROR);
            return false;
        }
    }
    editor.document = openedDocument(quiz.model, "");
    editor.document.saved = QuizModel();  // nothing of it is saved yet
    editor.suggestedPath = withExtension(path, ".toml");
    editor.notice = u8"quiz extrait de " + fileStem(path) + u8".exe, \u00E0 enregistrer en .toml";
    if (!quiz.rewardCodesFound) editor.notice += " ; " + messageText(Message::noCodesWarning);
    showDocument();
    return true;
}

// A source that is no TOML is refused whole; values the model cannot hold
// are named, since saving will leave them out.
bool openFile(const std::string& given) {
    const std::string path = fullPath(given);
    if (droppedKind(path) == DroppedKind::packed) return openPackedQuiz(path);
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        ask(messageText(Message::cannotReadSource) + " : " + path, MB_OK | MB_ICONERROR);
        return false;
    }
    QuizModel model;
    SourceLines lines;
    std::vector<ModelProblem> problems;
    readQuizToml(std::string(bytes.begin(), bytes.end()), model, lines, problems);
    for (const ModelProblem& problem : problems) {
        if (problem.field == ModelField::none) {
            ask(formatProblem(path, problem), MB_OK | MB_ICONERROR);
            return false;
        }
    }
    if (!problems.empty()) {
        locateProblems(lines, problems);
        ask(u8"Ces valeurs n'ont pas pu \u00EAtre lues ; l'enregistrement les laissera de c\u00F4t\u00E9 :" +
                problemList(problems),
            MB_OK | MB_ICONWARNING);
    }
    editor.document = openedDocument(model, path);
    editor.notice.clear();
    editor.suggestedPath.clear();
    showDocument();
    return true;
}

std::string playerBesideEditor() {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::string path = utf8FromWide(std::wstring(self, length < MAX_PATH ? length : 0));
    return path.substr(0, path.find_last_of("/\\") + 1) + "vetra.exe";
}

// The model packed into a copy of the player beside the editor, written as
// `output`; false (the author told why) when the media or the packer fail.
bool packInto(const std::string& output) {
    std::vector<PackedResource> resources;
    std::vector<ModelProblem> problems;
    if (!assembleQuiz(editor.document.model, editor.document.path, readWholeFile, playerReadsPng, resources,
                      problems)) {
        ask(messageText(Message::notPacked, {std::to_string(problems.size())}) + problemList(problems),
            MB_OK | MB_ICONWARNING);
        return false;
    }
    std::string error;
    if (!writePackedPlayer(playerBesideEditor(), output, resources, error)) {
        ask(output + " : " + error, MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

bool refuseWithProblems() {
    if (editor.problems.empty()) return false;
    ask(buildRefusedText(editor.problems.size()), MB_OK | MB_ICONWARNING);
    return true;
}

// The player made from the saved source, next to it: what quizpack build
// makes of the same file.
void buildQuiz() {
    if (refuseWithProblems()) return;
    if (editor.document.isDirty() || editor.document.path.empty()) {
        if (!save()) return;
    }
    const std::string output = withExtension(editor.document.path, ".exe");
    if (!packInto(output)) return;
    ask(messageText(Message::packed, {std::to_string(editor.document.model.questions.size()), output}),
        MB_OK | MB_ICONINFORMATION);
}

// The quiz as it stands, unsaved changes included, played from a folder of
// its own under the temporary folder, so that trying it leaves no player and
// no progress file next to the source.
void tryQuiz() {
    if (refuseWithProblems()) return;
    wchar_t temporary[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temporary);
    if (length == 0 || length >= MAX_PATH) return;
    const std::string folder = utf8FromWide(std::wstring(temporary, length)) + "Atelier Vetra";
    CreateDirectoryW(wide(folder).c_str(), nullptr);
    const std::string name = editor.document.path.empty() ? "Sans titre" : fileStem(editor.document.path);
    const std::string output = folder + "\\" + name + ".exe";
    if (!packInto(output)) return;
    std::wstring commandLine = L"\"" + wide(output) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, wide(folder).c_str(), &startup,
                        &process)) {
        ask(messageText(Message::cannotOpenExecutable, {output}), MB_OK | MB_ICONERROR);
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// Questions kept in a spreadsheet, appended after the last one; a table with
// any problem adds nothing, and the author is told where each problem is.
void importTable() {
    const std::string path = askFileName(false, tableFilter);
    if (path.empty()) return;
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        ask(messageText(Message::cannotReadMedia, {path}), MB_OK | MB_ICONERROR);
        return;
    }
    const size_t before = editor.document.model.questions.size();
    std::vector<ModelProblem> problems;
    if (!importQuestionsCsv(std::string(bytes.begin(), bytes.end()), editor.document.model, problems)) {
        std::string text = messageText(Message::notImported, {std::to_string(problems.size())});
        for (const ModelProblem& problem : problems) text += "\n" + formatProblem(path, problem);
        ask(text, MB_OK | MB_ICONWARNING);
        return;
    }
    selectQuestion(editor.document, static_cast<int>(before));
    showDocument();
}

// A picture or clip chosen in the file dialog, kept relative to the source
// when it lies in its folder (else copied there on saving).
void browseMedia(int fieldId) {
    const int kind = editor.document.model.kind;
    const wchar_t* filter = fieldId != idClip ? L"Images (*.png, *.jpg, *.gif, *.bmp)\0*.png;*.jpg;*.jpeg;*.gif;*.bmp\0"
                                                L"Tous les fichiers (*.*)\0*.*\0"
                            : kind == kindVideo
                                ? L"Vid\u00E9os (*.avi, *.mpg, *.wmv, *.mp4)\0*.avi;*.mpg;*.mpeg;*.wmv;*.mp4\0"
                                  L"Tous les fichiers (*.*)\0*.*\0"
                                : L"Sons (*.mp3, *.wav, *.wma, *.ogg, *.mid)\0*.mp3;*.wav;*.wma;*.ogg;*.mid\0"
                                  L"Tous les fichiers (*.*)\0*.*\0";
    const std::string path = askFileName(false, filter);
    if (path.empty()) return;
    // Through the field, as if typed: the model, the problems and the preview follow.
    setControlText(fieldId, pickedMediaPath(editor.document.path, path));
}

// The platform's colour chooser, starting from the quiz's colour.
void chooseColour() {
    static COLORREF custom[16] = {};
    QuizModel& model = editor.document.model;
    CHOOSECOLORW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = editor.window;
    dialog.rgbResult = RGB(model.colourRed, model.colourGreen, model.colourBlue);
    dialog.lpCustColors = custom;
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&dialog)) return;
    model.colourRed = GetRValue(dialog.rgbResult);
    model.colourGreen = GetGValue(dialog.rgbResult);
    model.colourBlue = GetBValue(dialog.rgbResult);
    refresh();
}

// A code for each score that has none, so that a quiz of thirty pictures
// does not need thirty codes made up by hand.
void completeCodes() {
    static uint32_t state = GetTickCount() ^ (GetCurrentProcessId() << 16);
    // xorshift: unpredictable enough for codes a player should not guess.
    auto random = []() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    if (!completeRewardCodes(editor.document.model, random)) return;
    editor.loading = true;
    setControlText(idRewardCodes, rewardCodesText(editor.document.model.rewardCodes));
    editor.loading = false;
    editor.notice.clear();
    refresh();
}

// ---- Commands --------------------------------------------------------------

void onQuestionOperation(bool (*operation)(EditorDocument&)) {
    if (!operation(editor.document)) return;
    editor.notice.clear();
    showQuestion();
    refresh();
}

void onMenuCommand(int id) {
    switch (id) {
        case cmdNew:
            if (confirmLeaving()) {
                editor.document = newDocument();
                editor.notice.clear();
                editor.suggestedPath.clear();
                showDocument();
            }
            break;
        case cmdOpen:
            if (confirmLeaving()) {
                const std::string path = askFileName(false, openFilter);
                if (!path.empty()) openFile(path);
            }
            break;
        case cmdSave: save(); break;
        case cmdSaveAs: saveAs(); break;
        case cmdBuild: buildQuiz(); break;
        case cmdTry: tryQuiz(); break;
        case cmdImportTable: importTable(); break;
        case cmdQuit: PostMessageW(editor.window, WM_CLOSE, 0, 0); break;
        case cmdAddQuestion: onQuestionOperation(addQuestion); break;
        case cmdDuplicateQuestion: onQuestionOperation(duplicateQuestion); break;
        case cmdDeleteQuestion: onQuestionOperation(deleteQuestion); break;
        case cmdMoveUp: onQuestionOperation(moveQuestionUp); break;
        case cmdMoveDown: onQuestionOperation(moveQuestionDown); break;
        case cmdCompleteCodes: completeCodes(); break;
        case cmdAbout:
            MessageBoxW(editor.window, L"Atelier Vetra\nversion 2.1.4.3\n\nL'\u00E9diteur des quiz du lecteur Vetra.",
                        L"\u00C0 propos d'Atelier Vetra", MB_OK | MB_ICONINFORMATION);
            break;
    }
}

// A text field changed: its value goes into the model.
void onEditChanged(int id) {
    if (editor.loading) return;
    if (id == idTryAnswer || id == idTryAnswer2) return showTrials();
    editor.notice.clear();
    if (id == idRewardCodes) {
        editor.document.model.rewardCodes = rewardCodesFromText(textOfControl(id));
    } else {
        const TextField* found = nullptr;
        for (const TextField& f : quizFields) found = f.id == id ? &f : found;
        for (const TextField& f : questionFields) found = f.id == id ? &f : found;
        if (!found || !setFieldText(editor.document, found->field, textOfControl(id), found->item)) return;
    }
    refresh();
}

void onComboChanged(int id) {
    if (editor.loading) return;
    const int choice = static_cast<int>(SendMessageW(control(id), CB_GETCURSEL, 0, 0));
    if (choice < 0) return;
    QuizModel& model = editor.document.model;
    if (id == idKind) model.kind = choice;
    if (id == idAnswersPerQuestion) model.answersPerQuestion = choice + 1;
    if (id == idReveal) model.reveal = choice;
    refresh();
}

void onButton(int id) {
    for (const MediaField& m : mediaFields) {
        if (m.button == id) return browseMedia(m.field);
    }
    if (id == idColourChoose) chooseColour();
}

// A click in the problems list shows the question the problem is about.
void onProblemChosen() {
    const int index = static_cast<int>(SendMessageW(control(idProblemList), LB_GETCURSEL, 0, 0));
    if (index < 0 || static_cast<size_t>(index) >= editor.problems.size()) return;
    const ModelProblem& problem = editor.problems[index];
    if (problem.field <= ModelField::questions || !selectQuestion(editor.document, problem.question)) return;
    showQuestion();
    showQuestionList();
    showEnabledFields();
    showTrials();
    showPreviews();
    // The list itself stays as it is, so that the author can go down it.
    for (const TextField& f : questionFields) {
        if (f.field == problem.field) SetFocus(control(f.id));
    }
}

void onQuestionChosen() {
    const int index = static_cast<int>(SendMessageW(control(idQuestionList), LB_GETCURSEL, 0, 0));
    if (!selectQuestion(editor.document, index)) return;
    showQuestion();
    showEnabledFields();
    showTrials();
    showPreviews();
}

// ---- Layout ----------------------------------------------------------------

HWND labelFor(int id) {
    for (const auto& label : editor.labels) {
        if (label.first == id) return label.second;
    }
    return nullptr;
}

void place(int id, int x, int y, int w, int h) {
    MoveWindow(control(id), x, y, w, h, TRUE);
}

void placeRow(int id, int x, int y, int labelWidth, int width) {
    MoveWindow(labelFor(id), x, y + 3, labelWidth - 4, 16, TRUE);
    // A drop-down list's height includes its list.
    const bool combo = id == idKind || id == idAnswersPerQuestion || id == idReveal;
    place(id, x + labelWidth, y, width - labelWidth, combo ? 200 : 21);
}

void layout(int width, int height) {
    const int margin = 8, rowStep = 26, labelWidth = 150, listWidth = 220;
    const int statusTop = height - margin - 20;
    const int problemsTop = statusTop - 6 - 110;
    const int bottom = problemsTop - 22;
    place(idStatus, margin, statusTop, width - 2 * margin, 20);
    MoveWindow(labelFor(idProblemList), margin, problemsTop - 18, 200, 16, TRUE);
    place(idProblemList, margin, problemsTop, width - 2 * margin, 110);
    MoveWindow(labelFor(idQuestionList), margin, margin, listWidth, 16, TRUE);
    place(idQuestionList, margin, margin + 18, listWidth, bottom - margin - 18);
    const int left = margin + listWidth + 12;
    const int column = (width - left - margin - 12) / 2;
    int y = margin;
    for (const Row& row : quizRows) {
        placeRow(row.id, left, y, labelWidth, column);
        y += rowStep;
    }
    // The swatch is a small square of the colour, its button beside it.
    place(idColourSwatch, left + labelWidth, y - rowStep, 40, 21);
    place(idColourChoose, left + labelWidth + 46, y - rowStep, 80, 21);
    MoveWindow(labelFor(idRewardCodes), left, y + 3, column, 16, TRUE);
    place(idRewardCodes, left, y + 21, column, bottom - y - 21);
    const int right = left + column + 12;
    const int buttonWidth = 80;
    y = margin;
    for (const TextField& f : questionFields) {
        placeRow(f.id, right, y, labelWidth - 40, column);
        for (const MediaField& m : mediaFields) {
            if (m.field != f.id) continue;
            placeRow(f.id, right, y, labelWidth - 40, column - buttonWidth - 4);
            place(m.button, right + column - buttonWidth, y, buttonWidth, 21);
        }
        y += rowStep;
    }
    const int trialLabel = 130, verdictWidth = 90;
    for (const Trial& t : trials) {
        placeRow(t.box, right, y, trialLabel, column - verdictWidth - 4);
        place(t.verdict, right + column - verdictWidth, y, verdictWidth, 21);
        y += rowStep;
    }
    editor.previewSide = previewSide(column, bottom - y - 18);
    const int side = editor.previewSide;
    for (int i = 0; i < 2; ++i) {
        const int x = right + i * (side + 12);
        MoveWindow(labelFor(mediaFields[i].preview), x, y, side > 0 ? side + 12 : 0, 16, TRUE);
        place(mediaFields[i].preview, x, y + 18, side, side);
    }
    showEnabledFields();
}

// ---- The window procedure --------------------------------------------------

// Builds the controls and opens the quiz named on the command line, or starts
// a new one.
LRESULT onCreate(HWND window, const CREATESTRUCTW* create) {
    editor.window = window;
    editor.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    // A picture that cannot be read says so in its preview, not in a box.
    pictureMessageHook = [](const char*, const char*, UINT) {};
    const COLORREF colours[] = {0, anagramColour, rightColour, wrongColour, hintColour};
    for (int i = 1; i < 5; ++i) editor.verdictBrushes[i] = CreateSolidBrush(colours[i]);
    makeControls();
    // Files dropped from the Explorer: a quiz to open, or pictures and clips to make questions of.
    DragAcceptFiles(window, TRUE);
    const std::string* path = static_cast<const std::string*>(create->lpCreateParams);
    editor.document = newDocument();
    // Laid out before the window is first shown, so that it never shows (or
    // reports) its controls in a heap.
    RECT client;
    GetClientRect(window, &client);
    layout(client.right, client.bottom);
    showDocument();
    if (path && !path->empty()) openFile(*path);
    return 0;
}

// The controls follow the window's size.
void onSize(int width, int height) {
    layout(width, height);
}

// Below this size the fields would overlap.
void onGetMinMaxInfo(MINMAXINFO* info) {
    info->ptMinTrackSize.x = minimumWidth;
    info->ptMinTrackSize.y = minimumHeight;
}

// Menu items, accelerators and the controls' notifications.
void onCommand(int id, int code, HWND from) {
    // Menus and accelerators come without a control.
    if (!from) return onMenuCommand(id);
    if (id == idQuestionList && code == LBN_SELCHANGE) return onQuestionChosen();
    if (id == idProblemList && code == LBN_SELCHANGE) return onProblemChosen();
    if (code == EN_CHANGE) return onEditChanged(id);
    if (code == BN_CLICKED) return onButton(id);
    if (code == CBN_SELCHANGE) return onComboChanged(id);
}

// Closing the window (its box, Alt+F4, Quitter) may lose changes: ask first.
void onClose(HWND window) {
    if (confirmLeaving()) DestroyWindow(window);
}

// The main window gone, the program ends.
void onDestroy() {
    for (PicturePreview& preview : editor.previews) releasePreview(preview);
    for (const std::string& file : editor.extractedFiles) DeleteFileW(wide(file).c_str());
    for (const std::string& folder : editor.extractedFolders) RemoveDirectoryW(wide(folder).c_str());
    for (HBRUSH brush : editor.verdictBrushes) {
        if (brush) DeleteObject(brush);
    }
    if (editor.colourBrush) DeleteObject(editor.colourBrush);
    PostQuitMessage(0);
}

// The verdicts on the player's colours, the swatch on the quiz's.
LRESULT onCtlColorStatic(HWND window, HDC dc, HWND from, WPARAM wParam, LPARAM lParam) {
    const int id = GetDlgCtrlID(from);
    HBRUSH brush = nullptr;
    if (id == idTryVerdict || id == idTryVerdict2) {
        brush = editor.verdictBrushes[static_cast<int>(editor.verdicts[id == idTryVerdict ? 0 : 1].brush)];
    } else if (id == idColourSwatch) {
        brush = editor.colourBrush;
    }
    if (!brush) return DefWindowProcW(window, WM_CTLCOLORSTATIC, wParam, lParam);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(brush);
}

// The previews are drawn here, from the bitmaps the player would show.
void onDrawItem(const DRAWITEMSTRUCT* item) {
    for (int i = 0; i < 2; ++i) {
        if (static_cast<int>(item->CtlID) == mediaFields[i].preview) {
            drawPreview(editor.previews[i], item->hDC, item->rcItem, editor.colour);
        }
    }
}

// Files dropped on the window: the first quiz among them is opened; else
// the pictures (or clips) become questions, one per file in name order.
void onDropFiles(HDROP drop) {
    std::vector<std::string> files;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        name.resize(DragQueryFileW(drop, i, &name[0], length + 1));
        files.push_back(utf8FromWide(name));
    }
    DragFinish(drop);
    for (const std::string& file : files) {
        const DroppedKind kind = droppedKind(file);
        if (kind != DroppedKind::source && kind != DroppedKind::packed) continue;
        if (confirmLeaving()) openFile(file);
        return;
    }
    const DropOutcome outcome = addDroppedMedia(editor.document, files);
    editor.notice = droppedNotice(outcome);
    showDocument();
}

LRESULT CALLBACK editorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return onCreate(window, reinterpret_cast<CREATESTRUCTW*>(lParam));
        case WM_SIZE: onSize(LOWORD(lParam), HIWORD(lParam)); return 0;
        case WM_GETMINMAXINFO: onGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
        case WM_COMMAND: onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
        case WM_CLOSE: onClose(window); return 0;
        case WM_DESTROY: onDestroy(); return 0;
        case WM_CTLCOLORSTATIC:
            return onCtlColorStatic(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), wParam,
                                    lParam);
        case WM_DRAWITEM: onDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_DROPFILES: onDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool registerEditorWindow(HINSTANCE instance) {
    WNDCLASSEXW cls = {};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = editorProc;
    cls.hInstance = instance;
    cls.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    cls.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = windowClass;
    return RegisterClassExW(&cls) != 0;
}

HWND createEditorWindow(HINSTANCE instance, const std::string& path, int show) {
    HWND window =
        CreateWindowExW(WS_EX_CONTROLPARENT, windowClass, appName, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                        CW_USEDEFAULT, 1000, 700, nullptr, makeMenu(), instance, const_cast<std::string*>(&path));
    if (!window) return nullptr;
    ShowWindow(window, show);
    UpdateWindow(window);
    return window;
}

bool editorTakesKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN || message.hwnd != control(idAnswer)) return false;
    if (!selectQuestion(editor.document, editor.document.selected + 1)) return true;
    showQuestion();
    showQuestionList();
    showEnabledFields();
    showTrials();
    showPreviews();
    SendMessageW(control(idAnswer), EM_SETSEL, 0, -1);
    return true;
}

HACCEL createEditorAccelerators() {
    ACCEL keys[] = {
        {FVIRTKEY | FCONTROL, 'N', cmdNew},   {FVIRTKEY | FCONTROL, 'O', cmdOpen}, {FVIRTKEY | FCONTROL, 'S', cmdSave},
        {FVIRTKEY | FCONTROL, 'B', cmdBuild}, {FVIRTKEY, VK_F5, cmdTry},
    };
    return CreateAcceleratorTableW(keys, sizeof keys / sizeof keys[0]);
}
