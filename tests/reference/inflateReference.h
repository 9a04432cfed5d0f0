// The reference inflater: Huffman codes decoded one bit at a time against
// the first code and count of each length, exactly as the format describes
// them. Slow and plain on purpose; the table-driven inflateIdatStream must
// give the same status, the same bytes written and the same output on every
// input, and the tests and the differential fuzzer hold it to that.
#pragma once

#include <cstdint>

#include "pictures/inflate.h"

// Same contract as inflateIdatStreamStatus; *written (when given) receives
// the number of output bytes written before the stream ended or failed, not
// counting the zeros that clear the rest after an early final block.
InflateStatus inflateIdatStreamReference(const uint8_t* file, uint32_t fileLength, const uint8_t* firstIdat,
                                         uint8_t* output, uint32_t outputSize, uint32_t* written = nullptr);
