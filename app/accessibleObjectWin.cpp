#include "app/accessibleObjectWin.h"

#include <initguid.h>

namespace {

// IAccessible's identifier is taken with __uuidof throughout: the 64-bit
// MinGW libraries define IID_IAccessible twice (oleacc and uuid).

// uiautomationcore.h's LiveSetting_Property_GUID, which MinGW's headers lack.
DEFINE_GUID(liveSettingProperty, 0xc12bcd8e, 0x2a8e, 0x4950, 0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb);

const char previousProcProperty[] = "VetraSpeechProc";
const char sourceProperty[] = "VetraSpeechSource";

bool isSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

BSTR copyOf(const std::wstring& text) {
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// The platform's object with our name and description; everything else is
// the platform's answer, so roles, states, values and navigation stay right.
class NamedAccessible : public IAccessible {
public:
    NamedAccessible(IAccessible* inner, HWND control, AccessibleTextSource source)
        : inner_(inner), control_(control), source_(source) {}

    // IUnknown. Interfaces other than these are the platform object's own
    // (IOleWindow, IEnumVARIANT, IServiceProvider).
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
            IsEqualIID(riid, __uuidof(IAccessible))) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return inner_->QueryInterface(riid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            inner_->Release();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return inner_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return inner_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return inner_->GetIDsOfNames(riid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
        return inner_->Invoke(id, riid, locale, flags, params, result, exception, argument);
    }

    // IAccessible: the two texts of ours, asked afresh each time.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        AccessibleTexts texts;
        if (!name || !isSelf(child) || !textsNow(texts) || texts.name.empty()) return inner_->get_accName(child, name);
        *name = copyOf(texts.name);
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        AccessibleTexts texts;
        if (!description || !isSelf(child) || !textsNow(texts) || texts.description.empty())
            return inner_->get_accDescription(child, description);
        *description = copyOf(texts.description);
        return *description ? S_OK : E_OUTOFMEMORY;
    }

    // IAccessible: the platform's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return inner_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return inner_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return inner_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return inner_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return inner_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return inner_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return inner_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return inner_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return inner_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return inner_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return inner_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return inner_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override { return inner_->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        return inner_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return inner_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return inner_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return inner_->accDoDefaultAction(child); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return inner_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return inner_->put_accValue(child, value);
    }

private:
    virtual ~NamedAccessible() = default;

    // A control destroyed while a screen reader still holds the object has no texts.
    bool textsNow(AccessibleTexts& texts) const { return IsWindow(control_) && source_(control_, texts); }

    IAccessible* inner_;
    HWND control_;
    AccessibleTextSource source_;
    LONG references_ = 1;
};

IAccPropServices* createSystemPropServices() {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void**>(&services))))
        return nullptr;
    return services;
}

WNDPROC previousProc(HWND control) {
    return reinterpret_cast<WNDPROC>(GetPropA(control, previousProcProperty));
}

LRESULT passOn(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC before = previousProc(control);
    if (!before) return DefWindowProcA(control, message, wParam, lParam);
    return CallWindowProcA(before, control, message, wParam, lParam);
}

LRESULT CALLBACK speakingProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETOBJECT) {
        const auto source = reinterpret_cast<AccessibleTextSource>(GetPropA(control, sourceProperty));
        const LRESULT served = source ? serveAccessibleObject(control, wParam, lParam, source) : 0;
        if (served) return served;
    } else if (message == WM_NCDESTROY) {
        const LRESULT result = passOn(control, message, wParam, lParam);
        RemovePropA(control, previousProcProperty);
        RemovePropA(control, sourceProperty);
        return result;
    }
    return passOn(control, message, wParam, lParam);
}

}  // namespace

AccessibilityCalls accessibilityCalls = {CreateStdAccessibleObject, LresultFromObject, createSystemPropServices,
                                         NotifyWinEvent};

LRESULT serveAccessibleObject(HWND control, WPARAM wParam, LPARAM lParam, AccessibleTextSource source) {
    // The object id is a 32-bit value, sign-extended or not in a 64-bit lParam.
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || !source) return 0;
    AccessibleTexts texts;
    if (!source(control, texts)) return 0;
    IAccessible* platform = nullptr;
    if (FAILED(accessibilityCalls.createStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                            reinterpret_cast<void**>(&platform))) ||
        !platform)
        return 0;
    NamedAccessible* named = new NamedAccessible(platform, control, source);
    const LRESULT result = accessibilityCalls.lresultFromObject(__uuidof(IAccessible), wParam, named);
    // The platform keeps what it needs for the caller; ours is then let go.
    named->Release();
    return result > 0 ? result : 0;
}

void speakThrough(HWND control, AccessibleTextSource source) {
    if (!control || !source || GetPropA(control, sourceProperty)) return;
    SetPropA(control, sourceProperty, reinterpret_cast<HANDLE>(source));
    const LONG_PTR before = SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(speakingProc));
    SetPropA(control, previousProcProperty, reinterpret_cast<HANDLE>(before));
}

bool markPoliteLiveRegions(const HWND* controls, int count) {
    // The service is COM's; the thread may not have it yet (the text and
    // picture kinds start no media player).
    const bool comStarted = SUCCEEDED(CoInitialize(nullptr));
    IAccPropServices* services = accessibilityCalls.createPropServices();
    bool all = services != nullptr;
    if (services) {
        VARIANT polite;
        VariantInit(&polite);
        polite.vt = VT_I4;
        polite.lVal = livePolite;
        for (int i = 0; i < count; ++i) {
            if (FAILED(services->SetHwndProp(controls[i], static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                             liveSettingProperty, polite)))
                all = false;
        }
        services->Release();
    }
    if (comStarted) CoUninitialize();
    return all;
}

void signalLiveRegionChange(HWND control) {
    if (control) accessibilityCalls.notifyWinEvent(eventLiveRegionChanged, control, OBJID_CLIENT, CHILDID_SELF);
}

std::wstring wideFromAnsi(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}
