#include "pictures/pictureFormat.h"

#include <cstring>
#include <vector>

#include "pictures/png.h"

namespace {

struct Signature {
    size_t at;
    const char* bytes;
    size_t length;
};

struct FormatRow {
    PictureFormat format;
    Signature first;
    Signature second;  // length 0: none
};

constexpr PictureFormat pngFormat = {PictureDecoder::png, "png"};

const FormatRow formats[] = {
    {pngFormat, {0, "\x89PNG\r\n\x1A\n", 8}, {0, "", 0}},
    {{PictureDecoder::platform, "jpg"}, {0, "\xFF\xD8\xFF", 3}, {0, "", 0}},
    {{PictureDecoder::platform, "gif"}, {0, "GIF87a", 6}, {0, "", 0}},
    {{PictureDecoder::platform, "gif"}, {0, "GIF89a", 6}, {0, "", 0}},
    {{PictureDecoder::platform, "bmp"}, {0, "BM", 2}, {0, "", 0}},
    {{PictureDecoder::platform, "ico"}, {0, "\0\0\1\0", 4}, {0, "", 0}},
    {{PictureDecoder::platform, "wmf"}, {0, "\xD7\xCD\xC6\x9A", 4}, {0, "", 0}},
    // An enhanced metafile opens with record type 1 and says " EMF" at byte 40.
    {{PictureDecoder::platform, "emf"}, {0, "\1\0\0\0", 4}, {40, " EMF", 4}},
};

bool matches(const uint8_t* bytes, size_t size, const Signature& signature) {
    if (signature.length == 0) return true;
    return size >= signature.at + signature.length &&
           std::memcmp(bytes + signature.at, signature.bytes, signature.length) == 0;
}

}  // namespace

PictureFormat pictureFormat(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr) return {PictureDecoder::none, nullptr};
    for (const FormatRow& row : formats) {
        if (matches(bytes, size, row.first) && matches(bytes, size, row.second)) return row.format;
    }
    return {PictureDecoder::none, nullptr};
}

bool playerReadsPicture(const uint8_t* bytes, size_t size) {
    switch (pictureDecoderFor(bytes, size)) {
        case PictureDecoder::png: {
            std::vector<uint8_t> header, pixels;
            return pngDecodeToDib(bytes, size, header, pixels) == pngDecodeOk;
        }
        case PictureDecoder::platform: return true;
        default: return false;
    }
}
