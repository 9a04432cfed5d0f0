// Windows-side checks of media playback: the clip files, the play and stop
// buttons against a recording player and shell, the missing-player path,
// teardown, and the real control as Wine provides it. The recording player
// implements the SDK's own declarations of the interfaces (<wmp.h>), so a
// slot out of place in ours shows up as the wrong method being called.
#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>
#include <wmp.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "guiObjectsWin.h"
#include "media/mediaSeamsWin.h"
#include "media/mediaWin.h"
#include "media/wmpInterfacesWin.h"
#include "resource.h"

namespace {

using Bytes = std::string;

// The clips the test resources carry (tests/data/media), rebuilt here.
Bytes clip91() {
    Bytes b("ID3\x03\x00\x00\r\n\x1a\xff\xfe", 11);
    for (int i = 0; i < 256; ++i) b += static_cast<char>(i);
    return b;
}
Bytes clip92() {
    Bytes b;
    for (int i = 0; i < 5000; ++i) b += static_cast<char>((i * 7 + 3) % 256);
    return b;
}

bool fileExists(const char* name) {
    const DWORD attributes = GetFileAttributesA(name);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

Bytes readFile(const char* name) {
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    Bytes data;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) data.append(chunk, got);
    CloseHandle(file);
    return data;
}

void writeFile(const char* name, const Bytes& data) {
    HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(file);
}

std::string narrow(BSTR text) {
    char out[1024] = "";
    if (text) WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, nullptr);
    return out;
}

// Every call that reaches the recording player, in order ("name" or "name argument").
struct CallLog {
    std::vector<std::string> calls;
    HRESULT add(const std::string& call) {
        calls.push_back(call);
        return S_OK;
    }
};

