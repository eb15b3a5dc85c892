// File system paths from the program's texts and back.
//
// The program keeps its texts, game names included, in code page 1252. On
// Windows, paths are made from them character by character through UTF-16,
// whatever the C library's idea of the code page. Elsewhere names are
// UTF-8, as Wine writes them for the Windows program (and unzip for an
// archive copied from Windows): a text's characters are the path's. A name
// that is not UTF-8 (written byte for byte by earlier builds) is read as
// the code page 1252 bytes it holds.
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
