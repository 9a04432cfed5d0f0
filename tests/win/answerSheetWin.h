// A stand-in for the quiz sheet and header bar with the controls the judge,
// the answer boxes and the progress file work on, numbered as the player
// numbers them (resources/resource.h): answer boxes (subclassed with
// answerBoxProc), verdict labels, comment labels, picture controls, and the
// header's score and reward code.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "quiz/quiz.h"
#include "resources/resource.h"

struct QuestionSpec {
    const char* answer1;
    const char* answer2;
    const char* comment;
};

struct SheetSpec {
    int kind = kindAudio;
    int answersPerQuestion = 1;
    int revealMode = 0;
    std::vector<QuestionSpec> questions;
    // Questions the quiz claims beyond (or instead of) its list; 0 takes the list's length.
    int questionCount = 0;
    // Builds like the sheet does: each box gets its text and is judged
    // before its question's comment label exists.
    std::vector<std::string> restored;
};

// Messages seen below answerBoxProc (what it passed on) and by the sheet.
struct SeenMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class AnswerSheet {
public:
    explicit AnswerSheet(const SheetSpec& spec);
    ~AnswerSheet();
    AnswerSheet(const AnswerSheet&) = delete;
    AnswerSheet& operator=(const AnswerSheet&) = delete;

    Quiz quiz;
    HWND frame = nullptr;
    HWND sheet = nullptr;
    HWND header = nullptr;

    int boxCount() const { return boxes; }
    HWND box(int k) const { return GetDlgItem(sheet, answerBoxIdBase + k); }
    void setText(int k, const char* text) const { SetWindowTextA(box(k), text); }
    std::string text(int k) const { return controlText(sheet, answerBoxIdBase + k); }
    std::string verdict(int k) const { return controlText(sheet, verdictLabelIdBase + k); }
    // Judges box k the way the answer box does it on focus loss.
    void judge(int k);
    void type(int k, const char* text) {
        setText(k, text);
        judge(k);
    }
    bool commentShown(int n) const;
    std::string score() const { return controlText(header, headerScoreId); }
    std::string reward() const { return controlText(header, headerRewardCodeId); }
    // Puts a marker in the header so a later updateScore shows.
    void markHeader() const;
    bool headerMarked() const { return score() == "unchanged" && reward() == "unchanged"; }

    static std::string controlText(HWND parent, int id);

    // Messages the boxes passed on to the Edit procedure, and the sheet's WM_VSCROLL.
    static std::vector<SeenMessage> passedOn;
    static std::vector<SeenMessage> sheetScrolls;

private:
    int boxes = 0;
    void createBox(int k, int x, int y, const char* text);
};

// A fresh folder under the temporary directory, made current for the
// lifetime of the object; removed with its files afterwards.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::string& path() const { return folder; }
    void write(const char* name, const std::string& bytes) const;
    // False when the file does not exist.
    bool read(const char* name, std::string& bytes) const;
    bool exists(const char* name) const;

private:
    std::string folder;
    char previous[MAX_PATH] = {};
};

// The program's own progress file name, as the test executable sees it.
std::string ownProgressFileName();
