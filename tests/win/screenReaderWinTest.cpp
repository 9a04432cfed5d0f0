// The real sheet and header bar as screen readers meet them, in this
// process: the accessible objects of the answer boxes, the live regions and
// their signals, with the platform's calls faked to refuse or to succeed,
// and high contrast through its seam.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, whose types it uses.
#include <oleacc.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/accessibleObjectWin.h"
#include "app/highContrastWin.h"
#include "playerFrameWin.h"

namespace {

// What the fakes saw.
struct Seen {
    std::vector<HWND> signalled;  // live-region changes, in order
    std::vector<HWND> polite;     // SetHwndProp(LiveSetting, Polite) that succeeded
    int propServicesAsked = 0;
    HRESULT setHwndPropAnswer = S_OK;
};
Seen seen;

// An annotation service that answers SetHwndProp as told and nothing else
// (Wine's answers E_NOTIMPL to every method).
class FakePropServices : public IAccPropServices {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                            AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHwndProp(HWND window, DWORD objectId, DWORD childId, MSAAPROPID property,
                                          VARIANT value) override {
        // LiveSetting_Property_GUID
        static const GUID liveSetting = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
        if (FAILED(seen.setHwndPropAnswer)) return seen.setHwndPropAnswer;
        if (static_cast<LONG>(objectId) == OBJID_CLIENT && childId == CHILDID_SELF &&
            IsEqualGUID(property, liveSetting) && value.vt == VT_I4 && value.lVal == 1)
            seen.polite.push_back(window);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND, DWORD, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                                AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND, DWORD, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                                 AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override {
        return E_NOTIMPL;
    }
    ULONG references = 1;
};
FakePropServices fakeServices;

IAccPropServices* fakePropServices() {
    ++seen.propServicesAsked;
    fakeServices.AddRef();
    return &fakeServices;
}
IAccPropServices* noPropServices() {
    ++seen.propServicesAsked;
    return nullptr;
}
void WINAPI recordSignal(DWORD event, HWND window, LONG objectId, LONG childId) {
    if (event == eventLiveRegionChanged && objectId == OBJID_CLIENT && childId == CHILDID_SELF)
        seen.signalled.push_back(window);
}
HRESULT WINAPI refuseStdObject(HWND, LONG, REFIID, void** out) {
    *out = nullptr;
    return E_NOTIMPL;
}

bool highContrast = false;
bool fakeHighContrast() {
    return highContrast;
}

class ScreenReader : public playerFrame::PlayerFrameTest {
protected:
    void SetUp() override {
        PlayerFrameTest::SetUp();
        saved_ = accessibilityCalls;
        seen = Seen{};
        accessibilityCalls.notifyWinEvent = recordSignal;
        accessibilityCalls.createPropServices = fakePropServices;
    }
    void TearDown() override {
        PlayerFrameTest::TearDown();
        accessibilityCalls = saved_;
        highContrastOn = savedHighContrast_;
        highContrast = false;
    }
    // A text quiz of `questions` questions, its sheet built from these progress lines.
    void build(int questions, const std::string& progress = "") {
        addQuestions(questions);
        if (!progress.empty()) std::ofstream(workFile("win_tests.txt"), std::ios::binary) << progress;
        buildFrame();
    }
    void judge(int k, const char* text) {
        SetDlgItemTextA(sheet, 4000 + k, text);
        SendMessageA(GetDlgItem(sheet, 4000 + k), WM_KEYUP, VK_RETURN, 0);
    }
    HWND control(HWND parent, int id) const { return GetDlgItem(parent, id); }

    // Name and description of a control's client object, as a client in this process reads them.
    static bool readObject(HWND window, std::wstring& name, std::wstring& description) {
        IAccessible* object = nullptr;
        if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                              reinterpret_cast<void**>(&object))) ||
            !object)
            return false;
        VARIANT self;
        VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR text = nullptr;
        name = object->get_accName(self, &text) == S_OK && text ? text : L"";
        SysFreeString(text);
        text = nullptr;
        description = object->get_accDescription(self, &text) == S_OK && text ? text : L"";
        SysFreeString(text);
        object->Release();
        return true;
    }

private:
    AccessibilityCalls saved_ = accessibilityCalls;
    bool (*savedHighContrast_)() = highContrastOn;
};