// Methods this program must never call log their own name, so a vtable slip shows.
#define LOGGED0(name)                           \
    HRESULT STDMETHODCALLTYPE name() override { \
        return log.add(#name);                  \
    }
#define LOGGED1(name, T)                         \
    HRESULT STDMETHODCALLTYPE name(T) override { \
        return log.add(#name);                   \
    }
#define LOGGED2(name, T, U)                         \
    HRESULT STDMETHODCALLTYPE name(T, U) override { \
        return log.add(#name);                      \
    }
#define DISPATCH_AND_REFS                                                                                             \
    ULONG STDMETHODCALLTYPE AddRef() override {                                                                       \
        return ++refs;                                                                                                \
    }                                                                                                                 \
    ULONG STDMETHODCALLTYPE Release() override {                                                                      \
        return --refs;                                                                                                \
    }                                                                                                                 \
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override {                                                      \
        return log.add("GetTypeInfoCount");                                                                           \
    }                                                                                                                 \
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override {                                         \
        return log.add("GetTypeInfo");                                                                                \
    }                                                                                                                 \
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {                        \
        return log.add("GetIDsOfNames");                                                                              \
    }                                                                                                                 \
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { \
        return log.add("Invoke");                                                                                     \
    }

struct RecordingControls : public ::IWMPControls {
    CallLog& log;
    long refs = 0;
    explicit RecordingControls(CallLog& l) : log(l) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    DISPATCH_AND_REFS
    LOGGED2(get_isAvailable, BSTR, VARIANT_BOOL*)
    LOGGED0(play)
    LOGGED0(stop)
    LOGGED0(pause)
    LOGGED0(fastForward)
    LOGGED0(fastReverse)
    LOGGED1(get_currentPosition, double*)
    LOGGED1(put_currentPosition, double)
    LOGGED1(get_currentPositionString, BSTR*)
    LOGGED0(next)
    LOGGED0(previous)
    LOGGED1(currentItem, IWMPMedia**)
    LOGGED1(put_currentItem, IWMPMedia*)
    LOGGED1(get_currentMarker, LONG*)
    LOGGED1(put_currentMarker, LONG)
    LOGGED1(playItem, IWMPMedia*)
};

struct RecordingPlayer : public ::IWMPPlayer {
    CallLog& log;
    RecordingControls& controls;
    long refs = 1;  // the reference the creation hands out
    RecordingPlayer(CallLog& l, RecordingControls& c) : log(l), controls(c) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    DISPATCH_AND_REFS
    LOGGED0(close)
    LOGGED1(get_URL, BSTR*)
    HRESULT STDMETHODCALLTYPE put_URL(BSTR url) override { return log.add("put_URL " + narrow(url)); }
    LOGGED1(get_openState, WMPOpenState*)
    LOGGED1(get_playState, WMPPlayState*)
    HRESULT STDMETHODCALLTYPE get_controls(::IWMPControls** out) override {
        controls.AddRef();
        *out = &controls;
        return log.add("get_controls");
    }
    LOGGED1(get_settings, IWMPSettings**)
    LOGGED1(get_currentMedia, IWMPMedia**)
    LOGGED1(put_currentMedia, IWMPMedia*)
    LOGGED1(get_mediaCollection, IWMPMediaCollection**)
    LOGGED1(get_playlistCollection, IWMPPlaylistCollection**)
    LOGGED1(get_versionInfo, BSTR*)
    LOGGED1(launchURL, BSTR)
    LOGGED1(get_network, IWMPNetwork**)
    LOGGED1(get_currentPlaylist, IWMPPlaylist**)
    LOGGED1(put_currentPlaylist, IWMPPlaylist*)
    LOGGED1(get_cdromCollection, IWMPCdromCollection**)
    LOGGED1(get_closedCaption, IWMPClosedCaption**)
    LOGGED1(get_isOnline, VARIANT_BOOL*)
    LOGGED1(get_Error, IWMPError**)
    LOGGED1(get_status, BSTR*)
    LOGGED1(get_enabled, VARIANT_BOOL*)
    LOGGED1(put_enabled, VARIANT_BOOL)
    LOGGED1(get_fullScreen, VARIANT_BOOL*)
    LOGGED1(put_fullScreen, VARIANT_BOOL)
    LOGGED1(get_enableContextMenu, VARIANT_BOOL*)
    LOGGED1(put_enableContextMenu, VARIANT_BOOL)
    HRESULT STDMETHODCALLTYPE put_uiMode(BSTR mode) override { return log.add("put_uiMode " + narrow(mode)); }
    LOGGED1(get_uiMode, BSTR*)
};

// Dismisses every message box of this process while it lives and keeps
// "caption|text" of each, so a box never blocks a test and an unexpected
// one is seen.
class BoxWatcher {
public:
    BoxWatcher() : thread_([this] { run(); }) {}
    ~BoxWatcher() { stop(); }
    std::vector<std::string> stop() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
        return seen_;
    }

private:
    static BOOL CALLBACK visit(HWND window, LPARAM data) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char cls[64] = "";
        GetClassNameA(window, cls, sizeof cls);
        if (process != GetCurrentProcessId() || lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
        BoxWatcher* self = reinterpret_cast<BoxWatcher*>(data);
        char caption[256] = "", text[512] = "";
        GetWindowTextA(window, caption, sizeof caption);
        GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
        if (std::find(self->handled_.begin(), self->handled_.end(), window) == self->handled_.end()) {
            self->handled_.push_back(window);
            self->seen_.push_back(std::string(caption) + "|" + text);
        }
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    void run() {
        while (!done_) {
            EnumWindows(visit, reinterpret_cast<LPARAM>(this));
            Sleep(20);
        }
    }
    std::atomic<bool> done_{false};
    std::vector<HWND> handled_;
    std::vector<std::string> seen_;
    std::thread thread_;
};

const std::string missingBox = "Information|WindowMediaplayer non d\xE9tect\xE9.";

// Each test runs in a fresh empty current directory, since clip files are
// written there.
class MediaTest : public ::testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryA(sizeof previous_, previous_);
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        static int counter = 0;
        wsprintfA(folder_, "%svetra-media-%lu-%d", temp, GetCurrentProcessId(), ++counter);
        ASSERT_TRUE(CreateDirectoryA(folder_, nullptr));
        ASSERT_TRUE(SetCurrentDirectoryA(folder_));
        quiz_ = new Quiz;
        initQuizValues(*quiz_);
        quiz_->kind = kindAudio;
        sheet_ = CreateWindowExA(0, "Static", "sheet", WS_OVERLAPPED, 0, 0, 300, 200, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(sheet_, nullptr);
    }
    void TearDown() override {
        releaseMedia(quiz_, sheet_);  // also resets the media state for the next test
        if (IsWindow(sheet_)) DestroyWindow(sheet_);
        delete quiz_;
        SetCurrentDirectoryA(previous_);
        removeTree(folder_);
    }
    static void removeTree(const char* path) {
        char pattern[MAX_PATH + 4];
        wsprintfA(pattern, "%s\\*", path);
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA(pattern, &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (lstrcmpA(entry.cFileName, ".") == 0 || lstrcmpA(entry.cFileName, "..") == 0) continue;
                char inner[MAX_PATH * 2];
                wsprintfA(inner, "%s\\%s", path, entry.cFileName);
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    removeTree(inner);
                else
                    DeleteFileA(inner);
            } while (FindNextFileA(search, &entry));
            FindClose(search);
        }
        RemoveDirectoryA(path);
    }
    std::vector<std::string> files() {
        std::vector<std::string> names;
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA("vetra*", &entry);
        if (search == INVALID_HANDLE_VALUE) return names;
        do names.push_back(entry.cFileName);
        while (FindNextFileA(search, &entry));
        FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }
    using Names = std::vector<std::string>;
    char previous_[MAX_PATH] = "";
    char folder_[MAX_PATH] = "";
    Quiz* quiz_ = nullptr;
    HWND sheet_ = nullptr;
};

// ---------------------------------------------------------------------------
// The interface declarations

TEST(MediaInterfaces, IdentifiersMatchTheSdk) {
    EXPECT_TRUE(IsEqualGUID(wmp::IID_IWMPPlayer, __uuidof(::IWMPPlayer)));
    const GUID sdkClass = {0x6bf52a52, 0x394a, 0x11d3, {0xb1, 0x53, 0x00, 0xc0, 0x4f, 0x79, 0xfa, 0xa6}};
    EXPECT_TRUE(IsEqualGUID(wmp::CLSID_WindowsMediaPlayer, sdkClass));
}

TEST(MediaInterfaces, EverySlotReachesTheSdkMethodOfTheSameName) {
    CallLog log;
    RecordingControls sdkControls(log);
    RecordingPlayer sdkPlayer(log, sdkControls);
    // Ours, laid over the SDK's objects the way COM hands out pointers.
    auto* p = reinterpret_cast<wmp::IWMPPlayer*>(static_cast<::IWMPPlayer*>(&sdkPlayer));
    auto* c = reinterpret_cast<wmp::IWMPControls*>(static_cast<::IWMPControls*>(&sdkControls));
    BSTR url = SysAllocString(L"x");
    const struct {
        const char* expected;
        std::function<void()> call;
    } rows[] = {
        {"close", [&] { p->close(); }},
        {"get_URL", [&] { p->get_URL(nullptr); }},
        {"put_URL x", [&] { p->put_URL(url); }},
        {"get_openState", [&] { p->get_openState(nullptr); }},
        {"get_playState", [&] { p->get_playState(nullptr); }},
        {"get_settings", [&] { p->get_settings(nullptr); }},
        {"get_currentMedia", [&] { p->get_currentMedia(nullptr); }},
        {"put_currentMedia", [&] { p->put_currentMedia(nullptr); }},
        {"get_mediaCollection", [&] { p->get_mediaCollection(nullptr); }},
        {"get_playlistCollection", [&] { p->get_playlistCollection(nullptr); }},
        {"get_versionInfo", [&] { p->get_versionInfo(nullptr); }},
        {"launchURL", [&] { p->launchURL(nullptr); }},
        {"get_network", [&] { p->get_network(nullptr); }},
        {"get_currentPlaylist", [&] { p->get_currentPlaylist(nullptr); }},
        {"put_currentPlaylist", [&] { p->put_currentPlaylist(nullptr); }},
        {"get_cdromCollection", [&] { p->get_cdromCollection(nullptr); }},
        {"get_closedCaption", [&] { p->get_closedCaption(nullptr); }},
        {"get_isOnline", [&] { p->get_isOnline(nullptr); }},
        {"get_Error", [&] { p->get_error(nullptr); }},
        {"get_status", [&] { p->get_status(nullptr); }},
        {"get_enabled", [&] { p->get_enabled(nullptr); }},
        {"put_enabled", [&] { p->put_enabled(VARIANT_TRUE); }},
        {"get_fullScreen", [&] { p->get_fullScreen(nullptr); }},
        {"put_fullScreen", [&] { p->put_fullScreen(VARIANT_TRUE); }},
        {"get_enableContextMenu", [&] { p->get_enableContextMenu(nullptr); }},
        {"put_enableContextMenu", [&] { p->put_enableContextMenu(VARIANT_TRUE); }},
        {"put_uiMode x", [&] { p->put_uiMode(url); }},
        {"get_uiMode", [&] { p->get_uiMode(nullptr); }},
        {"get_isAvailable", [&] { c->get_isAvailable(nullptr, nullptr); }},
        {"play", [&] { c->play(); }},
        {"stop", [&] { c->stop(); }},
        {"pause", [&] { c->pause(); }},
        {"fastForward", [&] { c->fastForward(); }},
        {"fastReverse", [&] { c->fastReverse(); }},
        {"get_currentPosition", [&] { c->get_currentPosition(nullptr); }},
        {"put_currentPosition", [&] { c->put_currentPosition(1.0); }},
        {"get_currentPositionString", [&] { c->get_currentPositionString(nullptr); }},
        {"next", [&] { c->next(); }},
        {"previous", [&] { c->previous(); }},
        {"currentItem", [&] { c->get_currentItem(nullptr); }},
        {"put_currentItem", [&] { c->put_currentItem(nullptr); }},
        {"get_currentMarker", [&] { c->get_currentMarker(nullptr); }},
        {"put_currentMarker", [&] { c->put_currentMarker(1); }},
        {"playItem", [&] { c->playItem(nullptr); }},
    };
    for (const auto& row : rows) {
        log.calls.clear();
        row.call();
        ASSERT_EQ(log.calls.size(), 1u) << row.expected;
        EXPECT_EQ(log.calls[0], row.expected);
    }
    wmp::IWMPControls* fromPlayer = nullptr;
    log.calls.clear();
    p->get_controls(&fromPlayer);
    EXPECT_EQ(log.calls, std::vector<std::string>{"get_controls"});
    EXPECT_EQ(static_cast<void*>(fromPlayer), static_cast<void*>(c));
    SysFreeString(url);
}

// ---------------------------------------------------------------------------
// Clip files

TEST_F(MediaTest, ClipFileNamesFollowTheKindAndThePrefix) {
    const struct {
        const char* prefix;
        int clip, type, size;
        const char* expected;
    } rows[] = {
        {"", 1, 1, 64, "vetra1.mp3"}, {"", 96, 2, 64, "vetra96.avi"}, {"C:\\q\\", 5, 1, 64, "C:\\q\\vetra5.mp3"},
        {"", 0, 1, 64, "vetra0.mp3"}, {"", 12, 1, 8, "vetra12"},  // cut to the buffer, always terminated
    };
    for (const auto& row : rows) {
        copyText(quiz_->mediaPrefix, mediaPrefixSize, row.prefix);
        char name[64];
        clipFileName(quiz_, row.clip, row.type, name, row.size);
        EXPECT_STREQ(name, row.expected) << row.prefix << row.clip;
    }
    std::string longPrefix(mediaPrefixSize - 1, 'p');
    copyText(quiz_->mediaPrefix, mediaPrefixSize, longPrefix.c_str());
    char name[mediaPrefixSize + 32];
    clipFileName(quiz_, 96, 2, name, sizeof name);
    EXPECT_EQ(std::string(name), longPrefix + "vetra96.avi");
}

TEST_F(MediaTest, WriteClipFileWritesTheResourceBytesExactly) {
    BoxWatcher boxes;
    const struct {
        int resource, type;
        const char* file;
        Bytes bytes;
    } rows[] = {
        {491, 1, "vetra91.mp3", clip91()}, {492, 2, "vetra92.avi", clip92()}, {491, 2, "vetra91.avi", clip91()}};
    for (const auto& row : rows) {
        EXPECT_EQ(writeClipFile(quiz_, row.resource, row.type), 1) << row.file;
        EXPECT_TRUE(readFile(row.file) == row.bytes) << row.file;
    }
    writeFile("vetra92.mp3", Bytes(9000, 'x'));  // a longer stale file is replaced, not overlaid
    EXPECT_EQ(writeClipFile(quiz_, 492, 1), 1);
    EXPECT_TRUE(readFile("vetra92.mp3") == clip92());

    CreateDirectoryA("sub", nullptr);
    copyText(quiz_->mediaPrefix, mediaPrefixSize, "sub\\");
    EXPECT_EQ(writeClipFile(quiz_, 491, 1), 1);
    EXPECT_TRUE(readFile("sub\\vetra91.mp3") == clip91());
    EXPECT_EQ(boxes.stop(), Names{});
}

TEST_F(MediaTest, WriteClipFileGivesZeroForAnAbsentClipOrAnUnwritableFile) {
    BoxWatcher boxes;
    EXPECT_EQ(writeClipFile(quiz_, 490, 1), 0);
    EXPECT_EQ(writeClipFile(quiz_, 400, 2), 0);
    EXPECT_EQ(files(), Names{});
    // A directory of the clip's name: the file cannot be created.
    ASSERT_TRUE(CreateDirectoryA("vetra91.mp3", nullptr));
    EXPECT_EQ(writeClipFile(quiz_, 491, 1), 0);
    EXPECT_FALSE(fileExists("vetra91.mp3"));
    // A prefix into a folder that does not exist.
    copyText(quiz_->mediaPrefix, mediaPrefixSize, "nowhere\\");
    EXPECT_EQ(writeClipFile(quiz_, 492, 1), 0);
    EXPECT_EQ(boxes.stop(), Names{});
}

// ---------------------------------------------------------------------------
// Play and stop with a recording player

class MediaPlayerTest : public MediaTest {
protected:
    static HRESULT createRecorded(void** out) {
        if (!current_) return REGDB_E_CLASSNOTREG;
        *out = static_cast<::IWMPPlayer*>(current_);
        return S_OK;
    }
    static HRESULT WINAPI attachRecorded(IUnknown* control, HWND host, IUnknown** container) {
        attached_.push_back({control, host});
        if (container) *container = nullptr;
        return S_OK;
    }
    static void openRecorded(HWND owner, const char* file) {
        opened_.push_back({owner, std::string(file) + (fileExists(file) ? "" : " (absent)")});
    }
    void setUpWith(bool available, bool attachable = true) {
        current_ = available ? &player_ : nullptr;
        attached_.clear();
        opened_.clear();
        const PlayerPlatform platform = {createRecorded, attachable ? attachRecorded : nullptr, openRecorded};
        BoxWatcher boxes;
        setUpPlayerWith(quiz_, sheet_, platform);
        boxesAtSetUp_ = boxes.stop();
    }
    void press(int id) {
        log_.calls.clear();
        onMediaCommand(quiz_, sheet_, id);
    }
    void TearDown() override {
        MediaTest::TearDown();
        current_ = nullptr;
    }
    using Calls = std::vector<std::string>;
    CallLog log_;
    RecordingControls controls_{log_};
    RecordingPlayer player_{log_, controls_};
    Names boxesAtSetUp_;
    static inline RecordingPlayer* current_ = nullptr;
    static inline std::vector<std::pair<IUnknown*, HWND>> attached_;
    static inline std::vector<std::pair<HWND, std::string>> opened_;
};

TEST_F(MediaPlayerTest, SetUpHostsThePlayerOnTheSheet) {
    setUpWith(true);
    HWND host = GetDlgItem(sheet_, 9900);
    ASSERT_NE(host, nullptr);
    char cls[32];
    GetClassNameA(host, cls, sizeof cls);
    EXPECT_EQ(lstrcmpiA(cls, "Static"), 0);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(host, GWL_STYLE));
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_BORDER), static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_BORDER));
    RECT r;
    GetWindowRect(host, &r);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);
    EXPECT_EQ(boxesAtSetUp_, Names{});
    EXPECT_FALSE(playerIsMissing());
    ASSERT_EQ(attached_.size(), 1u);
    EXPECT_EQ(attached_[0].first, static_cast<IUnknown*>(static_cast<::IWMPPlayer*>(&player_)));
    EXPECT_EQ(attached_[0].second, host);
    EXPECT_EQ(log_.calls, (Calls{"get_controls", "put_uiMode none"}));
    HINSTANCE self = GetModuleHandleA(nullptr);
    EXPECT_EQ(playIcon(), LoadIconA(self, MAKEINTRESOURCEA(IDI_PLAY)));
    EXPECT_EQ(stopIcon(), LoadIconA(self, MAKEINTRESOURCEA(IDI_STOP)));
    EXPECT_NE(playIcon(), stopIcon());
}

