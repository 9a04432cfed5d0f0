// The Moodle XML reader (and the XML reader under it) on arbitrary bytes,
// with the same promises as the GIFT reader's; and since no entity is ever
// expanded, what it reads is never longer than the file.

#include <string>
#include <vector>

#include "authoring/moodleXmlImport.h"
#include "tests/fuzz/bankFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    BankReading reading, again;
    ModelProblem broken, brokenAgain;
    const bool ok = readMoodleXmlBank(bytes, reading, broken);
    FUZZ_CHECK(readMoodleXmlBank(bytes, again, brokenAgain) == ok, "the same file reads the same");
    checkBankReading(bytes, ok, reading, again, broken, brokenAgain);
    if (ok) {
        size_t read = 0;
        for (const BankQuestion& q : reading.questions) {
            read += q.question.prompt.size() + q.question.answer.size() + q.question.comment.size();
            for (const std::string& other : q.question.otherAnswers) read += other.size();
            for (const BankFile& file : q.pictures) read += file.bytes.size();
        }
        // Entities decode to at most 4 bytes from at least 4 ("&lt;", "&#9;" gives 1 from 4).
        FUZZ_CHECK(read <= size, "nothing read is longer than the file");
    }
    return 0;
}
