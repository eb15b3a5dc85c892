// The program's code page 1252 texts as the wide strings of the Windows
// API, and back, whatever the system's ANSI code page is.
#pragma once

#include <string>

std::wstring ToWide(const std::string& text);
// Characters outside code page 1252 become '?'.
std::string FromWide(const std::wstring& text);
std::string FromWide(const wchar_t* text, size_t length);