TEST_F(MediaPlayerTest, PlayingAnotherClipStopsAndRemovesThePreviousOne) {
    setUpWith(true);
    press(6091);
    EXPECT_EQ(log_.calls, (Calls{"stop", "put_URL vetra91.mp3", "play"}));
    EXPECT_TRUE(readFile("vetra91.mp3") == clip91());
    EXPECT_EQ(currentClipNumber(), 91);
    press(6092);
    EXPECT_EQ(log_.calls, (Calls{"stop", "put_URL vetra92.mp3", "play"}));
    EXPECT_EQ(files(), Names{"vetra92.mp3"});
    EXPECT_TRUE(readFile("vetra92.mp3") == clip92());
    press(7005);  // any stop button acts on the clip started last
    EXPECT_EQ(log_.calls, Calls{"stop"});
    EXPECT_EQ(files(), Names{});
    EXPECT_TRUE(opened_.empty());
}

TEST_F(MediaPlayerTest, VideoClipsAreAviFiles) {
    quiz_->kind = kindVideo;
    setUpWith(true);
    press(6092);
    EXPECT_EQ(log_.calls, (Calls{"stop", "put_URL vetra92.avi", "play"}));
    EXPECT_EQ(files(), Names{"vetra92.avi"});
    press(7092);
    EXPECT_EQ(files(), Names{});
}

