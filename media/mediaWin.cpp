#include "media/mediaWin.h"

void prepareMediaHosting(Quiz*) {}
void releaseMedia(Quiz*, HWND) {}
