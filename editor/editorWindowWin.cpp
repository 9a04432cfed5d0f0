// The editor's window procedure: it finds the window's state and dispatches
// each message to a short handler; the work sits with the concern it belongs
// to (layout, view, commands, files).
#include "editor/editorWindowWin.h"

// After windows.h, whose types it uses.
#include <shellapi.h>

#include <algorithm>

#include "authoring/filesWin.h"
#include "editor/accessKeys.h"
#include "editor/editorAccessibilityWin.h"
#include "editor/editorCommands.h"
#include "pictures/pictureMessageWin.h"
#include "quiz/quiz.h"

namespace {

const wchar_t windowClass[] = L"AtelierVetra";
const wchar_t appName[] = L"Atelier Vetra";
const int minimumWidth = 900;
const int minimumHeight = 640;

EditorWindow* stateOf(HWND window) {
    return reinterpret_cast<EditorWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// A problem chosen in the problems list shows the question it is about; a
// click (or Enter) goes on to its field, while the arrow keys stay in the
// list so that the author can go down it.
void onProblemChosen(EditorWindow& e, bool toField) {
    const int index = static_cast<int>(SendMessageW(control(e, idProblemList), LB_GETCURSEL, 0, 0));
    if (index < 0 || static_cast<size_t>(index) >= e.listed.size()) return;
    const ModelProblem& problem = e.listed[index];
    if (problem.field <= ModelField::questions || !selectQuestion(e.document, problem.question)) return;
    showSelectedQuestion(e);
    // The list itself stays as it is, so that the author can go down it.
    if (toField && isQuestionField(problem.field)) SetFocus(fieldWindow(e, problem.field));
}

// A double click on a key the editor cannot read offers to delete it, the one
// way to be rid of it without editing the source by hand.
void onProblemOpened(EditorWindow& e) {
    const int index = static_cast<int>(SendMessageW(control(e, idProblemList), LB_GETCURSEL, 0, 0));
    if (index < 0 || static_cast<size_t>(index) >= e.listed.size()) return;
    const ModelProblem problem = e.listed[index];
    deleteKeptKey(e, problem);
}

// A question chosen in the list is shown in the fields.
void onQuestionChosen(EditorWindow& e) {
    const int index = static_cast<int>(SendMessageW(control(e, idQuestionList), LB_GETCURSEL, 0, 0));
    if (!selectQuestion(e.document, index)) return;
    showSelectedQuestion(e);
}

// The state is made with the window and lives as long as it does.
LRESULT onNcCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    EditorWindow* e = new EditorWindow;
    e->window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(e));
    return DefWindowProcW(window, message, wParam, lParam);
}

// Builds the controls and opens the quiz named on the command line, or starts
// a new one.
LRESULT onCreate(EditorWindow& e, const CREATESTRUCTW* create) {
    e.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    e.randomState = GetTickCount() ^ (GetCurrentProcessId() << 16);
    // Until a quiz is opened, Save offers the folder the editor was started in.
    wchar_t started[MAX_PATH] = L"";
    if (GetCurrentDirectoryW(MAX_PATH, started)) e.lastFolder = utf8FromWide(started);
    // A picture that cannot be read says so in its preview, not in a box.
    pictureMessageHook = [](const char*, const char*, UINT) {};
    const COLORREF colours[] = {0, anagramColour, rightColour, wrongColour, hintColour};
    for (int i = 1; i < 5; ++i) e.verdictBrushes[i] = CreateSolidBrush(colours[i]);
    makeControls(e);
    exposeEditorToScreenReaders(e.window, e.labels);
    // Files dropped from the Explorer: a quiz to open, or pictures and clips to make questions of.
    DragAcceptFiles(e.window, TRUE);
    const std::string* path = static_cast<const std::string*>(create->lpCreateParams);
    e.document = newDocument();
    e.history.reset(e.document);
    // Laid out before the window is first shown, so that it never shows (or
    // reports) its controls in a heap.
    RECT client;
    GetClientRect(e.window, &client);
    layout(e, client.right, client.bottom);
    showDocument(e);
    if (path && !path->empty()) openFile(e, *path);
    return 0;
}

// The controls follow the window's size.
void onSize(EditorWindow& e, int width, int height) {
    layout(e, width, height);
}

