// The table-driven inflater against the bit-at-a-time reference, on any
// input: both must give the same status, write the same number of bytes and
// the same bytes, and on success the same whole output (the cleared tail).
// The input starts with a mode byte and a 3-byte output size. Mode below
// 0x80: the rest is the stream, cut into IDAT chunks of (mode & 0x3F) bytes
// (0: one chunk) with an empty IDAT between them when bit 0x40 is set.
// Mode 0x80 and up: the rest, after a 2-byte offset, is a whole file whose
// chunk at that offset starts the stream.

#include <cstring>
#include <vector>

#include "pictures/inflate.h"
#include "pictures/inflateReference.h"
#include "tests/fuzz/fuzzCheck.h"

namespace {

using Bytes = std::vector<uint8_t>;

void appendChunk(Bytes& file, const char* type, const uint8_t* data, size_t length) {
    for (int shift = 24; shift >= 0; shift -= 8) file.push_back(uint8_t(length >> shift));
    file.insert(file.end(), type, type + 4);
    if (length > 0) file.insert(file.end(), data, data + length);
    for (int i = 0; i < 4; ++i) file.push_back(0);  // the CRC is never checked
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    const uint32_t mode = in.take(1);
    const uint32_t outputSize = in.take(3) & 0x3FFFF;

    Bytes file;
    size_t firstIdat = 0;
    if (mode >= 0x80) {
        firstIdat = in.take(2);
        file.assign(in.data, in.data + in.size);
    } else {
        const size_t piece = (mode & 0x3F) == 0 ? (in.size > 0 ? in.size : 1) : (mode & 0x3F);
        const uint8_t png[8] = {137, 80, 78, 71, 13, 10, 26, 10};
        file.assign(png, png + 8);
        firstIdat = file.size();
        for (size_t at = 0; at < in.size || at == 0; at += piece) {
            if (at > 0 && (mode & 0x40)) appendChunk(file, "IDAT", nullptr, 0);
            const size_t length = in.size - at < piece ? in.size - at : piece;
            appendChunk(file, "IDAT", in.data + at, length);
        }
        appendChunk(file, "IEND", nullptr, 0);
    }

    // Both buffers start alike, so bytes either one leaves alone compare equal.
    Bytes fast(outputSize, 0xA5), reference(outputSize, 0xA5);
    uint32_t fastWritten = 0, referenceWritten = 0;
    // Possibly outside the file: only the address is compared, neither reads it.
    // (Formed as an integer: the file may be empty, its data null.)
    const uint8_t* start = reinterpret_cast<const uint8_t*>(reinterpret_cast<uintptr_t>(file.data()) + firstIdat);
    const InflateStatus expected = inflateIdatStreamReference(file.data(), uint32_t(file.size()), start,
                                                              reference.data(), outputSize, &referenceWritten);
    const InflateStatus actual =
        inflateIdatStreamStatus(file.data(), uint32_t(file.size()), start, fast.data(), outputSize, &fastWritten);
    FUZZ_CHECK(actual == expected, "same status as the reference");
    FUZZ_CHECK(fastWritten == referenceWritten, "same number of bytes written");
    FUZZ_CHECK(referenceWritten <= outputSize, "nothing written past the output");
    if (referenceWritten > 0) {
        FUZZ_CHECK(std::memcmp(fast.data(), reference.data(), referenceWritten) == 0, "same bytes written");
    }
    if (expected == inflateOk) FUZZ_CHECK(fast == reference, "same whole output, cleared tail included");
    return 0;
}
