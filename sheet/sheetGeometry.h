// Where every control of the quiz sheet goes, computed without the platform.
// The Windows side walks the returned steps in order: it creates each control
// exactly as described (creation order is also the Tab order), reads one
// progress line for every step that consumes one, and never decides a
// coordinate, identifier, style or text of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "resources/resource.h"

struct Quiz;

// Fitted size of a picture resource; an absent picture takes the place of an
// empty 260-pixel-wide cell of no height.
struct PictureSize {
    bool present = false;
    int width = 0;
    int height = 0;
};

enum class SheetFontChoice {
    none,            // nothing sent: the platform's default control font
    sheetFont,       // the quiz's sheetFont, WM_SETFONT without redraw
    defaultGuiFont,  // stock DEFAULT_GUI_FONT, WM_SETFONT with redraw
};

enum class ControlRole {
    numberLabel,
    promptLabel,
    answerBox,
    verdictLabel,
    captionLabel,
    pictureControl,
    playButton,
    stopButton,
    commentLabel,
    // Steps that create nothing:
    progressLineOnly,   // a box slot that does not exist (M not 1 or 2): read a line, drop it
    pictureAssignment,  // put picture resourceId on control id, unless solutionShown[n - 1] is set
};

struct ControlSpec {
    ControlRole role = ControlRole::numberLabel;
    int id = 0;
    std::string className;  // "Edit", "Static", "STATIC" or "Button"; empty for steps that create nothing
    uint32_t style = 0;     // extended style is always 0
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    SheetFontChoice font = SheetFontChoice::none;
    std::string text;                   // an answer box's text is the progress line it consumes
    int question = 0;                   // n, from 1
    int box = 0;                        // k for answer boxes, their verdict labels and dropped lines; else 0
    bool hiddenAfterCreate = false;     // comment labels: created visible, then SW_HIDE
    bool consumesProgressLine = false;  // answer boxes and progressLineOnly steps
    // Answer boxes: the text kind and M = 1 judge the box before installing
    // answerBoxProc; M = 2 installs first. Either way creation order is the same.
    bool installBeforeJudge = false;
    int resourceId = 0;  // IMG picture for pictureAssignment, icon 1004/1005 for the buttons
};

bool createsControl(ControlRole role);

struct SheetLayout {
    std::vector<ControlSpec> controls;  // in creation order
    int contentWidth = 0;
    int contentHeight = 0;
};

// Styles of the sheet's controls (their identifiers: resources/resource.h).
constexpr uint32_t textAnswerBoxStyle = 0x50810281;
constexpr uint32_t gridAnswerBoxStyle = 0x50810081;
constexpr uint32_t verdictLabelStyle = 0x50800201;
constexpr uint32_t numberLabelStyle = 0x50000002;
constexpr uint32_t promptLabelStyle = 0x50800201;
constexpr uint32_t captionLabelStyle = 0x50000000;
constexpr uint32_t pictureControlStyle = 0x5080020E;
constexpr uint32_t mediaButtonStyle = 0x50010041;
constexpr uint32_t commentLabelStyle = 0x50000001;
constexpr uint32_t tabStopStyleBit = 0x00010000;  // WS_TABSTOP

// The whole sheet of `quiz`. `pictureSize` is asked (picture kind only) for
// the fitted size of IMG resources 400 + n, 401 + n and 402 + n at the start
// of every group of three; an empty function counts every picture as absent.
SheetLayout layoutSheet(const Quiz& quiz, const std::function<PictureSize(int resourceId)>& pictureSize);
