// A small XML reader for the files other programs export (Moodle's question
// banks): elements, attributes, text, CDATA, comments, processing
// instructions, character references and the five predefined entities. It
// never fetches or expands anything else: a document that declares an
// entity is refused whole, so neither an outside file nor a recursive
// expansion ("billion laughs") can be reached.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text;  // its own text and CDATA, in order, children's left out
    std::vector<XmlElement> children;
    int line = 0;

    // The attribute's value, or "" when absent.
    std::string attribute(const std::string& key) const;
    // The first child of that name, or null.
    const XmlElement* child(const std::string& childName) const;
};

enum class XmlError {
    none,
    notUtf8,
    entityDeclared,   // <!ENTITY ...> in the document type
    unknownEntity,    // "&name;" other than the five and character references
    unclosedElement,  // the file ends inside it
    mismatchedEnd,    // closed by another name
    malformed,        // a "<" that opens nothing XML knows, a broken attribute...
    tooDeep,
    noRoot,
};

struct XmlFailure {
    XmlError error = XmlError::none;
    std::string element;  // the element it was found in ("" at the top)
    std::string detail;   // the entity, the closing name...
    int line = 0;
};

// Reads a UTF-8 document (a byte-order mark allowed) into its root element.
bool readXml(const std::string& bytes, XmlElement& root, XmlFailure& failure);
