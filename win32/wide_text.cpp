#include "win32/wide_text.h"

#include "support/cp1252.h"

std::wstring ToWide(const std::string& text) {
  const std::u16string wide = Cp1252ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

std::string FromWide(const wchar_t* text, size_t length) {
  std::string result;
  result.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    uint8_t byte;
    result += UnicodeToCp1252(static_cast<char16_t>(text[i]), &byte) ? static_cast<char>(byte) : '?';
  }
  return result;
}

std::string FromWide(const std::wstring& text) { return FromWide(text.data(), text.size()); }
