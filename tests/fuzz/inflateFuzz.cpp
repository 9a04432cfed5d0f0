// The inflater over IDAT chunks, compared with its bit-at-a-time reference
// and with zlib. The input starts with a
// mode byte and a 3-byte output size. Mode below 0x80: the rest is a zlib
// stream that the target cuts into IDAT chunks of (mode & 0x3F) bytes (0:
// one chunk), with an empty IDAT between them when bit 0x40 is set, and ends
// with IEND. Mode 0x80 and up: the rest, after a 2-byte offset, is taken as
// a whole file whose chunk at that offset starts the stream, so the chunk
// walk itself meets arbitrary lengths and types.
//
// The table-driven inflater and the reference must agree on everything: the
// status, the bytes written and those bytes.
//
// zlib is stricter than our inflater (it refuses incomplete and over-full
// codes, 287 literal codes, missing end codes, which ours only refuses when
// such a code is read; the one exception is noted below), so the comparison
// runs one way: whatever zlib decodes
// completely, ours must decode to the same bytes; whatever overflows zlib's
// buffer of outputSize + 1 bytes must fill ours.

#include <zlib.h>

#include <cstring>
#include <vector>

#include "pictures/inflate.h"
#include "tests/fuzz/fuzzCheck.h"
#include "tests/reference/inflateReference.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t bigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

void appendChunk(Bytes& file, const char* type, const uint8_t* data, size_t length) {
    for (int shift = 24; shift >= 0; shift -= 8) file.push_back(uint8_t(length >> shift));
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), data, data + length);
    for (int i = 0; i < 4; ++i) file.push_back(0);  // the CRC is never checked
}

// The stream as the chunk rules define it, written apart from the inflater:
// the data of the chunk at `offset` (whatever its type) and of the IDAT
// chunks right after it, until a chunk that is not IDAT or does not fit.
Bytes gatherStream(const Bytes& file, size_t offset) {
    Bytes stream;
    bool first = true;
    size_t at = offset;
    for (;;) {
        if (at > file.size() || file.size() - at < 8) break;
        const uint32_t length = bigEndian32(&file[at]);
        if (length > file.size() - at - 8) break;
        if (!first && std::memcmp(&file[at + 4], "IDAT", 4) != 0) break;
        stream.insert(stream.end(), file.begin() + at + 8, file.begin() + at + 8 + length);
        at += 8 + size_t(length) + 4;
        first = false;
    }
    return stream;
}

// memcmp that accepts the null data of an empty vector.
bool same(const uint8_t* a, const uint8_t* b, size_t n) {
    return n == 0 || std::memcmp(a, b, n) == 0;
}

enum class ZlibOutcome { complete, overflow, incomplete, refused };

