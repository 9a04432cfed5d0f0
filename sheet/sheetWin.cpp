#include "sheet/sheetWin.h"

#include <map>

#include "answers/answerBoxWin.h"
#include "answers/judgeWin.h"
#include "answers/screenReaderWin.h"
#include "app/highContrastWin.h"
#include "media/mediaWin.h"
#include "pictures/pictureResourceWin.h"
#include "quiz/quizGdiWin.h"
#include "sheet/progressFileWin.h"
#include "sheet/sheetGeometry.h"
#include "sheet/sheetScrollWin.h"

int contentWidth = 0;
int contentHeight = 0;

namespace {

constexpr int pictureCellSize = 260;

// Bitmaps loaded for the grid while it is laid out, by IMG id, until their
// picture controls take them. Whatever no control takes is deleted.
class LoadedPictures {
public:
    LoadedPictures() = default;
    LoadedPictures(const LoadedPictures&) = delete;
    LoadedPictures& operator=(const LoadedPictures&) = delete;
    ~LoadedPictures() {
        for (auto& entry : bitmaps_) DeleteObject(entry.second);
    }

    PictureSize load(int resourceId) {
        HBITMAP bitmap =
            loadPictureResource(GetModuleHandleA(nullptr), resourceId, "IMG", pictureCellSize, pictureCellSize);
        if (!bitmap) return {};
        BITMAP info;
        if (GetObjectA(bitmap, sizeof info, &info) != static_cast<int>(sizeof info)) {
            DeleteObject(bitmap);
            return {};
        }
        keep(resourceId, bitmap);
        return {true, static_cast<int>(info.bmWidth), static_cast<int>(info.bmHeight)};
    }

    // Hands the bitmap over to the caller; null when none was loaded.
    HBITMAP take(int resourceId) {
        auto found = bitmaps_.find(resourceId);
        if (found == bitmaps_.end()) return nullptr;
        HBITMAP bitmap = found->second;
        bitmaps_.erase(found);
        return bitmap;
    }

private:
    void keep(int resourceId, HBITMAP bitmap) {
        HBITMAP previous = take(resourceId);
        if (previous) DeleteObject(previous);
        bitmaps_[resourceId] = bitmap;
    }

    std::map<int, HBITMAP> bitmaps_;
};

bool isMediaKind(const Quiz& quiz) {
    return quiz.kind == kindAudio || quiz.kind == kindVideo;
}

HWND createControl(HWND sheet, const ControlSpec& spec, const char* text) {
    return CreateWindowExA(0, spec.className.c_str(), text, spec.style, spec.x, spec.y, spec.width, spec.height, sheet,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), GetModuleHandleA(nullptr), nullptr);
}

void applyFont(const Quiz& quiz, HWND control, SheetFontChoice font) {
    switch (font) {
        case SheetFontChoice::sheetFont:
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(asFont(quiz.sheetFont)), FALSE);
            break;
        case SheetFontChoice::defaultGuiFont:
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
            break;
        default: break;
    }
}

