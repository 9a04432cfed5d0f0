#include "tools/quizpack/packerWin.h"

#include <cstring>

#include "authoring/messages.h"

namespace {

// ---- Resources ---------------------------------------------------------------

const char* const patchType = "PATCH";
const char* const imgType = "IMG";

// A resource type or name: an integer id or a string.
struct ResourceName {
    bool isId = true;
    WORD id = 0;
    std::string text;

    static ResourceName of(LPCSTR name) {
        ResourceName out;
        if (IS_INTRESOURCE(name)) {
            out.id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
        } else {
            out.isId = false;
            out.text = name;
        }
        return out;
    }
    LPCSTR get() const { return isId ? MAKEINTRESOURCEA(id) : text.c_str(); }
};

struct ModuleResource {
    ResourceName type;
    ResourceName name;
    WORD language;
    std::vector<uint8_t> data;
};

bool resourceKindOf(const ResourceName& type, ResourceKind& kind) {
    if (type.isId) {
        if (type.id != reinterpret_cast<ULONG_PTR>(RT_RCDATA)) return false;
        kind = ResourceKind::rcdata;
        return true;
    }
    if (lstrcmpiA(type.text.c_str(), patchType) == 0) {
        kind = ResourceKind::patch;
        return true;
    }
    if (lstrcmpiA(type.text.c_str(), imgType) == 0) {
        kind = ResourceKind::img;
        return true;
    }
    return false;
}

LPCSTR typeOf(ResourceKind kind) {
    switch (kind) {
        case ResourceKind::patch: return patchType;
        case ResourceKind::img: return imgType;
        case ResourceKind::rcdata: break;
    }
    return RT_RCDATA;
}

struct Enumeration {
    HMODULE module;
    std::vector<ModuleResource>* out;
    ResourceName type;
    ResourceName name;
    bool failed;
};

BOOL CALLBACK onLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD language, LONG_PTR data) {
    Enumeration* e = reinterpret_cast<Enumeration*>(data);
    HRSRC found = FindResourceExA(module, type, name, language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    if (!bytes && size) {
        e->failed = true;
        return FALSE;
    }
    const uint8_t* begin = static_cast<const uint8_t*>(bytes);
    e->out->push_back({e->type, e->name, language, std::vector<uint8_t>(begin, begin + size)});
    return TRUE;
}

BOOL CALLBACK onName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR data) {
    Enumeration* e = reinterpret_cast<Enumeration*>(data);
    e->name = ResourceName::of(name);
    EnumResourceLanguagesA(module, type, name, onLanguage, data);
    return !e->failed;
}

BOOL CALLBACK onType(HMODULE module, LPSTR type, LONG_PTR data) {
    Enumeration* e = reinterpret_cast<Enumeration*>(data);
    e->type = ResourceName::of(type);
    EnumResourceNamesA(module, type, onName, data);
    return !e->failed;
}

// Every resource of an executable, in every language.
bool readAllResources(const std::string& executable, std::vector<ModuleResource>& out, std::string& error) {
    HMODULE module = LoadLibraryExW(wideFromUtf8(executable).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        error = messageText(Message::cannotOpenExecutable, {executable});
        return false;
    }
    Enumeration e = {module, &out, {}, {}, false};
    EnumResourceTypesA(module, onType, reinterpret_cast<LONG_PTR>(&e));
    FreeLibrary(module);
    if (e.failed) error = messageText(Message::cannotReadResources, {executable});
    return !e.failed;
}

