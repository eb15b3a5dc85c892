// wine-bench.exe RESULTS_FILE: the timings that only the real windows give,
// under Wine: a capture of 1,000 incoming messages from vandor-sim.exe (the
// relations dialog's fixed waits reported apart) and the main window's
// refresh of a 50,000-message all-turns view. Appends one line per figure
// to RESULTS_FILE and prints it.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/control_ids.h"
#include "app/message_capture.h"
#include "app/test_user_interface.h"
#include "archive/path_text.h"
#include "archive/turn_store.h"
#include "reader/current_game.h"
#include "reader/window_ops_wrapper.h"
#include "sim/data_generator.h"
#include "support/version.h"
#include "win32/driver/window_driver.h"
#include "win32/user32_window_ops.h"
#include "win32/wide_text.h"

namespace {

constexpr DWORD kWait = 120000;
const wchar_t kReaderTitle[] = L"Korvik Vandor! Message Reader V" VANDOR_VERSION_TEXT;

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class Results {
 public:
  explicit Results(const char* path) : out_(path, std::ios::app) {}
  void Add(const char* name, double seconds, const char* goal) {
    char line[256];
    std::snprintf(line, sizeof line, "%-44s %8.3f s   (goal: %s)\n", name, seconds, goal);
    std::fputs(line, stdout);
    out_ << line;
  }

 private:
  std::ofstream out_;
};

// The game's windows, with the waits for the relations dialog timed.
class TimedWaits : public WindowOpsWrapper {
 public:
  using WindowOpsWrapper::WindowOpsWrapper;
  void Sleep(uint32_t milliseconds) override {
    const auto start = std::chrono::steady_clock::now();
    WindowOpsWrapper::Sleep(milliseconds);
    waited += secondsSince(start);
  }
  double waited = 0;
};

void captureFromTheSimulatedGame(const std::string& directory, Results& results) {
  DataGenerator data(21);
  const Scenario scenario = data.MakeScenario(1000);
  const std::string path = directory + "bench.scenario";
  {
    std::ofstream file(ToPath(path), std::ios::binary);
    file << "title " << scenario.title << "\nrecipients\n";
    for (const std::string& entry : scenario.recipients) file << entry << "\n";
    file << ".\nrelations\n";
    for (const auto& relation : scenario.relations) {
      file << relation.name << " = " << (relation.relation == 0 ? "friend" : relation.relation == 1 ? "neutral" : "enemy") << "\n";
    }
    file << ".\n";
    for (const std::string& text : scenario.incoming) {
      file << "incoming\n";
      for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find("\r\n", start), text.size());
        const std::string line = text.substr(start, end - start);
        file << (line.rfind('.', 0) == 0 ? "." : "") << line << "\n";
        start = end + 2;
      }
      file << ".\n";
    }
  }
  SimulatedGame game(ToWide(directory + "vandor-sim.exe"), ToWide(path));
  if (!game.Started()) {
    std::fprintf(stderr, "wine-bench: the simulated game did not start\n");
    return;
  }
  const TurnStore archive{ArchiveLayout(ProgramDirectory(directory))};
  User32WindowOps user32;
  TimedWaits ops(user32);
  testing_ui::ScriptedUi ui;  // enters turn 2401, answers OK
  CurrentGame current;
  const auto start = std::chrono::steady_clock::now();
  MessageCapture(ops, ui, archive).ReadFromGame(current);
  const double total = secondsSince(start);
  for (const std::string& error : ui.errors) std::fprintf(stderr, "wine-bench: %s\n", error.c_str());
  results.Add("capture of 1,000 incoming messages", total - ops.waited, "under 2 s");
  results.Add("  the relations dialog's fixed waits", ops.waited, "reported apart");
}

void refreshOfTheAllTurnsView(const std::string& parent, Results& results) {
  // The reader keeps its archive beside itself: a folder of its own.
  const std::string directory = parent + "allturns\\";
  CreateDirectoryW(ToWide(directory).c_str(), nullptr);
  CopyFileW(ToWide(parent + "vandormsg.exe").c_str(), ToWide(directory + "vandormsg.exe").c_str(), FALSE);
  const TurnStore archive{ArchiveLayout(ProgramDirectory(directory))};
  if (archive.ListGames().empty()) {
    DataGenerator(23).MakeTurns("Benchmark", 500, 300,
                                [&](const CurrentGame& game) { archive.SaveTurn(game); });
  }
  ChildProcess reader(L"\"" + ToWide(directory) + L"vandormsg.exe\"");
  HWND main = WaitForDialog(kReaderTitle, {IDC_LOAD_GAME, IDC_FILTER}, kWait);
  if (main == nullptr) return;
  Press(GetDlgItem(main, IDC_LOAD_GAME));
  HWND chooser = WaitForDialog(L"Choose Game to load", {IDC_CHOOSER_LIST}, kWait);
  SelectEntry(chooser, IDC_CHOOSER_LIST, 0, true);
  WaitUntil([&] { return TextOf(GetDlgItem(main, IDC_YEAR_LABEL)) == L"2899"; }, kWait);

  // All Turns runs to its end inside the button's click.
  auto start = std::chrono::steady_clock::now();
  SendMessageW(GetDlgItem(main, IDC_ALL_TURNS), BM_CLICK, 0, 0);
  results.Add("All Turns over 500 x 300 messages", secondsSince(start), "with its refresh");
  const LRESULT listed = SendMessageW(GetDlgItem(main, IDC_MESSAGE_LIST), LB_GETCOUNT, 0, 0);

  // A filter change is a refresh alone; a message to the window returns
  // once the command has ended.
  Press(GetDlgItem(main, IDC_FILTER));
  chooser = WaitForDialog(L"Choose Filter Option:", {IDC_CHOOSER_LIST}, kWait);
  start = std::chrono::steady_clock::now();
  SelectEntry(chooser, IDC_CHOOSER_LIST, 0, true);
  WaitUntil([&] { return !IsWindow(chooser); }, kWait);
  SendMessageW(main, WM_NULL, 0, 0);
  char name[96];
  std::snprintf(name, sizeof name, "refresh of the %ld-message list", static_cast<long>(listed));
  results.Add(name, secondsSince(start), "under 2 s");
  Press(GetDlgItem(main, IDC_QUIT));
  reader.WaitForExit(kWait);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: wine-bench.exe RESULTS_FILE PROGRAM_DIRECTORY\n");
    return 2;
  }
  Results results(argv[1]);
  const std::string directory = std::string(argv[2]) + "\\";
  if (argc < 4 || argv[3][0] == 'c') captureFromTheSimulatedGame(directory, results);
  if (argc < 4 || argv[3][0] == 'r') refreshOfTheAllTurnsView(directory, results);
  return 0;
}
