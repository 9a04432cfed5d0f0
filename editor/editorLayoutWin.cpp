// The editor's controls, menu and layout: made once, placed again whenever
// the window's size changes.
#include "authoring/filesWin.h"
#include "editor/accessKeys.h"
#include "editor/editorCommands.h"
#include "editor/editorWindowWin.h"

const Trial trials[2] = {
    {ModelField::answer, idTryAnswer, idTryVerdict, idTryNote, Message::labelTryAnswer},
    {ModelField::answer2, idTryAnswer2, idTryVerdict2, idTryNote2, Message::labelTryAnswer2},
};

namespace {

// The fields the form shows, in the table's order: the quiz's in the left
// column, the selected question's in the right one.
bool onForm(const FieldInfo& info) {
    return info.form != FieldForm::none && info.form != FieldForm::questions;
}

// How many controls (rows) a field takes: two for a pair.
int itemsOf(const FieldInfo& info) {
    return info.form == FieldForm::textPair || info.questionOthers ? 2 : 1;
}

bool isDropDown(const FieldInfo& info) {
    return info.form == FieldForm::choice || info.form == FieldForm::number;
}

HWND makeChild(EditorWindow& e, const wchar_t* cls, const std::wstring& text, DWORD style, DWORD exStyle, int id) {
    HWND child = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, e.window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(e.font), FALSE);
    return child;
}

void makeLabel(EditorWindow& e, int forId, const std::wstring& text) {
    e.labels.emplace_back(forId, makeChild(e, L"STATIC", text, SS_LEFT, 0, -1));
}

void makeEdit(EditorWindow& e, int id, const std::wstring& label) {
    makeLabel(e, id, label);
    makeChild(e, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, id);
}

void makeCombo(EditorWindow& e, int id, const std::wstring& label, const char* const* choices, int count) {
    makeLabel(e, id, label);
    HWND combo = makeChild(e, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, id);
    for (int i = 0; i < count; ++i)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(choices[i]).c_str()));
}

// A menu of the bar, from the list of commands: its items in the list's order,
// a line before each that starts a group.
HMENU makePopup(EditorMenu menu) {
    HMENU popup = CreatePopupMenu();
    bool first = true;
    for (const EditorCommandEntry& command : editorCommandList) {
        if (command.menu != menu) continue;
        if (command.group == CommandGroup::newGroup && !first) AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(popup, MF_STRING, command.id, wide(menuText(command)).c_str());
        first = false;
    }
    return popup;
}

void place(const EditorWindow& e, int id, int x, int y, int w, int h) {
    MoveWindow(control(e, id), x, y, w, h, TRUE);
}

void placeRow(const EditorWindow& e, int id, int x, int y, int labelWidth, int width, bool dropDown = false) {
    MoveWindow(labelFor(e, id), x, y + 3, labelWidth - 4, 16, TRUE);
    // A drop-down list's height includes its list.
    place(e, id, x + labelWidth, y, width - labelWidth, dropDown ? 200 : 21);
}

}  // namespace

HWND control(const EditorWindow& e, int id) {
    return GetDlgItem(e.window, id);
}

HWND fieldWindow(const EditorWindow& e, ModelField field, int item) {
    return control(e, fieldControl(field, item));
}

std::wstring wide(const std::string& utf8) {
    return wideFromUtf8(utf8);
}

// A field's label as the form shows it, from the table of fields: "Titre :", "Légende 2 :".
std::wstring fieldLabel(ModelField field, int item) {
    return wide(formLabel(field, item));
}

std::wstring wideMessage(Message id) {
    return wideFromUtf8(messageText(id));
}

