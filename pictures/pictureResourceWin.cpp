#include "pictures/pictureResourceWin.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>

#include "pictures/fit.h"
#include "pictures/pictureMessageWin.h"
#include "pictures/pngResourceWin.h"

namespace {

// The picture object owns its bitmap and destroys it on release, so the
// caller gets an independent copy at the same size.
HBITMAP copyPictureBitmap(IPicture* picture) {
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Handle(&handle)) || handle == 0) return nullptr;
    HANDLE copy = CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0, 0, 0);
    if (copy == nullptr) {
        char text[260];
        wsprintfA(text, "%s plante avec l'erreur : %d\n", "CopyImage", static_cast<int>(GetLastError()));
        pictureMessageHook(text, "info", MB_ICONINFORMATION);
    }
    return static_cast<HBITMAP>(copy);
}

// Runs inside CoInitialize / CoUninitialize: the stream owns the block.
HBITMAP decodeInApartment(const void* bytes, DWORD size) {
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
    if (block == nullptr) return nullptr;
    std::memcpy(static_cast<void*>(block), bytes, size);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)) || stream == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    IPicture* picture = nullptr;
    HRESULT loaded =
        OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture, reinterpret_cast<void**>(&picture));
    if (FAILED(loaded) || picture == nullptr) {
        stream->Release();
        return nullptr;
    }
    HBITMAP copy = copyPictureBitmap(picture);
    picture->Release();
    stream->Release();
    return copy;
}

}  // namespace

HBITMAP decodeOlePicture(const void* bytes, DWORD size) {
    if (bytes == nullptr || size == 0) return nullptr;
    // Nests inside the media player's apartment when there is one; only a
    // successful initialisation is balanced, so a thread already in another
    // apartment keeps its count.
    HRESULT init = CoInitialize(nullptr);
    HBITMAP bitmap = decodeInApartment(bytes, size);
    if (SUCCEEDED(init)) CoUninitialize();
    return bitmap;
}

HBITMAP decodePicture(PictureDecoder decoder, const void* bytes, DWORD size) {
    if (bytes == nullptr) return nullptr;
    PngDecodeResult result = pngDecodeOk;
    switch (decoder) {
        case PictureDecoder::png: return decodePngBitmap(static_cast<const uint8_t*>(bytes), size, result);
        case PictureDecoder::platform: return decodeOlePicture(bytes, size);
        default: return nullptr;
    }
}

HBITMAP fitBitmap(HBITMAP source, int maxWidth, int maxHeight) {
    BITMAP info;
    if (source == nullptr || GetObjectA(source, sizeof info, &info) != static_cast<int>(sizeof info)) {
        return nullptr;
    }
    int width = 0, height = 0;
    fitSize(info.bmWidth, info.bmHeight, maxWidth, maxHeight, width, height);
    if (width <= 0 || height <= 0) return nullptr;

    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return nullptr;
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    // The screen's format, not the memory context's one-bit default.
    HBITMAP fitted = (from && to) ? CreateCompatibleBitmap(screen, width, height) : nullptr;
    if (fitted != nullptr) {
        HGDIOBJ oldFrom = SelectObject(from, source);
        HGDIOBJ oldTo = SelectObject(to, fitted);
        // HALFTONE averages the source pixels behind each destination pixel;
        // it wants the brush origin reset after it is chosen.
        SetStretchBltMode(to, HALFTONE);
        SetBrushOrgEx(to, 0, 0, nullptr);
        BOOL drawn = StretchBlt(to, 0, 0, width, height, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        SelectObject(from, oldFrom);
        SelectObject(to, oldTo);
        if (!drawn) {
            DeleteObject(fitted);
            fitted = nullptr;
        }
    }
    if (from) DeleteDC(from);
    if (to) DeleteDC(to);
    ReleaseDC(nullptr, screen);
    return fitted;
}

HBITMAP loadPictureResource(HMODULE module, int id, const char* type, int maxWidth, int maxHeight) {
    // Resource numbers are 16-bit; anything else would name another resource.
    if (id <= 0 || id > 0xFFFF) return nullptr;
    HBITMAP full = nullptr;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (loaded != nullptr) {
        // The type alone picks the decoder (the packer chose the type by
        // pictureFormat): an IMG resource never falls back to the PNG
        // decoder, whatever its bytes.
        full = decodeOlePicture(LockResource(loaded), SizeofResource(module, found));
        FreeResource(loaded);
    } else {
        full = loadPngPicture(module, id);
    }
    if (full == nullptr) return nullptr;
    HBITMAP fitted = fitBitmap(full, maxWidth, maxHeight);
    DeleteObject(full);  // only the fitted copy is ever shown
    return fitted;
}
