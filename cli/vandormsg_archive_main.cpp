// vandormsg-archive: the program around RunArchiveCli.
#include <iostream>
#include <string>
#include <vector>

#include "cli/archive_cli.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#if defined(_WIN32)
  // The turn text carries its own CR LF line ends: no translation.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  const std::vector<std::string> args(argv + 1, argv + argc);
  return RunArchiveCli(args, std::cout, std::cerr);
}
