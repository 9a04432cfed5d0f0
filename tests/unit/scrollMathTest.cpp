#include "sheet/scrollMath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A vertical bar as the sheet drives it: set up from the sizes, then moved
// by requests; each step reports how far the children moved (old - new).
struct VerticalBar {
    int min = 0, max = 0, page = 0, pos = 0;
    void setUp(int clientH, int contentH) {
        const ScrollAxisSetup v = scrollBarSetup(100, clientH, 10, contentH).vertical;
        if (v.resetPosition) pos = 0;
        min = v.min;
        max = v.max;
        page = v.page;
        pos = platformClampedPosition(pos, min, max, page);
    }
    int request(int code, int target = 0, int track = 0) {
        const int old = pos;
        const int wanted = requestedVerticalPosition(code, pos, page, min, max, track, target);
        pos = platformClampedPosition(wanted, min, max, page);
        return old - pos;
    }
};

TEST(ScrollMath, BarSetup) {
    struct Case {
        int client, content;
        ScrollAxisSetup axis;
    } cases[] = {
        {300, 1000, {false, 0, 998, 299}},
        {300, 300, {true, 0, 298, 299}},  // fits exactly: page covers the range
        {300, 120, {true, 0, 118, 119}},
        {300, 0, {true, 0, -2, -1}},
        {0, 20, {false, 0, 18, -1}},
    };
    for (const Case& c : cases) {
        const std::string what = std::to_string(c.client) + "/" + std::to_string(c.content);
        const ScrollBarSetup s = scrollBarSetup(c.client, c.client, c.content, c.content);
        for (const ScrollAxisSetup* a : {&s.horizontal, &s.vertical}) {
            EXPECT_EQ(a->resetPosition, c.axis.resetPosition) << what;
            EXPECT_EQ(a->min, 0) << what;
            EXPECT_EQ(a->max, c.axis.max) << what;
            EXPECT_EQ(a->page, c.axis.page) << what;
        }
    }
    // The axes are independent.
    const ScrollBarSetup mixed = scrollBarSetup(1000, 200, 910, 800);
    EXPECT_TRUE(mixed.horizontal.resetPosition);
    EXPECT_EQ(mixed.horizontal.page, 909);
    EXPECT_FALSE(mixed.vertical.resetPosition);
    EXPECT_EQ(mixed.vertical.page, 199);
    EXPECT_EQ(mixed.vertical.max, 798);
}

TEST(ScrollMath, LineDownStopsAtLastPage) {
    VerticalBar bar;
    bar.setUp(300, 1000);
    const int moves[] = {310, 310, 80, 0};
    const int positions[] = {310, 620, 700, 700};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(-bar.request(1), moves[i]) << "step " << i;
        EXPECT_EQ(bar.pos, positions[i]) << "step " << i;
    }
    EXPECT_EQ(bar.request(0), 310);  // up from the last page: children move down
    EXPECT_EQ(bar.pos, 390);
}

TEST(ScrollMath, SheetTallerThanContentDoesNotMove) {
    VerticalBar bar;
    bar.setUp(500, 300);
    for (int code : {1, 3, 7, 500, 502}) {
        EXPECT_EQ(bar.request(code, 250), 0) << code;
        EXPECT_EQ(bar.pos, 0) << code;
    }
}

TEST(ScrollMath, EnlargingAtTheBottomMovesChildrenDown) {
    VerticalBar bar;
    bar.setUp(300, 1000);
    bar.request(7);
    EXPECT_EQ(bar.pos, 700);
    const int old = bar.pos;
    bar.setUp(400, 1000);
    EXPECT_EQ(bar.pos, 600);
    EXPECT_EQ(old - bar.pos, 100);
    bar.setUp(1200, 1000);  // now it fits: back to the top
    EXPECT_EQ(bar.pos, 0);
}

TEST(ScrollMath, VerticalRequests) {
    // Range 0..998, page 299, position 400, track 123, target 650.
    struct Case {
        int request;
        int expected;
    } cases[] = {
        {0, 90}, {1, 710}, {2, 101}, {3, 699}, {4, 400}, {5, 123}, {6, 0},
        {7, 998}, {8, 400}, {500, 450}, {501, 350}, {502, 650}, {503, 400}, {-1, 400},
    };
    for (const Case& c : cases)
        EXPECT_EQ(requestedVerticalPosition(c.request, 400, 299, 0, 998, 123, 650), c.expected) << c.request;
}

