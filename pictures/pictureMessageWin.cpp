#include "pictures/pictureMessageWin.h"

namespace {

void showMessageBox(const char* text, const char* caption, UINT style) {
    MessageBoxA(nullptr, text, caption, style);
}

}  // namespace

void (*pictureMessageHook)(const char* text, const char* caption, UINT style) = showMessageBox;
