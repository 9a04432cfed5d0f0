#include "sheet/progressFileWin.h"

void saveProgress(Quiz*) {}
