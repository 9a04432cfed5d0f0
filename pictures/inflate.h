// Inflates the zlib stream that a PNG file spreads over its consecutive IDAT
// chunks, straight from the file into one caller-sized buffer. Portable: a
// computation on memory alone.
#pragma once

#include <cstdint>

// Why an inflation stopped; every value but inflateOk makes inflateIdatStream
// return false. Kept distinct so tests can tell one failure from another.
enum InflateStatus : int {
    inflateOk = 0,
    inflateInputEnded = -1,        // the input ended before the final block was complete
    inflateOutputFull = -2,        // a byte would be written past the end of the output
    inflateBadMethod = -3,         // zlib header: CM not 8 or CINFO above 7
    inflatePresetDictionary = -4,  // zlib header: FDICT set
    inflateBadBlockType = -5,      // BTYPE 3
    inflateStoredLength = -6,      // stored block: NLEN is not the complement of LEN
    inflateNoSymbol = -7,          // a Huffman code matches no symbol within its maximum length
    inflateLengthSymbol = -8,      // literal/length symbol 286 or 287
    inflateDistanceSymbol = -9,    // distance symbol 30 or 31
    inflateDistanceTooFar = -10,   // a copy reaches back before the start of the output
    inflateRepeatFirst = -11,      // dynamic header: repeat code 16 with no previous length
    inflateRepeatTooLong = -12,    // dynamic header: a repeat runs past HLIT + HDIST lengths
};

// firstIdat points at the length field of the first IDAT chunk inside the
// file (null or outside the file: no input). The stream's bytes are the data
// of that chunk and of the IDAT chunks that follow it directly; zero-length
// IDAT chunks are stepped over, and any other chunk, the end of the file or a
// chunk running past the end ends the input. Neither chunk CRCs, the zlib
// check bits nor the Adler-32 trailer are verified; the trailer may be missing.
// When the final block ends before the output is full, the rest of the output
// is cleared to zero, so a short stream still yields a deterministic image.
// On failure the output is partly written and is to be discarded.
//
// Huffman codes are decoded through lookup tables and copies move whole
// words; the result (status, bytes written, output) is the same as the
// one-bit-at-a-time reference's (tests/reference/inflateReference.h) on
// every input. Past the bytes written, a failed run may leave scratch bytes
// anywhere inside the output, never outside it. *written (when given)
// receives the number of bytes written before the stream ended or failed,
// not counting the zeros of the clearing.
InflateStatus inflateIdatStreamStatus(const uint8_t* file, uint32_t fileLength, const uint8_t* firstIdat,
                                      uint8_t* output, uint32_t outputSize, uint32_t* written = nullptr);

bool inflateIdatStream(const uint8_t* file, uint32_t fileLength, const uint8_t* firstIdat, uint8_t* output,
                       uint32_t outputSize);

// Whether inflation may take the decoding loop built for processors with
// BMI2 when the processor has it (the default), or must take the plain loop
// that every processor runs. Both give the same results; tests run both.
void inflateAllowBmi2(bool allowed);
