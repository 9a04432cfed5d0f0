// The LZW code stream that carries a quiz's resources.
//
// Codes are packed most significant bit first and start at 9 bits. The width
// never grows by itself: code 257 widens it by one bit, code 258 resets the
// dictionary (next free code 259, width 9) and code 256 ends the stream.
// Codes 259 to 4095 name dictionary strings in the order they were added.
//
// Result codes:
//    0  success
//   -4  allocating a table, a string or the output buffer failed
//   -5  the input is empty, is 65536 bytes or longer, or (decoding) ended
//       while the first code was being read
//   -6  (encoding) a code could not be written: the stream would pass
//       32768 bytes, a string would pass 4096 bytes, or the width passed 32
//   -7  (decoding) malformed stream: it ended after the first code, a code
//       above the next free code arrived, the width passed 32 bits, an entry
//       would be added at code 4096 without a reset, a string would pass
//       4096 bytes, or the decoded bytes would pass 120000
//
// Output ownership: on success, and on any failure once the run's output
// buffer exists, *output receives a malloc'd buffer (120000 bytes decoding,
// 32768 encoding) that belongs to the caller; release it with lzwFree or
// free. A failure while setting up leaves *output and *outputLength
// untouched, so start with *output = nullptr and release whatever is there.
// *outputLength is the decoded byte count plus 2 (decoding) or the stream
// byte count plus 1 (encoding), also for what a failed run handed back.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int32_t lzwOk = 0;
constexpr int32_t lzwErrorAllocation = -4;
constexpr int32_t lzwErrorInput = -5;
constexpr int32_t lzwErrorWrite = -6;
constexpr int32_t lzwErrorStream = -7;

constexpr uint32_t lzwDecodedCapacity = 120000;
constexpr uint32_t lzwEncodedCapacity = 32768;
constexpr uint32_t lzwMaxInputSize = 65535;  // positions are 16-bit
constexpr uint32_t lzwMaxStringLength = 4096;
constexpr uint32_t lzwDictionarySize = 4096;

int32_t lzwDecode(const uint8_t* input, uint32_t inputSize, uint8_t** output, int32_t* outputLength);
int32_t lzwEncode(const uint8_t* input, uint32_t inputSize, uint8_t** output, int32_t* outputLength);

// Releases a buffer handed out by lzwDecode or lzwEncode (null is fine).
void lzwFree(uint8_t* buffer);

// What the last run did; the values survive until the next run.
uint32_t lzwLastInputSize();         // input size of the last run, either way
uint32_t lzwLastInputConsumed();     // input bytes the last run read
uint32_t lzwLastEncodeInputSize();   // input size of the last encoding
uint32_t lzwLastEncodeOutputSize();  // stream size of the last successful encoding

// The core cannot show a message box; the platform side installs a notifier
// that tells the user when the output buffer could not be allocated.
void setLzwAllocationFailureNotifier(void (*notify)());

// Every allocation of a run goes through this function (null restores
// malloc). It must return memory that free() releases. Lets tests fail
// allocations one by one.
void setLzwAllocator(void* (*allocate)(size_t size));