TEST_F(MediaPlayerTest, StopBeforeAnyPlayOnlyStopsThePlayer) {
    setUpWith(true);
    writeFile("vetra1.mp3", "other");
    press(7001);
    EXPECT_EQ(log_.calls, Calls{"stop"});
    EXPECT_EQ(currentClipNumber(), 0);
    EXPECT_EQ(files(), Names{"vetra1.mp3"});
}

TEST_F(MediaPlayerTest, IdentifiersOutsideTheButtonsAreIgnored) {
    setUpWith(true);
    press(6091);
    for (int id : {6097, 7097, 6000, 7000, 5091, 8091, 9900, 0, -6091}) {
        press(id);
        EXPECT_EQ(log_.calls, Calls{}) << id;
        EXPECT_EQ(currentClipNumber(), 91) << id;
    }
    EXPECT_EQ(files(), Names{"vetra91.mp3"});
}

TEST_F(MediaPlayerTest, AClipThatCannotBeWrittenIsNotPlayed) {
    setUpWith(true);
    press(6091);
    press(6090);  // no IMG 490
    EXPECT_EQ(log_.calls, Calls{"stop"});
    EXPECT_EQ(currentClipNumber(), 90);
    EXPECT_EQ(files(), Names{});
    ASSERT_TRUE(CreateDirectoryA("vetra92.mp3", nullptr));
    press(6092);
    EXPECT_EQ(log_.calls, Calls{"stop"});
}

