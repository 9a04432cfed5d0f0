// The GIFT reader on arbitrary bytes: it either reads questions whose texts
// are valid UTF-8, each with a right answer and a place in the file, or
// refuses the file on one of its lines with a message and keeps nothing.
// Reading twice gives the same, and the import of what was read never puts
// more questions in a quiz than the player holds.

#include <string>
#include <vector>

#include "authoring/giftImport.h"
#include "authoring/windows1252.h"
#include "tests/fuzz/bankFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    BankReading reading, again;
    ModelProblem broken, brokenAgain;
    const bool ok = readGiftBank(bytes, reading, broken);
    FUZZ_CHECK(readGiftBank(bytes, again, brokenAgain) == ok, "the same file reads the same");
    checkBankReading(bytes, ok, reading, again, broken, brokenAgain);
    return 0;
}
