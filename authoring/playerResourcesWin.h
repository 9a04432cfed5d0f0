// The resources of a player executable: the quiz a player carries, read out
// of it and written into a copy of it. Paths are UTF-8, whatever the system's
// code page, and go to the platform's wide-character functions.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "authoring/filesWin.h"
#include "authoring/quizAssembly.h"

// Whether a resource belongs to a quiz: PATCH and IMG resources, and the
// raw-data resources numbered like pictures (400 + n, 10400 + n).
bool isQuizResource(ResourceKind kind, uint16_t id);

// Reads the quiz resources of an executable (PATCH, IMG and picture-numbered
// raw data, numeric ids only). An executable without any gives an empty list.
bool readQuizResources(const std::string& executable, std::vector<PackedResource>& out, std::string& error);

// Whether an executable still carries a COFF symbol table. Growing its
// resources moves the sections after them and leaves the table's pointer
// stale, so players to pack into should be linked stripped.
bool hasSymbolTable(const std::string& executable);

// Writes `output`: a copy of `player` whose resource table is rebuilt from the
// player's own resources minus any quiz it carried, plus `resources` (language
// neutral). The copy is made and checked under a temporary name next to
// `output` and renamed only once complete; on failure nothing is left behind.
bool writePackedPlayer(const std::string& player, const std::string& output,
                       const std::vector<PackedResource>& resources, std::string& error);