// Puts the question's own picture in place unless judging the restored
// answers already showed the solution picture there.
void assignPicture(Quiz& quiz, HWND sheet, const ControlSpec& spec, LoadedPictures& pictures) {
    HBITMAP bitmap = pictures.take(spec.resourceId);
    if (!bitmap) return;
    const int n = spec.question;
    const bool solutionShown = n >= 1 && n <= solutionFlagCount && quiz.solutionShown[n - 1] != 0;
    HWND control = GetDlgItem(sheet, spec.id);
    if (solutionShown || !control) {
        DeleteObject(bitmap);
        return;
    }
    HANDLE previous =
        reinterpret_cast<HANDLE>(SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (previous && previous != bitmap) DeleteObject(previous);
}

// The box is judged only once its verdict label exists; the order of judging
// and subclassing is the layout's.
void finishAnswerBox(Quiz& quiz, HWND sheet, const ControlSpec& box) {
    HWND control = GetDlgItem(sheet, box.id);
    if (!control) return;
    if (box.installBeforeJudge) {
        installAnswerBoxProc(control);
        judgeAnswer(&quiz, sheet, box.id);
    } else {
        judgeAnswer(&quiz, sheet, box.id);
        installAnswerBoxProc(control);
    }
}

// Creates one control of the layout; for a verdict label, then settles the
// answer box it belongs to.
void createFromSpec(Quiz& quiz, HWND sheet, const ControlSpec& spec, ProgressFileView& progress,
                    const ControlSpec*& pendingBox) {
    char line[quizTextSize] = "";
    if (spec.consumesProgressLine) readNextProgressLine(progress, line);
    HWND control = createControl(sheet, spec, spec.role == ControlRole::answerBox ? line : spec.text.c_str());
    applyFont(quiz, control, spec.font);
    switch (spec.role) {
        case ControlRole::answerBox: pendingBox = &spec; break;
        case ControlRole::verdictLabel:
            if (pendingBox && pendingBox->box == spec.box) finishAnswerBox(quiz, sheet, *pendingBox);
            pendingBox = nullptr;
            break;
        case ControlRole::playButton:
            SendMessageA(control, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(playIcon()));
            break;
        case ControlRole::stopButton:
            SendMessageA(control, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(stopIcon()));
            break;
        default: break;
    }
    if (spec.hiddenAfterCreate) ShowWindow(control, SW_HIDE);
}

// Builds every row of the sheet once; nothing is added or removed later.
BOOL onInitDialog(HWND sheet) {
    if (!currentQuiz) return TRUE;
    Quiz& quiz = *currentQuiz;
    const QuietSheetBuild quiet(sheet);
    if (isMediaKind(quiz)) setUpPlayer(&quiz, sheet);

    ProgressFileView progress;
    openProgressFile(progress);
    createSheetFont(&quiz);

    LoadedPictures pictures;
    std::function<PictureSize(int)> pictureSize;
    if (quiz.kind == kindPictures) pictureSize = [&pictures](int id) { return pictures.load(id); };
    const SheetLayout layout = layoutSheet(quiz, pictureSize);
    contentWidth = layout.contentWidth;
    contentHeight = layout.contentHeight;

    const ControlSpec* pendingBox = nullptr;
    for (const ControlSpec& spec : layout.controls) {
        switch (spec.role) {
            case ControlRole::progressLineOnly: {
                char dropped[quizTextSize];
                readNextProgressLine(progress, dropped);
                break;
            }
            case ControlRole::pictureAssignment: assignPicture(quiz, sheet, spec, pictures); break;
            default: createFromSpec(quiz, sheet, spec, progress, pendingBox); break;
        }
    }
    closeProgressFile(progress);

    applyRevealsAfterBuild(&quiz, sheet);
    exposeSheetToScreenReaders(sheet);
    setUpScrollBars(sheet);
    return TRUE;
}

// Only the media buttons have commands, and only on the sheets that show them.
void onCommand(HWND sheet, WPARAM wParam) {
    if (!currentQuiz || !isMediaKind(*currentQuiz)) return;
    const auto id = static_cast<int>(wParam);
    const bool play = id > playButtonIdBase && id <= playButtonIdBase + lastMediaClip;
    const bool stop = id > stopButtonIdBase && id <= stopButtonIdBase + lastMediaClip;
    if (play || stop) onMediaCommand(currentQuiz, sheet, static_cast<int>(wParam));
}

INT_PTR onCtlColorDlg() {
    return currentQuiz ? reinterpret_cast<INT_PTR>(currentQuiz->backgroundBrush) : 0;
}

}  // namespace

INT_PTR CALLBACK sheetProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam) {
    if (coloursLeftToSystem(message)) return FALSE;
    switch (message) {
        case WM_INITDIALOG: return onInitDialog(sheet);
        case WM_SIZE: resizeSheet(sheet); return FALSE;
        case WM_VSCROLL: scrollSheetVertically(sheet, LOWORD(wParam)); return FALSE;
        case WM_HSCROLL: scrollSheetHorizontally(sheet, LOWORD(wParam)); return FALSE;
        // Not handled on purpose: the default handling passes the wheel on to the
        // main window, which asks for the same step once more.
        case WM_MOUSEWHEEL: postWheelRequest(sheet, wParam); return FALSE;
        case WM_CTLCOLORDLG: return onCtlColorDlg();
        case WM_CTLCOLORSTATIC: return sheetStaticBrush(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_COMMAND: onCommand(sheet, wParam); return FALSE;
        default: return FALSE;
    }
}
