#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "answers/answerText.h"
#include "answers/verdict.h"
#include "answers/verdictBrush.h"

namespace {

struct VerdictCase {
    const char* accepted;
    const char* typed;
    const char* verdict;
};

TEST(Verdict, TextsAreExactBytes) {
    const char* const texts[] = {verdictEmpty,    verdictRight,    verdictWrong,  verdictAnagram, verdictOneEdit,
                                 verdictTwoEdits, verdictTooShort, verdictNotFar, verdictTooLong, verdictClose};
    const char* const expected[] = {"?",       "BRAVO",      "FAUX",     "Anagramme", "Quasiment",
                                    "Presque", "Trop court", "pas loin", "Trop long", "y a de l'id\xE9\x65"};
    for (int i = 0; i < 10; ++i) EXPECT_STREQ(texts[i], expected[i]) << "verdict " << i;
    EXPECT_EQ(std::strlen(verdictClose), 13u);
    EXPECT_EQ(static_cast<unsigned char>(verdictClose[11]), 0xE9);
}

TEST(Verdict, WorkedExamples) {
    const VerdictCase cases[] = {
        {"oui", "ou", "FAUX"},
        {"oui", "OUI", "BRAVO"},
        {"oui", "  oui ", "BRAVO"},
        {"oui", "", "?"},
        {"oui", "   ", "?"},
        {"", "x", "FAUX"},
        {"Paris", "pari", "Quasiment"},
        {"Paris", "Prais", "Anagramme"},
        {"Paris", "Paris France", "Trop long"},
        {"Paris", " paris  ", "BRAVO"},
        {"Paris", "   ", "?"},
        {"Jules Verne", "Verne Jules", "Anagramme"},
        {"Leonard de Vinci", "Leonard de Vin", "Presque"},
        {"Leonard de Vinci", "Leonard de V", "Trop court"},
        {"Leonard de Vinci", "Leonard de", "pas loin"},
        {"Leonard de Vinci", "Leonard", "FAUX"},
        {"Leonard de Vinci", "de Vinci", "FAUX"},  // exactly half: not more than 50
        {"Marseille", "Marse", "FAUX"},
        {"Marseille", "Marseill", "Quasiment"},
        {"Christophe Colomb", "Christofe Kolomb", "y a de l'id\xE9\x65"},
        {"Saint-Exup\xE9ry", "Saint Exupery", "Presque"},
        {"\xC9lan", "\xE9lan", "Quasiment"},  // accents are never folded
        {"\xC9lan", "\xC9LAN", "BRAVO"},
        {"abcdefghij", "abcdefg", "pas loin"},  // 7 of 10 is exactly 70: not "Trop court"
        {"abcdefghij", "abcdefgh", "Presque"},  // distance 2 comes first
        {"abcdefghijk", "abcdefgh", "Trop court"},
        {"abcdefghij", "abcdef", "pas loin"},
        {"abcdefghij", "abcde", "FAUX"},
        {"abcde", "zabcdez", "Presque"},
        {"abcde", "zzabcdezz", "Trop long"},
        {"AAAB", "AAB", "Quasiment"},
        {"aabc", "aaabcxx", "FAUX"},                                      // the scan misses this occurrence
        {"fifteen chars!!", "fifteen chaXXX!", "FAUX"},                   // 15, distance 3: exactly 80
        {"sixteen letters!", "sixteen letXXXs!", "y a de l'id\xE9\x65"},  // 16, distance 3
    };
    for (const VerdictCase& c : cases) {
        EXPECT_STREQ(chooseVerdict(c.accepted, c.typed), c.verdict)
            << "accepted [" << c.accepted << "] typed [" << c.typed << "]";
    }
}

TEST(Verdict, AcceptedAnswerWithTrailingSpaceIsNeverRight) {
    for (const char* typed : {"Paris", "Paris ", " Paris  ", "PARIS", "paris  "}) {
        EXPECT_STRNE(chooseVerdict("Paris ", typed), verdictRight) << "typed [" << typed << "]";
        EXPECT_FALSE(answerMatches("Paris ", typed)) << "typed [" << typed << "]";
    }
    EXPECT_STREQ(chooseVerdict("oui ", "oui"), "Quasiment");
}

TEST(Verdict, InputsAreNotChanged) {
    char accepted[] = "Paris";
    char typed[] = "  paris ";
    EXPECT_STREQ(chooseVerdict(accepted, typed), "BRAVO");
    EXPECT_STREQ(accepted, "Paris");
    EXPECT_STREQ(typed, "  paris ");
}

TEST(Verdict, LongInputsAreCutTo259First) {
    const std::string upper259(259, 'A');
    const std::string lower259(259, 'a');
    EXPECT_STREQ(chooseVerdict((upper259 + "BBB").c_str(), (lower259 + "ccc").c_str()), "BRAVO");
    EXPECT_STREQ(chooseVerdict(std::string(5000, 'q').c_str(), std::string(300, 'Q').c_str()), "BRAVO");
    // The box holds at most 259 characters, so trimming follows the cut.
    const std::string spacesThenP = std::string(258, ' ') + "paris";
    EXPECT_STREQ(chooseVerdict("p", spacesThenP.c_str()), "BRAVO");
    char out[260];
    normaliseTyped(spacesThenP.c_str(), out);
    EXPECT_STREQ(out, "P");
    normaliseAccepted((lower259 + "x").c_str(), out);
    EXPECT_EQ(std::string(out), upper259);
}

TEST(Verdict, AnswerMatchesIsTheFullyAnsweredTest) {
    const struct {
        const char* accepted;
        const char* typed;
        bool matches;
    } cases[] = {
        {"Paris", " paris  ", true}, {"Paris", "Pari", false},      {"", "", true},
        {"", "   ", true},           {"\xC9lan", "\xE9lan", false}, {"ou", "OU", true},
        {" Paris", "Paris", false},  {" Paris", " paris", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(answerMatches(c.accepted, c.typed), c.matches)
            << "accepted [" << c.accepted << "] typed [" << c.typed << "]";
    }
}

// ---------------------------------------------------------------------------
// An independent reference, written differently on purpose (std::string,
// two-row distance, std::sort, whole-number ratios), compared on many random
// pairs.

std::string refCut(const std::string& s) {
    return s.substr(0, 259);
}

std::string refTrim(const std::string& s) {
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    const size_t last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

std::string refUpper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](char c) {
        static const std::string lower = "abcdefghijklmnopqrstuvwxyz";
        static const std::string upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        const size_t at = lower.find(c);
        return at == std::string::npos ? c : upper[at];
    });
    return s;
}

