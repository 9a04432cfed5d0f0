#include "authoring/xmlReader.h"

#include <algorithm>
#include <cstdint>

#include "authoring/windows1252.h"

std::string XmlElement::attribute(const std::string& key) const {
    for (const auto& a : attributes) {
        if (a.first == key) return a.second;
    }
    return "";
}

const XmlElement* XmlElement::child(const std::string& childName) const {
    for (const XmlElement& c : children) {
        if (c.name == childName) return &c;
    }
    return nullptr;
}

namespace {

constexpr size_t maxDepth = 200;  // Moodle's files nest about six deep

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isNameChar(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ':' ||
           c == '-' || c == '.' || u >= 0x80;
}

// Where `c` occurs in the `within` bytes from `from`, or npos.
size_t findNear(const std::string& text, char c, size_t from, size_t within) {
    const size_t last = std::min(text.size(), from + within);
    for (size_t i = from; i < last; ++i) {
        if (text[i] == c) return i;
    }
    return std::string::npos;
}

class XmlParser {
public:
    XmlParser(const std::string& text, XmlFailure& failure) : text_(text), failure_(failure) {}

    bool run(XmlElement& root) {
        bool rootDone = false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '<') {
                if (!markup(rootDone)) return false;
                if (stack_.empty() && haveRoot_ && !rootDone) {
                    rootDone = true;
                    root = std::move(finished_);
                }
                continue;
            }
            if (stack_.empty()) {
                if (!isSpace(c)) return fail(XmlError::malformed, "");
                ++pos_;
                continue;
            }
            if (c == '&') {
                if (!entity(stack_.back().text)) return false;
                continue;
            }
            const size_t next = text_.find_first_of("<&", pos_);
            const size_t end = next == std::string::npos ? text_.size() : next;
            stack_.back().text.append(text_, pos_, end - pos_);
            pos_ = end;
        }
        if (!stack_.empty()) return fail(XmlError::unclosedElement, "");
        if (!rootDone) return fail(XmlError::noRoot, "");
        return true;
    }