std::wstring windowText(HWND handle) {
    const int length = GetWindowTextLengthW(handle);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(handle, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::string textOfControl(const EditorWindow& e, int id) {
    return utf8FromWide(windowText(control(e, id)));
}

void focusControl(HWND child) {
    SetFocus(child);
    wchar_t cls[16] = L"";
    GetClassNameW(child, cls, 16);
    if (lstrcmpiW(cls, L"Edit") == 0) SendMessageW(child, EM_SETSEL, 0, -1);
}

void setControlText(const EditorWindow& e, int id, const std::string& utf8) {
    SetWindowTextW(control(e, id), wide(utf8).c_str());
}

int ask(const EditorWindow& e, const std::string& text, UINT flags) {
    return MessageBoxW(e.window, wide(text).c_str(), L"Atelier Vetra", flags);
}

void makeControls(EditorWindow& e) {
    makeLabel(e, idQuestionList, wideMessage(Message::labelQuestions));
    makeChild(e, L"LISTBOX", L"", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
              WS_EX_CLIENTEDGE, idQuestionList);
    // Made in reading order, which Tab follows: each button right after its field.
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldInfo& info = fieldTable()[i];
        if (!onForm(info)) continue;
        const int id = fieldControl(info.field);
        switch (info.form) {
            case FieldForm::choice:
            case FieldForm::number: makeCombo(e, id, fieldLabel(info.field), info.choices, info.choiceCount); break;
            case FieldForm::colour:
                makeLabel(e, id, fieldLabel(info.field));
                makeChild(e, L"STATIC", L"", SS_LEFT, WS_EX_CLIENTEDGE, id);
                makeChild(e, L"BUTTON", wideMessage(Message::buttonChoose), WS_TABSTOP | BS_PUSHBUTTON, 0,
                          fieldButton(info.field));
                break;
            case FieldForm::textList:
                makeLabel(e, id, fieldLabel(info.field));
                makeChild(e, L"EDIT", L"", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                          WS_EX_CLIENTEDGE, id);
                break;
            default:
                makeEdit(e, fieldControl(info.field),
                         fieldLabel(info.field, info.form == FieldForm::textPair ? 0 : -1));
                if (info.form == FieldForm::textPair)
                    makeEdit(e, fieldControl(info.field, 1), fieldLabel(info.field, 1));
                if (info.questionOthers) {
                    // The other answers the box accepts, one per line, right under the main one.
                    const int others = fieldControl(info.field, 1);
                    makeLabel(e, others, wideMessage(Message::labelOtherAnswers));
                    makeChild(e, L"EDIT", L"", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                              WS_EX_CLIENTEDGE, others);
                }
                if (info.media) {
                    makeChild(e, L"BUTTON", wideMessage(Message::buttonBrowse), WS_TABSTOP | BS_PUSHBUTTON, 0,
                              fieldButton(info.field));
                }
        }
    }
    for (const Trial& t : trials) {
        makeEdit(e, t.box, wideMessage(t.label));
        // Framed and centred like the player's verdict labels.
        makeChild(e, L"STATIC", L"", SS_CENTER | SS_CENTERIMAGE | WS_BORDER, 0, t.verdict);
        makeChild(e, L"STATIC", L"", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS, 0, t.note);
    }
    for (int slot = 0; slot < previewCount; ++slot) {
        const ModelField field = previewedField(slot);
        makeLabel(e, fieldPreview(field), fieldLabel(field));
        makeChild(e, L"STATIC", L"", SS_OWNERDRAW, 0, fieldPreview(field));
    }
    makeLabel(e, idProblemList, wideMessage(Message::labelProblems));
    makeChild(e, L"LISTBOX", L"",
              WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
              WS_EX_CLIENTEDGE, idProblemList);
    // One line, never wrapped: a long path loses its middle to "...", not its end.
    makeChild(e, L"STATIC", L"", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_PATHELLIPSIS | SS_SUNKEN, 0, idStatus);
    // Made last, out of the Tab order: it only reads out the scores.
    makeChild(e, L"EDIT", L"", ES_MULTILINE | ES_READONLY, WS_EX_CLIENTEDGE, idRewardScores);
    followRewardCodes(e);
    addAccessKeys(e);
}

void addAccessKeys(EditorWindow& e) {
    // The fields are served first, the lists and the trials with the letters left.
    // The boxes of other accepted answers come right after their answer, which Tab reaches them from.
    const int others[] = {idQuestionList, idProblemList, idTryAnswer, idTryAnswer2};
    auto isOther = [&](int id) {
        int item = 0;
        const ModelField field = fieldOfControl(id, &item);
        if (field != ModelField::none && item == 1 && fieldInfo(field).questionOthers) return true;
        for (int other : others) {
            if (id == other) return true;
        }
        return false;
    };
    std::vector<HWND> statics;
    std::vector<std::string> texts;
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& label : e.labels) {
            // The previews' labels name no control to go to.
            int part = 0;
            if (fieldOfControl(label.first, &part) != ModelField::none && part == fieldPreviewOffset) continue;
            if (isOther(label.first) != (pass == 1)) continue;
            statics.push_back(label.second);
            texts.push_back(utf8FromWide(windowText(label.second)));
        }
    }
    std::u32string menuBar;
    for (EditorMenu menu : editorMenus) menuBar += accessKeyOf(messageText(menuTitle(menu)));
    const std::vector<std::string> keyed = withAccessKeys(texts, menuBar);
    for (size_t i = 0; i < statics.size(); ++i) SetWindowTextW(statics[i], wide(keyed[i]).c_str());
}

