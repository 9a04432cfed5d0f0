// Geometry and texts of the header bar and of the main window's children,
// computed without the platform; the Windows side only creates and moves what
// these functions describe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "resources/version.h"

struct Quiz;

enum class HeaderFontChoice {
    none,
    linkFont,        // made by applyLinkStyle from the control's client height
    defaultGuiFont,  // stock DEFAULT_GUI_FONT
    titleFont,       // the quiz's titleFont
    scoreFont,       // the quiz's scoreFont
};

struct HeaderControlSpec {
    int id = 0;
    std::string className;  // "Static", "button" or "edit"; extended style is always 0
    std::string text;
    uint32_t style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    HeaderFontChoice font = HeaderFontChoice::none;
};

constexpr uint32_t headerBrushColour = 0x00FF8080;
constexpr uint32_t headerLinkTextColour = 0x00FF3232;

// The twelve controls in creation order.
std::vector<HeaderControlSpec> headerControls(const Quiz& quiz);

// What the header link shows of the quiz's own address: without its scheme,
// "www." or a final "/", the words a reader recognises; "" without an address.
std::string linkText(const Quiz& quiz);

// " %d / %d": the score shown in control 32 (0 until the first verdict).
std::string scoreText(int score, int questionCount);

// Height of the link font: three quarters of the control's client height,
// negative (a character height), truncated toward zero.
int linkFontHeight(int clientHeight);

struct HeaderPlacement {
    int id;
    int x;
    int y;
    int width;
    int height;
    bool invalidate;  // InvalidateRect of the whole control, background kept
};

// Where WM_SIZE moves the right-anchored controls and the explanations, in
// the order they are moved.
std::vector<HeaderPlacement> headerSizeLayout(int clientWidth);

enum class HeaderStaticPaint {
    systemDefault,  // not ours: FALSE, the system colours
    transparent,    // transparent text cells on the header brush
    link,           // transparent, link text colour, header brush
};

// WM_CTLCOLORSTATIC of the header bar by control id.
HeaderStaticPaint headerStaticPaint(int controlId);

struct PlacedRect {
    int x;
    int y;
    int width;
    int height;
};

struct MainLayout {
    PlacedRect sheet;
    PlacedRect header;
    PlacedRect footer;
};

// The main window's WM_SIZE placement for a client area of clientW x clientH.
// Small windows give zero or negative sizes; they are passed on as they are.
MainLayout mainWindowLayout(int clientW, int clientH);

// "Made with version ...", the programs' version from resources/version.h.
constexpr const char* footerText =
    "R\xE9"
    "alis\xE9 avec la version " VETRA_VERSION_TEXT "  ";
constexpr uint32_t footerBrushColour = 0x00C8D0D4;

// Where WM_CREATE puts the footer before the first WM_SIZE moves it.
PlacedRect footerCreationRect(int clientBottom);

struct ScreenRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct ScreenPoint {
    int x;
    int y;
};

// Top-left corner that centres `window` on `desktop`, each half truncated
// toward zero.
ScreenPoint centredPosition(const ScreenRect& desktop, const ScreenRect& window);
