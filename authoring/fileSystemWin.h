// The authoring workflows' file system on Windows.
#pragma once

#include "authoring/fileSystem.h"

class WindowsFileSystem : public FileSystem {
public:
    bool read(const std::string& path, std::vector<uint8_t>& bytes) override;
    bool write(const std::string& path, const std::vector<uint8_t>& bytes) override;
    bool exists(const std::string& path) override;
    bool createFolder(const std::string& path) override;
    bool remove(const std::string& path) override;
    std::string fullPath(const std::string& path) override;
    std::string programFolder() override;
    bool readPlayer(const std::string& executable, std::vector<PackedResource>& resources, std::string& error) override;
    bool writePlayer(const std::string& player, const std::string& output, const std::vector<PackedResource>& resources,
                     std::string& error) override;
    bool playerHasSymbols(const std::string& player) override;
};
