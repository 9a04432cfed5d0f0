#include "pictures/fit.h"

void fitSize(int srcW, int srcH, int maxW, int maxH, int& outW, int& outH) {
    outW = 0;
    outH = 0;
    // Nothing sensible to scale, and a zero divisor or a negative factor
    // would give an infinite or negative size.
    if (srcW <= 0 || srcH <= 0 || maxW <= 0 || maxH <= 0) return;
    long double scaleW = static_cast<long double>(maxW) / srcW;
    long double scaleH = static_cast<long double>(maxH) / srcH;
    long double scale = scaleW < scaleH ? scaleW : scaleH;
    // Each product is at most its box side (plus a rounding error far below
    // one), so the truncation stays inside int.
    outW = static_cast<int>(srcW * scale);
    outH = static_cast<int>(srcH * scale);
}
