#include "editor/accessKeys.h"

#include <functional>
#include <map>

namespace {

// One character of a UTF-8 text: its code point and its length in bytes
// (a malformed byte is a character of its own, never a key).
struct Character {
    char32_t code;
    size_t length;
};

Character characterAt(const std::string& text, size_t at) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1 || at + length > text.size()) return {lead < 0x80 ? char32_t(lead) : char32_t(0xFFFD), 1};
    char32_t code = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) code = (code << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    return {code, length};
}

// A label's possible keys with their byte positions, best first: word
// starts, other letters, digits. A key met twice is offered once.
std::vector<std::pair<char32_t, size_t>> candidates(const std::string& label) {
    std::vector<std::pair<char32_t, size_t>> starts, letters, digits;
    std::u32string seen;
    char32_t previous = ' ';
    for (size_t i = 0; i < label.size();) {
        const Character c = characterAt(label, i);
        const char32_t key = foldedKey(c.code);
        if (key && seen.find(key) == std::u32string::npos) {
            seen += key;
            if (key >= '0' && key <= '9') {
                digits.emplace_back(key, i);
            } else {
                (previous == ' ' || previous == '\'' ? starts : letters).emplace_back(key, i);
            }
        }
        previous = c.code;
        i += c.length;
    }
    starts.insert(starts.end(), letters.begin(), letters.end());
    starts.insert(starts.end(), digits.begin(), digits.end());
    return starts;
}

}  // namespace

char32_t foldedKey(char32_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return c;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 'a';
    if (c == 0xD7 || c == 0xF7) return 0;  // × and ÷
    if (c >= 0xC0 && c <= 0xDE) return c + 0x20;
    if (c >= 0xDF && c <= 0xFF) return c;
    return 0;
}

char32_t accessKeyOf(const std::string& label) {
    for (size_t i = 0; i + 1 < label.size(); ++i) {
        if (label[i] != '&') continue;
        if (label[i + 1] == '&') {
            ++i;
            continue;
        }
        return foldedKey(characterAt(label, i + 1).code);
    }
    return 0;
}

std::vector<std::string> withAccessKeys(const std::vector<std::string>& labels, const std::u32string& taken) {
    const size_t n = labels.size();
    std::vector<std::vector<std::pair<char32_t, size_t>>> offered(n);
    for (size_t i = 0; i < n; ++i) offered[i] = candidates(labels[i]);
    std::vector<size_t> chosen(n, std::string::npos);  // byte position of the key in the label
    std::map<char32_t, size_t> holder;
    for (char32_t key : taken) holder[key] = n;  // held by no label: never given
    // An augmenting path: `label` takes a key whose holder can move to another.
    std::function<bool(size_t, std::u32string&)> place = [&](size_t label, std::u32string& visited) {
        for (const auto& [key, at] : offered[label]) {
            if (visited.find(key) != std::u32string::npos) continue;
            visited += key;
            const auto held = holder.find(key);
            if (held != holder.end() && (held->second == n || !place(held->second, visited))) continue;
            holder[key] = label;
            chosen[label] = at;
            return true;
        }
        return false;
    };
    for (size_t i = 0; i < n; ++i) {
        // A free key of its own first; only then does a label before it move over.
        for (const auto& [key, at] : offered[i]) {
            if (holder.count(key)) continue;
            holder[key] = i;
            chosen[i] = at;
            break;
        }
        if (chosen[i] != std::string::npos) continue;
        std::u32string visited;
        place(i, visited);
    }
    std::vector<std::string> out;
    for (size_t i = 0; i < n; ++i) {
        std::string label;
        for (size_t j = 0; j < labels[i].size(); ++j) {
            if (j == chosen[i]) label += '&';
            label += labels[i][j];
            if (labels[i][j] == '&') label += '&';
        }
        out.push_back(label);
    }
    return out;
}
