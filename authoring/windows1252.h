// Quiz texts are UTF-8 for the author and Windows-1252 bytes in the player.
// The conversion is done here, by table, whatever the system's code page, so
// that every authoring tool gives the same bytes from the same text.
#pragma once

#include <cstdint>
#include <string>

// Appends a code point (up to U+10FFFF) in UTF-8.
void appendUtf8(std::string& out, uint32_t codePoint);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(const std::string& text);

// False when `utf8` is not valid UTF-8 or holds a character that
// Windows-1252 has no byte for; `ansi` is then left as it was.
bool utf8ToWindows1252(const std::string& utf8, std::string& ansi);

// What an ANSI edit box of the player would hold for a text typed on any
// keyboard: each character Windows-1252 lacks (and each byte of a broken
// sequence) becomes "?", as the platform's converter does.
std::string utf8ToWindows1252Lossy(const std::string& utf8);

// Every byte has a character: the five bytes Windows-1252 leaves unassigned
// become the control character of the same value, as the platform does.
std::string windows1252ToUtf8(const std::string& ansi);
