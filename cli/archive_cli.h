// vandormsg-archive: reading the turn archive from the command line.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Exit statuses of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;  // a bad argument, a missing or damaged file
inline constexpr int kExitUsage = 2;  // a command line that does not parse

// The encoding of the texts on the command line and in the output. The
// archive keeps its texts in code page 1252.
enum class TextEncoding { kCp1252, kUtf8 };

// How the program meets its system: the encoding its locale names,
// whether lines end with CR LF (Windows), and whether the output goes to a
// terminal (which then gets control characters shown, not sent).
struct SystemConventions {
  TextEncoding encoding = TextEncoding::kCp1252;
  bool crLf = false;
  bool terminal = false;
};

// The encoding of a locale's character set (nl_langinfo(CODESET)): UTF-8
// for "UTF-8" or "utf8" in any case, code page 1252 for any other.
TextEncoding EncodingOfCharset(const std::string& charset);

// Runs the command line `args` (without the program name): writes the
// result to `out`, and an error as one line to `err`. Returns the exit
// status. Output is written only when the command succeeded, and a failure
// to write it is a failure of the command. Arguments and output are in the
// encoding of `conventions` (or of --encoding), except the bytes of show
// and dump and the UTF-8 of JSON.
int RunArchiveCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const SystemConventions& conventions = SystemConventions());
