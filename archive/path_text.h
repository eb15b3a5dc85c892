// File system paths from the program's texts and back.
//
// The program keeps its texts, game names included, in code page 1252. On
// Windows, paths are made from them character by character through UTF-16,
// whatever the C library's idea of the code page; elsewhere the bytes are
// the path.
#pragma once

#include <filesystem>
#include <string>

// The separator the archive writes into its paths.
#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

std::filesystem::path ToPath(const std::string& text);

// The text of `path`; false when it holds a character outside code page
// 1252 (such a file cannot be named by the program).
bool FromPath(const std::filesystem::path& path, std::string* text);
