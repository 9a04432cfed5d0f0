#include "pictures/pngResourceWin.h"

#include <new>
#include <vector>

#include "pictures/pictureMessageWin.h"

namespace {

// The steps after the chunk walk, the same for a resource and a file.
PngDecodeResult decodeAttached(PngImage& image, HBITMAP& bitmap) {
    if (!pngImageDecompress(image)) return pngDecodeInflateFailed;
    bitmap = pngImageToBitmap(image);
    return bitmap ? pngDecodeOk : pngDecodeBitmapFailed;
}

}  // namespace

bool pngImageFromResource(PngImage& image, HMODULE module, int id) {
    if (image.sourceKind != pngSourceNone || image.stage != pngStageEmpty) {
        image.lastError = pngErrorSourceAttached;
        return false;
    }
    image.lastError = 0;
    HRSRC found = (id > 0 && id <= 0xFFFF) ? FindResourceA(module, MAKEINTRESOURCEA(id), RT_RCDATA) : nullptr;
    if (found == nullptr) {
        image.lastError = pngErrorNoResource;
        return false;
    }
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    DWORD size = SizeofResource(module, found);
    if (data == nullptr || size == 0) {
        image.lastError = pngErrorLoadResource;
        return false;
    }
    return pngImageAttach(image, static_cast<const uint8_t*>(data), size);
}

HBITMAP pngImageToBitmap(PngImage& image) {
    if (image.stage != pngStageInflated) {
        image.lastError = pngErrorWrongStage;
        return nullptr;
    }
    PngOutputFormat format;
    if (!pngOutputFormat(image, format)) {  // a palette image without PLTE
        image.lastError = pngErrorUnsupported;
        return nullptr;
    }
    std::vector<uint8_t> info;
    try {
        pngDibHeaderBytes(format, info);
    } catch (const std::bad_alloc&) {
        image.lastError = pngErrorOutOfMemory;
        return nullptr;
    }

    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap =
        CreateDIBSection(screen, reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (screen) ReleaseDC(nullptr, screen);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap) DeleteObject(bitmap);
        image.lastError = pngErrorCreateBitmap;
        return nullptr;
    }
    if (!pngImageFillPixels(image, static_cast<uint8_t*>(bits), format.pixelBytes)) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

HBITMAP decodePngBitmap(const uint8_t* data, size_t size, PngDecodeResult& result) {
    PngImage image;
    pngImageClear(image);
    HBITMAP bitmap = nullptr;
    const bool attached = size <= 0xFFFFFFFFu && pngImageAttach(image, data, static_cast<uint32_t>(size));
    result = attached ? decodeAttached(image, bitmap) : pngDecodeLoadFailed;
    pngImageRelease(image);
    return bitmap;
}

HBITMAP loadPngPicture(HMODULE module, int id) {
    PngImage image;
    pngImageClear(image);
    HBITMAP bitmap = nullptr;
    PngDecodeResult result = pngDecodeOk;
    if (pngImageFromResource(image, module, id)) {
        result = decodeAttached(image, bitmap);
    } else if (image.lastError != pngErrorNoResource) {
        // No picture under this number at all is the ordinary case of a
        // quiz without solution pictures, not an error to show.
        result = pngDecodeLoadFailed;
    }
    if (result != pngDecodeOk) pictureMessageHook(pngDecodeMessage(result), "APPNAME", MB_ICONERROR);
    pngImageRelease(image);
    return bitmap;
}
