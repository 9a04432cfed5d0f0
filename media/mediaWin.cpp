// Media playback: the play button writes its clip to a file in the current
// directory and hands it to the Windows Media Player control hosted on the
// sheet, or, without the control, to the file's own program.
#include "media/mediaWin.h"

#include <shellapi.h>

#include "media/mediaSeamsWin.h"
#include "media/wmpInterfacesWin.h"
#include "resources/resource.h"

namespace {

constexpr int clipNameSize = mediaPrefixSize + 32;
constexpr int urlCharacters = 512;

using AttachControlFn = HRESULT(WINAPI*)(IUnknown*, HWND, IUnknown**);

// Process-wide state, alive from start-up (or the sheet build) to teardown.
HMODULE atlModule = nullptr;
AttachControlFn atlAxAttachControl = nullptr;
bool comInitialised = false;
wmp::IWMPPlayer* player = nullptr;
wmp::IWMPControls* playerControls = nullptr;
int playerMissing = 0;
HWND playerHost = nullptr;
int currentClip = 0;
HICON playIconHandle = nullptr;
HICON stopIconHandle = nullptr;
void (*openWithShell)(HWND, const char*) = nullptr;

bool isMediaKind(const Quiz* quiz) {
    return quiz && (quiz->kind == kindAudio || quiz->kind == kindVideo);
}

// The quiz kind minus one: 1 audio, 2 video.
int clipType(const Quiz* quiz) {
    return quiz->kind - 1;
}

HRESULT createRealPlayer(void** created) {
    return CoCreateInstance(wmp::CLSID_WindowsMediaPlayer, nullptr, 7, wmp::IID_IWMPPlayer, created);
}

void shellOpenHidden(HWND owner, const char* file) {
    ShellExecuteA(owner, "open", file, nullptr, nullptr, SW_HIDE);
}

// The control takes strings as BSTRs; a name that does not fit is not passed at all.
BSTR toBstr(const char* text) {
    WCHAR wide[urlCharacters];
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, urlCharacters) == 0) return nullptr;
    return SysAllocString(wide);
}

void sayPlayerMissing(HWND sheet) {
    MessageBoxA(sheet,
                "WindowMediaplayer non d\xE9"
                "tect\xE9.",
                "Information", MB_OK);
}

void deleteClipFile(const Quiz* quiz, int clip) {
    char name[clipNameSize];
    clipFileName(quiz, clip, clipType(quiz), name, sizeof name);
    DeleteFileA(name);
}

// The player gets the clip's name and plays it on its own threads.
void handToPlayer(const char* name) {
    BSTR url = toBstr(name);
    if (!url) return;
    if (player) player->put_URL(url);
    SysFreeString(url);
    if (playerControls) playerControls->play();
}

// Starting a clip stops and removes the previous one, so that at most one
// clip file exists while the player is present.
void onPlay(const Quiz* quiz, HWND sheet, int clip) {
    if (!playerMissing && playerControls) playerControls->stop();
    if (currentClip != 0) deleteClipFile(quiz, currentClip);
    currentClip = clip;
    if (!writeClipFile(quiz, pictureResourceIdBase + clip, clipType(quiz))) return;
    char name[clipNameSize];
    clipFileName(quiz, clip, clipType(quiz), name, sizeof name);
    if (playerMissing) {
        if (openWithShell) openWithShell(sheet, name);
    } else {
        handToPlayer(name);
    }
}

// A clip opened through the shell is out of reach, so stop only acts on the player.
void onStop(const Quiz* quiz) {
    if (playerMissing || !playerControls) return;
    playerControls->stop();
    deleteClipFile(quiz, currentClip);
}

void releasePlayer() {
    if (playerControls) playerControls->Release();
    if (player) player->Release();
    playerControls = nullptr;
    player = nullptr;
}

void attachPlayer(HWND sheet, AttachControlFn attach) {
    if (!attach) {
        // Without the hosting function the control cannot be shown or
        // driven properly: treat it as missing, like a failed creation.
        releasePlayer();
        playerMissing = 1;
        sayPlayerMissing(sheet);
        return;
    }
    attach(player, playerHost, nullptr);
    player->get_controls(&playerControls);
    BSTR mode = SysAllocString(L"none");
    player->put_uiMode(mode);
    SysFreeString(mode);
}

}  // namespace

void clipFileName(const Quiz* quiz, int clip, int type, char* name, int size) {
    // wsprintfA writes at most 1024 bytes and knows no buffer size; go
    // through a buffer of that size and copy what fits.
    char formatted[1025];
    wsprintfA(formatted, type == 1 ? "%svetra%d.mp3" : "%svetra%d.avi", quiz->mediaPrefix, clip);
    lstrcpynA(name, formatted, size);
}

