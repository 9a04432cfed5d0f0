// How many GDI and USER objects this process holds, for the leak tests.
//
// Windows answers GetGuiResources. Wine 8 does not implement it: it returns 0
// with last error 120 (ERROR_CALL_NOT_IMPLEMENTED) whatever the process
// holds. There the GDI count is read from the process's GDI handle table,
// which Wine keeps where Windows does (the PEB's GdiSharedHandleTable, at
// offset 0x94 in a 32-bit PEB and 0xF8 in a 64-bit one): one 24-byte entry
// per handle in both, a non-zero type byte for every live object, stock
// objects included. For USER objects there is
// no such table in Wine 8, so the count is the windows of this thread,
// top-level and child: the only USER objects the player makes itself (its
// icons and cursors are loaded shared and belong to the module).
#pragma once

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <string>

namespace guiObjects {

inline bool systemCounts() {
    static const bool counts = [] {
        SetLastError(0);
        return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED;
    }();
    return counts;
}

struct WineGdiEntry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;  // the handle's high word
    uint8_t type;     // 0 for a free entry; 0x10 for a brush
    uint8_t flags;
    uint64_t userPointer;
};
static_assert(sizeof(WineGdiEntry) == 24, "one entry of Wine's GDI handle table");

#ifdef _WIN64
constexpr size_t gdiTableOffset = 0xF8;
#else
constexpr size_t gdiTableOffset = 0x94;
#endif

// The table and its number of entries (the size of its mapping); null when
// the process has none.
inline const WineGdiEntry* wineGdiTable(size_t& entries) {
    entries = 0;
    using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return nullptr;
    const char* peb = reinterpret_cast<const char*>(basic.PebBaseAddress);
    const void* table = *reinterpret_cast<void* const*>(peb + gdiTableOffset);
    if (!table) return nullptr;
    MEMORY_BASIC_INFORMATION region{};
    if (!VirtualQuery(table, &region, sizeof region) || region.State != MEM_COMMIT) return nullptr;
    const size_t bytes =
        region.RegionSize - (static_cast<const char*>(table) - static_cast<const char*>(region.BaseAddress));
    entries = bytes / sizeof(WineGdiEntry);
    return static_cast<const WineGdiEntry*>(table);
}

// The table entry of a handle: its index is the handle's low word.
inline const WineGdiEntry* wineGdiEntry(HGDIOBJ handle) {
    size_t entries = 0;
    const WineGdiEntry* table = wineGdiTable(entries);
    const size_t index = LOWORD(reinterpret_cast<UINT_PTR>(handle));
    return table && index < entries ? &table[index] : nullptr;
}

// -1 when there is no way to count.
inline long gdiCount() {
    if (systemCounts()) return static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    size_t entries = 0;
    const WineGdiEntry* table = wineGdiTable(entries);
    if (!table) return -1;
    long used = 0;
    for (size_t i = 0; i < entries; ++i) used += table[i].type != 0;
    return used;
}

inline BOOL CALLBACK countWindow(HWND, LPARAM counter) {
    ++*reinterpret_cast<long*>(counter);
    return TRUE;
}

inline BOOL CALLBACK countTopLevel(HWND window, LPARAM counter) {
    ++*reinterpret_cast<long*>(counter);
    EnumChildWindows(window, countWindow, counter);  // every descendant, not only direct children
    return TRUE;
}

inline long userCount() {
    if (systemCounts()) return static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    long windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), countTopLevel, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

inline std::string measure() {
    return systemCounts() ? "GetGuiResources" : "Wine's GDI handle table and this thread's windows";
}

}  // namespace guiObjects
