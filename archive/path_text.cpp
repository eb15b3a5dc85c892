#include "archive/path_text.h"

#include "support/cp1252.h"

std::filesystem::path ToPath(const std::string& text) {
#if defined(_WIN32)
  const std::u16string wide = Cp1252ToUtf16(text);
  return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
#else
  return std::filesystem::path(text);
#endif
}

bool FromPath(const std::filesystem::path& path, std::string* text) {
#if defined(_WIN32)
  const std::wstring wide = path.wstring();
  return Utf16ToCp1252(std::u16string(wide.begin(), wide.end()), text);
#else
  *text = path.string();
  return true;
#endif
}
