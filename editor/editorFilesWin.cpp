// The editor's files: opening a source or a packed quiz, saving (media from
// elsewhere copied beside the source), building and trying the quiz,
// importing a table, picking and dropping media. The work itself is the
// authoring workflows'; this file asks for paths and shows their reports.
#include <windows.h>
// After windows.h, whose types they use.
#include <commdlg.h>
#include <shellapi.h>

#include "authoring/fileSystemWin.h"
#include "authoring/filesWin.h"
#include "authoring/quizCheck.h"
#include "authoring/quizToml.h"
#include "editor/editorCommands.h"
#include "editor/editorWindowWin.h"
#include "editor/mediaFiles.h"
#include "editor/saveSuggestion.h"

namespace {

// A filter of the message table ("name|pattern|...|") as the file dialog
// wants it: each "|" a NUL.
std::wstring filterOf(Message id) {
    std::wstring filter = wideMessage(id);
    for (wchar_t& c : filter) {
        if (c == L'|') c = L'\0';
    }
    return filter;
}

std::string problemList(const std::vector<ModelProblem>& problems) {
    std::string text;
    for (const ModelProblem& problem : problems) text += "\n" + problemLine(problem);
    return text;
}

// The common file dialog; "" when the author cancels. A Save dialog offers
// `offered`, a full path, so that it opens in that folder rather than in
// the last one a dialog visited (a table's, say); an Open dialog is left to
// start where the author last looked. `chosenType`, when given, is the file
// type the list starts on (from 1) and gets the one the author chose.
std::string askFileName(EditorWindow& e, Message filterId, const std::string& offered = "",
                        const wchar_t* extension = nullptr, DWORD* chosenType = nullptr) {
    const bool forSaving = extension != nullptr;
    wchar_t name[MAX_PATH] = L"";
    if (forSaving) lstrcpynW(name, wide(offered).c_str(), MAX_PATH);
    const std::wstring filter = filterOf(filterId);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = e.window;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = name;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = extension;
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | (forSaving ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    dialog.nFilterIndex = chosenType ? *chosenType : 0;
    const BOOL chosen = forSaving ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (chosen && chosenType) *chosenType = dialog.nFilterIndex;
    return chosen ? utf8FromWide(name) : std::string();
}

// Where a Save dialog for `extension` starts: see suggestedSavePath.
std::string offeredPath(const EditorWindow& e, const char* extension) {
    return suggestedSavePath(e.document, extension, messageText(Message::untitled), e.lastFolder, temporaryFolder());
}

// What stopped a workflow, in a box: the refusal with its problems, or the
// one file that could not be read or written.
void showFailure(EditorWindow& e, const WorkflowReport& report) {
    if (!report.refusal.text.empty()) {
        std::vector<ModelProblem> problems;
        for (const ReportProblem& p : report.problems) problems.push_back(p.problem);
        ask(e, report.refusal.text + problemList(problems), MB_OK | MB_ICONWARNING);
    } else if (!report.problems.empty()) {
        ask(e, report.problems.front().file + " : " + report.problems.front().problem.message, MB_OK | MB_ICONERROR);
    }
}

// A report's done lines after what the status line says already.
void addNotice(EditorWindow& e, const WorkflowReport& report) {
    for (const ReportLine& line : report.done) e.notice += (e.notice.empty() ? "" : " ; ") + line.text;
}

// Pictures and clips from outside the source's folder are copied into a
// folder beside it first, so that the folder holds the whole quiz; the source
// then names them there.
bool saveTo(EditorWindow& e, const std::string& path) {
    QuizModel model = e.document.model;
    const std::vector<MediaCopy> copies = planMediaCopies(model, e.document.path, path, fileExists);
    if (!copies.empty()) CreateDirectoryW(wide(folderOf(path) + mediaFolderName(path)).c_str(), nullptr);
    for (const MediaCopy& copy : copies) {
        if (!CopyFileW(wide(copy.from).c_str(), wide(copy.to).c_str(), TRUE)) {
            ask(e,
                messageText(Message::cannotReadMedia, {copy.from}) + "\n" +
                    messageText(Message::cannotWrite, {copy.to}),
                MB_OK | MB_ICONERROR);
            return false;
        }
    }
    const std::string text = writeQuizToml(model);
    if (!replaceWholeFile(path, std::vector<uint8_t>(text.begin(), text.end()))) {
        ask(e, messageText(Message::cannotWrite, {path}), MB_OK | MB_ICONERROR);
        return false;
    }
    e.document.model = model;
    markSaved(e.document, path);
    // Media named in their new place is no step of the author's.
    e.history.amend(e.document);
    e.notice = copies.empty() ? std::string() : copiedNotice(copies.size(), mediaFolderName(path));
    showQuestion(e);
    // Saved elsewhere, its relative media paths name other files.
    e.mediaVerdicts.clear();
    refresh(e);
    return true;
}

// A packed quiz becomes a quiz never saved: its pictures or clips wait in a
// folder of their own under the temporary folder until Save copies them
// beside the source the author chooses.
bool openPackedQuiz(EditorWindow& e, const std::string& path) {
    WindowsFileSystem files;
    const std::string folder = temporaryFolder() + "\\extrait-" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(++e.extractions);
    QuizModel model;
    std::vector<std::string> written;
    const WorkflowReport report = extractQuizMedia(files, path, folder, folder + "\\", model, written);
    e.extractedFiles.insert(e.extractedFiles.end(), written.begin(), written.end());
    e.extractedFolders.push_back(folder);
    if (!report.succeeded()) {
        ask(e, report.problems.front().file + " : " + report.problems.front().problem.message, MB_OK | MB_ICONERROR);
        return false;
    }
    e.document = openedDocument(model, "");
    e.document.saved = QuizModel();  // nothing of it is saved yet
    e.lastFolder = folderOf(path);
    e.history.reset(e.document);
    clearTrials(e);
    e.notice = messageText(Message::extractedNotice, {fileStem(path)});
    for (const ReportProblem& warning : report.warnings) e.notice += " ; " + warning.problem.message;
    showDocument(e);
    return true;
}

// The model packed into a copy of the player beside the editor, written as
// `output`; false (the author told why) when the media or the packer fail.
bool packInto(EditorWindow& e, const QuizModel& model, const std::string& output, std::string& done) {
    WindowsFileSystem files;
    const WorkflowReport report = buildQuizModel(files, model, {e.document.path, output, ""});
    if (report.succeeded()) {
        done = report.done.empty() ? std::string() : report.done.front().text;
        return true;
    }
    showFailure(e, report);
    return false;
}

bool refuseWithProblems(EditorWindow& e) {
    if (e.problems.empty()) return false;
    ask(e, buildRefusedText(e.problems.size()), MB_OK | MB_ICONWARNING);
    return true;
}

}  // namespace

bool saveAs(EditorWindow& e) {
    const std::string path = askFileName(e, Message::filterQuiz, offeredPath(e, ".toml"), L"toml");
    return !path.empty() && saveTo(e, path);
}

bool save(EditorWindow& e) {
    return e.document.path.empty() ? saveAs(e) : saveTo(e, e.document.path);
}

bool confirmLeaving(EditorWindow& e) {
    if (!e.document.isDirty()) return true;
    switch (ask(e, messageText(Message::askSaveChanges), MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: return save(e);
        case IDNO: return true;
        default: return false;
    }
}

void askAndOpen(EditorWindow& e) {
    if (!confirmLeaving(e)) return;
    const std::string path = askFileName(e, Message::filterOpen);
    if (!path.empty()) openFile(e, path);
}

// A source that is no TOML is refused whole; values the model cannot hold
// are named, since saving will leave them out.
bool openFile(EditorWindow& e, const std::string& given) {
    const std::string path = fullPath(given);
    if (droppedKind(path) == DroppedKind::packed) return openPackedQuiz(e, path);
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        ask(e, messageText(Message::cannotReadSource) + " : " + path, MB_OK | MB_ICONERROR);
        return false;
    }
    QuizModel model;
    SourceLines lines;
    std::vector<ModelProblem> problems;
    readQuizToml(std::string(bytes.begin(), bytes.end()), model, lines, problems);
    for (const ModelProblem& problem : problems) {
        if (problem.field == ModelField::none) {
            ask(e, formatProblem(path, problem), MB_OK | MB_ICONERROR);
            return false;
        }
    }
    if (!problems.empty()) {
        locateProblems(lines, problems);
        ask(e, messageText(Message::valuesLeftAside) + problemList(problems), MB_OK | MB_ICONWARNING);
    }
    e.document = openedDocument(model, path);
    e.history.reset(e.document);
    e.notice.clear();
    e.lastFolder = folderOf(path);
    clearTrials(e);
    showDocument(e);
    return true;
}

// The player made from the saved source, next to it: what quizpack build
// makes of the same file.
void buildQuiz(EditorWindow& e) {
    // The files may have changed since they were checked: read them again.
    e.mediaVerdicts.clear();
    refresh(e);
    if (refuseWithProblems(e)) return;
    if (e.document.isDirty() || e.document.path.empty()) {
        if (!save(e)) return;
    }
    std::string done;
    if (!packInto(e, e.document.model, withExtension(e.document.path, ".exe"), done)) return;
    // Success is said in the status line: a box to dismiss after every build would be noise.
    e.notice += (e.notice.empty() ? "" : " ; ") + done;
    refresh(e);
}

// An export reads the saved source, as quizpack does: a quiz with problems
// goes nowhere, and unsaved changes are saved first. False when the author
// is left to correct or declines to save.
bool readyToExport(EditorWindow& e) {
    e.mediaVerdicts.clear();
    refresh(e);
    if (refuseWithProblems(e)) return false;
    return !(e.document.isDirty() || e.document.path.empty()) || save(e);
}

// An export's report: a failure in a box, warnings in a box too (the author
// may want other files), what was written in the status line.
void showExport(EditorWindow& e, const WorkflowReport& report) {
    if (!report.succeeded()) return showFailure(e, report);
    if (!report.warnings.empty()) {
        std::string text = messageText(Message::exportWarnings, {report.done.empty() ? "" : report.done.front().text});
        for (const ReportProblem& warning : report.warnings) text += "\n" + warning.problem.message;
        ask(e, text, MB_OK | MB_ICONWARNING);
    }
    addNotice(e, report);
    refresh(e);
}

// The quiz as one web page or a SCORM package, written by the workflow
// quizpack web runs, from the saved source: both make the same bytes.
void exportQuiz(EditorWindow& e, bool scorm) {
    if (!readyToExport(e)) return;
    const std::string output = askFileName(e, scorm ? Message::filterScormPackage : Message::filterWebPage,
                                           offeredPath(e, scorm ? ".zip" : ".html"), scorm ? L"zip" : L"html");
    if (output.empty()) return;
    WindowsFileSystem files;
    showExport(e, exportWebQuiz(files, {e.document.path, output, scorm}));
}

// The quiz as a Moodle question bank, written by the workflow quizpack
// moodle runs. One dialog offers both formats, Moodle XML first (it keeps
// the pictures and clips): a name typed with .gift or .xml says which, else
// the type chosen in the list, whose extension the dialog adds.
void exportMoodle(EditorWindow& e) {
    if (!readyToExport(e)) return;
    DWORD type = 1;
    const std::string output = askFileName(e, Message::filterMoodleBank, offeredPath(e, ".xml"), L"xml", &type);
    if (output.empty()) return;
    const bool gift = hasExtension(output, ".gift") || (!hasExtension(output, ".xml") && type == 2);
    WindowsFileSystem files;
    showExport(e, exportMoodleBank(files, {e.document.path, output, gift}));
}

// The quiz as it stands, unsaved changes included, played from a folder of
// its own under the temporary folder, so that trying it leaves no player and
// no progress file next to the source.
void tryQuiz(EditorWindow& e) {
    e.mediaVerdicts.clear();
    refresh(e);
    // A quiz with problems is tried as a draft: without the questions that have one.
    const TrialDraft draft = trialDraft(e.document.model, [&e](const QuizModel& model) {
        WindowsFileSystem files;
        std::vector<ModelProblem> problems;
        for (const ReportProblem& p : checkQuizFiles(files, model, e.document.path, &e.mediaVerdicts).problems) {
            problems.push_back(p.problem);
        }
        return problems;
    });
    if (draft.remaining > 0) {
        ask(e, trialRefusedText(draft.remaining), MB_OK | MB_ICONWARNING);
        return;
    }
    const std::string folder = temporaryFolder();
    if (folder.empty()) return;
    const std::string name = e.document.path.empty() ? messageText(Message::untitled) : fileStem(e.document.path);
    const std::string output = folder + "\\" + name + ".exe";
    std::string done;
    if (!packInto(e, e.problems.empty() ? e.document.model : draft.model, output, done)) return;
    e.notice = trialNotice(draft, e.problems.size());
    refresh(e);
    std::wstring commandLine = L"\"" + wide(output) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, wide(folder).c_str(), &startup,
                        &process)) {
        ask(e, messageText(Message::cannotOpenExecutable, {output}), MB_OK | MB_ICONERROR);
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// Questions kept in a spreadsheet or a Moodle question bank; a file with
// any problem adds nothing, and the author is told where each problem is.
void importTable(EditorWindow& e) {
    const std::string path = askFileName(e, Message::filterTable);
    if (!path.empty()) importTableFile(e, path);
}

void importTableFile(EditorWindow& e, const std::string& path) {
    WindowsFileSystem files;
    WorkflowReport report;
    const bool imported = importIntoDocument(e.document, [&](QuizModel& model) {
        // A bank chooses the kind of a quiz that has no question yet (pictures when each brings one).
        if (isQuestionBank(path) && model.questions.empty()) model.kind = modelKindUnset;
        report = importQuestions(files, path, model, true, e.document.path);
        return report.succeeded();
    });
    if (!imported) {
        std::string text = report.refusal.text;
        for (const ReportProblem& problem : report.problems) {
            text += (text.empty() ? "" : "\n") +
                    (report.refusal.text.empty() ? problem.problem.message : reportText(problem));
        }
        ask(e, text, MB_OK | MB_ICONWARNING);
        return;
    }
    if (!report.warnings.empty()) {
        // What a bank left out (by type, partial answers, pictures) is worth a box: the author may look for it.
        std::string text = messageText(Message::exportWarnings, {report.done.empty() ? "" : report.done.front().text});
        for (const ReportProblem& warning : report.warnings) text += "\n" + problemLine(warning.problem);
        ask(e, text, MB_OK | MB_ICONINFORMATION);
    }
    e.notice.clear();
    addNotice(e, report);
    showDocument(e);
}

// A picture or clip chosen in the file dialog, kept relative to the source
// when it lies in its folder (else copied there on saving).
void browseMedia(EditorWindow& e, ModelField field) {
    const int kind = e.document.model.kind;
    const bool clip = (fieldInfo(field).kinds & kindBit(kindPictures)) == 0;
    const Message filter = !clip               ? Message::filterPictures
                           : kind == kindVideo ? Message::filterVideos
                                               : Message::filterSounds;
    const std::string path = askFileName(e, filter);
    if (path.empty()) return;
    // Through the field, as if typed: the model, the problems and the preview follow.
    setControlText(e, fieldControl(field), pickedMediaPath(e.document.path, path));
}

// The first quiz or table among the files is opened or imported (as
// Fichier > Ouvrir or Importer would); else the pictures (or clips) become
// questions, one per file in name order.
void dropFiles(EditorWindow& e, const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        const DroppedKind kind = droppedKind(file);
        if (kind == DroppedKind::table) return importTableFile(e, file);
        if (kind != DroppedKind::source && kind != DroppedKind::packed) continue;
        if (confirmLeaving(e)) openFile(e, file);
        return;
    }
    const DropOutcome outcome = addDroppedMedia(e.document, files);
    e.notice = droppedNotice(outcome);
    showDocument(e);
}

void removeExtractedFiles(EditorWindow& e) {
    for (const std::string& file : e.extractedFiles) DeleteFileW(wide(file).c_str());
    for (const std::string& folder : e.extractedFolders) RemoveDirectoryW(wide(folder).c_str());
}