int refDistance(const std::string& a, const std::string& b) {
    std::vector<int> previous(b.size() + 1);
    std::vector<int> current(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) previous[j] = static_cast<int>(j);
    for (size_t i = 1; i <= a.size(); ++i) {
        current[0] = static_cast<int>(i);
        for (size_t j = 1; j <= b.size(); ++j) {
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (a[i - 1] != b[j - 1])});
        }
        std::swap(previous, current);
    }
    return previous[b.size()];
}

// The scan step by step as its rules read.
int refScan(const std::string& answer, const std::string& typed) {
    std::string s, l;
    int sign;
    if (typed.size() < answer.size()) {
        s = typed;
        l = answer;
        sign = -1;
    } else {
        s = answer;
        l = typed;
        sign = 1;
    }
    if (s.empty()) return sign;
    size_t i = 0, j = 0;
    while (true) {
        if (i == l.size()) return 0;
        while (i < l.size() && l[i] != s[j]) ++i;
        if (i == l.size()) return 0;
        size_t count = 0;
        while (j < s.size() && i < l.size() && s[j] == l[i]) {
            ++i;
            ++j;
            ++count;
        }
        if (count == s.size()) return 2 * sign;
        j = 0;
    }
}

std::string refVerdict(const std::string& acceptedRaw, const std::string& typedRaw) {
    const std::string a = refUpper(refCut(acceptedRaw));
    const std::string t = refUpper(refTrim(refCut(typedRaw)));
    const int al = static_cast<int>(a.size());
    const int tl = static_cast<int>(t.size());
    if (tl == 0) return "?";
    if (al <= 3) return a == t ? "BRAVO" : "FAUX";
    const int d = refDistance(a, t);
    if (d == 0) return "BRAVO";
    std::string sa = a, st = t;
    std::sort(sa.begin(), sa.end());
    std::sort(st.begin(), st.end());
    if (sa == st) return "Anagramme";
    if (d == 1) return "Quasiment";
    if (d == 2) return "Presque";
    const int c = refScan(a, t);
    if (c == -2) {
        if (al <= 9) return "FAUX";
        if (10 * tl > 7 * al) return "Trop court";
        if (2 * tl > al) return "pas loin";
        return "FAUX";
    }
    if (c == 2) return "Trop long";
    const int longer = std::max(al, tl);
    return longer > 5 * d ? "y a de l'id\xE9\x65" : "FAUX";
}

