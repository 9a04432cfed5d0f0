#include "sheet/progressFileWin.h"

// Placeholders until the progress file lands.
void progressFileName(char name[260]) { name[0] = '\0'; }
void openProgressFile(ProgressFileView&) {}
void readNextProgressLine(ProgressFileView&, char line[260]) { line[0] = '\0'; }
void closeProgressFile(ProgressFileView&) {}
void saveProgress(Quiz*) {}
