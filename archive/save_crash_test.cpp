// A saving process killed at random moments: whatever moment the kill hits,
// each stored file is whole, either the version before or the one after,
// and the turn loads. (POSIX only: the save runs in a forked child.)
#include <gtest/gtest.h>

#include <poll.h>
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
#include "support/lexc.h"

namespace {

using testing_archive::fileBytes;

using testing_tables::saved;

// Version `version` of turn 2401 of Galaxy for race 1: the versions differ
// in every file, and are large enough for a save to take a while.
std::unique_ptr<CurrentGame> turnVersion(int version, int messages = 100) {
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
  for (int i = 0; i < messages; ++i) AddMessageRow(*game, text.c_str(), i + 1, 1, -1);
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

// A lock ends with its holder's process, however that ends.
TEST(SaveCrash, AKilledLockHolderNeverBlocksTheNextSaver) {
  testing_archive::ScratchDirectory scratch;
  const std::string file = scratch.text() + "SAVING.LCK";
  int taken[2];
  ASSERT_EQ(pipe(taken), 0);
  const pid_t holder = fork();
  ASSERT_NE(holder, -1);
  if (holder == 0) {
    std::unique_ptr<FileLock> lock;
    if (FileSystem::Default().Lock(file, std::chrono::milliseconds(0), &lock) != LockResult::kTaken) {
      _exit(1);
    }
    if (write(taken[1], "L", 1) != 1) _exit(1);
    for (;;) pause();
  }
  close(taken[1]);
  char signal = 0;
  ASSERT_EQ(read(taken[0], &signal, 1), 1);
  close(taken[0]);

  std::unique_ptr<FileLock> lock;
  EXPECT_EQ(FileSystem::Default().Lock(file, std::chrono::milliseconds(20), &lock), LockResult::kBusy);
  kill(holder, SIGKILL);
  int status = 0;
  ASSERT_EQ(waitpid(holder, &status, 0), holder);
  EXPECT_EQ(FileSystem::Default().Lock(file, std::chrono::milliseconds(2000), &lock),
            LockResult::kTaken);
}

// What a forked saver reports for each save, and a loader at its end.
enum Outcome : char { kSaved = 'S', kWaitedTooLong = 'W', kFailed = 'F', kTornLoad = 'T' };

// A pipe between the test and its children. Every child closes the ends
// it does not use, so that closing the test's end is seen as its end.
class Pipe {
 public:
  Pipe() {
    if (pipe(ends_) != 0) ends_[0] = ends_[1] = -1;
  }
  ~Pipe() {
    CloseReading();
    CloseWriting();
  }
  bool Made() const { return ends_[0] != -1; }
  void CloseReading() { CloseEnd(0); }
  void CloseWriting() { CloseEnd(1); }
  bool Put(char byte) const { return write(ends_[1], &byte, 1) == 1; }
  // The next byte; false at the end (the writer closed the pipe).
  bool Take(char* byte) const { return read(ends_[0], byte, 1) == 1; }
  // True once the writer has closed the pipe or written to it.
  bool Ready() const {
    pollfd ready{ends_[0], POLLIN, 0};
    return poll(&ready, 1, 0) > 0;
  }

 private:
  void CloseEnd(int which) {
    if (ends_[which] != -1) close(ends_[which]);
    ends_[which] = -1;
  }
  int ends_[2];
};

Outcome saveOnce(const TurnStore& archive, const CurrentGame& version) {
  try {
    archive.SaveTurn(version);
  } catch (const LExc_Base& e) {
    return e.text().rfind("another reader is saving the game", 0) == 0 ? kWaitedTooLong : kFailed;
  } catch (...) {
    return kFailed;
  }
  return kSaved;
}

// Saves `version` whenever `go` gives a byte, and reports each outcome
// to `done`, until `go` ends.
[[noreturn]] void saveOnEveryGo(const Pipe& go, const Pipe& done, const TurnStore& archive,
                                const CurrentGame& version) {
  char byte;
  while (go.Take(&byte)) {
    if (!done.Put(saveOnce(archive, version))) _exit(1);
  }
  _exit(0);
}

// Loads the turn over and over until `stop` ends: every load must give
// whole tables of one version or the other. Exits with the number of
// loads in hundreds (at least 1), or with kTornLoad.
[[noreturn]] void loadUntil(const Pipe& stop, const TurnStore& archive, const std::string races[2],
                            const std::string turns[2]) {
  int loads = 0;
  while (!stop.Ready() || loads == 0) {
    CurrentGame loaded(std::make_unique<FixedClock>(testing_game::kMoment));
    try {
      archive.LoadTurn(loaded, "Galaxy", 1, 2401);
    } catch (...) {
      _exit(kTornLoad);
    }
    const std::string race = saved(loaded.RaceTable());
    const std::string turn = saved(loaded.MessageTable());
    if ((race != races[0] && race != races[1]) || (turn != turns[0] && turn != turns[1])) {
      _exit(kTornLoad);
    }
    ++loads;
  }
  _exit(std::min(1 + loads / 100, 60));
}

int exitStatusOf(pid_t child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Two readers save the same turn of one game at the same moment, each its
// own version, while a third loads it all along: the saves take turns, so
// the stored files are all of one version, the one saved last; neither
// saver fails silently, and every load is whole.
TEST(SaveCrash, ConcurrentSavesOfOneGameTakeTurns) {
  testing_archive::ScratchDirectory scratch;
  const TurnStore archive(ArchiveLayout(ProgramDirectory(scratch.text())));
  const std::unique_ptr<CurrentGame> versions[] = {turnVersion(0, 20), turnVersion(1, 20)};
  const std::string races[] = {saved(versions[0]->RaceTable()), saved(versions[1]->RaceTable())};
  const std::string turns[] = {saved(versions[0]->MessageTable()),
                               saved(versions[1]->MessageTable())};
  ASSERT_NO_THROW(archive.SaveTurn(*versions[0]));
  const ArchiveLayout& layout = archive.Layout();

  // Each saver waits on a pipe of its own: one byte into each releases
  // both at once for one round.
  Pipe go[2];
  Pipe done;
  Pipe stop;
  ASSERT_TRUE(go[0].Made() && go[1].Made() && done.Made() && stop.Made());
  pid_t savers[2];
  for (int v = 0; v < 2; ++v) {
    savers[v] = fork();
    ASSERT_NE(savers[v], -1);
    if (savers[v] == 0) {
      go[v].CloseWriting();
      go[1 - v].CloseReading();
      go[1 - v].CloseWriting();
      done.CloseReading();
      stop.CloseWriting();
      saveOnEveryGo(go[v], done, archive, *versions[v]);
    }
  }
  const pid_t loader = fork();
  ASSERT_NE(loader, -1);
  if (loader == 0) {
    for (Pipe& pipe : go) pipe.CloseWriting();
    done.CloseWriting();
    stop.CloseWriting();
    loadUntil(stop, archive, races, turns);
  }
  for (Pipe& pipe : go) pipe.CloseReading();
  done.CloseWriting();
  stop.CloseReading();

  int seen[2] = {0, 0};
  int waitedTooLong = 0;
  for (int round = 0; round < 100; ++round) {
    SCOPED_TRACE(round);
    ASSERT_TRUE(go[0].Put('G') && go[1].Put('G'));
    char outcomes[2];
    ASSERT_TRUE(done.Take(&outcomes[0]) && done.Take(&outcomes[1]));
    // The files first: a save that failed must have left them whole too.
    const std::string race = fileBytes(layout.RaceFile("Galaxy"));
    const std::string turn = fileBytes(layout.TurnFile("Galaxy", 1, 2401));
    const std::string turnRaces = fileBytes(layout.TurnRaceFile("Galaxy", 1, 2401));
    const int version = turn == turns[1] ? 1 : 0;
    ASSERT_EQ(turn, turns[version]);
    ASSERT_EQ(race, races[version]);
    ASSERT_EQ(turnRaces, races[version]);
    ASSERT_EQ(testing_archive::temporaryFiles(layout.Root()), 0);
    ++seen[version];

    for (char outcome : outcomes) {
      ASSERT_TRUE(outcome == kSaved || outcome == kWaitedTooLong) << outcome;
    }
    ASSERT_FALSE(outcomes[0] == kWaitedTooLong && outcomes[1] == kWaitedTooLong);
    if (outcomes[0] != outcomes[1]) ++waitedTooLong;
  }
  for (Pipe& pipe : go) pipe.CloseWriting();
  for (pid_t saver : savers) EXPECT_EQ(exitStatusOf(saver), 0);
  stop.CloseWriting();
  const int loads = exitStatusOf(loader);
  EXPECT_GT(loads, 0);
  EXPECT_NE(loads, kTornLoad);

  RecordProperty("first", seen[0]);
  RecordProperty("second", seen[1]);
  RecordProperty("loadsInHundreds", loads);
  RecordProperty("waitedTooLong", waitedTooLong);
  EXPECT_EQ(waitedTooLong, 0);  // the saves take milliseconds, the patience seconds
}

}  // namespace
