#include "answerSheetWin.h"

#include <cstdio>

#include "answers/answerBoxWin.h"
#include "answers/judgeWin.h"
#include "quiz/quizGdiWin.h"
#include "sheet/progressFile.h"

std::vector<SeenMessage> AnswerSheet::passedOn;
std::vector<SeenMessage> AnswerSheet::sheetScrolls;

namespace {

const char panelClass[] = "AnswerSheetTestPanel";
WNDPROC editClassProc = nullptr;

LRESULT CALLBACK panelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_VSCROLL) AnswerSheet::sheetScrolls.push_back({window, message, wParam, lParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

// Sits between answerBoxProc and the Edit procedure to see what is passed on.
LRESULT CALLBACK recorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_CHAR:
        case WM_VSCROLL:
        case WM_SETFOCUS:
        case WM_KILLFOCUS: AnswerSheet::passedOn.push_back({window, message, wParam, lParam}); break;
        default: break;
    }
    return CallWindowProcA(editClassProc, window, message, wParam, lParam);
}

void registerPanelClass() {
    static bool done = false;
    if (done) return;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = panelProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = panelClass;
    RegisterClassA(&windowClass);
    done = true;
}

HWND child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

// One top-level window for all tests: without a window manager destroying a
// top-level window takes Wine about two seconds, a child window no time.
HWND sharedFrame() {
    static HWND frame = CreateWindowExA(0, panelClass, "judge test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 640,
                                        nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    return frame;
}

int boxesFor(const Quiz& quiz) {
    const int m = effectiveAnswersPerQuestion(quiz);
    return (m == 1 || m == 2) && quiz.questionCount > 0 ? quiz.questionCount * m : 0;
}

}  // namespace

AnswerSheet::AnswerSheet(const SheetSpec& spec) {
    registerPanelClass();
    initQuizValues(quiz);
    quiz.kind = spec.kind;
    quiz.answersPerQuestion = spec.answersPerQuestion;
    quiz.revealMode = spec.revealMode;
    quiz.questionCount = spec.questionCount ? spec.questionCount : static_cast<int>(spec.questions.size());
    for (const QuestionSpec& q : spec.questions) {
        appendQuestion(quiz, q.answer1, q.answer2 ? q.answer2 : "", "");
        copyText(quiz.lastQuestion->comment, quizTextSize, q.comment ? q.comment : "");
    }
    for (int i = 0; i < rewardCodeCount; ++i) std::snprintf(quiz.rewardCodes[i], quizTextSize, "CODE%d", i + 1);

    frame = sharedFrame();
    header = child(frame, panelClass, "", 0, 0, 0, 1000, 50, 1002);
    child(header, "Static", "unset", 0, 10, 10, 100, 20, headerScoreId);
    child(header, "Static", "unset", 0, 200, 10, 200, 20, headerRewardCodeId);
    sheet = child(frame, panelClass, "", WS_TABSTOP, 0, 60, 960, 400, 1001);
    quiz.headerWindow = header;
    quiz.sheetWindow = sheet;
    currentQuiz = &quiz;

    boxes = boxesFor(quiz);
    const int perQuestion = boxes ? boxes / quiz.questionCount : 1;
    const bool building = !spec.restored.empty();
    auto comment = [&](int n) {
        const QuestionEntry* entry = questionAt(quiz, n);
        HWND label = child(sheet, "Static", entry ? entry->comment : "", SS_CENTER, 500, 5 + 22 * (n - 1), 200, 20,
                           commentLabelIdBase + n);
        ShowWindow(label, SW_HIDE);
    };
    for (int n = 1; n <= quiz.questionCount; ++n) {
        child(sheet, "STATIC", "", WS_BORDER | SS_CENTERIMAGE | SS_BITMAP, 720, 5 + 22 * (n - 1), 20, 20,
              pictureControlIdBase + n);
        for (int k = (n - 1) * perQuestion + 1; boxes && k <= n * perQuestion; ++k) {
            const std::string restored = building && k <= static_cast<int>(spec.restored.size())
                                             ? spec.restored[static_cast<size_t>(k - 1)]
                                             : std::string();
            createBox(k, 10, 5 + 22 * (k - 1), restored.c_str());
            if (building) judge(k);
        }
        if (building) comment(n);
    }
    if (!building) {
        for (int n = 1; n <= quiz.questionCount; ++n) comment(n);
    }
    passedOn.clear();
    sheetScrolls.clear();
}

void AnswerSheet::createBox(int k, int x, int y, const char* text) {
    HWND edit = child(sheet, "Edit", text, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_CENTER, x, y, 170, 20,
                      answerBoxIdBase + k);
    child(sheet, "Static", "?", WS_BORDER | SS_CENTERIMAGE | SS_CENTER, x + 200, y, 100, 20, verdictLabelIdBase + k);
    // The recorder goes under answerBoxProc, so it sees what the box passes on.
    WNDPROC edit0 =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recorderProc)));
    if (edit0 != recorderProc) editClassProc = edit0;
    installAnswerBoxProc(edit);
}

AnswerSheet::~AnswerSheet() {
    for (int n = 1; n <= quiz.questionCount; ++n) {
        HWND picture = GetDlgItem(sheet, pictureControlIdBase + n);
        HGDIOBJ bitmap = reinterpret_cast<HGDIOBJ>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
        if (bitmap) DeleteObject(bitmap);
    }
    // The boxes judge themselves when they lose the focus while being destroyed.
    SetFocus(nullptr);
    DestroyWindow(sheet);
    DestroyWindow(header);
    releaseQuestions(quiz);
    if (currentQuiz == &quiz) currentQuiz = nullptr;
}

void AnswerSheet::judge(int k) {
    judgeAnswer(&quiz, sheet, answerBoxIdBase + k);
}

bool AnswerSheet::commentShown(int n) const {
    HWND label = GetDlgItem(sheet, commentLabelIdBase + n);
    return label && (GetWindowLongA(label, GWL_STYLE) & WS_VISIBLE) != 0;
}

void AnswerSheet::markHeader() const {
    SetDlgItemTextA(header, headerScoreId, "unchanged");
    SetDlgItemTextA(header, headerRewardCodeId, "unchanged");
}

std::string AnswerSheet::controlText(HWND parent, int id) {
    char text[300];
    text[0] = '\0';
    GetDlgItemTextA(parent, id, text, sizeof text);
    return text;
}

TemporaryFolder::TemporaryFolder() {
    static int counter = 0;
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    char name[MAX_PATH + 64];
    std::snprintf(name, sizeof name, "%svetra-judge-%lu-%d", base, GetCurrentProcessId(), ++counter);
    folder = name;
    CreateDirectoryA(folder.c_str(), nullptr);
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(folder.c_str());
}

TemporaryFolder::~TemporaryFolder() {
    SetCurrentDirectoryA(previous);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string file = folder + "\\" + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryA(file.c_str());
            } else {
                SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(file.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

void TemporaryFolder::write(const char* name, const std::string& bytes) const {
    HANDLE file = CreateFileA((folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

bool TemporaryFolder::read(const char* name, std::string& bytes) const {
    bytes.clear();
    HANDLE file = CreateFileA((folder + "\\" + name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return true;
}

bool TemporaryFolder::exists(const char* name) const {
    return GetFileAttributesA((folder + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ownProgressFileName() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char name[progressLineSize];
    progressFileNameFromModulePath(path, name);
    return name;
}
