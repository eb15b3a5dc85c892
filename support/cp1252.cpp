#include "support/cp1252.h"

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the page is Latin-1.
const char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

char32_t Cp1252ToUnicode(uint8_t byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

bool UnicodeToCp1252(char32_t codePoint, uint8_t* byte) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
    *byte = static_cast<uint8_t>(codePoint);
    return true;
  }
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == codePoint) {
      *byte = static_cast<uint8_t>(0x80 + i);
      return true;
    }
  }
  return false;
}

std::u16string Cp1252ToUtf16(const std::string& text) {
  std::u16string result;
  result.reserve(text.size());
  for (char c : text) {
    result += static_cast<char16_t>(Cp1252ToUnicode(static_cast<uint8_t>(c)));
  }
  return result;
}

bool Utf16ToCp1252(const std::u16string& text, std::string* result) {
  std::string converted;
  converted.reserve(text.size());
  for (char16_t unit : text) {
    uint8_t byte;
    if (!UnicodeToCp1252(unit, &byte)) return false;
    converted += static_cast<char>(byte);
  }
  *result = std::move(converted);
  return true;
}

namespace {

// Decodes the UTF-8 sequence at `at`; false when it is not valid.
bool decodeUtf8(const std::string& text, size_t* at, char32_t* codePoint) {
  const auto lead = static_cast<uint8_t>(text[*at]);
  int extra = 0;
  char32_t value = 0;
  if (lead < 0x80) {
    value = lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    value = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    value = lead & 0x07;
  } else {
    return false;
  }
  if (*at + static_cast<size_t>(extra) >= text.size()) return false;
  for (int k = 1; k <= extra; ++k) {
    const auto next = static_cast<uint8_t>(text[*at + static_cast<size_t>(k)]);
    if ((next & 0xC0) != 0x80) return false;
    value = (value << 6) | (next & 0x3F);
  }
  const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
  if (value < smallest[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return false;
  }
  *at += static_cast<size_t>(extra) + 1;
  *codePoint = value;
  return true;
}

}  // namespace

std::string Cp1252ToUtf8(const std::string& text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (char c : text) {
    const char32_t code = Cp1252ToUnicode(static_cast<uint8_t>(c));  // all below 0x10000
    if (code < 0x80) {
      utf8 += static_cast<char>(code);
    } else if (code < 0x800) {
      utf8 += static_cast<char>(0xC0 | (code >> 6));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      utf8 += static_cast<char>(0xE0 | (code >> 12));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return utf8;
}

bool Utf8ToCp1252(const std::string& text, std::string* result) {
  std::string converted;
  converted.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    char32_t codePoint;
    if (!decodeUtf8(text, &at, &codePoint)) return false;
    uint8_t byte;
    converted += UnicodeToCp1252(codePoint, &byte) ? static_cast<char>(byte) : '?';
  }
  *result = std::move(converted);
  return true;
}

bool Utf8ToCp1252Exactly(const std::string& text, std::string* result) {
  std::string converted;
  if (!Utf8ToCp1252(text, &converted) || Cp1252ToUtf8(converted) != text) return false;
  *result = std::move(converted);
  return true;
}
