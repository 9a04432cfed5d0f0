#include <gtest/gtest.h>

#include <string>

#include "resources/version.h"

namespace {

#define VERSION_TEST_TEXT(...) #__VA_ARGS__
#define VERSION_TEST_EXPANDED(numbers) VERSION_TEST_TEXT(numbers)

// resources/version.h writes the version in the two forms the resource
// compiler needs; CMake and scripts/dist read the numbers, the programs show
// the text, so the two must say the same.
TEST(Version, TextIsTheNumbersJoinedByDots) {
    const std::string numbers = VERSION_TEST_EXPANDED(VETRA_VERSION_NUMBERS);
    std::string joined;
    int parts = 1;
    for (char c : numbers) {
        if (c == ',') {
            joined += '.';
            ++parts;
        } else if (c != ' ') {
            joined += c;
        }
    }
    EXPECT_EQ(parts, 4) << numbers;
    EXPECT_EQ(joined, VETRA_VERSION_TEXT) << numbers;
}

}  // namespace
