// Picture resources turned into bitmaps fitted into a box.
#pragma once

#include <windows.h>

#include "pictures/pictureFormat.h"

// IMG resource `id` decoded by the platform, or else raw-data resource `id`
// decoded as PNG; fitted into maxWidth x maxHeight. The bitmap belongs to the
// caller. Null when there is no picture; a number that is neither kind of
// resource gives null quietly, since the sheet asks for pictures a quiz need
// not have.
HBITMAP loadPictureResource(HMODULE module, int id, const char* type, int maxWidth, int maxHeight);

// The platform's picture loader (JPEG and the like) on bytes in memory; a
// full-size bitmap independent of the picture object, or null.
HBITMAP decodeOlePicture(const void* bytes, DWORD size);

// A picture file in memory decoded by the given decoder, as the player
// decodes its resources (pictureDecoderFor tells which); a full-size bitmap,
// or null. Shows nothing.
HBITMAP decodePicture(PictureDecoder decoder, const void* bytes, DWORD size);

// A new bitmap of the source scaled into the box with the aspect ratio kept;
// null when the source is not a bitmap or has no area.
HBITMAP fitBitmap(HBITMAP source, int maxWidth, int maxHeight);
