#include "editor/picturePreviewWin.h"

#include <vector>

#include "authoring/filesWin.h"
#include "pictures/pictureFormat.h"
#include "pictures/pictureResourceWin.h"

void releasePreview(PicturePreview& preview) {
    if (preview.fitted) DeleteObject(preview.fitted);
    preview.fitted = nullptr;
    preview.path.clear();
    preview.note.clear();
}

void loadPreview(PicturePreview& preview, const std::string& fullPath) {
    releasePreview(preview);
    preview.path = fullPath;
    if (fullPath.empty()) return;
    std::vector<uint8_t> bytes;
    if (!readWholeFile(fullPath, bytes) || bytes.empty()) {
        preview.note = L"Fichier introuvable";
        return;
    }
    // The decoder the player will use for the resource the quiz will carry.
    HBITMAP full =
        decodePicture(pictureDecoderFor(bytes.data(), bytes.size()), bytes.data(), static_cast<DWORD>(bytes.size()));
    if (!full) {
        preview.note = L"Image illisible";
        return;
    }
    preview.fitted = fitBitmap(full, playerPictureCell, playerPictureCell);
    DeleteObject(full);
    if (!preview.fitted) preview.note = L"Image illisible";
}

void drawPreview(const PicturePreview& preview, HDC dc, const RECT& cell, COLORREF background) {
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &cell, brush);
    DeleteObject(brush);
    const int side = cell.right - cell.left;
    BITMAP info;
    if (preview.fitted && GetObjectW(preview.fitted, sizeof info, &info) == static_cast<int>(sizeof info)) {
        // Scaled from the player's cell, and centred in it as the sheet centres a picture.
        const int w = info.bmWidth * side / playerPictureCell;
        const int h = info.bmHeight * side / playerPictureCell;
        HDC from = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(from, preview.fitted);
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, cell.left + (side - w) / 2, cell.top + (cell.bottom - cell.top - h) / 2, w, h, from, 0, 0,
                   info.bmWidth, info.bmHeight, SRCCOPY);
        SelectObject(from, old);
        DeleteDC(from);
        return;
    }
    if (preview.note.empty()) return;
    RECT text = cell;
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, preview.note.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORDBREAK);
}
