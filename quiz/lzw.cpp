#include "quiz/lzw.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t endCode = 256;
constexpr uint32_t widenCode = 257;
constexpr uint32_t resetCode = 258;
constexpr uint16_t firstFreeCode = 259;
constexpr int startWidth = 9;
constexpr int maxWidth = 32;

void* (*allocator)(size_t) = nullptr;
void (*allocationFailureNotifier)() = nullptr;

uint32_t lastInputSize = 0;
uint32_t lastInputConsumed = 0;
uint32_t lastEncodeInputSize = 0;
uint32_t lastEncodeOutputSize = 0;

void* allocate(size_t size) {
    return allocator ? allocator(size) : std::malloc(size);
}

void notifyAllocationFailure() {
    if (allocationFailureNotifier) allocationFailureNotifier();
}

struct Entry {
    uint8_t* bytes;
    uint16_t capacity;
    uint16_t length;
};

// Everything one run works with. Lives on the caller's stack; the tables it
// points to are allocated by setUp and released by release.
struct Run {
    Entry* dictionary = nullptr;
    uint8_t singleBytes[256];  // the strings of codes 0 to 255
    uint16_t nextCode = firstFreeCode;

    uint8_t* current = nullptr;
    uint16_t currentLength = 0;
    uint8_t* candidate = nullptr;
    uint16_t candidateLength = 0;

    // Encoder only: per string length, the codes of that length in the order
    // they were added, and how many there are.
    uint16_t** lists = nullptr;
    uint16_t* counts = nullptr;

    uint8_t partial = 0;  // reading: held bits right-aligned; writing: left-aligned
    int bits = 0;
    int width = startWidth;

    const uint8_t* input = nullptr;
    uint32_t inputSize = 0;
    uint16_t position = 0;  // inputs are shorter than 65536 bytes, so this never wraps

    uint8_t* output = nullptr;
    uint32_t outputFill = 0;
    uint32_t outputCapacity = 0;
};

// Index slots cover every string length a run accepts, 0 to 4096.
constexpr size_t listSlots = lzwMaxStringLength + 1;

bool setUp(Run& run, bool withIndex) {
    run.dictionary = static_cast<Entry*>(allocate(lzwDictionarySize * sizeof(Entry)));
    if (!run.dictionary) return false;
    for (uint32_t code = 0; code < lzwDictionarySize; ++code) run.dictionary[code] = Entry{nullptr, 0, 0};
    for (uint32_t code = 0; code < 256; ++code) {
        run.singleBytes[code] = static_cast<uint8_t>(code);
        run.dictionary[code] = Entry{&run.singleBytes[code], 1, 1};
    }
    run.current = static_cast<uint8_t*>(allocate(lzwMaxStringLength));
    if (!run.current) return false;
    run.candidate = static_cast<uint8_t*>(allocate(lzwMaxStringLength));
    if (!run.candidate) return false;
    if (withIndex) {
        run.lists = static_cast<uint16_t**>(allocate(listSlots * sizeof(uint16_t*)));
        if (!run.lists) return false;
        for (size_t i = 0; i < listSlots; ++i) run.lists[i] = nullptr;
        run.counts = static_cast<uint16_t*>(allocate(listSlots * sizeof(uint16_t)));
        if (!run.counts) return false;
        std::memset(run.counts, 0, listSlots * sizeof(uint16_t));
    }
    return true;
}

void clearIndex(Run& run) {
    for (size_t i = 0; i < listSlots; ++i) {
        std::free(run.lists[i]);
        run.lists[i] = nullptr;
        run.counts[i] = 0;
    }
}

// Frees every table and working buffer, never the output.
void release(Run& run) {
    if (run.dictionary) {
        for (uint32_t code = firstFreeCode; code < lzwDictionarySize; ++code) std::free(run.dictionary[code].bytes);
        std::free(run.dictionary);
        run.dictionary = nullptr;
    }
    if (run.lists) {
        if (run.counts) clearIndex(run);
        std::free(run.lists);
        run.lists = nullptr;
    }
    std::free(run.counts);
    run.counts = nullptr;
    std::free(run.current);
    run.current = nullptr;
    std::free(run.candidate);
    run.candidate = nullptr;
}

// Puts a string at the next free code, replacing what the slot held before a
// reset. The caller has checked that the slot exists.
bool addEntry(Run& run, const uint8_t* bytes, uint16_t length, bool indexed) {
    Entry& entry = run.dictionary[run.nextCode];
    std::free(entry.bytes);
    entry = Entry{nullptr, 0, 0};
    entry.bytes = static_cast<uint8_t*>(allocate(length));
    if (!entry.bytes) return false;
    std::memcpy(entry.bytes, bytes, length);
    entry.capacity = length;
    entry.length = length;
    if (indexed) {
        if (!run.lists[length]) {
            run.lists[length] = static_cast<uint16_t*>(allocate(lzwDictionarySize * sizeof(uint16_t)));
            if (!run.lists[length]) return false;
        }
        if (run.counts[length] >= lzwDictionarySize) return false;
        run.lists[length][run.counts[length]++] = run.nextCode;
    }
    ++run.nextCode;
    return true;
}

