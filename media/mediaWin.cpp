#include "media/mediaWin.h"

// Placeholders until media playback lands.
void prepareMediaHosting(Quiz*) {}
void setUpPlayer(Quiz*, HWND) {}
HICON playIcon() { return nullptr; }
HICON stopIcon() { return nullptr; }
void onMediaCommand(Quiz*, HWND, int) {}
void releaseMedia(Quiz*, HWND) {}
