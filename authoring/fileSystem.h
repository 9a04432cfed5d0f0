// What the authoring workflows ask of the file system, as one small
// interface: the real one is Windows' (fileSystemWin.h), the unit tests give
// an in-memory one. Paths are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "authoring/quizAssembly.h"

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual bool read(const std::string& path, std::vector<uint8_t>& bytes) = 0;
    // The whole file, replacing any older one only once complete.
    virtual bool write(const std::string& path, const std::vector<uint8_t>& bytes) = 0;
    virtual bool exists(const std::string& path) = 0;
    virtual bool createFolder(const std::string& path) = 0;
    virtual bool remove(const std::string& path) = 0;
    // The path made absolute from the current folder.
    virtual std::string fullPath(const std::string& path) = 0;
    // The running program's folder, with its trailing separator.
    virtual std::string programFolder() = 0;
    // The quiz resources a player carries; false with a French `error`.
    virtual bool readPlayer(const std::string& executable, std::vector<PackedResource>& resources,
                            std::string& error) = 0;
    // A copy of `player` carrying `resources`, written as `output` whole or
    // not at all; false with a French `error`.
    virtual bool writePlayer(const std::string& player, const std::string& output,
                             const std::vector<PackedResource>& resources, std::string& error) = 0;
    // Whether the player still carries a symbol table the packing would leave stale.
    virtual bool playerHasSymbols(const std::string& player) = 0;
};
