// A question's picture as the player will show it: decoded by the player's
// own decoders (PNG by ours, any other format by the platform) and fitted
// into the player's 260 x 260 cell by the same code.
#pragma once

#include <windows.h>

#include <string>

constexpr int playerPictureCell = 260;

struct PicturePreview {
    HBITMAP fitted = nullptr;  // fitted into the player's cell; null when there is nothing to show
    std::string path;          // the file it was read from (full path, UTF-8)
    std::wstring note;         // why there is no picture: "" for an empty path
};

// Reads and decodes the file at `fullPath` ("" for no picture), replacing
// what the preview held.
void loadPreview(PicturePreview& preview, const std::string& fullPath);
void releasePreview(PicturePreview& preview);

// Paints a cell of side `side` (the player's, or half of it) at `cell`: the
// quiz colour around the picture, the picture scaled by side / 260 and
// centred as in the player's cell, or the note.
void drawPreview(const PicturePreview& preview, HDC dc, const RECT& cell, COLORREF background);
