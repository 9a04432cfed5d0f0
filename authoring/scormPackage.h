// The quiz as a SCORM 1.2 package for a learning platform: a zip holding
// the web page (the one SCO) and the manifest that names it. Same page, same
// bytes: nothing in the archive depends on the time it is made.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ZipEntry {
    std::string name;  // UTF-8, "/" between folders
    std::string data;
};

// A zip of stored (uncompressed) entries dated 1980-01-01, the earliest date
// the format holds. False, with nothing written, past the format's 4 GB limits.
bool writeZip(const std::vector<ZipEntry>& entries, std::string& out);

// imsmanifest.xml for one SCO: the page pageName, titled with the quiz's title.
std::string scormManifest(const std::string& title, const std::string& pageName);

// The package: imsmanifest.xml, then the page under pageName.
bool writeScormPackage(const std::string& title, const std::string& pageName, const std::string& html,
                       std::string& out);

// CRC-32 of the zip format (reflected polynomial 0xEDB88320).
uint32_t zipCrc32(const std::string& data);