void setCurrent(Run& run, const uint8_t* bytes, uint16_t length) {
    std::memmove(run.current, bytes, length);
    run.currentLength = length;
}

// ---- Decoding -------------------------------------------------------------

// Reads `width` bits, most significant first: the bits still held, then
// whole bytes, then the top of one more byte whose low bits are kept.
bool readCode(Run& run, int width, uint32_t& code) {
    uint64_t value = 0;
    int missing = width;
    const int take = run.bits < missing ? run.bits : missing;
    if (take > 0) {
        value = (run.partial >> (run.bits - take)) & ((1u << take) - 1u);
        run.bits -= take;
        run.partial &= static_cast<uint8_t>((1u << run.bits) - 1u);
        missing -= take;
    }
    while (missing >= 8) {
        if (run.position >= run.inputSize) return false;
        value = (value << 8) | run.input[run.position++];
        missing -= 8;
    }
    if (missing > 0) {
        if (run.position >= run.inputSize) return false;
        const uint8_t byte = run.input[run.position++];
        value = (value << missing) | (byte >> (8 - missing));
        run.bits = 8 - missing;
        run.partial = static_cast<uint8_t>(byte & ((1u << run.bits) - 1u));
    }
    code = static_cast<uint32_t>(value);
    return true;
}

bool appendCurrent(Run& run) {
    if (run.currentLength > run.outputCapacity - run.outputFill) return false;
    std::memcpy(run.output + run.outputFill, run.current, run.currentLength);
    run.outputFill += run.currentLength;
    return true;
}

// The output lags one code behind: each code adds (current string + first
// byte of the new string) and writes the current string. A reset keeps the
// current string, so the first entry after it joins the old and new strings.
int32_t decodeStream(Run& run) {
    if (run.inputSize == 0 || run.inputSize > lzwMaxInputSize) return lzwErrorInput;
    uint32_t code = 0;
    if (!readCode(run, startWidth, code)) return lzwErrorInput;
    run.current[0] = static_cast<uint8_t>(code & 0xFF);
    run.currentLength = 1;
    run.width = startWidth;
    for (;;) {
        if (run.width > maxWidth) return lzwErrorStream;
        if (!readCode(run, run.width, code)) return lzwErrorStream;
        if (code == endCode) return appendCurrent(run) ? lzwOk : lzwErrorStream;
        if (code == resetCode) {
            run.nextCode = firstFreeCode;
            run.width = startWidth;
            continue;
        }
        if (code == widenCode) {
            ++run.width;
            continue;
        }
        if (code > run.nextCode) return lzwErrorStream;
        if (run.nextCode >= lzwDictionarySize) return lzwErrorStream;  // full without a reset
        if (run.currentLength >= lzwMaxStringLength) return lzwErrorStream;
        const uint8_t firstByte = code == run.nextCode ? run.current[0] : run.dictionary[code].bytes[0];
        std::memcpy(run.candidate, run.current, run.currentLength);
        run.candidate[run.currentLength] = firstByte;
        run.candidateLength = static_cast<uint16_t>(run.currentLength + 1);
        if (!addEntry(run, run.candidate, run.candidateLength, false)) return lzwErrorAllocation;
        if (!appendCurrent(run)) return lzwErrorStream;
        const Entry& entry = run.dictionary[code];
        setCurrent(run, entry.bytes, entry.length);
    }
}

// ---- Encoding -------------------------------------------------------------

bool storeByte(Run& run, uint8_t byte) {
    if (run.outputFill >= run.outputCapacity) return false;
    run.output[run.outputFill++] = byte;
    return true;
}

// Appends `width` bits after those already in the pending byte; whole bytes
// are stored, fewer than 8 left-over bits become the new partial byte.
bool writeCode(Run& run, uint32_t code, int width) {
    if (width < 1 || width > maxWidth) return false;
    uint64_t bits = static_cast<uint64_t>(run.partial >> (8 - run.bits));
    bits = (bits << width) | (code & ((uint64_t{1} << width) - 1u));
    int total = run.bits + width;
    while (total >= 8) {
        if (!storeByte(run, static_cast<uint8_t>(bits >> (total - 8)))) return false;
        total -= 8;
    }
    run.bits = total;
    run.partial = static_cast<uint8_t>((bits & ((1u << total) - 1u)) << (8 - total));
    return true;
}

// As many widen codes as the code has significant bits beyond the width.
bool writeWidened(Run& run, uint32_t code) {
    for (uint64_t k = static_cast<uint64_t>(code) >> run.width; k != 0; k >>= 1) {
        if (!writeCode(run, widenCode, run.width)) return false;
        ++run.width;
        if (run.width > maxWidth) return false;
    }
    return writeCode(run, code, run.width);
}

