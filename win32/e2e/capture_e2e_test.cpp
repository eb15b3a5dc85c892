// End-to-end captures: the reader drives the real windows of the simulated
// game (vandor-sim.exe, another process) through user32, and the results
// are compared with in-process captures of the same scenarios.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/message_capture.h"
#include "app/test_user_interface.h"
#include "archive/test_archive.h"
#include "archive/turn_store.h"
#include "cache/test_tables.h"
#include "reader/test_game.h"
#include "sim/fake_game.h"
#include "win32/driver/window_driver.h"
#include "win32/user32_window_ops.h"
#include "win32/wide_text.h"

namespace {

using testing_archive::fileBytes;
using testing_archive::ScratchDirectory;
using testing_tables::saved;

std::string sampleText(const char* name) {
  std::ifstream in(std::string(VANDOR_SCENARIO_DIR) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool gameWindowExists() { return FindWindowW(L"vandorframe", nullptr) != nullptr; }

// Starts the simulated game on `scenarioText`, written to a file in
// `directory`.
std::unique_ptr<SimulatedGame> startGame(const std::string& directory,
                                         const std::string& scenarioText) {
  const std::string path = directory + "game.scenario";
  std::ofstream(ToPath(path), std::ios::binary) << scenarioText;
  return std::make_unique<SimulatedGame>(ToWide(VANDOR_SIM_EXE), ToWide(path));
}

// One capture into its own archive, run as the main window runs it.
struct Capture {
  Capture(const std::string& directory, WindowOps& ops, int32_t turn)
      : archive(ArchiveLayout(ProgramDirectory(directory))), game(testing_game::makeGame()) {
    ui.turnAnswer = turn;
    MessageCapture command(ops, ui, archive);
    RunCommand([&] { return command.OnReadFromGame(*game); },
               [&](const CommandOutcome& outcome) { refreshes += outcome.refresh ? 1 : 0; },
               MessageCapture::AfterCapture());
  }
  TurnStore archive;
  std::unique_ptr<CurrentGame> game;
  testing_ui::ScriptedUi ui;  // the errors shown, of the game and the archive
  int refreshes = 0;
};

class CaptureEndToEnd : public ::testing::Test {
 protected:
  std::string subdirectory(const char* name) {
    const std::string path = scratch.text() + name + "\\";
    std::filesystem::create_directories(ToPath(path));
    return path;
  }
  ScratchDirectory scratch;
};

void expectSameCaptureAsInProcess(const std::string& directory, const std::string& text,
                                  int32_t turn) {
  std::istringstream in(text);
  FakeGame fake(ParseScenario(in));
  Capture expected(directory + "fake\\", fake, turn);

  const auto sim = startGame(directory, text);
  ASSERT_TRUE(sim->Started());
  User32WindowOps user32;
  Capture real(directory + "real\\", user32, turn);
  EXPECT_TRUE(real.ui.errors.empty());

  const CurrentGame& game = *real.game;
  ASSERT_TRUE(game.HasTurn());
  EXPECT_EQ(game.GameName(), expected.game->GameName());
  EXPECT_EQ(game.RaceNumber(), expected.game->RaceNumber());
  const std::string name = game.GameName();
  const int32_t race = game.RaceNumber();
  for (const auto& path : {std::make_pair(real.archive.Layout().RaceFile(name), expected.archive.Layout().RaceFile(name)),
                           std::make_pair(real.archive.Layout().TurnFile(name, race, turn),
                                          expected.archive.Layout().TurnFile(name, race, turn)),
                           std::make_pair(real.archive.Layout().TextFile(name, race, turn),
                                          expected.archive.Layout().TextFile(name, race, turn))}) {
    SCOPED_TRACE(path.first);
    const std::string bytes = fileBytes(path.first);
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(bytes, fileBytes(path.second));
  }
}

TEST_F(CaptureEndToEnd, EnglishSampleAcrossProcesses) {
  expectSameCaptureAsInProcess(subdirectory("english"), sampleText("english.scenario"), 2401);
}

TEST_F(CaptureEndToEnd, GermanSampleAcrossProcesses) {
  expectSameCaptureAsInProcess(subdirectory("german"), sampleText("german.scenario"), 2405);
}

TEST_F(CaptureEndToEnd, OutgoingPostBeyondThirtyTwoMessagesAcrossProcesses) {
  // The sample's three outgoing messages (the last a draft without a
  // recipient) and 37 more: the real game's Next button must lead the
  // capture past the 32nd page and stop it on the blank one, as the
  // in-process game does.
  std::string text = sampleText("english.scenario");
  for (int i = 4; i <= 40; ++i) {
    text += "outgoing " + std::to_string((i - 1) % 4 + 1) + "\nOutgoing " + std::to_string(i) +
            "\n.\n";
  }
  const std::string directory = subdirectory("forty");
  expectSameCaptureAsInProcess(directory, text, 2401);

  TurnStore archive(ArchiveLayout(ProgramDirectory(directory + "real\\")));
  auto game = testing_game::makeGame();
  ASSERT_NO_THROW(archive.LoadTurn(*game, "Andromeda", 1, 2401));
  int32_t outgoing = 0;
  int32_t lastNumber = 0;
  const SmartCache& messages = game->MessageTable();
  for (int32_t i = 0; i < messages.rowCount(); ++i) {
    const CacheRow row = messages.rowAt(i);
    if (row.getLong(MSGINCOMING) != 0) continue;
    ++outgoing;
    lastNumber = std::max(lastNumber, row.getLong(MSGID));
  }
  EXPECT_EQ(outgoing, 40 - 1);  // all but the draft
  EXPECT_EQ(lastNumber, 6 + 40);  // numbered on after the six incoming ones
}

TEST_F(CaptureEndToEnd, MissingGameWindow) {
  ASSERT_FALSE(gameWindowExists());
  User32WindowOps user32;
  Capture capture(subdirectory("none"), user32, 2401);
  EXPECT_EQ(capture.ui.errors,
            std::vector<std::string>{"cannot find Vandor! - start Vandor! and load your game "});
  EXPECT_EQ(capture.refreshes, 1);
}

TEST_F(CaptureEndToEnd, MissingPaneAndButtons) {
  const std::pair<const char*, const char*> cases[] = {
      {"no-pane", "cannot find message window - start Vandor! and load your game "},
      {"single-edit", "cannot find message windows - start Vandor! and load your game "},
      {"no-next-button", "cannot find \"Next\" / \"Prev\" button"},
      {"no-prev-button", "cannot find \"Next\" / \"Prev\" button"},
  };
  for (const auto& [change, message] : cases) {
    SCOPED_TRACE(change);
    const std::string directory = subdirectory(change);
    const auto sim = startGame(directory, sampleText("english.scenario") + "\n" + change + "\n");
    ASSERT_TRUE(sim->Started());
    User32WindowOps user32;
    Capture capture(directory, user32, 2401);
    EXPECT_EQ(capture.ui.errors, std::vector<std::string>{message});
    EXPECT_FALSE(testing_archive::exists(capture.archive.Layout().Root()));
  }
}

TEST_F(CaptureEndToEnd, LateRelationsDialogIsFound) {
  const std::string directory = subdirectory("late");
  const auto sim = startGame(directory, sampleText("english.scenario") + "\ndialog-after 2\n");
  ASSERT_TRUE(sim->Started());
  User32WindowOps user32;
  Capture capture(directory, user32, 2401);
  EXPECT_TRUE(capture.ui.errors.empty());
  EXPECT_EQ(capture.game->RaceTable().rowCount(), 4);
  EXPECT_EQ(capture.game->RaceTable().rowAt(3).getString(RACNAMSING), "Vlorrian");
  EXPECT_EQ(capture.game->RaceTable().rowAt(0).getLong(RACRELATION), kEnemy);
}

// A capture against the game of `scenario`, which hangs somewhere: it ends
// within a few sends' time limits, says the game does not respond and
// stores nothing.
void expectHungCaptureEndsInTime(const std::string& directory, const std::string& scenario,
                                 int* refreshes) {
  const auto sim = startGame(directory, scenario);
  ASSERT_TRUE(sim->Started());
  User32WindowOps user32;
  const auto start = std::chrono::steady_clock::now();
  Capture capture(directory, user32, 2401);
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::steady_clock::now() - start);
  EXPECT_LT(seconds.count(), 15);
  EXPECT_EQ(capture.ui.errors, std::vector<std::string>{program_ui::kNotResponding});
  EXPECT_FALSE(testing_archive::exists(capture.archive.Layout().Root()));
  *refreshes = capture.refreshes;
}

TEST_F(CaptureEndToEnd, HungGameEndsTheCaptureWithoutASave) {
  int refreshes = 0;
  expectHungCaptureEndsInTime(subdirectory("hung"),
                              sampleText("english.scenario") + "\nstop-answering 2\n", &refreshes);
  EXPECT_EQ(refreshes, 1);
}

// A game that hangs right after telling its title, the second time, when
// the reader maximises its frame next: that must not wait for the game; the
// next message runs into its time limit.
TEST_F(CaptureEndToEnd, GameHangingAfterItsTitleEndsTheCaptureInTime) {
  int refreshes = 0;
  expectHungCaptureEndsInTime(subdirectory("hung-title"),
                              sampleText("english.scenario") + "\nhang-after-title 2\n", &refreshes);
}

// What a capture ended with: the errors it showed and the tables it read
// (as their stream bytes).
struct Outcome {
  std::vector<std::string> errors;
  std::string gameName;
  int32_t race = -1;
  std::string races;
  std::string messages;
  bool operator==(const Outcome& other) const {
    return errors == other.errors && gameName == other.gameName && race == other.race &&
           races == other.races && messages == other.messages;
  }
};

// The archive's errors name paths: they are compared without the
// directory of the capture.
Outcome outcomeOf(const Capture& capture, const std::string& directory) {
  const CurrentGame& game = *capture.game;
  std::vector<std::string> errors = capture.ui.errors;
  for (std::string& error : errors) {
    for (size_t at; (at = error.find(directory)) != std::string::npos;) {
      error.replace(at, directory.size(), "<directory>\\");
    }
  }
  return Outcome{std::move(errors), game.GameName(), game.RaceNumber(), saved(game.RaceTable()),
                 saved(game.MessageTable())};
}

// A game of five races, own race 4, whose names, messages and title have
// lengths around the reader's limits; the title is `titleLength` long.
std::string scenarioAtTheLimits(size_t titleLength) {
  const std::string rest = " - Terran - Emperor Vance m5";
  const std::string name(titleLength - rest.size() - 10, 'g');
  return "title Vandor! - " + name + rest + "\n" +
         "recipients\n-\n{repeat 98 c}\n{repeat 99 c}\n{repeat 100 c}\n{repeat 101 c}\nTerrans\n.\n"
         "relations\n{repeat 998 l} = enemy\n{repeat 999 l} = friend\n{repeat 1000 l} = neutral\n"
         "{repeat 1001 l} = none\n.\n"
         "incoming\n{repeat 9997 i}\n.\nincoming\n{repeat 9998 i}\n.\nincoming\n{repeat 9999 i}\n.\n"
         "incoming\n{repeat 10000 i}\n.\nincoming\n{repeat 10001 i}\n.\n"
         "outgoing 1\n{repeat 9998 o}\n.\noutgoing 2\n{repeat 10001 p}\n.\n";
}

TEST_F(CaptureEndToEnd, MisbehavingGamesEndAsInProcess) {
  const std::string sample = sampleText("english.scenario");
  const std::pair<const char*, std::string> cases[] = {
      {"vanishing", sample + "vanish-after 2\n"},
      {"vanishing-at-once", sample + "vanish-after 1\n"},
      {"growing", sample + "entries-grow 1\n"},
      {"growing-most", sample + "entries-grow 4096\n"},
      {"no-strings", sample + "list-without-strings\n"},
      {"dialog-hidden", sample + "dialog-hidden 2\n"},
      {"path-name", sample + "title Vandor! - ..\\..\\outside - Terran - Emperor Vance m2\n"},
      {"limits-998", scenarioAtTheLimits(998)},
      {"limits-999", scenarioAtTheLimits(999)},
      {"limits-1001", scenarioAtTheLimits(1001)},
  };
  for (const auto& [label, text] : cases) {
    SCOPED_TRACE(label);
    const std::string directory = subdirectory(label);
    std::istringstream in(text);
    FakeGame fake(ParseScenario(in));
    const Capture expected(directory + "fake\\", fake, 2401);

    const auto sim = startGame(directory, text);
    ASSERT_TRUE(sim->Started());
    User32WindowOps user32;
    const auto start = std::chrono::steady_clock::now();
    const Capture real(directory + "real\\", user32, 2401);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    const Outcome got = outcomeOf(real, directory + "real\\");
    const Outcome wanted = outcomeOf(expected, directory + "fake\\");
    EXPECT_EQ(got.errors, wanted.errors);
    EXPECT_TRUE(got == wanted)
        << "errors: " << real.ui.errors.size() << " / " << expected.ui.errors.size()
        << ", game: " << real.game->GameName().size() << " "
        << real.game->RaceNumber() << " / " << expected.game->GameName().size() << " "
        << expected.game->RaceNumber() << ", rows: " << real.game->RaceTable().rowCount() << "+"
        << real.game->MessageTable().rowCount() << " / " << expected.game->RaceTable().rowCount()
        << "+" << expected.game->MessageTable().rowCount();
    EXPECT_FALSE(testing_archive::exists(scratch.text() + "..\\outside"));
  }
}

}  // namespace
