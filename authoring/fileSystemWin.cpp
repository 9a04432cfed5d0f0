#include "authoring/fileSystemWin.h"

#include <windows.h>

#include "authoring/filesWin.h"
#include "authoring/playerResourcesWin.h"

bool WindowsFileSystem::read(const std::string& path, std::vector<uint8_t>& bytes) {
    return readWholeFile(path, bytes);
}

bool WindowsFileSystem::write(const std::string& path, const std::vector<uint8_t>& bytes) {
    return replaceWholeFile(path, bytes);
}

bool WindowsFileSystem::exists(const std::string& path) {
    return fileExists(path);
}

bool WindowsFileSystem::createFolder(const std::string& path) {
    return CreateDirectoryW(wideFromUtf8(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool WindowsFileSystem::remove(const std::string& path) {
    return DeleteFileW(wideFromUtf8(path).c_str()) != 0;
}

std::string WindowsFileSystem::fullPath(const std::string& path) {
    return ::fullPath(path);
}

std::string WindowsFileSystem::programFolder() {
    return ::programFolder();
}

bool WindowsFileSystem::readPlayer(const std::string& executable, std::vector<PackedResource>& resources,
                                   std::string& error) {
    return readQuizResources(executable, resources, error);
}

bool WindowsFileSystem::writePlayer(const std::string& player, const std::string& output,
                                    const std::vector<PackedResource>& resources, std::string& error) {
    return writePackedPlayer(player, output, resources, error);
}

bool WindowsFileSystem::playerHasSymbols(const std::string& player) {
    return hasSymbolTable(player);
}