bool sameQuizResources(const std::string& executable, const std::vector<PackedResource>& expected) {
    std::vector<PackedResource> found;
    std::string ignored;
    if (!readQuizResources(executable, found, ignored) || found.size() != expected.size()) return false;
    for (const PackedResource& resource : expected) {
        const PackedResource* copy = findResource(found, resource.kind, resource.id);
        if (!copy || copy->data != resource.data) return false;
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// Writes the resource table of `target` (already a copy of the player).
bool updateResources(const std::wstring& target, const std::vector<ModuleResource>& kept,
                     const std::vector<PackedResource>& resources) {
    // Deleting single resources is unreliable on some platforms (the old
    // data survives), so the whole table is written afresh.
    HANDLE update = BeginUpdateResourceW(target.c_str(), TRUE);
    if (!update) return false;
    bool ok = true;
    for (const ModuleResource& r : kept) {
        ok = ok && UpdateResourceA(update, r.type.get(), r.name.get(), r.language, const_cast<uint8_t*>(r.data.data()),
                                   static_cast<DWORD>(r.data.size()));
    }
    const WORD neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    for (const PackedResource& r : resources) {
        ok = ok && UpdateResourceA(update, typeOf(r.kind), MAKEINTRESOURCEA(r.id), neutral,
                                   const_cast<uint8_t*>(r.data.data()), static_cast<DWORD>(r.data.size()));
    }
    return EndUpdateResourceA(update, ok ? FALSE : TRUE) && ok;
}

// The finished copy reaches the disk before it takes the old player's
// place: after a power cut the rename may survive while unwritten data does
// not, and the author would be left with a broken program.
bool flushToDisk(const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool flushed = FlushFileBuffers(file) != 0;
    return CloseHandle(file) != 0 && flushed;
}

}  // namespace

std::wstring wideFromUtf8(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    return wide;
}

std::string utf8FromWide(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], length, nullptr, nullptr);
    return utf8;
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    HANDLE file = CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x40000000;
    std::vector<uint8_t> data;
    if (ok) {
        data.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = data.empty() ||
             (ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &read, nullptr) && read == data.size());
    }
    CloseHandle(file);
    if (ok) bytes = std::move(data);
    return ok;
}

bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::wstring wide = wideFromUtf8(path);
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                                written == bytes.size());
    // On the disk before a caller moves it over an older file: a power cut
    // may keep the move and lose data still in the cache.
    ok = ok && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    if (!ok) DeleteFileW(wide.c_str());
    return ok;
}

bool isQuizResource(ResourceKind kind, uint16_t id) {
    if (kind != ResourceKind::rcdata) return true;
    const auto inRange = [id](uint16_t base) { return id > base && id <= base + 255; };
    return inRange(pictureResourceBase) || inRange(solutionResourceBase);
}

bool readQuizResources(const std::string& executable, std::vector<PackedResource>& out, std::string& error) {
    std::vector<ModuleResource> all;
    if (!readAllResources(executable, all, error)) return false;
    std::vector<PackedResource> quiz;
    for (ModuleResource& r : all) {
        ResourceKind kind;
        if (!r.name.isId || !resourceKindOf(r.type, kind) || !isQuizResource(kind, r.name.id)) continue;
        // One language per resource: the first found, as the player's lookup would.
        if (findResource(quiz, kind, r.name.id)) continue;
        quiz.push_back({kind, r.name.id, std::move(r.data)});
    }
    out = std::move(quiz);
    return true;
}

bool hasSymbolTable(const std::string& executable) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(executable, bytes) || bytes.size() < sizeof(IMAGE_DOS_HEADER)) return false;
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
    const size_t at = static_cast<size_t>(dos->e_lfanew) + sizeof(DWORD);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew < 0 || at + sizeof(IMAGE_FILE_HEADER) > bytes.size()) {
        return false;
    }
    IMAGE_FILE_HEADER header;
    std::memcpy(&header, bytes.data() + at, sizeof header);
    return header.PointerToSymbolTable != 0;
}

bool writePackedPlayer(const std::string& player, const std::string& output,
                       const std::vector<PackedResource>& resources, std::string& error) {
    std::vector<ModuleResource> all;
    if (!readAllResources(player, all, error)) return false;
    std::vector<ModuleResource> kept;
    for (ModuleResource& r : all) {
        ResourceKind kind;
        const bool quiz = resourceKindOf(r.type, kind) && (!r.name.isId || isQuizResource(kind, r.name.id));
        if (!quiz) kept.push_back(std::move(r));
    }

    wchar_t temporary[MAX_PATH];
    if (!GetTempFileNameW(wideFromUtf8(folderOf(output)).c_str(), L"qpk", 0, temporary)) {
        error = messageText(Message::cannotCreateTemporary, {output});
        return false;
    }
    if (!CopyFileW(wideFromUtf8(player).c_str(), temporary, FALSE)) {
        error = messageText(Message::cannotCopyPlayer, {player});
    } else if (!updateResources(temporary, kept, resources)) {
        error = messageText(Message::cannotUpdateResources);
    } else if (!sameQuizResources(utf8FromWide(temporary), resources)) {
        error = messageText(Message::resourcesReadBackDifferent);
    } else if (!flushToDisk(temporary) ||
               !MoveFileExW(temporary, wideFromUtf8(output).c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
        error = messageText(Message::cannotWrite, {output});
    } else {
        return true;
    }
    DeleteFileW(temporary);
    return false;
}