TEST_F(MediaPlayerTest, WithoutThePlayerClipsGoToTheShellAndStopDoesNothing) {
    setUpWith(false);
    EXPECT_EQ(boxesAtSetUp_, Names{missingBox});
    EXPECT_TRUE(playerIsMissing());
    EXPECT_NE(GetDlgItem(sheet_, 9900), nullptr);  // the host is made all the same
    press(6091);
    press(7091);
    EXPECT_EQ(files(), Names{"vetra91.mp3"});
    press(6092);
    EXPECT_EQ(files(), Names{"vetra92.mp3"});
    press(7092);
    EXPECT_EQ(files(), Names{"vetra92.mp3"});
    ASSERT_EQ(opened_.size(), 2u);
    EXPECT_EQ(opened_[0], std::make_pair(sheet_, std::string("vetra91.mp3")));
    EXPECT_EQ(opened_[1], std::make_pair(sheet_, std::string("vetra92.mp3")));
    ASSERT_TRUE(CreateDirectoryA("vetra91.mp3", nullptr));
    press(6091);
    EXPECT_EQ(opened_.size(), 2u);  // nothing to open when the clip could not be written
    EXPECT_EQ(log_.calls, Calls{});
}

TEST_F(MediaPlayerTest, APlayerThatCannotBeAttachedCountsAsMissing) {
    setUpWith(true, false);
    EXPECT_EQ(boxesAtSetUp_, Names{missingBox});
    EXPECT_TRUE(playerIsMissing());
    EXPECT_EQ(player_.refs, 0);
    press(6091);
    EXPECT_EQ(log_.calls, Calls{});
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0].second, "vetra91.mp3");
}

