#include "authoring/playerResourcesWin.h"

#include <cstring>

#include "authoring/filesWin.h"
#include "authoring/messages.h"
#include "authoring/paths.h"

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

    // The copy is made beside the output; a folder that takes no new file
    // (read-only, missing, a file in its place) is said to be the cause, not
    // the player that could not be copied there.
    const std::string folder = folderOf(output).empty() ? std::string(".") : folderOf(output);
    wchar_t temporary[MAX_PATH];
    if (!GetTempFileNameW(wideFromUtf8(folder).c_str(), L"qpk", 0, temporary) || !fileExists(utf8FromWide(temporary))) {
        std::string shown = fullPath(folder);
        if (shown.size() > 3 && (shown.back() == '\\' || shown.back() == '/')) shown.pop_back();
        error = messageText(Message::cannotWriteFolder, {windowsPath(shown)});
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
