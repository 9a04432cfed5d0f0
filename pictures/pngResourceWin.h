// PNG pictures kept as raw-data resources, decoded by our own decoder into a DIB section.
#pragma once

#include <windows.h>

#include "pictures/png.h"

// A full-size top-down DIB section, or null. A raw-data resource that exists
// but cannot be shown gets a message; a number without one is quietly null.
HBITMAP loadPngPicture(HMODULE module, int id);

// Our decoder on a PNG file in memory: a full-size DIB section, or null and
// the step that failed. Shows nothing.
HBITMAP decodePngBitmap(const uint8_t* data, size_t size, PngDecodeResult& result);

// Attaches raw-data resource `id` of `module` and walks its chunks: stage 0
// to 1. Last error 0x1002 when a source is attached, 0x3001 without such a
// resource, 0x3002 when it cannot be loaded or is empty, else the parser's.
bool pngImageFromResource(PngImage& image, HMODULE module, int id);

// A new DIB section holding the inflated image (stage 2, left unchanged);
// null with 0x2003 in the wrong stage, 0x2006 when the section cannot be made.
HBITMAP pngImageToBitmap(PngImage& image);
