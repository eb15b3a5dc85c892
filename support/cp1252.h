// The Windows ANSI code page 1252, in which the program keeps all its texts,
// and its mapping to Unicode. Bytes that the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the code points of the same value,
// as Windows maps them.
#pragma once

#include <cstdint>
#include <string>

// The Unicode code point of a code page 1252 byte.
char32_t Cp1252ToUnicode(uint8_t byte);

// The code page 1252 byte of a code point; false when it has none.
bool UnicodeToCp1252(char32_t codePoint, uint8_t* byte);

// A whole text as UTF-16 (every code page 1252 character lies in the Basic
// Multilingual Plane, so one unit per byte), and back. Utf16ToCp1252 fails for
// a text with a character outside the code page.
std::u16string Cp1252ToUtf16(const std::string& text);
bool Utf16ToCp1252(const std::u16string& text, std::string* result);

// A code page 1252 text in UTF-8.
std::string Cp1252ToUtf8(const std::string& text);

// A UTF-8 text in code page 1252; characters outside the code page become
// '?'. False, leaving `result` alone, when `text` is not valid UTF-8.
bool Utf8ToCp1252(const std::string& text, std::string* result);
// The same, but false also for a character outside the code page.
bool Utf8ToCp1252Exactly(const std::string& text, std::string* result);
