// Arbitrary bytes laid out as an archive (a RACES.SAV and a turn file,
// fuzz/archive_layout.h), loaded as a turn and exported as text. Damaged
// files must end in the load's error message, never in a crash; a turn
// that loads must export.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "archive/game_archive.h"
#include "archive/path_text.h"
#include "archive/turn_text.h"
#include "fuzz/archive_layout.h"
#include "reader/current_game.h"
#include "support/lexc.h"

namespace {

class SilentUi : public ArchiveUi {
 public:
  void ShowError(const std::string&) override { ++errors; }
  void BeginWait() override {}
  void EndWait() override {}
  int errors = 0;
};

// The program directory of this process's archive, made once.
const std::string& programDirectory() {
  static const std::string directory = [] {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("vandor-archive-fuzzer-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    std::string text;
    FromPath(path, &text);
    return text + kPathSeparator;
  }();
  return directory;
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(ToPath(path).parent_path());
  std::ofstream(ToPath(path), std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzzing::ArchiveLayout layout = fuzzing::SplitArchiveInput(data, size);
  SilentUi ui;
  const GameArchive archive(ProgramDirectory(programDirectory()), ui);
  writeFile(archive.RaceFile("Galaxy"), layout.races);
  writeFile(archive.TurnFile("Galaxy", 1, 2401), layout.turn);

  CurrentGame game;
  archive.LoadTurn(game, "Galaxy", 1, 0);  // the latest turn: 2401
  if (ui.errors == 0) {
    if (game.Turn() != 2401 || game.RaceNumber() != 1 || game.GameName() != "Galaxy") std::abort();
    std::ostringstream text;
    try {
      WriteTurnText(game, text);
    } catch (const LExc_Base&) {
      // A turn file without message texts cannot be exported; it says so.
    }
  } else if (game.IsLoaded()) {
    std::abort();  // a failed load leaves nothing loaded
  }
  return 0;
}
