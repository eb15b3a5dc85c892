#include "archive/path_text.h"

#include "support/cp1252.h"

std::filesystem::path ToPath(const std::string& text) {
#if defined(_WIN32)
  const std::u16string wide = Cp1252ToUtf16(text);
  return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
#else
  return std::filesystem::path(Cp1252ToUtf8(text));
#endif
}

bool FromPath(const std::filesystem::path& path, std::string* text) {
#if defined(_WIN32)
  const std::wstring wide = path.wstring();
  return Utf16ToCp1252(std::u16string(wide.begin(), wide.end()), text);
#else
  const std::string name = path.string();
  if (Utf8ToCp1252Exactly(name, text)) return true;
  std::string ignored;
  if (Utf8ToCp1252(name, &ignored)) return false;  // UTF-8, but beyond the code page
  *text = name;
  return true;
#endif
}