HMENU makeMenu() {
    HMENU bar = CreateMenu();
    for (EditorMenu menu : editorMenus) {
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(makePopup(menu)), wideMessage(menuTitle(menu)).c_str());
    }
    return bar;
}

HWND labelFor(const EditorWindow& e, int id) {
    for (const auto& label : e.labels) {
        if (label.first == id) return label.second;
    }
    return nullptr;
}

void layout(EditorWindow& e, int width, int height) {
    const int margin = 8, rowStep = 26, labelWidth = 150, listWidth = 220;
    const int statusTop = height - margin - 20;
    const int problemsTop = statusTop - 6 - 110;
    const int bottom = problemsTop - 22;
    place(e, idStatus, margin, statusTop, width - 2 * margin, 20);
    MoveWindow(labelFor(e, idProblemList), margin, problemsTop - 18, 200, 16, TRUE);
    place(e, idProblemList, margin, problemsTop, width - 2 * margin, 110);
    MoveWindow(labelFor(e, idQuestionList), margin, margin, listWidth, 16, TRUE);
    place(e, idQuestionList, margin, margin + 18, listWidth, bottom - margin - 18);
    const int left = margin + listWidth + 12;
    const int column = (width - left - margin - 12) / 2;
    int y = margin;
    const int buttonWidth = 80;
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldInfo& info = fieldTable()[i];
        if (!onForm(info) || isQuestionField(info.field) || info.form == FieldForm::textList) continue;
        const int id = fieldControl(info.field);
        if (info.form == FieldForm::colour) {
            // The swatch is a small square of the colour, its button beside it.
            placeRow(e, id, left, y, labelWidth, column);
            place(e, id, left + labelWidth, y, 40, 21);
            place(e, fieldButton(info.field), left + labelWidth + 46, y, 80, 21);
            y += rowStep;
            continue;
        }
        for (int item = 0; item < itemsOf(info); ++item) {
            placeRow(e, fieldControl(info.field, item), left, y, labelWidth, column, isDropDown(info));
            y += rowStep;
        }
    }
    const int codes = fieldControl(ModelField::rewardCodes);
    MoveWindow(labelFor(e, codes), left, y + 3, column, 16, TRUE);
    const int scoresWidth = 120;  // "96 bonnes réponses"
    place(e, idRewardScores, left, y + 21, scoresWidth, bottom - y - 21);
    place(e, codes, left + scoresWidth, y + 21, column - scoresWidth, bottom - y - 21);
    const int right = left + column + 12;
    y = margin;
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldInfo& info = fieldTable()[i];
        if (!onForm(info) || !isQuestionField(info.field)) continue;
        const int id = fieldControl(info.field);
        if (info.media) {
            placeRow(e, id, right, y, labelWidth - 40, column - buttonWidth - 4);
            place(e, fieldButton(info.field), right + column - buttonWidth, y, buttonWidth, 21);
        } else {
            placeRow(e, id, right, y, labelWidth - 40, column);
        }
        y += rowStep;
        if (info.questionOthers) {
            // One line of the box shows (it scrolls); its label, longer than the others, takes two.
            const int others = fieldControl(info.field, 1);
            MoveWindow(labelFor(e, others), right, y - 1, labelWidth - 44, 27, TRUE);
            place(e, others, right + labelWidth - 40, y, column - (labelWidth - 40), 24);
            y += rowStep;
        }
    }
    const int trialLabel = 130, verdictWidth = 90;
    for (const Trial& t : trials) {
        placeRow(e, t.box, right, y, trialLabel, column - verdictWidth - 4);
        place(e, t.verdict, right + column - verdictWidth, y, verdictWidth, 21);
        y += rowStep;
    }
    // Which other answer gave a trial's "BRAVO": both notes on one line, under the trials.
    for (size_t i = 0; i < 2; ++i)
        place(e, trials[i].note, right + static_cast<int>(i) * (column / 2), y, column / 2 - 4, 16);
    y += 18;
    e.previewSide = previewSide(column, bottom - y - 18);
    const int side = e.previewSide;
    for (int slot = 0; slot < previewCount; ++slot) {
        const int x = right + slot * (side + 12);
        const int preview = fieldPreview(previewedField(slot));
        MoveWindow(labelFor(e, preview), x, y, side > 0 ? side + 12 : 0, 16, TRUE);
        place(e, preview, x, y + 18, side, side);
    }
    showEnabledFields(e);
}
