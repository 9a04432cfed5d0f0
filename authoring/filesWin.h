// The authoring tools' files on Windows: paths are UTF-8, whatever the
// system's code page, and go to the platform's wide-character functions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// UTF-8 <-> UTF-16 for the platform's wide-character functions.
std::wstring wideFromUtf8(const std::string& utf8);
std::string utf8FromWide(const std::wstring& wide);

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes);
// Writes the file and flushes it to the disk; a failure leaves no file.
bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);
// Written under a temporary name and moved over the old file only once
// complete, so that a full disk or a crash never leaves half a file.
bool replaceWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

bool fileExists(const std::string& path);
// The path made absolute from the current folder; the path itself when the
// platform cannot.
std::string fullPath(const std::string& path);
// The folder of the running program, with its trailing "\".
std::string programFolder();
// The authoring tools' own folder under the user's temporary folder, made
// when missing; "" when there is none.
std::string temporaryFolder();
