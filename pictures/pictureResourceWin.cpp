#include "pictures/pictureResourceWin.h"

// Placeholder until the picture subsystem lands: no picture.
HBITMAP loadPictureResource(HMODULE, int, const char*, int, int) { return nullptr; }
