#include "editor/editorAccessibilityWin.h"

#include <string>

#include "app/accessibleObjectWin.h"
#include "authoring/filesWin.h"
#include "editor/accessibleNames.h"
#include "editor/editorCommands.h"

namespace {

const char labelProperty[] = "VetraLabel";
const char watchProperty[] = "VetraWatch";

std::wstring textOf(HWND window) {
    const int length = window ? GetWindowTextLengthW(window) : 0;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = length > 0 ? GetWindowTextW(window, &text[0], length + 1) : 0;
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::vector<std::string> listLines(HWND list) {
    std::vector<std::string> lines;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0) continue;
        std::wstring line(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&line[0]));
        line.resize(static_cast<size_t>(length));
        lines.push_back(utf8FromWide(line));
    }
    return lines;
}

// A named control's window procedure before ours and, for the status line
// and the Problems list, what they last said; lives as long as the control.
struct Watch {
    WNDPROC previous = nullptr;
    std::string status;
    std::vector<std::string> problems;
    std::string gained;  // the new problems, the list's description until the next change
    bool pending = false;
    bool live = false;
};

Watch* watchOf(HWND control) {
    return static_cast<Watch*>(GetPropA(control, watchProperty));
}

// The list's lines change one message at a time; they are compared once
// the whole change is done, in a message posted behind it.
UINT problemsSettled() {
    static const UINT message = RegisterWindowMessageA("VetraProblemsSettled");
    return message;
}

bool controlTexts(HWND control, AccessibleTexts& out) {
    const int id = GetDlgCtrlID(control);
    const std::string name =
        accessibleName(id, utf8FromWide(textOf(static_cast<HWND>(GetPropA(control, labelProperty)))));
    if (name.empty()) return false;
    out.name = wideFromUtf8(name);
    const Watch* watch = watchOf(control);
    if (watch && !watch->gained.empty()) out.description = wideFromUtf8(watch->gained);
    return true;
}

void onProblemsSettled(HWND list, Watch& watch) {
    watch.pending = false;
    const std::vector<std::string> lines = listLines(list);
    const std::vector<std::string> gained = newLines(watch.problems, lines);
    watch.problems = lines;
    if (gained.empty()) return;
    watch.gained.clear();
    for (const std::string& line : gained) watch.gained += (watch.gained.empty() ? "" : " ; ") + line;
    signalLiveRegionChange(list);
}

LRESULT CALLBACK watchingProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    Watch* watch = watchOf(control);
    if (!watch) return DefWindowProcW(control, message, wParam, lParam);
    if (message == WM_GETOBJECT) {
        if (LRESULT object = serveAccessibleObject(control, wParam, lParam, controlTexts)) return object;
    } else if (message == problemsSettled()) {
        onProblemsSettled(control, *watch);
        return 0;
    }
    const WNDPROC previous = watch->previous;
    if (message == WM_NCDESTROY) {
        RemovePropA(control, watchProperty);
        RemovePropA(control, labelProperty);
        delete watch;
        return CallWindowProcW(previous, control, message, wParam, lParam);
    }
    const LRESULT result = CallWindowProcW(previous, control, message, wParam, lParam);
    if (!watch->live) return result;
    switch (message) {
        case WM_SETTEXT: {
            const std::string now = utf8FromWide(textOf(control));
            const bool announce = statusMessageToAnnounce(watch->status, now);
            watch->status = now;
            if (announce) signalLiveRegionChange(control);
            break;
        }
        case LB_RESETCONTENT:
        case LB_ADDSTRING:
        case LB_INSERTSTRING:
        case LB_DELETESTRING:
            if (!watch->pending) watch->pending = PostMessageW(control, problemsSettled(), 0, 0) != FALSE;
            break;
        default: break;
    }
    return result;
}

// A field, named; the status line and the Problems list also watched as
// polite live regions. The editor's windows are Unicode and stay so.
void watch(HWND control, bool live) {
    Watch* record = new Watch;
    record->status = utf8FromWide(textOf(control));
    record->live = live;
    SetPropA(control, watchProperty, record);
    record->previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watchingProc)));
    if (live) markPoliteLiveRegions(&control, 1);
}

}  // namespace

void exposeEditorToScreenReaders(HWND window, const std::vector<std::pair<int, HWND>>& labels) {
    for (const auto& label : labels) {
        HWND control = GetDlgItem(window, label.first);
        if (control) SetPropA(control, labelProperty, label.second);
    }
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        const bool live = id == idStatus || id == idProblemList;
        if (live || GetPropA(child, labelProperty) || !accessibleName(id, "").empty()) watch(child, live);
    }
}