// Below this size the fields would overlap.
void onGetMinMaxInfo(MINMAXINFO* info) {
    info->ptMinTrackSize.x = minimumWidth;
    info->ptMinTrackSize.y = minimumHeight;
}

// Menu items, accelerators and the controls' notifications.
void onCommand(EditorWindow& e, int id, int code, HWND from) {
    // Menus and accelerators come without a control.
    if (!from) return onMenuCommand(e, id);
    if (id == idQuestionList && code == LBN_SELCHANGE) return onQuestionChosen(e);
    if (id == idProblemList && code == LBN_SELCHANGE) return onProblemChosen(e, GetKeyState(VK_LBUTTON) < 0);
    if (id == idProblemList && code == LBN_DBLCLK) return onProblemOpened(e);
    if (code == EN_CHANGE) return onEditChanged(e, id);
    // Typing in a field again after leaving it is another step to undo.
    if (code == EN_KILLFOCUS) return e.history.endTyping();
    if (code == BN_CLICKED) return onButton(e, id);
    if (code == CBN_SELCHANGE) return onComboChanged(e, id);
}

// Closing the window (its box, Alt+F4, Quitter) may lose changes: ask first.
void onClose(EditorWindow& e) {
    if (confirmLeaving(e)) DestroyWindow(e.window);
}

// The main window gone, the program ends.
void onDestroy(EditorWindow& e) {
    for (PicturePreview& preview : e.previews) releasePreview(preview);
    removeExtractedFiles(e);
    for (HBRUSH brush : e.verdictBrushes) {
        if (brush) DeleteObject(brush);
    }
    if (e.colourBrush) DeleteObject(e.colourBrush);
    PostQuitMessage(0);
}

// The last message the window gets: its state goes with it.
void onNcDestroy(HWND window) {
    delete stateOf(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

// The verdicts on the player's colours, the swatch on the quiz's.
LRESULT onCtlColorStatic(EditorWindow& e, HDC dc, HWND from, WPARAM wParam, LPARAM lParam) {
    const int id = GetDlgCtrlID(from);
    HBRUSH brush = nullptr;
    if (id == idTryVerdict || id == idTryVerdict2) {
        brush = e.verdictBrushes[static_cast<int>(e.verdicts[id == idTryVerdict ? 0 : 1].brush)];
    } else if (id == fieldControl(ModelField::colour)) {
        brush = e.colourBrush;
    }
    if (!brush) return DefWindowProcW(e.window, WM_CTLCOLORSTATIC, wParam, lParam);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(brush);
}

// The previews are drawn here, from the bitmaps the player would show.
void onDrawItem(EditorWindow& e, const DRAWITEMSTRUCT* item) {
    int part = 0;
    const ModelField field = fieldOfControl(static_cast<int>(item->CtlID), &part);
    const int slot = part == fieldPreviewOffset ? previewSlot(field) : -1;
    if (slot >= 0) drawPreview(e.previews[slot], item->hDC, item->rcItem, e.colour);
}

// Files dropped from the Explorer, in UTF-8.
void onDropFiles(EditorWindow& e, HDROP drop) {
    std::vector<std::string> files;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        name.resize(DragQueryFileW(drop, i, &name[0], length + 1));
        files.push_back(utf8FromWide(name));
    }
    DragFinish(drop);
    dropFiles(e, files);
}

LRESULT CALLBACK editorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) return onNcCreate(window, message, wParam, lParam);
    // Asked before the window is made, and of no state.
    if (message == WM_GETMINMAXINFO) {
        onGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    }
    EditorWindow* state = stateOf(window);
    if (!state) return DefWindowProcW(window, message, wParam, lParam);
    EditorWindow& e = *state;
    switch (message) {
        case WM_CREATE: return onCreate(e, reinterpret_cast<CREATESTRUCTW*>(lParam));
        case WM_SIZE: onSize(e, LOWORD(lParam), HIWORD(lParam)); return 0;
        case WM_COMMAND: onCommand(e, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
        case WM_CLOSE: onClose(e); return 0;
        case WM_DESTROY: onDestroy(e); return 0;
        case WM_NCDESTROY: onNcDestroy(window); return 0;
        case WM_CTLCOLORSTATIC:
            return onCtlColorStatic(e, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), wParam, lParam);
        case WM_DRAWITEM: onDrawItem(e, reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_DROPFILES: onDropFiles(e, reinterpret_cast<HDROP>(wParam)); return 0;
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
                        CW_USEDEFAULT, 1000, 720, nullptr, makeMenu(), instance, const_cast<std::string*>(&path));
    if (!window) return nullptr;
    ShowWindow(window, show);
    UpdateWindow(window);
    return window;
}