private:
    int line() {
        for (; scanned_ < pos_ && scanned_ < text_.size(); ++scanned_) line_ += text_[scanned_] == '\n';
        return line_;
    }

    bool fail(XmlError error, const std::string& detail) {
        failure_.error = error;
        failure_.element = stack_.empty() ? "" : stack_.back().name;
        failure_.detail = detail;
        failure_.line = line();
        return false;
    }

    bool starts(const char* what) const { return text_.compare(pos_, std::char_traits<char>::length(what), what) == 0; }

    // From "&": the character appended, or a failure for anything but the
    // five predefined entities and character references.
    bool entity(std::string& out) {
        // Looked for close by only, so that a file of lone "&" costs time in proportion to its size.
        const size_t end = findNear(text_, ';', pos_, 33);
        if (end == std::string::npos) return fail(XmlError::malformed, "&");
        const std::string name = text_.substr(pos_ + 1, end - pos_ - 1);
        const struct {
            const char* name;
            char c;
        } predefined[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
        for (const auto& p : predefined) {
            if (name == p.name) {
                out += p.c;
                pos_ = end + 1;
                return true;
            }
        }
        if (name.size() >= 2 && name[0] == '#') {
            const bool hex = name[1] == 'x';
            uint32_t code = 0;
            size_t digits = 0;
            for (size_t i = hex ? 2 : 1; i < name.size(); ++i, ++digits) {
                const char c = name[i];
                const int d = c >= '0' && c <= '9'          ? c - '0'
                              : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                            : -1;
                if (d < 0 || code > 0x10FFFF) return fail(XmlError::unknownEntity, name);
                code = code * (hex ? 16 : 10) + static_cast<uint32_t>(d);
            }
            if (digits == 0 || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
                return fail(XmlError::unknownEntity, name);
            }
            appendUtf8(out, code);
            pos_ = end + 1;
            return true;
        }
        return fail(XmlError::unknownEntity, name);
    }

    bool skipPast(const char* end) {
        const size_t found = text_.find(end, pos_);
        if (found == std::string::npos) return fail(XmlError::malformed, end);
        pos_ = found + std::char_traits<char>::length(end);
        return true;
    }

    // The document type: skipped, unless it declares entities.
    bool doctype() {
        int brackets = 0;
        for (size_t i = pos_; i < text_.size(); ++i) {
            const char c = text_[i];
            if (c == '[') ++brackets;
            if (c == ']') --brackets;
            if (text_.compare(i, 8, "<!ENTITY") == 0) {
                pos_ = i;
                return fail(XmlError::entityDeclared, "");
            }
            if (c == '>' && brackets <= 0) {
                pos_ = i + 1;
                return true;
            }
        }
        return fail(XmlError::malformed, "<!DOCTYPE");
    }

    bool markup(bool rootDone) {
        if (starts("<?")) return skipPast("?>");
        if (starts("<!--")) return skipPast("-->");
        if (starts("<![CDATA[")) {
            if (stack_.empty()) return fail(XmlError::malformed, "CDATA");
            const size_t end = text_.find("]]>", pos_ + 9);
            if (end == std::string::npos) return fail(XmlError::unclosedElement, "CDATA");
            stack_.back().text.append(text_, pos_ + 9, end - pos_ - 9);
            pos_ = end + 3;
            return true;
        }
        if (starts("<!DOCTYPE")) {
            if (!stack_.empty() || haveRoot_) return fail(XmlError::malformed, "<!DOCTYPE");
            return doctype();
        }
        if (starts("</")) return endTag();
        if (rootDone) return fail(XmlError::malformed, "");
        return startTag();
    }

    std::string name() {
        const size_t start = pos_;
        while (pos_ < text_.size() && isNameChar(text_[pos_])) ++pos_;
        return text_.substr(start, pos_ - start);
    }

    void skipSpaces() {
        while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
    }

    bool startTag() {
        ++pos_;
        XmlElement element;
        element.line = line();
        element.name = name();
        if (element.name.empty()) return fail(XmlError::malformed, "<");
        for (;;) {
            const size_t before = pos_;
            skipSpaces();
            if (pos_ >= text_.size()) {
                stack_.push_back(std::move(element));
                return fail(XmlError::unclosedElement, "");
            }
            if (starts("/>") || text_[pos_] == '>') break;
            if (pos_ == before) return fail(XmlError::malformed, element.name);
            std::string key = name();
            skipSpaces();
            if (key.empty() || pos_ >= text_.size() || text_[pos_] != '=')
                return fail(XmlError::malformed, element.name);
            ++pos_;
            skipSpaces();
            if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) {
                return fail(XmlError::malformed, element.name);
            }
            const char quote = text_[pos_++];
            std::string value;
            while (pos_ < text_.size() && text_[pos_] != quote) {
                if (text_[pos_] == '<') return fail(XmlError::malformed, element.name);
                if (text_[pos_] == '&') {
                    if (!entity(value)) return false;
                    continue;
                }
                value += text_[pos_++];
            }
            if (pos_ >= text_.size()) return fail(XmlError::malformed, element.name);
            ++pos_;
            element.attributes.emplace_back(std::move(key), std::move(value));
        }
        const bool empty = starts("/>");
        pos_ += empty ? 2 : 1;
        if (stack_.size() >= maxDepth) return fail(XmlError::tooDeep, "");
        stack_.push_back(std::move(element));
        if (empty) close();
        return true;
    }

    bool endTag() {
        pos_ += 2;
        const std::string closing = name();
        skipSpaces();
        if (pos_ >= text_.size() || text_[pos_] != '>') return fail(XmlError::malformed, "</" + closing);
        if (stack_.empty()) return fail(XmlError::mismatchedEnd, closing);
        if (stack_.back().name != closing) return fail(XmlError::mismatchedEnd, closing);
        ++pos_;
        close();
        return true;
    }

    void close() {
        XmlElement done = std::move(stack_.back());
        stack_.pop_back();
        if (stack_.empty()) {
            finished_ = std::move(done);
            haveRoot_ = true;
        } else {
            stack_.back().children.push_back(std::move(done));
        }
    }

    const std::string& text_;
    XmlFailure& failure_;
    size_t pos_ = 0;
    size_t scanned_ = 0;
    int line_ = 1;
    std::vector<XmlElement> stack_;
    XmlElement finished_;
    bool haveRoot_ = false;
};

}  // namespace

bool readXml(const std::string& bytes, XmlElement& root, XmlFailure& failure) {
    failure = XmlFailure();
    root = XmlElement();
    const bool bom = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    const std::string text = bom ? bytes.substr(3) : bytes;
    if (!isValidUtf8(text) || text.find('\0') != std::string::npos) {
        failure.error = XmlError::notUtf8;
        failure.line = 1;
        return false;
    }
    XmlParser parser(text, failure);
    return parser.run(root);
}
