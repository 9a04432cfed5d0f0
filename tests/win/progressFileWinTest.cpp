// The progress file through the real file API, in a temporary current folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "answerSheetWin.h"
#include "sheet/progressFileWin.h"

namespace {

const char saveFailedText[] = "Impossible d'enregistrer les r\xE9ponses.";

std::vector<std::string> readLines(int count) {
    ProgressFileView progress;
    openProgressFile(progress);
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        char line[260];
        readNextProgressLine(progress, line);
        lines.push_back(line);
    }
    closeProgressFile(progress);
    return lines;
}

TEST(ProgressFileRead, LinesComeFromTheFileInTheCurrentFolder) {
    const std::string longLine(300, 'q');
    struct Row {
        const char* name;
        bool exists;
        std::string bytes;
        std::vector<std::string> lines;
    } rows[] = {
        {"an empty line between two", true, "abc\r\n\r\nxyz", {"abc", "", "xyz"}},
        {"a lone LF belongs to the answer", true, "a\nb\r\n", {"a\nb", ""}},
        {"bytes between CR and LF are dropped", true, "abc\rxy\ndef\r\n", {"abc", "def", ""}},
        {"extra lines are ignored", true, "one\r\ntwo\r\nthree\r\n", {"one", "two"}},
        {"missing lines read empty", true, "only\r\n", {"only", "", ""}},
        {"an empty file", true, "", {"", ""}},
        {"no file", false, "", {"", ""}},
        {"a long line keeps 259 characters", true, longLine + "\r\nnext", {std::string(259, 'q'), "next"}},
        {"accented bytes", true, "\xE9t\xE9\r\n", {"\xE9t\xE9"}},
    };
    for (const Row& r : rows) {
        TemporaryFolder folder;
        const std::string name = ownProgressFileName();
        if (r.exists) folder.write(name.c_str(), r.bytes);
        EXPECT_EQ(readLines(static_cast<int>(r.lines.size())), r.lines) << r.name;
        if (r.exists) {
            EXPECT_TRUE(DeleteFileA(name.c_str())) << r.name << ": the file is closed after reading";
        }
    }
}

TEST(ProgressFileRead, OthersMayReadButNotWriteWhileTheSheetReads) {
    TemporaryFolder folder;
    const std::string name = ownProgressFileName();
    folder.write(name.c_str(), "abc\r\n");
    ProgressFileView progress;
    openProgressFile(progress);
    ASSERT_NE(progress.view, nullptr);
    HANDLE reader = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
    HANDLE writer = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    closeProgressFile(progress);
    EXPECT_EQ(progress.view, nullptr);
    EXPECT_EQ(progress.file, INVALID_HANDLE_VALUE);
}

TEST(ProgressFileName, IsTheProgramsOwnNameEndingInTxt) {
    char name[260];
    progressFileName(name);
    EXPECT_STREQ(name, ownProgressFileName().c_str());
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string expected = strrchr(path, '\\') + 1;
    expected.replace(expected.size() - 3, 3, "txt");
    EXPECT_EQ(std::string(name), expected);
    EXPECT_EQ(std::string(name).find('\\'), std::string::npos) << "relative to the current folder";
}

// The file written for the sheet's boxes, as fixed bytes.
TEST(ProgressFileSave, WritesOneLinePerBoxByteForByte) {
    struct Row {
        const char* name;
        int kind;
        int answersPerQuestion;
        std::vector<std::string> texts;  // one per box the sheet has
        std::string bytes;
    } rows[] = {
        {"two answers",
         kindAudio,
         2,
         {"Paris", "", " spaced  ", "\xE9t\xE9", "x", std::string(259, 'z')},
         "Paris\r\n\r\n spaced  \r\n\xE9t\xE9\r\nx\r\n" + std::string(259, 'z') + "\r\n"},
        {"a box longer than 259",
         kindPictures,
         1,
         {std::string(300, 'w'), "b", ""},
         std::string(259, 'w') + "\r\nb\r\n\r\n"},
        {"text kind with two answers: empty lines for boxes it lacks",
         kindText,
         2,
         {"Paris", "Oslo", "Bern"},
         "Paris\r\nOslo\r\nBern\r\n\r\n\r\n\r\n"},
        {"all empty", kindText, 1, {"", "", ""}, "\r\n\r\n\r\n"},
    };
    for (const Row& r : rows) {
        TemporaryFolder folder;
        SheetSpec spec;
        spec.kind = r.kind;
        spec.answersPerQuestion = r.answersPerQuestion;
        spec.questions = {{"Paris", "Rome", ""}, {"Oslo", "Lima", ""}, {"Bern", "Kiev", ""}};
        AnswerSheet sheet(spec);
        ASSERT_EQ(sheet.boxCount(), static_cast<int>(r.texts.size())) << r.name;
        for (size_t k = 0; k < r.texts.size(); ++k) sheet.setText(static_cast<int>(k + 1), r.texts[k].c_str());
        saveProgress(&sheet.quiz);
        std::string written;
        ASSERT_TRUE(folder.read(ownProgressFileName().c_str(), written)) << r.name;
        EXPECT_EQ(written, r.bytes) << r.name;
        EXPECT_FALSE(folder.exists((ownProgressFileName() + ".tmp").c_str())) << r.name;

        // Read back as the next start does: every box gets its text again.
        const std::vector<std::string> lines = readLines(sheet.boxCount());
        for (size_t k = 0; k < lines.size(); ++k) {
            EXPECT_EQ(lines[k], r.texts[k].substr(0, 259)) << r.name << ", box " << k + 1;
        }
    }
}