// Inflates the raw deflate data after the 2-byte header into a buffer one
// byte larger than the output, so that too much data shows as an overflow.
ZlibOutcome zlibInflate(const Bytes& stream, uint32_t outputSize, Bytes& out, uint32_t& produced) {
    out.assign(size_t(outputSize) + 1, 0);
    z_stream z = {};
    if (inflateInit2(&z, -15) != Z_OK) std::abort();
    z.next_in = const_cast<Bytef*>(stream.data() + 2);
    z.avail_in = uInt(stream.size() - 2);
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    const int result = inflate(&z, Z_NO_FLUSH);
    produced = uint32_t(z.total_out);
    inflateEnd(&z);
    // zlib stops once its buffer is full, before any later error.
    if (produced > outputSize) return ZlibOutcome::overflow;
    if (result == Z_STREAM_END) return ZlibOutcome::complete;
    if (result == Z_DATA_ERROR) return ZlibOutcome::refused;
    return ZlibOutcome::incomplete;
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

    // Filled with a marker so that the clearing of an unused tail shows.
    Bytes output(outputSize, 0xA5), referenceOutput(outputSize, 0xA5);
    // May lie past the file (the inflater must then read nothing): formed as
    // an integer, since the file may even be empty, with no address at all.
    const uint8_t* start = reinterpret_cast<const uint8_t*>(reinterpret_cast<uintptr_t>(file.data()) + firstIdat);
    const uint32_t fileLength = uint32_t(file.size());
    uint32_t written = 0, referenceWritten = 0;
    const InflateStatus status =
        inflateIdatStreamStatus(file.data(), fileLength, start, output.data(), outputSize, &written);
    const InflateStatus referenceStatus = inflateIdatStreamReference(
        file.data(), fileLength, start, referenceOutput.data(), outputSize, &referenceWritten);
    FUZZ_CHECK(status <= inflateOk && status >= inflateRepeatTooLong, "status is one of the documented values");
    FUZZ_CHECK(status == referenceStatus, "same status as the reference");
    FUZZ_CHECK(written == referenceWritten && written <= outputSize, "same bytes written as the reference");
    FUZZ_CHECK(same(output.data(), referenceOutput.data(), status == inflateOk ? outputSize : written),
               "same output as the reference");
    {
        // The plain decoding loop, where the processor has BMI2 and the
        // call above took the other one.
        Bytes plain(outputSize, 0xA5);
        uint32_t plainWritten = 0;
        inflateAllowBmi2(false);
        const InflateStatus plainStatus =
            inflateIdatStreamStatus(file.data(), fileLength, start, plain.data(), outputSize, &plainWritten);
        inflateAllowBmi2(true);
        FUZZ_CHECK(plainStatus == status && plainWritten == written, "the plain loop stops where the other does");
        FUZZ_CHECK(same(plain.data(), output.data(), status == inflateOk ? outputSize : written),
                   "the plain loop writes what the other does");
    }
    {
        Bytes again(outputSize, 0x5A);
        FUZZ_CHECK((status == inflateOk) == inflateIdatStream(file.data(), fileLength, start, again.data(), outputSize),
                   "the boolean entry agrees with the status");
    }

    const Bytes stream = gatherStream(file, firstIdat);
    if (stream.size() < 2) {
        FUZZ_CHECK(status == inflateInputEnded, "no room for the zlib header");
        return 0;
    }
    if ((stream[0] & 0x0F) != 8 || (stream[0] >> 4) > 7) {
        FUZZ_CHECK(status == inflateBadMethod, "bad compression method");
        return 0;
    }
    if (stream[1] & 0x20) {
        FUZZ_CHECK(status == inflatePresetDictionary, "preset dictionary");
        return 0;
    }

    Bytes reference;
    uint32_t produced = 0;
    switch (zlibInflate(stream, outputSize, reference, produced)) {
        case ZlibOutcome::complete:
            FUZZ_CHECK(status == inflateOk, "zlib decodes the stream completely, so must we");
            FUZZ_CHECK(written == produced, "as many bytes as zlib");
            FUZZ_CHECK(same(output.data(), reference.data(), produced), "same bytes as zlib");
            for (uint32_t i = produced; i < outputSize; ++i) FUZZ_CHECK(output[i] == 0, "tail cleared to zero");
            break;
        case ZlibOutcome::overflow:
            FUZZ_CHECK(status == inflateOutputFull && written == outputSize, "more data than the output holds");
            FUZZ_CHECK(same(output.data(), reference.data(), outputSize), "same bytes as zlib");
            break;
        case ZlibOutcome::incomplete:
            // zlib used all the input without an error. Usually all it read
            // was valid and ours runs out of input at the same byte; but zlib
            // reads an empty code-length code as zero lengths, where ours
            // stops with no symbol. Either way the stream never succeeds.
            FUZZ_CHECK(status != inflateOk && status != inflateOutputFull, "an unfinished stream never succeeds");
            if (status == inflateInputEnded) {
                FUZZ_CHECK(written == produced, "as many bytes as zlib so far");
                FUZZ_CHECK(same(output.data(), reference.data(), produced), "same bytes as zlib so far");
            }
            break;
        case ZlibOutcome::refused: break;
    }
    return 0;
}
