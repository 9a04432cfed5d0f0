// The size a picture takes when fitted into a box: the aspect ratio is kept
// and the picture is enlarged or reduced until one side meets the box.
#pragma once

// The factor min(maxW / srcW, maxH / srcH) is computed in long double (80-bit
// extended on x86) and each side is truncated, not rounded, so a side whose
// product falls just below a whole number comes out one pixel short.
// A picture or box without area (any argument <= 0) gives 0 x 0.
void fitSize(int srcW, int srcH, int maxW, int maxH, int& outW, int& outH);
