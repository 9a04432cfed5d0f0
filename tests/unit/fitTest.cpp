#include <gtest/gtest.h>

#include <cfloat>

#include "pictures/fit.h"

namespace {

struct FitCase {
    int srcW, srcH, maxW, maxH;
    int outW, outH;
};

TEST(FitSize, KeepsTheAspectRatioInsideTheBox) {
    const FitCase cases[] = {
        {640, 480, 260, 260, 260, 195},  // reduced, width limits
        {520, 390, 260, 260, 260, 195},
        {1040, 520, 260, 260, 260, 130},
        {130, 65, 260, 260, 260, 130},   // enlarged
        {65, 130, 260, 260, 130, 260},   // height limits
        {260, 260, 260, 260, 260, 260},  // already fits exactly
        {1, 1, 260, 260, 260, 260},
        {3, 1000, 260, 260, 0, 260},  // thin side truncated to nothing
        {999, 1, 260, 260, 260, 0},
        {300, 200, 100, 50, 75, 50},  // box that is not square
        {2, 3, 2147483647, 2147483647, 1431655764, 2147483647},
    };
    for (const FitCase& c : cases) {
        int w = -1, h = -1;
        fitSize(c.srcW, c.srcH, c.maxW, c.maxH, w, h);
        EXPECT_EQ(w, c.outW) << c.srcW << "x" << c.srcH << " in " << c.maxW << "x" << c.maxH;
        EXPECT_EQ(h, c.outH) << c.srcW << "x" << c.srcH << " in " << c.maxW << "x" << c.maxH;
    }
}

// The limiting side is W * (maxW / W), which the extended product can leave
// just below the whole number; truncation then loses a pixel. These rows
// hold for the 64-bit mantissa of x87 long double (the Windows build's too).
TEST(FitSize, TruncatesTheLimitingSideWhenItFallsShort) {
#if LDBL_MANT_DIG == 64
    const FitCase cases[] = {
        {8267, 4000, 260, 260, 259, 125},
        {4000, 8267, 260, 260, 125, 259},
        {41, 41, 1, 1, 0, 0},
        {91, 30, 3, 260, 2, 0},
        {49, 49, 1, 1, 1, 1},  // falls short in double precision, not here
    };
    for (const FitCase& c : cases) {
        int w = -1, h = -1;
        fitSize(c.srcW, c.srcH, c.maxW, c.maxH, w, h);
        EXPECT_EQ(w, c.outW) << c.srcW << "x" << c.srcH << " in " << c.maxW << "x" << c.maxH;
        EXPECT_EQ(h, c.outH) << c.srcW << "x" << c.srcH << " in " << c.maxW << "x" << c.maxH;
    }
#else
    GTEST_SKIP() << "long double is not the x87 extended format here";
#endif
}

TEST(FitSize, NothingToFitGivesNoSize) {
    const FitCase cases[] = {
        {0, 100, 260, 260, 0, 0},  {100, 0, 260, 260, 0, 0}, {-5, 100, 260, 260, 0, 0},
        {100, -5, 260, 260, 0, 0}, {100, 100, 0, 260, 0, 0}, {100, 100, 260, -1, 0, 0},
    };
    for (const FitCase& c : cases) {
        int w = -1, h = -1;
        fitSize(c.srcW, c.srcH, c.maxW, c.maxH, w, h);
        EXPECT_EQ(w, 0) << c.srcW << "x" << c.srcH << " in " << c.maxW << "x" << c.maxH;
        EXPECT_EQ(h, 0) << c.srcW << "x" << c.srcH << " in " << c.maxW << "x" << c.maxH;
    }
}

}  // namespace
