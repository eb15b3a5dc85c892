// Arbitrary bytes laid out as an archive (a RACES.SAV and a turn file,
// fuzz/archive_layout.h), loaded as a turn and exported as text. Damaged
// files must end in the load's exception, never in a crash; a turn that
// loads must export. The archive lives in memory: nothing touches the disk.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "archive/memory_file_system.h"
#include "archive/path_text.h"
#include "archive/turn_store.h"
#include "archive/turn_text.h"
#include "fuzz/archive_layout.h"
#include "reader/current_game.h"
#include "support/lexc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzzing::ArchiveLayout input = fuzzing::SplitArchiveInput(data, size);
  MemoryFileSystem memory;
  const TurnStore store(ArchiveLayout(ProgramDirectory(std::string("F:") + kPathSeparator)), memory);
  memory.WriteFile(store.Layout().RaceFile("Galaxy"), input.races);
  memory.WriteFile(store.Layout().TurnFile("Galaxy", 1, 2401), input.turn);

  CurrentGame game;
  bool loaded = true;
  try {
    store.LoadTurn(game, "Galaxy", 1, -1);  // the latest turn: 2401
  } catch (const LExc_Base&) {
    loaded = false;
  }
  if (loaded) {
    if (game.Turn() != 2401 || game.RaceNumber() != 1 || game.GameName() != "Galaxy") std::abort();
    std::ostringstream text;
    try {
      WriteTurnText(game, text);
    } catch (const LExc_Base&) {
      // A turn file without message texts cannot be exported; it says so.
    }
  } else if (game.HasTurn()) {
    std::abort();  // a failed load leaves nothing loaded
  }
  return 0;
}