TEST(ProgressFileSave, F2WritesWhatSaveProgressWrites) {
    TemporaryFolder folder;
    SheetSpec spec;
    spec.answersPerQuestion = 2;
    spec.questions = {{"Paris", "Rome", ""}, {"Oslo", "Lima", ""}};
    AnswerSheet sheet(spec);
    const char* texts[] = {"un", "", "trois", "quatre"};
    for (int k = 1; k <= 4; ++k) sheet.setText(k, texts[k - 1]);
    const std::string name = ownProgressFileName();

    SendMessageA(sheet.box(3), WM_KEYUP, VK_F2, 0xC0000001);
    std::string byKey;
    ASSERT_TRUE(folder.read(name.c_str(), byKey));
    EXPECT_EQ(byKey, "un\r\n\r\ntrois\r\nquatre\r\n");
    DeleteFileA(name.c_str());
    saveProgress(&sheet.quiz);
    std::string bySave;
    ASSERT_TRUE(folder.read(name.c_str(), bySave));
    EXPECT_EQ(bySave, byKey);
}

TEST(ProgressFileSave, WithoutASheetTheSavedAnswersStay) {
    TemporaryFolder folder;
    SheetSpec spec;
    spec.questions = {{"Paris", "", ""}};
    AnswerSheet sheet(spec);
    const std::string name = ownProgressFileName();
    folder.write(name.c_str(), "kept\r\n");
    sheet.quiz.sheetWindow = nullptr;
    saveProgress(&sheet.quiz);
    std::string bytes;
    ASSERT_TRUE(folder.read(name.c_str(), bytes));
    EXPECT_EQ(bytes, "kept\r\n");
}

TEST(ProgressFileSave, WriteAllBytesSaysWhetherEveryByteWasWritten) {
    TemporaryFolder folder;
    folder.write("target.txt", "old");
    const std::string content(100000, 'k');  // more than one small write

    HANDLE readOnly = CreateFileA("target.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(readOnly, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(writeAllBytes(readOnly, content.data(), static_cast<DWORD>(content.size())));
    CloseHandle(readOnly);

    HANDLE writable = CreateFileA("target.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(writable, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(writeAllBytes(writable, content.data(), static_cast<DWORD>(content.size())));
    EXPECT_TRUE(writeAllBytes(writable, content.data(), 0));
    CloseHandle(writable);
    std::string bytes;
    ASSERT_TRUE(folder.read("target.txt", bytes));
    EXPECT_EQ(bytes, content);
}

TEST(ProgressFileSave, ReplacingKeepsTheOldFileWhenAnythingFails) {
    struct Row {
        const char* name;
        const char* locked;  // held open without sharing while saving
        bool replaced;
    } rows[] = {
        {"nothing in the way", nullptr, true},
        {"the temporary file is locked", "target.txt.tmp", false},
        {"the target is locked", "target.txt", false},
    };
    for (const Row& r : rows) {
        TemporaryFolder folder;
        folder.write("target.txt", "old answers\r\n");
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (r.locked) {
            lock = CreateFileA(r.locked, GENERIC_READ, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
            ASSERT_NE(lock, INVALID_HANDLE_VALUE) << r.name;
        }
        const std::string fresh = "new answers\r\n\r\n";
        EXPECT_EQ(replaceFileContents("target.txt", fresh.data(), static_cast<DWORD>(fresh.size())), r.replaced)
            << r.name;
        if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
        std::string bytes;
        ASSERT_TRUE(folder.read("target.txt", bytes)) << r.name;
        EXPECT_EQ(bytes, r.replaced ? fresh : std::string("old answers\r\n")) << r.name;
        if (!r.locked || std::string(r.locked) != "target.txt.tmp") {
            EXPECT_FALSE(folder.exists("target.txt.tmp")) << r.name << ": no temporary file is left";
        }
    }
}

// Closes the first message box captioned "Vetra" and keeps its text.
struct MessageBoxWatch {
    std::string text;
    bool seen = false;
};

DWORD WINAPI watchForMessageBox(void* parameter) {
    MessageBoxWatch* watch = static_cast<MessageBoxWatch*>(parameter);
    for (int tries = 0; tries < 200 && !watch->seen; ++tries) {
        HWND box = FindWindowA("#32770", "Vetra");
        if (!box) {
            Sleep(50);
            continue;
        }
        char text[200] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        watch->text = text;
        watch->seen = true;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return 0;
}

TEST(ProgressFileSave, AFailedSaveSaysSoAndKeepsTheOldFile) {
    TemporaryFolder folder;
    SheetSpec spec;
    spec.questions = {{"Paris", "", ""}};
    AnswerSheet sheet(spec);
    sheet.setText(1, "nouveau");
    const std::string name = ownProgressFileName();
    folder.write(name.c_str(), "ancien\r\n");
    HANDLE lock = CreateFileA((name + ".tmp").c_str(), GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    MessageBoxWatch watch;
    HANDLE watcher = CreateThread(nullptr, 0, watchForMessageBox, &watch, 0, nullptr);
    saveProgress(&sheet.quiz);
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
    CloseHandle(lock);

    EXPECT_TRUE(watch.seen);
    EXPECT_EQ(watch.text, saveFailedText);
    std::string bytes;
    ASSERT_TRUE(folder.read(name.c_str(), bytes));
    EXPECT_EQ(bytes, "ancien\r\n");
}

}  // namespace
