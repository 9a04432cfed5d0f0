// Prints a large, reproducible set of typed texts against accepted answers
// with the native judge's verdict for each, one pair a line:
//   ACCEPTED-HEX TYPED-HEX VERDICT-HEX MATCHES
// (hex of the Windows-1252 bytes; "-" for an empty text). The web page's
// judge must give the same verdict for every line. The pairs come from
// answers taken apart the ways a learner gets them wrong (swaps, edits,
// pieces, extra words, case and spaces) plus random bytes, so that every
// verdict and every length bound is reached.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "answers/verdictChoice.h"

namespace {

struct Random {
    uint32_t state = 0x9E3779B9u;
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<uint32_t>(n)); }
};

const char* const seeds[] = {
    "",
    "a",
    "oui",
    "Paris",
    "Marseille",
    "Jules Verne",
    "Leonard de Vinci",
    "Christophe Colomb",
    "h\xE9las",
    "\xC9t\xE9",
    "ab",
    "abcd",
    "  espace  ",
    "la Seine et la Loire",
    "1789",
    "Na2CO3",
    "c\x9Cur",
    "l'\xE9l\xE9phant d'Afrique",
    "anticonstitutionnellement",
    "un deux trois quatre cinq six sept huit neuf dix onze douze treize quatorze quinze",
};

std::string randomText(Random& random, int length) {
    std::string text;
    for (int i = 0; i < length; ++i) {
        const int pick = random.below(4);
        if (pick == 0)
            text += static_cast<char>('a' + random.below(26));
        else if (pick == 1)
            text += static_cast<char>('A' + random.below(26));
        else if (pick == 2)
            text += ' ';
        else
            text += static_cast<char>(1 + random.below(255));
    }
    return text;
}

// The ways a typed text can differ from its answer.
std::vector<std::string> variants(const std::string& answer, Random& random) {
    std::vector<std::string> out = {answer, "  " + answer + " ", answer + " et plus", "du " + answer, ""};
    std::string folded = answer;
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 0x20);
        else if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 0x20);
    }
    out.push_back(folded);
    const int n = static_cast<int>(answer.size());
    for (int round = 0; round < 6 && n > 0; ++round) {
        std::string swapped = answer;
        const int i = random.below(n), j = random.below(n);
        std::swap(swapped[i], swapped[j]);
        out.push_back(swapped);
        std::string edited = answer;
        for (int e = 0, edits = 1 + round % 4; e < edits && !edited.empty(); ++e) {
            const int at = random.below(static_cast<int>(edited.size()));
            const int how = random.below(3);
            if (how == 0)
                edited.erase(at, 1);
            else if (how == 1)
                edited.insert(edited.begin() + at, static_cast<char>('a' + random.below(26)));
            else
                edited[at] = static_cast<char>('a' + random.below(26));
        }
        out.push_back(edited);
        const int cut = random.below(n + 1);
        out.push_back(answer.substr(0, cut));
        out.push_back(answer.substr(n - cut));
        const int from = random.below(n);
        out.push_back(answer.substr(from, random.below(n - from + 1)));
        out.push_back(answer + randomText(random, 1 + random.below(4)));
    }
    // Every ratio of a prefix, for the thresholds of the hints.
    for (int cut = 1; cut < n; ++cut) out.push_back(answer.substr(0, cut));
    return out;
}

void printHex(const std::string& text) {
    if (text.empty()) std::fputs("-", stdout);
    for (unsigned char c : text) std::printf("%02x", c);
}

// "accepted typed verdict matches others": the others a box accepts besides
// its main one, hex texts joined by ",", "-" for none.
void printPair(const std::string& accepted, const std::string& typed, const std::vector<std::string>& others = {}) {
    std::string packed;
    for (const std::string& other : others) packed += other + '\0';
    packed += '\0';
    printHex(accepted);
    std::fputc(' ', stdout);
    printHex(typed);
    std::fputc(' ', stdout);
    printHex(chooseVerdictAmong(accepted.c_str(), packed.c_str(), typed.c_str()));
    std::printf(" %d ", answerMatchesAny(accepted.c_str(), packed.c_str(), typed.c_str()) ? 1 : 0);
    if (others.empty()) std::fputs("-", stdout);
    for (size_t i = 0; i < others.size(); ++i) {
        if (i > 0) std::fputc(',', stdout);
        printHex(others[i]);
    }
    std::fputc('\n', stdout);
}

}  // namespace

int main() {
    Random random;
    std::vector<std::string> answers(std::begin(seeds), std::end(seeds));
    // Long answers around the 259-character bound, cut by the judge.
    answers.push_back(std::string(259, 'x'));
    answers.push_back(std::string(258, 'y') + "zz");
    answers.push_back(randomText(random, 300));
    for (int i = 0; i < 200; ++i) answers.push_back(randomText(random, 1 + random.below(40)));
    for (const std::string& answer : answers) {
        for (const std::string& typed : variants(answer, random)) printPair(answer, typed);
    }
    for (int i = 0; i < 5000; ++i) {
        printPair(randomText(random, random.below(14)), randomText(random, random.below(14)));
    }
    // Boxes of one to four accepted answers, each a variant of one answer so
    // that their hints differ and the order of the author decides, judged
    // against variants of every one of them.
    for (size_t i = 0; i < answers.size(); i += 3) {
        const std::vector<std::string> near = variants(answers[i], random);
        std::vector<std::string> accepted{answers[i]};
        const int count = 1 + random.below(4);
        while (static_cast<int>(accepted.size()) < count) accepted.push_back(near[random.below(near.size())]);
        const std::vector<std::string> others(accepted.begin() + 1, accepted.end());
        for (const std::string& one : accepted) {
            if (one.empty()) continue;
            for (const std::string& typed : variants(one, random)) printPair(accepted[0], typed, others);
        }
    }
    return 0;
}
