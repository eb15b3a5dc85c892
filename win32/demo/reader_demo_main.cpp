// reader-demo.exe PROGRAM_DIRECTORY SCENARIO
//
// The demo without a user: starts the simulated game on SCENARIO and the
// reader (PROGRAM_DIRECTORY\vandormsg.exe), presses "Read from Vandor!",
// enters the turn, prints what the reader shows and where it stored the
// turn, saves screenshots of both programs in PROGRAM_DIRECTORY and quits.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "app/control_ids.h"
#include "win32/driver/window_driver.h"
#include "win32/wide_text.h"

namespace {

constexpr DWORD kWait = 30000;
const wchar_t kReaderTitle[] = L"Korvik Vandor! Message Reader V1.1";

int fail(const char* what) {
  std::fprintf(stderr, "reader-demo: %s\n", what);
  return 1;
}

std::string label(HWND main, int id) { return FromWide(TextOf(GetDlgItem(main, id))); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return fail("usage: reader-demo.exe PROGRAM_DIRECTORY SCENARIO");
  const std::string directory = std::string(argv[1]) + "\\";
  const std::wstring simulator = ToWide(directory + "vandor-sim.exe");

  SimulatedGame game(simulator, ToWide(argv[2]));
  if (!game.Started()) return fail("the simulated game did not start");
  ChildProcess reader(L"\"" + ToWide(directory) + L"vandormsg.exe\"");
  HWND main = WaitForWindow(L"#32770", kReaderTitle, kWait);
  if (main == nullptr) return fail("the reader's window did not appear");

  std::printf("Pressing \"Read from Vandor!\" and entering turn 2401...\n");
  Press(GetDlgItem(main, IDC_READ_FROM_GAME));
  HWND turn = WaitForWindow(L"#32770", L"Turn Information", kWait);
  if (turn == nullptr) return fail("the Turn Information dialog did not appear");
  Type(turn, IDC_TURN_EDIT, L"2401");
  Press(GetDlgItem(turn, IDOK));
  // A turn read before is read again.
  if (HWND question = WaitForWindow(L"#32770", L"Vandor! Message Reader", 3000)) {
    PostMessageW(question, WM_COMMAND, IDOK, 0);
  }
  if (!WaitUntil([&] { return TextOf(main) != kReaderTitle; }, kWait)) {
    return fail("the capture did not finish");
  }

  const std::string game_name = label(main, IDC_GAME_LABEL);
  std::printf("\nThe reader shows: %s\n", FromWide(TextOf(main)).c_str());
  std::printf("  Game: %s, Race: %s, Year: %s, %d messages listed (player post)\n",
              game_name.c_str(), label(main, IDC_RACE_LABEL).c_str(),
              label(main, IDC_YEAR_LABEL).c_str(),
              static_cast<int>(SendMessageW(GetDlgItem(main, IDC_MESSAGE_LIST), LB_GETCOUNT, 0, 0)));

  BringToTop(main);
  Sleep(500);
  SaveScreenshot(main, directory + "main-window.png");
  if (HWND frame = FindWindowW(L"vandorframe", nullptr)) {
    BringToTop(frame);
    Sleep(500);
    SaveScreenshot(frame, directory + "simulated-game.png");
  }

  WIN32_FIND_DATAW found;
  const std::wstring pattern = ToWide(directory) + L"DATA\\" + ToWide(game_name) + L"\\*";
  std::printf("\nThe archive: %sDATA\\%s\\\n", directory.c_str(), game_name.c_str());
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
    if (found.cFileName[0] != L'.') std::printf("  %s\n", FromWide(found.cFileName).c_str());
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);

  Press(GetDlgItem(main, IDC_QUIT));
  reader.WaitForExit(kWait);
  return 0;
}