TEST(ScrollMath, VerticalRequestsClamp) {
    struct Case {
        const char* name;
        int request, pos, target;
        int expected;
    } cases[] = {
        {"502 below minimum", 502, 300, -40, 0},
        {"502 above maximum", 502, 300, 5000, 998},
        {"502 far above", 502, 300, 2147483647, 998},
        {"line up at top", 0, 100, 0, 0},
        {"wheel up near top", 501, 20, 0, 0},
        {"wheel down near end", 500, 990, 0, 998},
        {"line down from huge", 1, 2147483600, 0, 998},
        {"page up from very low", 2, -2147483600, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(requestedVerticalPosition(c.request, c.pos, 299, 0, 998, 0, c.target), c.expected) << c.name;
}

TEST(ScrollMath, HorizontalRequests) {
    // Range 0..908, page 399, position 200, track 55.
    struct Case {
        int request;
        int expected;
    } cases[] = {
        {0, 199}, {1, 201}, {2, 0}, {3, 599}, {4, 200}, {5, 55}, {6, 200}, {7, 200}, {8, 200}, {500, 200}, {502, 200},
    };
    for (const Case& c : cases)
        EXPECT_EQ(requestedHorizontalPosition(c.request, 200, 399, 0, 908, 55), c.expected) << c.request;
    EXPECT_EQ(requestedHorizontalPosition(3, 800, 399, 0, 908, 0), 908);
    EXPECT_EQ(requestedHorizontalPosition(0, 0, 399, 0, 908, 0), 0);
}

TEST(ScrollMath, PlatformClamp) {
    struct Case {
        int pos, min, max, page;
        int expected;
    } cases[] = {
        {930, 0, 998, 299, 700}, {700, 0, 998, 299, 700}, {699, 0, 998, 299, 699}, {-5, 0, 998, 299, 0},
        {50, 0, 298, 299, 0},    {50, 0, 998, 0, 50},     {998, 0, 998, 1, 998},   {5, 0, -2, -1, 0},
        {5, 0, 100, 5000, 0},    {5, 0, 100, -7, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platformClampedPosition(c.pos, c.min, c.max, c.page), c.expected)
            << c.pos << " in " << c.min << ".." << c.max << " page " << c.page;
}

TEST(ScrollMath, LabelTextColour) {
    struct Case {
        int red, green;
        bool black;
    } cases[] = {{50, 69, false}, {69, 69, false}, {70, 0, true}, {0, 70, true}, {0, 0, false}, {255, 255, true}};
    for (const Case& c : cases)
        EXPECT_EQ(blackTextOnQuizColour(static_cast<uint8_t>(c.red), static_cast<uint8_t>(c.green)), c.black)
            << c.red << "," << c.green;
}

TEST(ScrollMath, WheelRequest) {
    struct Case {
        uint32_t wParam;
        int request;
    } cases[] = {
        {120u << 16, 501},
        {65416u << 16, 500},
        {(120u << 16) | 0x0008, 501},
        {(65416u << 16) | 0x4, 500},
        {240u << 16, 0},
        {(0x10000u - 240u) << 16, 0},
        {0, 0},
        {120, 0},
        {65416, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(wheelRequest(c.wParam), c.request) << std::hex << c.wParam;
}

TEST(ScrollMath, ClassifySheetStatic) {
    using P = SheetStaticPaint;
    struct Case {
        int id, n, m;
        P paint;
    } cases[] = {
        {153, 4, 1, P::quizColourLabel}, {156, 4, 2, P::quizColourLabel}, {8001, 4, 1, P::quizColourLabel},
        {8004, 4, 1, P::quizColourLabel}, {8005, 4, 1, P::systemDefault}, {8008, 4, 2, P::quizColourLabel},
        {8000, 4, 1, P::systemDefault},   {5001, 4, 1, P::verdictLabel},  {5004, 4, 1, P::verdictLabel},
        {5005, 4, 1, P::systemDefault},   {5008, 4, 2, P::verdictLabel},  {5000, 4, 2, P::systemDefault},
        {3000, 4, 1, P::promptLabel},     {9901, 4, 1, P::systemDefault}, {9900, 4, 1, P::systemDefault},
        {4001, 4, 1, P::systemDefault},   {5001, 0, 1, P::systemDefault}, {8001, 0, 2, P::systemDefault},
    };
    for (const Case& c : cases)
        EXPECT_EQ(classifySheetStatic(c.id, c.n, c.m), c.paint) << c.id << " N=" << c.n << " M=" << c.m;
}

}  // namespace