TEST_F(MediaPlayerTest, ReleaseRemovesEveryClipDestroysTheWindowAndLetsGoOfThePlayer) {
    setUpWith(true);
    EXPECT_EQ(player_.refs, 1);
    EXPECT_EQ(controls_.refs, 1);
    for (const char* name : {"vetra1.mp3", "vetra50.mp3", "vetra96.mp3", "vetra97.mp3", "vetra1.avi"})
        writeFile(name, "x");
    releaseMedia(quiz_, sheet_);
    EXPECT_EQ(files(), (Names{"vetra1.avi", "vetra97.mp3"}));
    EXPECT_FALSE(IsWindow(sheet_));
    EXPECT_EQ(player_.refs, 0);
    EXPECT_EQ(controls_.refs, 0);
}

// A long session of clips: each cycle writes a clip file, hands its name to
// the player and removes the file again. Nothing of it may stay behind: no
// GDI or USER object, no reference on the player.
TEST_F(MediaPlayerTest, TwoHundredPlayAndStopCyclesLeaveNothingBehind) {
    setUpWith(true);
    int unexpectedCalls = 0;
    auto cycle = [&](int i) {
        const int clip = 91 + i % 2;
        press(6000 + clip);
        const std::string url = "put_URL vetra" + std::to_string(clip) + ".mp3";
        if (log_.calls != Calls{"stop", url, "play"}) ++unexpectedCalls;
        press(7000 + clip);
        if (log_.calls != Calls{"stop"}) ++unexpectedCalls;
    };
    for (int i = 0; i < 5; ++i) cycle(i);
    const long gdi = guiObjects::gdiCount(), user = guiObjects::userCount();
    ASSERT_GE(gdi, 1) << "no way to count GDI objects";
    for (int i = 0; i < 200; ++i) cycle(i);
    EXPECT_EQ(unexpectedCalls, 0);
    EXPECT_EQ(guiObjects::gdiCount(), gdi);
    EXPECT_EQ(guiObjects::userCount(), user);
    EXPECT_EQ(files(), Names{});
    EXPECT_EQ(player_.refs, 1);
    EXPECT_EQ(controls_.refs, 1);
    std::printf("[ figures  ] 200 play and stop cycles: GDI %ld -> %ld, USER %ld -> %ld (%s)\n", gdi,
                guiObjects::gdiCount(), user, guiObjects::userCount(), guiObjects::measure().c_str());
}

