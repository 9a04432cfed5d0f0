// What every fuzz target shares: a check that stops the run with a message
// (libFuzzer keeps the input that triggered it as a crash file), and a way to
// cut one input into parts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition, what)                                                            \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, __FILE__, __LINE__); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

// Consumes the input front to back: a little-endian integer from the front,
// then the rest. Reading past the end gives zeros, so every input is usable.
struct FuzzInput {
    const uint8_t* data;
    size_t size;

    uint32_t take(int bytes) {
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            uint32_t byte = 0;
            if (size > 0) {
                byte = *data++;
                --size;
            }
            value |= byte << (8 * i);
        }
        return value;
    }

    // The bytes up to (not including) the next `separator`, which is stepped
    // over; everything left when there is none.
    std::string takeUntil(uint8_t separator) {
        size_t n = 0;
        while (n < size && data[n] != separator) ++n;
        std::string part(reinterpret_cast<const char*>(data), n);
        data += n;
        size -= n;
        if (size > 0) {
            ++data;
            --size;
        }
        return part;
    }
};