class PairMaker {
public:
    explicit PairMaker(unsigned seed) : random_(seed) {}

    std::string text(int maxLength) { return letters(pick(0, maxLength)); }

    // A typed text related to the accepted one in one of several ways, so
    // that every verdict comes up often.
    std::string typedFor(const std::string& accepted, int maxLength) {
        std::string typed;
        switch (pick(0, 6)) {
            case 0: return text(maxLength);
            case 1: {
                const int start = pick(0, static_cast<int>(accepted.size()));
                return accepted.substr(start, pick(0, static_cast<int>(accepted.size()) - start));
            }
            case 2: {
                typed = accepted;
                for (int edits = pick(1, 4); edits > 0; --edits) edit(typed);
                return typed;
            }
            case 3:
                typed = accepted;
                std::shuffle(typed.begin(), typed.end(), random_);
                return typed;
            case 4: return letters(pick(0, 3)) + accepted + letters(pick(0, 6));
            case 5:
                typed = std::string(pick(0, 2), ' ') + accepted + std::string(pick(0, 2), ' ');
                for (char& c : typed) {
                    if (c >= 'A' && c <= 'Z' && pick(0, 1)) c = static_cast<char>(c + 32);
                }
                return typed;
            default: typed = accepted.substr(0, pick(0, static_cast<int>(accepted.size()))); return typed;
        }
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::string letters(int length) {
        static const char alphabet[] = {'a', 'b', 'c', 'A', 'B', 'C', ' ', '-', '\xE9', '\xC9', '\xFF'};
        std::string s;
        for (int i = 0; i < length; ++i) s += alphabet[pick(0, sizeof alphabet - 1)];
        return s;
    }

    void edit(std::string& s) {
        const std::string extra = letters(1);
        const int at = pick(0, static_cast<int>(s.size()));
        switch (pick(0, 2)) {
            case 0: s.insert(at, extra); break;
            case 1:
                if (at < static_cast<int>(s.size())) s.erase(at, 1);
                break;
            default:
                if (at < static_cast<int>(s.size())) s[at] = extra[0];
                break;
        }
    }

    std::mt19937 random_;
};

void compareWithReference(const std::string& accepted, const std::string& typed, std::map<std::string, int>& seen) {
    const std::string expected = refVerdict(accepted, typed);
    ASSERT_EQ(std::string(chooseVerdict(accepted.c_str(), typed.c_str())), expected)
        << "accepted [" << accepted << "] typed [" << typed << "]";
    ++seen[expected];

    const std::string a = refUpper(refCut(accepted));
    const std::string t = refUpper(refTrim(refCut(typed)));
    ASSERT_EQ(editDistance(a.c_str(), t.c_str()), refDistance(a, t)) << a << " / " << t;
    ASSERT_EQ(containmentScan(a.c_str(), t.c_str()), refScan(a, t)) << a << " / " << t;
}

TEST(Verdict, AgreesWithReferenceOnRandomShortPairs) {
    PairMaker maker(20240611u);
    std::map<std::string, int> seen;
    for (int round = 0; round < 200000; ++round) {
        const std::string accepted = maker.text(20);
        const std::string typed = maker.typedFor(accepted, 20);
        compareWithReference(accepted, typed, seen);
        if (HasFatalFailure()) return;
    }
    // Every verdict must have been exercised, or the comparison proves little.
    for (const char* verdict : {"?", "BRAVO", "FAUX", "Anagramme", "Quasiment", "Presque", "Trop court", "pas loin",
                                "Trop long", "y a de l'id\xE9\x65"}) {
        EXPECT_GE(seen[verdict], 100) << "verdict [" << verdict << "] seen only " << seen[verdict] << " times";
    }
}

TEST(Verdict, AgreesWithReferenceOnRandomLongPairs) {
    PairMaker maker(77u);
    std::map<std::string, int> seen;
    for (int round = 0; round < 600; ++round) {
        const std::string accepted = maker.text(300);
        const std::string typed = maker.typedFor(accepted, 300);
        compareWithReference(accepted, typed, seen);
        if (HasFatalFailure()) return;
    }
    EXPECT_GE(seen.size(), 5u);
}

// ---------------------------------------------------------------------------
// Score, reward code and box identifiers.

TEST(Score, BoxIdentifierToQuestionAndSlot) {
    const struct {
        int boxId, perQuestion, question, slot;
    } cases[] = {
        {4001, 1, 1, 1}, {4002, 1, 2, 1}, {4130, 1, 130, 1}, {4001, 2, 1, 1},   {4002, 2, 1, 2},
        {4003, 2, 2, 1}, {4004, 2, 2, 2}, {4259, 2, 130, 1}, {4260, 2, 130, 2},
    };
    for (const auto& c : cases) {
        int question = -1, slot = -1;
        boxQuestionAndSlot(c.boxId, c.perQuestion, question, slot);
        EXPECT_EQ(question, c.question) << "box " << c.boxId << " M=" << c.perQuestion;
        EXPECT_EQ(slot, c.slot) << "box " << c.boxId << " M=" << c.perQuestion;
    }
    for (int perQuestion = 1; perQuestion <= 2; ++perQuestion) {
        int expectedId = 4001;
        for (int n = 1; n <= 200; ++n) {
            for (int k = 1; k <= perQuestion; ++k, ++expectedId) {
                ASSERT_EQ(answerBoxId(n, k, perQuestion), expectedId) << n << "," << k << " M=" << perQuestion;
                int question = 0, slot = 0;
                boxQuestionAndSlot(expectedId, perQuestion, question, slot);
                ASSERT_EQ(question, n) << expectedId;
                ASSERT_EQ(slot, k) << expectedId;
            }
        }
    }
}

TEST(Score, CountsQuestionsWhoseEveryLabelIsBravo) {
    const struct {
        const char* name;
        int questions, perQuestion;
        std::vector<const char*> labels;  // box order; missing boxes read null
        int score;
    } cases[] = {
        {"all right", 3, 1, {"BRAVO", "BRAVO", "BRAVO"}, 3},
        {"none", 2, 1, {"?", "FAUX"}, 0},
        {"hints are not right", 4, 1, {"Presque", "Anagramme", "y a de l'id\xE9\x65", "BRAVO"}, 1},
        {"exact text only", 4, 1, {"bravo", "BRAVO ", " BRAVO", "BRAV"}, 0},
        {"two slots both needed", 3, 2, {"BRAVO", "BRAVO", "BRAVO", "FAUX", "?", "BRAVO"}, 1},
        {"second question whole", 2, 2, {"FAUX", "BRAVO", "BRAVO", "BRAVO"}, 1},
        {"missing labels", 3, 1, {"BRAVO"}, 1},
        {"no questions", 0, 1, {"BRAVO"}, 0},
        {"no answers per question", 3, 0, {"BRAVO"}, 0},
    };
    for (const auto& c : cases) {
        std::vector<int> asked;
        const int score = countScore(c.questions, c.perQuestion, [&](int box) -> const char* {
            asked.push_back(box);
            return box >= 1 && box <= static_cast<int>(c.labels.size()) ? c.labels[box - 1] : nullptr;
        });
        EXPECT_EQ(score, c.score) << c.name;
        if (c.questions > 0 && c.perQuestion > 0) {
            ASSERT_EQ(static_cast<int>(asked.size()), c.questions * c.perQuestion) << c.name;
            for (size_t i = 0; i < asked.size(); ++i) EXPECT_EQ(asked[i], static_cast<int>(i) + 1) << c.name;
        }
    }
}

TEST(Score, FormatsScoreText) {
    char out[scoreTextSize];
    formatScore(out, 0, 5);
    EXPECT_STREQ(out, " 0 / 5");
    formatScore(out, 12, 40);
    EXPECT_STREQ(out, " 12 / 40");
    std::memset(out, 'x', sizeof out);
    formatScore(out, INT_MIN, INT_MIN);
    EXPECT_STREQ(out, " -2147483648 / -2147483648");
}

TEST(Score, RewardTextForScore) {
    std::unique_ptr<Quiz> quiz(new Quiz);
    initQuizValues(*quiz);
    for (int i = 0; i < rewardCodeCount; ++i) {
        copyText(quiz->rewardCodes[i], quizTextSize, ("code" + std::to_string(i + 1)).c_str());
    }
    EXPECT_STREQ(rewardText(*quiz, 0), "      ");
    EXPECT_STREQ(rewardText(*quiz, -3), "      ");
    EXPECT_STREQ(rewardText(*quiz, 1), "code1");
    EXPECT_STREQ(rewardText(*quiz, 42), "code42");
    EXPECT_STREQ(rewardText(*quiz, 96), "code96");
    // Beyond the last code the box is cleared rather than read past the record.
    EXPECT_STREQ(rewardText(*quiz, 97), "");
    EXPECT_STREQ(rewardText(*quiz, 260), "");
}

TEST(VerdictBrush, ByExactLabelText) {
    struct Case {
        const char* text;
        VerdictBrush brush;
    } cases[] = {
        {"Anagramme", VerdictBrush::anagram}, {"BRAVO", VerdictBrush::right},  {"FAUX", VerdictBrush::wrong},
        {"?", VerdictBrush::none},            {"Trop long", VerdictBrush::hint}, {"bravo", VerdictBrush::hint},
        {"BRAVO ", VerdictBrush::hint},       {"", VerdictBrush::hint},          {"y a de l'id\xE9" "e", VerdictBrush::hint},
        {"??", VerdictBrush::hint},
    };
    for (const Case& c : cases) EXPECT_EQ(verdictBrushFor(c.text), c.brush) << '"' << c.text << '"';
    EXPECT_EQ(verdictBrushFor(nullptr), VerdictBrush::hint);
}

}  // namespace