TEST_F(ScreenReader, TheBoxAnswersWithItsNamesAndARefusingPlatformLeavesItsOwn) {
    build(2);
    HWND box = control(sheet, 4002);
    std::wstring name, description;
    ASSERT_TRUE(readObject(box, name, description));
    EXPECT_EQ(name, L"Question 2");
    EXPECT_EQ(description, L"prompt 2");
    judge(2, "answer 2");
    ASSERT_TRUE(readObject(box, name, description));
    EXPECT_EQ(description, L"prompt 2, BRAVO") << "read afresh after the verdict";

    accessibilityCalls.createStdAccessibleObject = refuseStdObject;
    EXPECT_EQ(SendMessageA(box, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0) << "passed on";
    ASSERT_TRUE(readObject(box, name, description)) << "the platform's own object still answers";
    EXPECT_NE(name, L"Question 2");
    EXPECT_EQ(SendMessageA(control(header, headerScoreId), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);
}

TEST_F(ScreenReader, LiveRegionsArePoliteWhereTheServiceWorksAndSignalledWhereItDoesNot) {
    struct Case {
        const char* what;
        IAccPropServices* (*services)();
        HRESULT answer;
        bool polite;
    } cases[] = {
        {"service that succeeds", fakePropServices, S_OK, true},
        {"service that answers E_NOTIMPL", fakePropServices, E_NOTIMPL, false},
        {"no service", noPropServices, S_OK, false},
    };
    for (const Case& c : cases) {
        seen = Seen{};
        seen.setHwndPropAnswer = c.answer;
        accessibilityCalls.createPropServices = c.services;
        build(3, "answer 1\r\n");
        std::vector<HWND> expected;
        if (c.polite)
            expected = {control(header, headerScoreId), control(sheet, 5001), control(sheet, 5002),
                        control(sheet, 5003)};
        EXPECT_EQ(seen.polite, expected) << c.what;
        EXPECT_GT(seen.propServicesAsked, 0) << c.what;
        EXPECT_EQ(fakeServices.references, 1UL) << c.what << ": every service asked for is released";
        EXPECT_TRUE(seen.signalled.empty()) << c.what << ": the build says nothing";
        // Their order and count are the end-to-end test's, heard from another process.
        judge(2, "answer 2");
        EXPECT_EQ(seen.signalled, (std::vector<HWND>{control(sheet, 5002), control(header, headerScoreId)})) << c.what;
        DestroyWindow(sheet);
        DestroyWindow(header);
        releaseQuestions(*currentQuiz);
    }
}

TEST_F(ScreenReader, HighContrastLeavesEveryColourToTheSystem) {
    build(2, "answer 1\r\n");
    HWND right = control(sheet, 5001);
    HWND unjudged = control(sheet, 5002);
    HWND footer = createStatic(host, "pied", 0, 0, 10, 10, footerLabelId);
    HDC dc = CreateCompatibleDC(nullptr);
    const auto colour = [&](HWND parent, UINT message, HWND child) {
        return SendMessageA(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
    };
    highContrastOn = fakeHighContrast;
    // "?" and the separators get the system's colours in any mode: the reference.
    const LRESULT system = colour(sheet, WM_CTLCOLORSTATIC, unjudged);
    const LRESULT headerSystem = colour(header, WM_CTLCOLORSTATIC, control(header, headerSeparatorId1));
    struct Case {
        const char* what;
        HWND parent;
        UINT message;
        HWND child;
        LRESULT reference;
    } cases[] = {
        {"a right verdict", sheet, WM_CTLCOLORSTATIC, right, system},
        {"the sheet", sheet, WM_CTLCOLORDLG, sheet, 0},
        {"the score", header, WM_CTLCOLORSTATIC, control(header, headerScoreId), headerSystem},
        {"the header", header, WM_CTLCOLORDLG, header, 0},
        {"the footer", host, WM_CTLCOLORSTATIC, footer, 0},
    };
    for (const Case& c : cases) {
        highContrast = false;
        const LRESULT own = colour(c.parent, c.message, c.child);
        highContrast = true;
        const LRESULT contrast = colour(c.parent, c.message, c.child);
        EXPECT_NE(own, contrast) << c.what;
        if (c.reference) {
            EXPECT_EQ(contrast, c.reference) << c.what;
        }
    }
    highContrast = true;
    EXPECT_EQ(colour(sheet, WM_CTLCOLORSTATIC, unjudged), system);
    char text[16] = "";
    GetWindowTextA(right, text, sizeof text);
    EXPECT_STREQ(text, "BRAVO") << "the verdict still says it";
    DeleteDC(dc);
}

}  // namespace
