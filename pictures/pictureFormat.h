// Which decoder shows a picture file, told from its first bytes. The packer
// stores a picture for our PNG decoder as raw data (RT_RCDATA) and one for the
// platform's loader as IMG, and the player picks its decoder by that resource
// type; so this one choice serves the packer's check, the editor's preview
// and the player alike.
#pragma once

#include <cstddef>
#include <cstdint>

enum class PictureDecoder {
    none,      // not a picture the player shows
    png,       // the program's own PNG decoder
    platform,  // the platform's picture loader: JPEG, GIF, BMP, ICO, WMF, EMF
};

struct PictureFormat {
    PictureDecoder decoder;
    const char* extension;  // "png", "jpg", "gif", "bmp", "ico", "wmf", "emf"; null for none
};

// By signature only; empty or short input is none.
PictureFormat pictureFormat(const uint8_t* bytes, size_t size);

inline PictureDecoder pictureDecoderFor(const uint8_t* bytes, size_t size) {
    return pictureFormat(bytes, size).decoder;
}

// Whether the player shows the picture: a PNG our decoder decodes whole, or
// a file of a format the platform's loader reads (its signature: the loader
// itself is only on the Windows side).
bool playerReadsPicture(const uint8_t* bytes, size_t size);