namespace {

// The control of the window that holds `from` (a control or a part of one).
HWND topControl(const EditorWindow& e, HWND from) {
    while (from && GetParent(from) != e.window) from = GetParent(from);
    return from;
}

// Tab and Shift+Tab go round the controls that take the keyboard, in the
// order they were made (reading order), past the disabled and hidden ones.
// Taken here because a multi-line edit (the codes) would keep a Tab.
bool onTabKey(EditorWindow& e, HWND from) {
    std::vector<HWND> stops;
    for (HWND child = GetWindow(e.window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(child) && IsWindowEnabled(child))
            stops.push_back(child);
    }
    if (stops.empty()) return true;
    const bool back = GetKeyState(VK_SHIFT) < 0;
    const auto at = std::find(stops.begin(), stops.end(), topControl(e, from));
    size_t next = back ? stops.size() - 1 : 0;
    if (at != stops.end()) {
        next = (static_cast<size_t>(at - stops.begin()) + (back ? stops.size() - 1 : 1)) % stops.size();
    }
    focusControl(stops[next]);
    return true;
}

// Alt and a label's underlined letter go to its control, or past a control
// that takes no keyboard (the colour's swatch) to the next that does. A
// letter no label has is left to the menu bar.
bool onAccessKey(EditorWindow& e, WPARAM character) {
    const char32_t key = foldedKey(static_cast<char32_t>(character));
    if (!key) return false;
    for (const auto& label : e.labels) {
        if (accessKeyOf(utf8FromWide(windowText(label.second))) != key) continue;
        HWND target = control(e, label.first);
        while (target && !(GetWindowLongW(target, GWL_STYLE) & WS_TABSTOP)) target = GetWindow(target, GW_HWNDNEXT);
        if (target && IsWindowEnabled(target) && IsWindowVisible(target)) focusControl(target);
        return true;
    }
    return false;
}

// Enter in the answer field goes on to the next question's answer.
bool onEnterInAnswer(EditorWindow& e) {
    if (!selectQuestion(e.document, e.document.selected + 1)) return true;
    showSelectedQuestion(e);
    SendMessageW(fieldWindow(e, ModelField::answer), EM_SETSEL, 0, -1);
    return true;
}

}  // namespace

bool editorTakesKey(HWND window, const MSG& message) {
    EditorWindow* e = stateOf(window);
    if (!e || (message.hwnd != window && !IsChild(window, message.hwnd))) return false;
    const bool plain = GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0;
    if (message.message == WM_SYSCHAR) return onAccessKey(*e, message.wParam);
    if (message.message != WM_KEYDOWN || !plain) return false;
    if (message.wParam == VK_TAB) return onTabKey(*e, message.hwnd);
    // Delete in the question list deletes the question: Annuler brings it back.
    if (message.wParam == VK_DELETE && message.hwnd == control(*e, idQuestionList)) {
        onMenuCommand(*e, cmdDeleteQuestion);
        return true;
    }
    if (message.wParam != VK_RETURN) return false;
    if (message.hwnd == fieldWindow(*e, ModelField::answer)) return onEnterInAnswer(*e);
    if (message.hwnd == control(*e, idProblemList)) {
        onProblemChosen(*e, true);
        return true;
    }
    return false;
}

// The keys of the list of commands, but those Windows answers itself.
HACCEL createEditorAccelerators() {
    static_assert(commandKeys::shift == FSHIFT && commandKeys::control == FCONTROL && commandKeys::alternate == FALT,
                  "the list's modifiers are the accelerator table's");
    static_assert(commandKeys::fKey(1) == VK_F1 && commandKeys::fKey(24) == VK_F24, "the list's function keys");
    std::vector<ACCEL> keys;
    for (const EditorCommandEntry& command : editorCommandList) {
        if (command.key.code == 0 || command.key.ownedByWindows) continue;
        keys.push_back(
            {static_cast<BYTE>(FVIRTKEY | command.key.modifiers), command.key.code, static_cast<WORD>(command.id)});
    }
    return CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}
