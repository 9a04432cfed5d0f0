// The LZW decoder on arbitrary bytes, as resources 104 and 105 reach it from
// an executable anyone may have edited. Besides the sanitizers' checks: the
// result is one of the documented codes, the output length stays inside the
// buffer, and the decoder never claims to have read more than it was given.

#include <cstring>

#include "quiz/lzw.h"
#include "tests/fuzz/fuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > lzwMaxInputSize + 16) return 0;  // the size limit itself is a unit test
    uint8_t* output = nullptr;
    int32_t outputLength = -1;
    const int32_t result = lzwDecode(data, static_cast<uint32_t>(size), &output, &outputLength);
    FUZZ_CHECK(result == lzwOk || result == lzwErrorInput || result == lzwErrorStream,
               "decode result is a documented code (allocation cannot fail here)");
    FUZZ_CHECK(output != nullptr, "the output buffer is handed over once it exists");
    FUZZ_CHECK(outputLength >= 2 && static_cast<uint32_t>(outputLength) <= lzwDecodedCapacity + 2,
               "output length is decoded bytes + 2 within the buffer");
    FUZZ_CHECK(lzwLastInputSize() == size, "last input size");
    FUZZ_CHECK(lzwLastInputConsumed() <= size, "never consumes more than the input");
    if (size == 0 || size > lzwMaxInputSize) {
        FUZZ_CHECK(result == lzwErrorInput, "empty or oversized input is refused");
    }
    // What the decoder accepted, the canonical encoder must carry back
    // unchanged (kept to short outputs: encoding is the slow direction).
    const uint32_t decoded = static_cast<uint32_t>(outputLength - 2);
    if (result == lzwOk && decoded > 0 && decoded <= 1024) {
        uint8_t* stream = nullptr;
        int32_t streamLength = 0;
        const int32_t encoded = lzwEncode(output, decoded, &stream, &streamLength);
        FUZZ_CHECK(encoded == lzwOk || encoded == lzwErrorWrite, "encode result");
        if (encoded == lzwOk) {
            uint8_t* again = nullptr;
            int32_t againLength = 0;
            FUZZ_CHECK(lzwDecode(stream, static_cast<uint32_t>(streamLength - 1), &again, &againLength) == lzwOk,
                       "re-encoded output decodes");
            FUZZ_CHECK(againLength == outputLength && std::memcmp(again, output, decoded) == 0,
                       "re-encoded output decodes to the same bytes");
            lzwFree(again);
        }
        lzwFree(stream);
    }
    lzwFree(output);
    return 0;
}
