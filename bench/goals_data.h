// The data of the goals program: generated message tables, a scratch
// folder under $TMPDIR, a large archive on disk, and how large and how
// often everything is in a full and in a quick run.
#pragma once

#include <memory>
#include <string>

#include "app/test_user_interface.h"
#include "archive/turn_store.h"

class CurrentGame;

namespace goals {

// A full run, or a quick one (VANDOR_BENCH_QUICK set) that only shows the
// program works: every size a hundredth, one recorded run, no warm-up.
struct Plan {
  bool quick = false;

  static Plan FromEnvironment();
  int Rows(int full) const { return quick ? (full >= 100 ? full / 100 : 1) : full; }
  int Repetitions(int full) const { return quick ? 1 : full; }
  int Warmups(int full) const { return quick ? 0 : full; }
  // Runs of a comparison at `rows` rows: more for small sizes, whose runs
  // are short and noisy, at least 5 for the largest.
  int RepetitionsFor(int rows) const;
};

// A game whose MessageTable holds `rows` generated messages in turns of 300
// (the RaceTable holds the 16 races): the same rows for the same count.
std::unique_ptr<CurrentGame> GeneratedMessages(int rows);

// A folder of its own under $TMPDIR (or /tmp), removed with everything in
// it when the object goes.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's path, ending with "/".
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// An archive of `turns` turns of 300 messages of the game "Benchmark",
// race 3, from turn 2400 on, each saved as a capture saves it: SaveTurn,
// then the turn's text file.
class LargeArchive {
 public:
  LargeArchive(const std::string& folder, int turns);

  static constexpr char kGame[] = "Benchmark";
  static constexpr int kRace = 3;

  // The folder that holds DATA/, as --root names it; ends with "/".
  const std::string& Root() const { return root_; }
  // DATA/ itself.
  std::string DataFolder() const { return store_.Layout().Root(); }
  const TurnStore& Store() const { return store_; }
  int Turns() const { return turns_; }
  int FirstTurn() const;
  int LastTurn() const { return FirstTurn() + turns_ - 1; }
  int Messages() const { return turns_ * 300; }

 private:
  std::string root_;
  TurnStore store_;
  int turns_;
};

// Writes `bytes` to the file `path`; raises MeasurementError when it cannot.
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace goals
