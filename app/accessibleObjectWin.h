// What the player and the editor hand to screen readers through MSAA: the
// platform's own accessible object of a control, with a name and a
// description of ours, and polite live regions. Every oleacc and COM call
// goes through accessibilityCalls, so tests can make the platform refuse;
// where it refuses, the program goes on with the platform's own object.
#pragma once

#include <windows.h>
// After windows.h, whose types it uses.
#include <oleacc.h>

#include <string>

// A name and a description to put over the platform's; an empty text keeps
// the platform's own.
struct AccessibleTexts {
    std::wstring name;
    std::wstring description;
};

// Fills `out` for `control` at the moment a screen reader asks, so the texts
// follow what the control and its neighbours show; false keeps the platform's.
using AccessibleTextSource = bool (*)(HWND control, AccessibleTexts& out);

struct AccessibilityCalls {
    HRESULT(WINAPI* createStdAccessibleObject)(HWND window, LONG objectId, REFIID riid, void** out);
    LRESULT(WINAPI* lresultFromObject)(REFIID riid, WPARAM wParam, LPUNKNOWN object);
    // The annotation service (IAccPropServices); null where the system has none.
    IAccPropServices* (*createPropServices)();
    void(WINAPI* notifyWinEvent)(DWORD event, HWND window, LONG objectId, LONG childId);
};
extern AccessibilityCalls accessibilityCalls;

// Not in the headers of the Windows version the player is built for; older
// systems pass it on to hooks like any other event.
constexpr DWORD eventLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED
constexpr LONG livePolite = 1;                    // LiveSetting: Polite

// WM_GETOBJECT for the client object of `control`: the platform's object with
// the texts of `source`. 0 when not served (another object asked, no texts,
// or the platform refused): the message then goes on to the control's own procedure.
LRESULT serveAccessibleObject(HWND control, WPARAM wParam, LPARAM lParam, AccessibleTextSource source);

// Subclasses a control of the player (an ANSI window, the player calls no
// wide function) that has no procedure of ours, so that it answers
// WM_GETOBJECT with `source`.
void speakThrough(HWND control, AccessibleTextSource source);

// Declares the controls polite live regions where the annotation service
// works (LiveSetting through IAccPropServices::SetHwndProp); true when it took
// every one. Nothing else depends on it.
bool markPoliteLiveRegions(const HWND* controls, int count);

// Tells screen readers that a live region's text changed.
void signalLiveRegionChange(HWND control);

// Windows-1252 (the ANSI code page) text as the platform's UTF-16.
std::wstring wideFromAnsi(const std::string& text);
