// vandormsg-archive: the program around RunArchiveCli.
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/archive_cli.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <langinfo.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// A search or an export can write many megabytes. Into a pipe of the
// system's usual 64 KB the program and its reader take turns every 64 KB;
// a pipe of 1 MB (the most an unprivileged program may ask for, by
// default) lets each take sixteen times as much at a time. Where that is
// refused the pipe stays as it is.
void widenOutputPipe() {
#if defined(F_SETPIPE_SZ)
  struct stat status;
  if (fstat(STDOUT_FILENO, &status) == 0 && S_ISFIFO(status.st_mode)) {
    (void)fcntl(STDOUT_FILENO, F_SETPIPE_SZ, 1 << 20);
  }
#endif
}

// A search or an export reads hundreds of turn files of a few hundred KB
// each, on threads of their own, and makes texts as large. glibc's
// allocator maps blocks that large afresh each time and unmaps them when
// freed, so that the system clears new pages for every file; kept in the
// heap instead, the same memory serves the next file.
void keepLargeBlocks() {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  SystemConventions conventions;
#if defined(_WIN32)
  // The turn text carries its own CR LF line ends; every other line gets
  // them from the program, so that no output mixes both.
  _setmode(_fileno(stdout), _O_BINARY);
  conventions.crLf = true;
  conventions.terminal = _isatty(_fileno(stdout)) != 0;
#else
  conventions.terminal = isatty(STDOUT_FILENO) != 0;
  // The locale's character set says how the terminal and the arguments
  // encode their texts.
  std::setlocale(LC_CTYPE, "");
  conventions.encoding = EncodingOfCharset(nl_langinfo(CODESET));
  widenOutputPipe();
  keepLargeBlocks();
#endif
  const std::vector<std::string> args(argv + 1, argv + argc);
  int status = RunArchiveCli(args, std::cout, std::cerr, conventions);
  // What is still buffered is written when stdout is closed: a failure
  // there (a full disk) fails the program too, unless it failed already.
  errno = 0;
  if (std::fclose(stdout) != 0 && status == kExitOk) {
    std::cerr << "vandormsg-archive: cannot write the output";
    if (errno != 0) std::cerr << ": " << std::strerror(errno);
    std::cerr << '\n';
    status = kExitError;
  }
  return status;
}
