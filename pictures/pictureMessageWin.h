// The one way the picture code shows a message: the resource loaders of both
// decoders report through it, and whoever hosts them may replace it.
#pragma once

#include <windows.h>

// Every message the picture code shows goes through this hook (text, caption,
// style); by default a message box without owner. Tests replace it, and the
// editor, whose previews say what they cannot show.
extern void (*pictureMessageHook)(const char* text, const char* caption, UINT style);
