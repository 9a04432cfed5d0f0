// Showing the document: every change in a field goes to the document at once
// and the problems, the question list, the status line and the title are
// shown again from it, so that what the author sees is always what Save
// would write and what Construire would check.
#include "authoring/fileSystemWin.h"
#include "authoring/filesWin.h"
#include "editor/editorCommands.h"
#include "editor/editorWindowWin.h"

namespace {

// The swatch follows the quiz's colour.
void showColour(EditorWindow& e) {
    const QuizModel& m = e.document.model;
    const COLORREF colour = RGB(m.colourRed, m.colourGreen, m.colourBlue);
    if (e.colourBrush && colour == e.colour) return;
    if (e.colourBrush) DeleteObject(e.colourBrush);
    e.colour = colour;
    e.colourBrush = CreateSolidBrush(colour);
    InvalidateRect(fieldWindow(e, ModelField::colour), nullptr, TRUE);
    for (int slot = 0; slot < previewCount; ++slot) {
        InvalidateRect(control(e, fieldPreview(previewedField(slot))), nullptr, TRUE);
    }
}

void showProblems(EditorWindow& e) {
    HWND list = control(e, idProblemList);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    e.listed = listedProblems(e.problems, e.warnings);
    for (const ModelProblem& problem : e.listed) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(problemLine(problem)).c_str()));
    }
    // Long lines can be scrolled to.
    SendMessageW(list, LB_SETHORIZONTALEXTENT, 2000, 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// The check the build makes, media files included; each file is read once
// and its verdict kept, so that typing stays fast.
void check(EditorWindow& e) {
    WindowsFileSystem files;
    const WorkflowReport report = checkQuizFiles(files, e.document.model, e.document.path, &e.mediaVerdicts);
    e.problems.clear();
    e.warnings.clear();
    for (const ReportProblem& p : report.problems) e.problems.push_back(p.problem);
    for (const ReportProblem& w : report.warnings) e.warnings.push_back(w.problem);
}

// The score column starts at the line the codes box shows first.
void alignScores(EditorWindow& e) {
    if (e.aligningScores || !e.codesProc) return;
    e.aligningScores = true;
    HWND scores = control(e, idRewardScores);
    const LRESULT codesFirst = SendMessageW(fieldWindow(e, ModelField::rewardCodes), EM_GETFIRSTVISIBLELINE, 0, 0);
    const LRESULT scoresFirst = SendMessageW(scores, EM_GETFIRSTVISIBLELINE, 0, 0);
    if (codesFirst != scoresFirst) SendMessageW(scores, EM_LINESCROLL, 0, codesFirst - scoresFirst);
    e.aligningScores = false;
}

// Whatever scrolled the codes (typing, the wheel, the scroll bar, the
// caret), the score column follows.
LRESULT CALLBACK rewardCodesProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    EditorWindow* e = reinterpret_cast<EditorWindow*>(GetWindowLongPtrW(GetParent(box), GWLP_USERDATA));
    if (!e || !e->codesProc) return DefWindowProcW(box, message, wParam, lParam);
    const LRESULT result = CallWindowProcW(e->codesProc, box, message, wParam, lParam);
    if (message != WM_DESTROY && message != WM_NCDESTROY) alignScores(*e);
    return result;
}

// "1 bonne réponse", "2 bonnes réponses"... beside the codes, as many lines as questions or codes.
void showRewardScores(EditorWindow& e) {
    const QuizModel& m = e.document.model;
    const std::string text = rewardScoresText(m.questions.size(), m.rewardCodes.size());
    if (text == e.scoresText) return;
    e.scoresText = text;
    setControlText(e, idRewardScores, text);
    alignScores(e);
}

// Annuler and Rétablir are offered when there is a step to undo or redo.
void showHistoryMenu(EditorWindow& e) {
    HMENU menu = GetMenu(e.window);
    EnableMenuItem(menu, cmdUndo, MF_BYCOMMAND | (e.history.canUndo() ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, cmdRedo, MF_BYCOMMAND | (e.history.canRedo() ? MF_ENABLED : MF_GRAYED));
}

// The texts of the quiz's fields or of the selected question's, as the document holds them.
void showFieldTexts(EditorWindow& e, bool question) {
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldInfo& info = fieldTable()[i];
        if (isQuestionField(info.field) != question || !(info.quizText || info.questionText)) continue;
        for (int item = 0; item < (info.quizText2 || info.questionOthers ? 2 : 1); ++item) {
            setControlText(e, fieldControl(info.field, item), fieldText(e.document, info.field, item));
        }
    }
}

}  // namespace

void followRewardCodes(EditorWindow& e) {
    HWND box = fieldWindow(e, ModelField::rewardCodes);
    e.codesProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(rewardCodesProc)));
}

void showEnabledFields(EditorWindow& e) {
    const EditorDocument& d = e.document;
    const bool selected = d.selected >= 0;
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldInfo& info = fieldTable()[i];
        if (!isQuestionField(info.field)) continue;
        const BOOL enabled = selected && fieldEnabled(d.model, d.model.questions[d.selected], info.field);
        EnableWindow(fieldWindow(e, info.field), enabled);
        if (info.questionOthers) EnableWindow(fieldWindow(e, info.field, 1), enabled);
        if (info.media) EnableWindow(control(e, fieldButton(info.field)), enabled);
    }
    for (const Trial& t : trials) EnableWindow(control(e, t.box), IsWindowEnabled(fieldWindow(e, t.answer)));
    // The previews belong to a picture quiz, the solution's to a reveal that swaps it in.
    for (int slot = 0; slot < previewCount; ++slot) {
        const ModelField field = previewedField(slot);
        const bool shown = fieldUsed(d.model, field) && e.previewSide > 0;
        ShowWindow(control(e, fieldPreview(field)), shown ? SW_SHOWNA : SW_HIDE);
        ShowWindow(labelFor(e, fieldPreview(field)), shown ? SW_SHOWNA : SW_HIDE);
    }
}