TEST_F(MediaPlayerTest, TextAndPictureQuizzesHaveNoMedia) {
    for (int kind : {kindText, kindPictures}) {
        quiz_->kind = kind;
        setUpWith(true);
        EXPECT_EQ(GetDlgItem(sheet_, 9900), nullptr) << kind;
        EXPECT_EQ(playIcon(), nullptr) << kind;
        EXPECT_TRUE(attached_.empty()) << kind;
        writeFile("vetra1.mp3", "x");
        press(6091);
        press(7001);
        EXPECT_EQ(log_.calls, Calls{}) << kind;
        releaseMedia(quiz_, sheet_);
        EXPECT_TRUE(IsWindow(sheet_)) << kind;
        EXPECT_EQ(files(), Names{"vetra1.mp3"}) << kind;
    }
}

// ---------------------------------------------------------------------------
// The real control. Wine 8 ships wmp.dll and atl.dll: the control is created,
// attached and driven. Its play crashes on a clip it cannot render (a null
// media control in Wine 8's failure path; no sound device counts), so this
// plays a real uncompressed video, which needs neither codec nor sound. A
// Windows without the Media Player (N editions) takes the missing-player path.

Bytes resourceBytes(int id) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), "IMG");
    if (!found) return "<absent>";
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    return Bytes(bytes, SizeofResource(nullptr, found));
}

TEST_F(MediaTest, TheRealControlIsCreatedAttachedAndDriven) {
    quiz_->kind = kindVideo;
    prepareMediaHosting(quiz_);
    BoxWatcher boxes;
    setUpPlayer(quiz_, sheet_);
    EXPECT_TRUE(playerIsPresent());
    EXPECT_FALSE(playerIsMissing());
    onMediaCommand(quiz_, sheet_, 6093);
    EXPECT_EQ(files(), Names{"vetra93.avi"});
    EXPECT_TRUE(readFile("vetra93.avi") == resourceBytes(493));
    onMediaCommand(quiz_, sheet_, 7093);
    EXPECT_EQ(files(), Names{});  // the control let go of the file when stopped
    EXPECT_EQ(boxes.stop(), Names{});
}

}  // namespace
