// vandor-sim.exe started as a player starts it from the release zip: a
// double click starts it without arguments, in a current folder that need
// not be its own. Each test lays out a copy of the zip's folder (the
// program and its scenarios folder) and starts the program from another
// folder, whose own scenarios folder holds the German sample as a decoy:
// a program that looked there would open the wrong game.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "archive/test_archive.h"
#include "sim/scenario.h"
#include "win32/driver/window_driver.h"
#include "win32/wide_text.h"

namespace {

constexpr DWORD kWait = 30000;
const wchar_t kGameClass[] = L"vandorframe";
const wchar_t kBoxTitle[] = L"Vandor! simulated game";

std::string sample(const char* name) { return std::string(VANDOR_SCENARIO_DIR) + "/" + name; }

// The frame title the simulated game shows for a sample.
std::wstring titleOf(const char* name) { return ToWide(LoadScenario(sample(name)).title); }

BOOL CALLBACK appendText(HWND child, LPARAM texts) {
  *reinterpret_cast<std::wstring*>(texts) += TextOf(child) + L"\n";
  return TRUE;
}

// The texts of a window's controls, one a line.
std::wstring controlTexts(HWND window) {
  std::wstring texts;
  EnumChildWindows(window, appendText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

class SimStartEndToEnd : public ::testing::Test {
 protected:
  SimStartEndToEnd() {
    // A game of an earlier test must be gone, or it would be found instead.
    WaitUntil([] { return FindWindowW(kGameClass, nullptr) == nullptr; }, kWait);
    package = scratch.text() + "Vandor Reader\\";
    elsewhere = scratch.text() + "elsewhere\\";
    std::filesystem::create_directories(ToPath(package));
    std::filesystem::create_directories(ToPath(elsewhere + "scenarios"));
    std::filesystem::copy_file(ToPath(VANDOR_SIM_EXE), ToPath(package + "vandor-sim.exe"));
    std::filesystem::copy_file(ToPath(sample("german.scenario")),
                               ToPath(elsewhere + "scenarios\\english.scenario"));
  }

  void packSamples() {
    std::filesystem::create_directories(ToPath(package + "scenarios"));
    for (const char* name : {"english.scenario", "german.scenario"}) {
      std::filesystem::copy_file(ToPath(sample(name)), ToPath(package + "scenarios\\" + name));
    }
  }

  // vandor-sim.exe of the package, with `arguments`, in the other folder.
  std::unique_ptr<ChildProcess> start(const std::wstring& arguments = L"") {
    std::wstring command = L"\"" + ToWide(package) + L"vandor-sim.exe\"";
    if (!arguments.empty()) command += L" " + arguments;
    return std::make_unique<ChildProcess>(command, ToWide(elsewhere));
  }

  // Closes the game's frame as its close box does; the program must end
  // with status 0.
  static void closeGame(HWND frame, ChildProcess& sim) {
    PostMessageW(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(sim.WaitForExit(kWait));
    EXPECT_EQ(sim.ExitStatus(), 0);
  }

  testing_archive::ScratchDirectory scratch;
  std::string package;
  std::string elsewhere;
};

TEST_F(SimStartEndToEnd, WithoutArgumentsPlaysTheEnglishSampleBesideTheProgram) {
  packSamples();
  const auto sim = start();
  ASSERT_TRUE(sim->Started());
  HWND frame = WaitForWindow(kGameClass, titleOf("english.scenario").c_str(), kWait);
  ASSERT_NE(frame, nullptr) << "no window of the English sample";
  EXPECT_TRUE(WaitForIdle(frame, kWait));
  EXPECT_EQ(FindWindowW(L"#32770", kBoxTitle), nullptr);
  closeGame(frame, *sim);
}

TEST_F(SimStartEndToEnd, ScenarioArgumentIsReadFromTheCurrentFolder) {
  // An explicit file is the player's: a relative name counts from the
  // current folder, as before, and not from the program's.
  packSamples();
  std::filesystem::copy_file(ToPath(sample("english.scenario")),
                             ToPath(elsewhere + "scenarios\\german.scenario"));
  const auto sim = start(L"scenarios\\german.scenario");
  ASSERT_TRUE(sim->Started());
  HWND frame = WaitForWindow(kGameClass, titleOf("english.scenario").c_str(), kWait);
  ASSERT_NE(frame, nullptr) << "the scenario was not taken from the current folder";
  closeGame(frame, *sim);
}

TEST_F(SimStartEndToEnd, WithoutArgumentsOrSampleSaysWhatIsMissingAndFails) {
  const auto sim = start();
  ASSERT_TRUE(sim->Started());
  HWND box = WaitForDialog(kBoxTitle, {IDOK}, kWait);
  ASSERT_NE(box, nullptr) << "no message box";
  const std::wstring texts = controlTexts(box);
  EXPECT_NE(texts.find(L"started without a scenario file"), std::wstring::npos) << texts;
  EXPECT_NE(texts.find(L"Vandor Reader\\scenarios\\english.scenario"), std::wstring::npos)
      << texts;
  EXPECT_NE(texts.find(L"vandor-sim.exe SCENARIO"), std::wstring::npos) << texts;
  EXPECT_EQ(FindWindowW(kGameClass, nullptr), nullptr);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(sim->WaitForExit(kWait));
  EXPECT_EQ(sim->ExitStatus(), 1);
}

TEST_F(SimStartEndToEnd, MissingScenarioArgumentFails) {
  packSamples();
  const auto sim = start(L"no-such.scenario");
  ASSERT_TRUE(sim->Started());
  HWND box = WaitForDialog(kBoxTitle, {IDOK}, kWait);
  ASSERT_NE(box, nullptr) << "no message box";
  const std::wstring texts = controlTexts(box);
  EXPECT_NE(texts.find(L"Cannot open the scenario file no-such.scenario."), std::wstring::npos)
      << texts;
  EXPECT_EQ(FindWindowW(kGameClass, nullptr), nullptr);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(sim->WaitForExit(kWait));
  EXPECT_EQ(sim->ExitStatus(), 1);
}

}  // namespace