int writeClipFile(const Quiz* quiz, int resourceId, int type) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(resourceId), "img");
    if (!found) return 0;
    const DWORD size = SizeofResource(nullptr, found);
    HGLOBAL loaded = LoadResource(nullptr, found);
    if (!loaded) {
        MessageBoxA(
            nullptr,
            type == 1 ? "Impossible de charger le fichier audio." : "Impossible de charger le fichier vid\xE9o.",
            "Information", MB_OK);
        return 0;
    }
    const void* bytes = LockResource(loaded);
    if (!bytes) return 0;

    char name[clipNameSize];
    clipFileName(quiz, resourceId - pictureResourceIdBase, type, name, sizeof name);
    HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, bytes, size, &written, nullptr);
    CloseHandle(file);
    FreeResource(loaded);
    // A cut clip would only make the player fail later; leave nothing behind.
    if (!wrote || written != size) {
        DeleteFileA(name);
        return 0;
    }
    return 1;
}

void prepareMediaHosting(Quiz* quiz) {
    if (!isMediaKind(quiz)) return;
    atlModule = LoadLibraryA("atl.dll");
    // Without atl.dll COM stays uninitialised: the player creation then
    // fails at the sheet build and the clips go through the shell.
    if (!atlModule) return;
    atlAxAttachControl =
        reinterpret_cast<AttachControlFn>(reinterpret_cast<void*>(GetProcAddress(atlModule, "AtlAxAttachControl")));
    comInitialised = SUCCEEDED(CoInitialize(nullptr));
}

void setUpPlayerWith(Quiz* quiz, HWND sheet, const PlayerPlatform& platform) {
    if (!isMediaKind(quiz)) return;
    HINSTANCE self = GetModuleHandleA(nullptr);
    playIconHandle = LoadIconA(self, MAKEINTRESOURCEA(IDI_PLAY));
    stopIconHandle = LoadIconA(self, MAKEINTRESOURCEA(IDI_STOP));
    // Never moved or resized: the control gets a window but shows nothing.
    playerHost = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 0, 0, sheet,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(playerHostId)), self, nullptr);
    openWithShell = platform.openWithShell;

    void* created = nullptr;
    const HRESULT result = platform.createPlayer ? platform.createPlayer(&created) : E_FAIL;
    if (FAILED(result) || !created) {
        player = nullptr;
        playerMissing = 1;
        sayPlayerMissing(sheet);
        return;
    }
    player = static_cast<wmp::IWMPPlayer*>(created);
    playerMissing = 0;
    attachPlayer(sheet, platform.attachControl);
}

void setUpPlayer(Quiz* quiz, HWND sheet) {
    const PlayerPlatform real = {createRealPlayer, atlAxAttachControl, shellOpenHidden};
    setUpPlayerWith(quiz, sheet, real);
}

HICON playIcon() {
    return playIconHandle;
}
HICON stopIcon() {
    return stopIconHandle;
}

void onMediaCommand(Quiz* quiz, HWND sheet, int controlId) {
    if (!isMediaKind(quiz)) return;
    if (controlId > playButtonIdBase && controlId <= playButtonIdBase + lastMediaClip) {
        onPlay(quiz, sheet, controlId - playButtonIdBase);
    } else if (controlId > stopButtonIdBase && controlId <= stopButtonIdBase + lastMediaClip) {
        onStop(quiz);
    }
}

void releaseMedia(Quiz* quiz, HWND mainWindow) {
    if (!isMediaKind(quiz)) return;
    for (int clip = 1; clip <= lastMediaClip; ++clip) {
        char name[32];
        wsprintfA(name, quiz->kind == kindAudio ? "vetra%d.mp3" : "vetra%d.avi", clip);
        DeleteFileA(name);
    }
    DestroyWindow(mainWindow);
    releasePlayer();
    // Balanced with start-up only: COM and atl.dll are released when this
    // program took them.
    if (comInitialised) CoUninitialize();
    if (atlModule) FreeLibrary(atlModule);
    comInitialised = false;
    atlModule = nullptr;
    atlAxAttachControl = nullptr;
    playerMissing = 0;
    playerHost = nullptr;
    currentClip = 0;
    playIconHandle = stopIconHandle = nullptr;
    openWithShell = nullptr;
}

int currentClipNumber() {
    return currentClip;
}
bool playerIsMissing() {
    return playerMissing != 0;
}
bool playerIsPresent() {
    return player != nullptr;
}
