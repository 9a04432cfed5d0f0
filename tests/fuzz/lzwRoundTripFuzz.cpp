// The encoder of the authoring tool against the player's decoder: any byte
// string the encoder accepts must decode to itself, and the encoder may only
// refuse what its documented limits refuse.

#include <cstring>

#include "quiz/lzw.h"
#include "tests/fuzz/fuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > lzwMaxInputSize) return 0;
    uint8_t* stream = nullptr;
    int32_t streamLength = 0;
    const int32_t encoded = lzwEncode(data, static_cast<uint32_t>(size), &stream, &streamLength);
    FUZZ_CHECK(encoded == lzwOk || encoded == lzwErrorWrite, "encode result is ok or a write limit");
    FUZZ_CHECK(stream != nullptr, "the stream buffer is handed over once it exists");
    FUZZ_CHECK(streamLength >= 1 && static_cast<uint32_t>(streamLength) <= lzwEncodedCapacity + 1,
               "stream length is stream bytes + 1 within the buffer");
    if (encoded == lzwErrorWrite) {
        // Only a stream past 32768 bytes can be refused for input this short
        // (a string reaches 4096 bytes only after far more input than the
        // 65535 accepted): the stream cut short must then have filled the buffer.
        FUZZ_CHECK(static_cast<uint32_t>(streamLength - 1) == lzwEncodedCapacity,
                   "a write failure happens only with the stream buffer full");
    } else {
        FUZZ_CHECK(lzwLastEncodeOutputSize() == static_cast<uint32_t>(streamLength - 1), "last output size");
        uint8_t* decoded = nullptr;
        int32_t decodedLength = 0;
        const int32_t result = lzwDecode(stream, static_cast<uint32_t>(streamLength - 1), &decoded, &decodedLength);
        FUZZ_CHECK(result == lzwOk, "an encoded stream decodes");
        FUZZ_CHECK(static_cast<size_t>(decodedLength - 2) == size, "round trip keeps the length");
        FUZZ_CHECK(std::memcmp(decoded, data, size) == 0, "round trip keeps the bytes");
        FUZZ_CHECK(lzwLastInputConsumed() == static_cast<uint32_t>(streamLength - 1),
                   "the decoder reads the whole stream and no further");
        lzwFree(decoded);
    }
    lzwFree(stream);
    return 0;
}
