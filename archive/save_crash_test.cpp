// A saving process killed at random moments: whatever moment the kill hits,
// each stored file is whole, either the version before or the one after,
// and the turn loads. (POSIX only: the save runs in a forked child.)
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <sstream>
#include <thread>

#include "archive/turn_store.h"
#include "archive/test_archive.h"
#include "cache/test_tables.h"
#include "cache/cache_stream.h"
#include "reader/message_classifier.h"
#include "reader/test_game.h"

namespace {

using testing_archive::fileBytes;

using testing_tables::saved;

// Version `version` of turn 2401 of Galaxy for race 1: the versions differ
// in every file, and are large enough for a save to take a while.
std::unique_ptr<CurrentGame> turnVersion(int version) {
  std::unique_ptr<CurrentGame> game = testing_game::makeGame();
  DefineTableColumns(*game, game->RaceTable());
  DefineTableColumns(*game, game->MessageTable());
  game->SetGameName("Galaxy");
  game->SetRaceNumber(1);
  game->SetTurn(2401);
  testing_game::addRace(*game, 0, "Humans", kFriend);
  testing_game::addRace(*game, 1, "Zorgs", kEnemy);
  if (version == 1) testing_game::addRace(*game, 2, "Kaa", kNeutral);
  const std::string text(500 + 300 * version, static_cast<char>('a' + version));
  for (int i = 0; i < 100; ++i) AddMessageRow(*game, text.c_str(), i + 1, 1, -1);
  return game;
}

// Saves the two versions in turn until it is killed (or gives up after a
// while, should the parent be gone).
[[noreturn]] void saveForEver(const TurnStore& archive, const CurrentGame& first,
                              const CurrentGame& second) {
  for (int i = 0; i < 100000; ++i) {
    try {
      archive.SaveTurn(i % 2 == 0 ? second : first);
    } catch (...) {
      _exit(1);  // the parent sees the files, which are what counts
    }
  }
  _exit(0);
}

TEST(SaveCrash, AKilledSaveLeavesTheOldOrTheNewVersion) {
  testing_archive::ScratchDirectory scratch;
  const TurnStore archive(ArchiveLayout(ProgramDirectory(scratch.text())));
  const std::unique_ptr<CurrentGame> versions[] = {turnVersion(0), turnVersion(1)};
  const std::string races[] = {saved(versions[0]->RaceTable()), saved(versions[1]->RaceTable())};
  const std::string turns[] = {saved(versions[0]->MessageTable()),
                               saved(versions[1]->MessageTable())};
  ASSERT_NO_THROW(archive.SaveTurn(*versions[0]));

  // The duration of one save gives the range of the random kill moments.
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 10; ++i) archive.SaveTurn(*versions[i % 2]);
  const auto perSave = (std::chrono::steady_clock::now() - start) / 10;
  std::mt19937 random(2401);
  std::uniform_int_distribution<int64_t> moment(
      0, std::chrono::duration_cast<std::chrono::microseconds>(perSave * 4).count());

  int seen[2] = {0, 0};
  int interrupted = 0;  // kills that left a temporary file or a copy behind
  for (int run = 0; run < 200; ++run) {
    SCOPED_TRACE(run);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) saveForEver(archive, *versions[0], *versions[1]);
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);

    if (testing_archive::temporaryFiles(archive.Layout().Root()) > 0) ++interrupted;
    const std::string race = fileBytes(archive.Layout().RaceFile("Galaxy"));
    const std::string turn = fileBytes(archive.Layout().TurnFile("Galaxy", 1, 2401));
    ASSERT_TRUE(race == races[0] || race == races[1]);
    ASSERT_TRUE(turn == turns[0] || turn == turns[1]);
    ++seen[turn == turns[1] ? 1 : 0];

    CurrentGame loaded(std::make_unique<FixedClock>(testing_game::kMoment));
    ASSERT_NO_THROW(archive.LoadTurn(loaded, "Galaxy", 1, 2401));
    EXPECT_EQ(saved(loaded.MessageTable()), turn);
  }
  RecordProperty("old", seen[0]);
  RecordProperty("new", seen[1]);
  RecordProperty("interrupted", interrupted);
  EXPECT_GT(seen[0], 0);
  EXPECT_GT(seen[1], 0);
  EXPECT_GT(interrupted, 0);

  // The next save clears what the killed ones left.
  ASSERT_NO_THROW(archive.SaveTurn(*versions[1]));
  EXPECT_EQ(testing_archive::temporaryFiles(archive.Layout().Root()), 0);
  EXPECT_EQ(fileBytes(archive.Layout().TurnFile("Galaxy", 1, 2401)), turns[1]);
}

}  // namespace