namespace {

// A box's other accepted answers, packed as the player keeps them.
std::string packed(const std::vector<std::string>& others) {
    std::string out;
    for (const std::string& other : others) out += other + '\0';
    return out + '\0';
}

TEST(VerdictAmong, TheFirstBravoThenTheFirstHintInTheAuthorsOrder) {
    const struct {
        const char* main;
        std::vector<std::string> others;
        const char* typed;
        const char* verdict;
        int matched;
    } cases[] = {
        {"Amsterdam", {}, "amsterdam", "BRAVO", 0},
        {"Amsterdam", {"Amsterdam aux Pays-Bas"}, " amsterdam aux pays-bas ", "BRAVO", 1},
        // Found only in the third: the hints before it do not win.
        {"Louis XIV", {"Louis 14", "Louis quatorze", "le Roi-Soleil"}, "LE ROI-SOLEIL", "BRAVO", 3},
        {"Louis XIV", {"Louis 14", "le Roi-Soleil"}, "Louis 41", "Anagramme", 1},
        // Each alternative gives a different hint: the first in order wins.
        {"abcdefghij", {"abcdefgh", "abcdefghi"}, "abcdefgh", "BRAVO", 1},
        {"abcdefghij", {"abcdefghiXX", "abcdefghiX"}, "abcdefghi", "Quasiment", 0},
        {"zzzzzzzzzz", {"abcdefghij", "abcdefghi"}, "abcdefgh", "Presque", 1},
        {"zzzzzzzzzz", {"qqqqqqqqqq", "abcdefghij"}, "abcdefg", "pas loin", 2},
        {"eau", {"l'eau"}, "vin", "FAUX", -1},
        {"eau", {"l'eau"}, "   ", "?", -1},
        {"1789", {"en 1789"}, "en 1789", "BRAVO", 1},
    };
    for (const auto& c : cases) {
        const std::string others = packed(c.others);
        int matched = 99;
        EXPECT_STREQ(chooseVerdictAmong(c.main, others.c_str(), c.typed, &matched), c.verdict) << c.typed;
        EXPECT_EQ(matched, c.matched) << c.typed;
        EXPECT_EQ(answerMatchesAny(c.main, others.c_str(), c.typed), c.matched >= 0 && !std::strcmp(c.verdict, "BRAVO"))
            << c.typed;
        // Without others, the main answer alone judges as it always did.
        EXPECT_STREQ(chooseVerdictAmong(c.main, nullptr, c.typed), chooseVerdict(c.main, c.typed)) << c.typed;
    }
    EXPECT_EQ(otherAnswerAt(packed({"a", "b"}).c_str(), 2), std::string("b"));
    EXPECT_EQ(otherAnswerAt(packed({"a", "b"}).c_str(), 3), nullptr);
}

}  // namespace
