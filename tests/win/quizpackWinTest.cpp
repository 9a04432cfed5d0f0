// The packer's platform half: the platform's Windows-1252 converter against
// the authoring library's table, and the resource table of a packed player.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "authoring/playerResourcesWin.h"
#include "authoring/windows1252.h"

namespace {

std::string besideSelf(const std::string& name) {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self, length);
    return path.substr(0, path.find_last_of("/\\") + 1) + name;
}

// A fresh empty folder under the temporary folder.
std::string scratchFolder(const char* name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((folder + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return folder + "\\";
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// The platform's own conversion, refusing what has no byte of its own (no best fit).
bool platformToAnsi(const std::string& utf8, std::string& ansi) {
    const int wideLength =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (wideLength <= 0) return false;
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], wideLength);
    BOOL usedDefault = FALSE;
    char out[64];
    const int length = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, out, sizeof out,
                                           nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return false;
    ansi.assign(out, static_cast<size_t>(length));
    return true;
}

std::string platformToUtf8(const std::string& ansi) {
    wchar_t wide[64];
    const int wideLength = MultiByteToWideChar(1252, 0, ansi.data(), static_cast<int>(ansi.size()), wide, 64);
    char out[256];
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, wideLength, out, sizeof out, nullptr, nullptr);
    return std::string(out, static_cast<size_t>(length > 0 ? length : 0));
}

TEST(Windows1252, PlatformConverterAgreesWithTheTable) {
    for (int byte = 1; byte < 256; ++byte) {
        const std::string ansi(1, static_cast<char>(byte));
        const std::string utf8 = platformToUtf8(ansi);
        EXPECT_EQ(utf8, windows1252ToUtf8(ansi)) << "byte " << byte;
        std::string platform, table;
        EXPECT_TRUE(platformToAnsi(utf8, platform)) << "byte " << byte;
        EXPECT_TRUE(utf8ToWindows1252(utf8, table)) << "byte " << byte;
        EXPECT_EQ(platform, ansi) << "byte " << byte;
        EXPECT_EQ(table, ansi) << "byte " << byte;
    }
}

TEST(Windows1252, BothRefuseWhatTheCodePageCannotHold) {
    struct Row {
        const char* name;
        const char* utf8;
        bool holds;
    } rows[] = {
        {"accents, euro, dashes, oe", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xE2\x80\x94 \xC5\x93", true},
        {"A with macron (best fit would give A)", "\xC4\x80", false},
        {"l with stroke", "\xC5\x82", false},
        {"CJK", "\xE4\xB8\xAD", false},
        {"emoji", "\xF0\x9F\x98\x80", false},
        {"malformed UTF-8", "\xC3", false},
        {"UTF-8 surrogate", "\xED\xA0\x80", false},
    };
    for (const Row& row : rows) {
        std::string platform, table;
        EXPECT_EQ(platformToAnsi(row.utf8, platform), row.holds) << row.name;
        EXPECT_EQ(utf8ToWindows1252(row.utf8, table), row.holds) << row.name;
        if (row.holds) {
            EXPECT_EQ(platform, table) << row.name;
        }
    }
}

bool hasResource(const std::string& executable, LPCSTR type, LPCSTR name) {
    HMODULE module = LoadLibraryExA(executable.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return false;
    const bool found = FindResourceA(module, name, type) != nullptr;
    FreeLibrary(module);
    return found;
}

TEST(Packer, KeepsThePlayersOwnResourcesAndReplacesAnEarlierQuiz) {
    const std::string folder = scratchFolder("quizpack-packer-test");
    const std::string first = folder + "first.exe", second = folder + "second.exe";
    std::string error;
    const std::vector<PackedResource> withPictures = {{ResourceKind::patch, 104, {1, 2, 3}},
                                                      {ResourceKind::img, 401, {0xFF, 0xD8, 0xFF}},
                                                      {ResourceKind::rcdata, 10402, {0x89, 'P', 'N', 'G'}}};
    ASSERT_TRUE(writePackedPlayer(besideSelf("vetra.exe"), first, withPictures, error)) << error;
    const std::vector<PackedResource> textOnly = {{ResourceKind::patch, 104, {4, 5}}, {ResourceKind::patch, 105, {6}}};
    // Packing a packed player again must drop its earlier quiz entirely.
    ASSERT_TRUE(writePackedPlayer(first, second, textOnly, error)) << error;

    std::vector<PackedResource> found;
    ASSERT_TRUE(readQuizResources(second, found, error)) << error;
    ASSERT_EQ(found.size(), 2u);
    for (const PackedResource& r : textOnly) {
        const PackedResource* copy = findResource(found, r.kind, r.id);
        ASSERT_NE(copy, nullptr) << r.id;
        EXPECT_EQ(copy->data, r.data) << r.id;
    }
    struct Own {
        const char* name;
        LPCSTR type;
        LPCSTR id;
    } own[] = {{"sheet dialog", RT_DIALOG, MAKEINTRESOURCEA(1001)},
               {"header dialog", RT_DIALOG, MAKEINTRESOURCEA(1002)},
               {"play icon", RT_GROUP_ICON, MAKEINTRESOURCEA(1004)},
               {"link cursor", RT_GROUP_CURSOR, MAKEINTRESOURCEA(1003)},
               {"version", RT_VERSION, MAKEINTRESOURCEA(1)}};
    for (const Own& r : own) EXPECT_TRUE(hasResource(second, r.type, r.id)) << r.name;
    EXPECT_EQ(filesIn(folder).size(), 2u) << "no temporary file is left behind";
}

TEST(Packer, AFailureLeavesNothingBehind) {
    const std::string folder = scratchFolder("quizpack-failure-test");
    const std::vector<PackedResource> quiz = {{ResourceKind::patch, 104, {1}}};
    struct Row {
        const char* name;
        std::string player;
        std::string output;
    } rows[] = {{"missing player", folder + "absent.exe", folder + "out.exe"},
                {"player that is not an executable", folder + "text.exe", folder + "out.exe"},
                {"output folder that does not exist", besideSelf("vetra.exe"), folder + "no\\such\\out.exe"}};
    ASSERT_TRUE(writeWholeFile(folder + "text.exe", {'h', 'e', 'l', 'l', 'o'}));
    for (const Row& row : rows) {
        std::string error;
        EXPECT_FALSE(writePackedPlayer(row.player, row.output, quiz, error)) << row.name;
        EXPECT_FALSE(error.empty()) << row.name;
        const std::vector<std::string> left = filesIn(folder);
        EXPECT_EQ(left, std::vector<std::string>{"text.exe"}) << row.name;
    }
}

TEST(Packer, AnExecutableWithoutQuizHasNoQuizResources) {
    std::vector<PackedResource> found = {{ResourceKind::patch, 1, {}}};
    std::string error;
    ASSERT_TRUE(readQuizResources(besideSelf("vetra.exe"), found, error)) << error;
    EXPECT_TRUE(found.empty());
}

TEST(Packer, TellsAStrippedPlayerFromOneWithSymbols) {
    EXPECT_FALSE(hasSymbolTable(besideSelf("vetra.exe")));
    EXPECT_TRUE(hasSymbolTable(besideSelf("win_tests.exe")));  // linked without -s
    EXPECT_FALSE(hasSymbolTable(besideSelf("no-such-file.exe")));
}

}  // namespace