// Each "Essayer" box judged against its answers as the player would judge it.
void showTrials(EditorWindow& e) {
    static const std::vector<std::string> noOthers;
    for (int i = 0; i < 2; ++i) {
        const Trial& t = trials[i];
        const EditorDocument& d = e.document;
        const std::vector<std::string>& others =
            d.selected >= 0 ? d.model.questions[d.selected].*fieldInfo(t.answer).questionOthers : noOthers;
        e.verdicts[i] =
            d.selected >= 0 ? trialVerdict(fieldText(d, t.answer), textOfControl(e, t.box), others) : TrialVerdict();
        setControlText(e, t.verdict, e.verdicts[i].text);
        setControlText(e, t.note, e.verdicts[i].note);
        InvalidateRect(control(e, t.verdict), nullptr, TRUE);
    }
}

void clearTrials(EditorWindow& e) {
    for (const Trial& t : trials) setControlText(e, t.box, "");
}

// The selected question's pictures, read again only when their file changed.
void showPreviews(EditorWindow& e) {
    const EditorDocument& d = e.document;
    for (int slot = 0; slot < previewCount; ++slot) {
        const ModelField field = previewedField(slot);
        const std::string relative = fieldText(d, field);
        const std::string full = relative.empty() ? std::string() : mediaPath(d.path, relative);
        if (full == e.previews[slot].path) continue;
        loadPreview(e.previews[slot], full);
        InvalidateRect(control(e, fieldPreview(field)), nullptr, TRUE);
    }
}

void showQuestionList(EditorWindow& e) {
    HWND list = control(e, idQuestionList);
    const std::vector<ModelQuestion>& questions = e.document.model.questions;
    std::vector<std::string> lines;
    for (size_t i = 0; i < questions.size(); ++i) {
        const int index = static_cast<int>(i);
        lines.push_back(
            questionListLine(index, questions[i], questionHasProblem(e.problems, index), e.document.model.kind));
    }
    if (lines.size() != e.listLines.size()) {
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (const std::string& line : lines)
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(line).c_str()));
    } else {
        // Only the lines that changed, so that typing does not flicker the list.
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] == e.listLines[i]) continue;
            SendMessageW(list, LB_DELETESTRING, i, 0);
            SendMessageW(list, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(wide(lines[i]).c_str()));
        }
    }
    e.listLines = lines;
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(e.document.selected), 0);
}

void refresh(EditorWindow& e) {
    // Every change comes through here: it becomes a step to undo (typing joins the step it continues).
    e.history.record(e.document, e.typing, GetTickCount(), e.typingEndsWord);
    e.typing = 0;
    e.typingEndsWord = false;
    showHistoryMenu(e);
    showRewardScores(e);
    check(e);
    showProblems(e);
    showQuestionList(e);
    showEnabledFields(e);
    std::string status = statusLine(e.document.model.questions.size(), e.problems.size());
    for (const ModelProblem& warning : e.warnings) {
        if (warning.field == ModelField::none) status += u8" \u2014 " + warning.message;
    }
    if (!e.notice.empty()) status += u8" \u2014 " + e.notice;
    setControlText(e, idStatus, status);
    SetWindowTextW(e.window, wide(windowTitle(e.document.path, e.document.isDirty())).c_str());
    showTrials(e);
    showPreviews(e);
    showColour(e);
}

void showQuestion(EditorWindow& e) {
    e.loading = true;
    showFieldTexts(e, true);
    e.loading = false;
}

void showDocument(EditorWindow& e) {
    const QuizModel& model = e.document.model;
    e.loading = true;
    showFieldTexts(e, false);
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldInfo& info = fieldTable()[i];
        if (!info.quizNumber || !info.choices) continue;
        // A number's choices start at 1.
        const int32_t value = model.*info.quizNumber - (info.form == FieldForm::number ? 1 : 0);
        SendMessageW(fieldWindow(e, info.field), CB_SETCURSEL, static_cast<WPARAM>(value), 0);
    }
    showRevealChoices(e);
    setControlText(e, fieldControl(ModelField::rewardCodes), rewardCodesText(model.rewardCodes));
    e.loading = false;
    e.listLines.clear();
    // Another document, or the same one saved elsewhere: its files are read afresh.
    e.mediaVerdicts.clear();
    SendMessageW(control(e, idQuestionList), LB_RESETCONTENT, 0, 0);
    showQuestion(e);
    refresh(e);
}

void showRevealChoices(EditorWindow& e) {
    const int32_t kind = e.document.model.kind;
    HWND combo = fieldWindow(e, ModelField::reveal);
    if (kind != e.revealChoicesKind) {
        e.revealChoicesKind = kind;
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        for (int mode = 0; mode < revealNameCount; ++mode) {
            const std::wstring label = wide(revealChoiceLabel(kind, mode));
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
        }
        // The longer words of a text quiz are read whole in the open list.
        SendMessageW(combo, CB_SETDROPPEDWIDTH, 420, 0);
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(e.document.model.reveal), 0);
}

void deleteKeptKey(EditorWindow& e, const ModelProblem& problem) {
    const std::string kept = keptValueText(e.document, problem);
    if (kept.empty()) return;
    if (ask(e, messageText(Message::deleteKeptKey, {kept}), MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    if (deleteKeptValue(e.document, problem)) refresh(e);
}

void showSelectedQuestion(EditorWindow& e) {
    // Undo shows again the question the author was on.
    e.history.record(e.document);
    showQuestion(e);
    showQuestionList(e);
    showEnabledFields(e);
    showTrials(e);
    showPreviews(e);
}
