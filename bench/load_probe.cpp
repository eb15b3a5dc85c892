// vandor_load_probe FILE read|load: one measured operation in a fresh
// process, for the goals program, which starts a new probe for every run.
//
//   read  opens FILE and reads all of it with one read(2) into a buffer of
//         its size taken just before (so its pages are faulted in by the
//         read itself), then touches each page once;
//   load  loads FILE into a table the way the archive loads a turn:
//         ReadTableFile through FileSystem::Default(), an std::ifstream.
//
// Prints one line: wall seconds, CPU seconds (user and system), minor page
// faults, all from before the file is opened to after the operation, then
// the bytes read or the rows loaded.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "archive/file_system.h"
#include "archive/turn_store.h"
#include "bench/goals_clock.h"
#include "cache/smartcache.h"
#include "support/lexc.h"

namespace {

// Bytes read, or -1 when the file cannot be read whole.
long long readWhole(const char* path) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat status{};
  if (fstat(fd, &status) != 0) {
    close(fd);
    return -1;
  }
  const size_t size = static_cast<size_t>(status.st_size);
  char* buffer = static_cast<char*>(std::malloc(size == 0 ? 1 : size));
  size_t done = 0;
  // One read takes the whole file; the loop only guards against a short one.
  while (buffer != nullptr && done < size) {
    const ssize_t got = read(fd, buffer + done, size - done);
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  close(fd);
  if (buffer == nullptr || done != size) return -1;
  volatile unsigned char sum = 0;
  for (size_t at = 0; at < size; at += 4096) sum = static_cast<unsigned char>(sum + buffer[at]);
  // The buffer is left to the end of the process, as a loaded table is.
  return static_cast<long long>(done);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[2], "read") != 0 && std::strcmp(argv[2], "load") != 0)) {
    std::fprintf(stderr, "usage: vandor_load_probe FILE read|load\n");
    return 2;
  }
  const bool load = std::strcmp(argv[2], "load") == 0;
  long long amount = -1;
  SmartCache* table = new SmartCache;  // left to the end of the process, like the buffer
  const goals::Reading start = goals::Reading::Now();
  if (load) {
    try {
      ReadTableFile(FileSystem::Default(), argv[1], *table);
      amount = table->rowCount();
    } catch (const LExc_Base& e) {
      std::fprintf(stderr, "vandor_load_probe: cannot load %s: %s\n", argv[1], e.text().c_str());
      return 1;
    }
  } else {
    amount = readWhole(argv[1]);
    if (amount < 0) {
      std::fprintf(stderr, "vandor_load_probe: cannot read %s\n", argv[1]);
      return 1;
    }
  }
  const goals::Sample taken = goals::Reading::Now().Since(start);
  std::printf("%.9f %.9f %.0f %lld\n", taken.wall, taken.cpu, taken.faults, amount);
  std::fflush(stdout);
  // The table and the buffer go with the process: their destruction is no
  // part of the figure and would only slow the run.
  std::_Exit(0);
}
