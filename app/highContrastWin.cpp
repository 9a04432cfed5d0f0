#include "app/highContrastWin.h"

namespace {

bool systemHighContrast() {
    HIGHCONTRASTA setting;
    ZeroMemory(&setting, sizeof setting);
    setting.cbSize = sizeof setting;
    // A system that cannot say keeps the program's own colours.
    if (!SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0)) return false;
    return (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

bool (*highContrastOn)() = systemHighContrast;

bool coloursLeftToSystem(UINT message) {
    switch (message) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN: return highContrastOn();
        default: return false;
    }
}
