#include "authoring/filesWin.h"

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

bool replaceWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temporary = path + ".tmp";
    if (writeWholeFile(temporary, bytes) && MoveFileExW(wideFromUtf8(temporary).c_str(), wideFromUtf8(path).c_str(),
                                                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileW(wideFromUtf8(temporary).c_str());
    return false;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesW(wideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string fullPath(const std::string& path) {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetFullPathNameW(wideFromUtf8(path).c_str(), MAX_PATH, buffer, nullptr);
    return length > 0 && length < MAX_PATH ? utf8FromWide(std::wstring(buffer, length)) : path;
}

std::string programFolder() {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::string path = utf8FromWide(std::wstring(self, length < MAX_PATH ? length : 0));
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string temporaryFolder() {
    wchar_t temporary[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temporary);
    if (length == 0 || length >= MAX_PATH) return "";
    const std::string folder = utf8FromWide(std::wstring(temporary, length)) + "Atelier Vetra";
    CreateDirectoryW(wideFromUtf8(folder).c_str(), nullptr);
    return folder;
}
