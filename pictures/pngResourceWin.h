// PNG pictures kept as raw-data resources, decoded by our own decoder into a DIB section.
#pragma once

#include <windows.h>

// A full-size top-down DIB section, or null (with a message when the
// resource exists but cannot be shown).
HBITMAP loadPngPicture(HMODULE module, int id);