// Scans the codes of the string's length in the order they were added and
// returns the first whose bytes match, or -1.
int32_t findCode(const Run& run, const uint8_t* bytes, uint16_t length) {
    if (length == 1) return bytes[0];
    const uint16_t* list = run.lists[length];
    for (uint16_t i = 0; i < run.counts[length]; ++i) {
        const Entry& entry = run.dictionary[list[i]];
        if (std::memcmp(entry.bytes, bytes, length) == 0) return list[i];
    }
    return -1;
}

int32_t encodeStream(Run& run) {
    if (run.inputSize == 0 || run.inputSize > lzwMaxInputSize) return lzwErrorInput;
    run.current[0] = run.input[run.position++];
    run.currentLength = 1;
    // A dictionary string is never added twice between resets, so the code
    // found when a string became current is the code a later search for it
    // would find; keep it instead of searching again.
    uint32_t currentCode = run.current[0];
    run.width = startWidth;
    while (run.position < run.inputSize) {
        const uint8_t next = run.input[run.position++];
        if (run.currentLength >= lzwMaxStringLength) return lzwErrorWrite;
        std::memcpy(run.candidate, run.current, run.currentLength);
        run.candidate[run.currentLength] = next;
        run.candidateLength = static_cast<uint16_t>(run.currentLength + 1);
        const int32_t found = findCode(run, run.candidate, run.candidateLength);
        if (found >= 0) {
            setCurrent(run, run.candidate, run.candidateLength);
            currentCode = static_cast<uint32_t>(found);
            continue;
        }
        if (!addEntry(run, run.candidate, run.candidateLength, true)) return lzwErrorAllocation;
        if (!writeWidened(run, currentCode)) return lzwErrorWrite;
        run.current[0] = next;
        run.currentLength = 1;
        currentCode = next;
        if (run.nextCode == lzwDictionarySize) {
            if (!writeCode(run, resetCode, run.width)) return lzwErrorWrite;
            run.nextCode = firstFreeCode;
            clearIndex(run);
            if (!addEntry(run, run.candidate, run.candidateLength, true)) return lzwErrorAllocation;
            run.width = startWidth;
        }
    }
    if (!writeWidened(run, currentCode)) return lzwErrorWrite;
    if (!writeCode(run, endCode, run.width)) return lzwErrorWrite;
    if (run.bits > 0 && !storeByte(run, run.partial)) return lzwErrorWrite;
    return lzwOk;
}

}  // namespace

int32_t lzwDecode(const uint8_t* input, uint32_t inputSize, uint8_t** output, int32_t* outputLength) {
    lastInputSize = inputSize;
    lastInputConsumed = 0;
    Run run;
    if (!setUp(run, false)) {
        release(run);
        return lzwErrorAllocation;
    }
    uint8_t* buffer = static_cast<uint8_t*>(allocate(lzwDecodedCapacity));
    if (!buffer) {
        notifyAllocationFailure();
        release(run);
        return lzwErrorAllocation;
    }
    run.input = input;
    run.inputSize = inputSize;
    run.output = buffer;
    run.outputCapacity = lzwDecodedCapacity;
    const int32_t result = decodeStream(run);
    *output = buffer;
    *outputLength = static_cast<int32_t>(run.outputFill + 2);
    lastInputConsumed = run.position;
    release(run);
    return result;
}

int32_t lzwEncode(const uint8_t* input, uint32_t inputSize, uint8_t** output, int32_t* outputLength) {
    lastInputSize = inputSize;
    lastEncodeInputSize = inputSize;
    lastInputConsumed = 0;
    uint8_t* buffer = static_cast<uint8_t*>(allocate(lzwEncodedCapacity));
    if (!buffer) {
        notifyAllocationFailure();
        return lzwErrorAllocation;
    }
    Run run;
    if (!setUp(run, true)) {
        release(run);
        std::free(buffer);
        return lzwErrorAllocation;
    }
    run.input = input;
    run.inputSize = inputSize;
    run.output = buffer;
    run.outputCapacity = lzwEncodedCapacity;
    const int32_t result = encodeStream(run);
    *output = buffer;
    *outputLength = static_cast<int32_t>(run.outputFill + 1);
    if (result == lzwOk) lastEncodeOutputSize = run.outputFill;
    lastInputConsumed = run.position;
    release(run);
    return result;
}

void lzwFree(uint8_t* buffer) {
    std::free(buffer);
}

uint32_t lzwLastInputSize() {
    return lastInputSize;
}
uint32_t lzwLastInputConsumed() {
    return lastInputConsumed;
}
uint32_t lzwLastEncodeInputSize() {
    return lastEncodeInputSize;
}
uint32_t lzwLastEncodeOutputSize() {
    return lastEncodeOutputSize;
}

void setLzwAllocationFailureNotifier(void (*notify)()) {
    allocationFailureNotifier = notify;
}
void setLzwAllocator(void* (*allocateFunction)(size_t)) {
    allocator = allocateFunction;
}
