// reader-demo.exe PROGRAM_DIRECTORY SCENARIO [TURN]
//
// The demo without a user: starts the simulated game on SCENARIO and the
// reader (PROGRAM_DIRECTORY\vandormsg.exe), presses "Read from Vandor!",
// enters TURN (default 2401), answers the overwrite question with OK, prints
// what the reader shows and where it stored the turn, saves screenshots of
// both programs in PROGRAM_DIRECTORY and quits. The game, race number and
// turn it stored go to PROGRAM_DIRECTORY\capture.txt, one per line in UTF-8,
// for the demo script to show the stored turn. Prints in UTF-8, for the
// terminal that runs the demo; exits with 1 when any step fails.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/control_ids.h"
#include "support/cp1252.h"
#include "support/version.h"
#include "win32/driver/window_driver.h"
#include "win32/wide_text.h"

namespace {

constexpr DWORD kWait = 30000;
const wchar_t kReaderTitle[] = L"Korvik Vandor! Message Reader V" VANDOR_VERSION_TEXT;

int fail(const std::string& what) {
  std::fprintf(stderr, "reader-demo: %s\n", what.c_str());
  return 1;
}

std::string utf8(const std::wstring& text) { return Cp1252ToUtf8(FromWide(text)); }
std::string label(HWND main, int id) { return utf8(TextOf(GetDlgItem(main, id))); }

// Enters `turn` in the Turn Information dialog that "Read from Vandor!"
// opens, and waits for the capture to end: the title changes once the turn
// is shown. A turn read before is read again. Returns what went wrong, or
// nothing.
std::string readTurn(HWND main, const std::wstring& turn) {
  Press(GetDlgItem(main, IDC_READ_FROM_GAME));
  HWND dialog = WaitForDialog(L"Turn Information", {IDC_TURN_EDIT, IDOK}, kWait);
  if (dialog == nullptr) return "the Turn Information dialog did not appear";
  Type(dialog, IDC_TURN_EDIT, turn);
  Press(GetDlgItem(dialog, IDOK));
  bool answered = false;
  const bool shown = WaitUntil(
      [&] {
        if (TextOf(main) != kReaderTitle) return true;
        if (answered) return false;
        if (HWND question = FindWindowW(L"#32770", L"Vandor! Message Reader")) {
          if (WaitForDialog(L"Vandor! Message Reader", {IDOK, IDCANCEL}, kWait) == question) {
            std::printf("The turn is stored already: reading it again.\n");
            PostMessageW(question, WM_COMMAND, IDOK, 0);
            answered = true;
          }
        }
        return false;
      },
      kWait);
  if (!shown) return "the capture did not finish";
  if (!WaitForIdle(main, kWait)) return "the reader does not answer after the capture";
  return {};
}

// The race folder of `game` whose `turn` file was written last: the one the
// capture has just stored. Empty when there is none.
std::wstring raceFolderOfTurn(const std::wstring& data, const std::wstring& game,
                               const std::wstring& turn) {
  std::wstring latest;
  FILETIME latestTime{};
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((data + game + L"\\*").c_str(), &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || found.cFileName[0] == L'.') continue;
    WIN32_FILE_ATTRIBUTE_DATA file;
    const std::wstring path = data + game + L"\\" + found.cFileName + L"\\" + turn + L".sav";
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &file)) continue;
    if (latest.empty() || CompareFileTime(&file.ftLastWriteTime, &latestTime) > 0) {
      latest = found.cFileName;
      latestTime = file.ftLastWriteTime;
    }
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return latest;
}

void listFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
    if (found.cFileName[0] != L'.') std::printf("  %s\n", utf8(found.cFileName).c_str());
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

void screenshot(HWND window, const std::string& path) {
  BringToTop(window);
  if (!WaitForPainted(window, kWait) || !SaveScreenshot(window, path)) std::fprintf(stderr, "reader-demo: no screenshot %s\n", path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) return fail("usage: reader-demo.exe PROGRAM_DIRECTORY SCENARIO [TURN]");
  const std::string directory = std::string(argv[1]) + "\\";
  const std::wstring turn = ToWide(argc == 4 ? argv[3] : "2401");
  const std::wstring simulator = ToWide(directory + "vandor-sim.exe");

  SimulatedGame game(simulator, ToWide(argv[2]));
  if (!game.Started()) return fail("the simulated game did not start");
  ChildProcess reader(L"\"" + ToWide(directory) + L"vandormsg.exe\"");
  HWND main = WaitForDialog(kReaderTitle, {IDC_READ_FROM_GAME, IDC_QUIT}, kWait);
  if (main == nullptr) return fail("the reader's window did not appear");

  std::printf("Pressing \"Read from Vandor!\" and entering turn %s...\n", utf8(turn).c_str());
  const std::string failure = readTurn(main, turn);
  if (!failure.empty()) return fail(failure);
  const std::wstring gameName = TextOf(GetDlgItem(main, IDC_GAME_LABEL));
  std::printf("\nThe reader shows: %s\n", utf8(TextOf(main)).c_str());
  std::printf("  Game: %s, Race: %s, Year: %s, %d messages listed (player post)\n",
              utf8(gameName).c_str(), label(main, IDC_RACE_LABEL).c_str(),
              label(main, IDC_YEAR_LABEL).c_str(),
              static_cast<int>(SendMessageW(GetDlgItem(main, IDC_MESSAGE_LIST), LB_GETCOUNT, 0, 0)));

  screenshot(main, directory + "main-window.png");
  if (HWND frame = FindWindowW(L"vandorframe", nullptr)) {
    screenshot(frame, directory + "simulated-game.png");
  }

  const std::wstring data = ToWide(directory) + L"DATA\\";
  const std::wstring race = raceFolderOfTurn(data, gameName, turn);
  if (race.empty()) return fail("the turn was not stored under " + utf8(data));
  std::printf("\nThe archive: %s%s\\%s\\\n", utf8(data).c_str(), utf8(gameName).c_str(),
              utf8(race).c_str());
  listFolder(data + gameName + L"\\" + race + L"\\");
  std::ofstream capture(directory + "capture.txt", std::ios::binary);
  capture << utf8(gameName) << "\n" << utf8(race) << "\n" << utf8(turn) << "\n";
  if (!capture.flush()) return fail("cannot write " + directory + "capture.txt");

  Press(GetDlgItem(main, IDC_QUIT));
  if (!reader.WaitForExit(kWait)) return fail("the reader did not end");
  return 0;
}
