// vandor-sim.exe: the simulated game, started as
//   vandor-sim.exe [--ready EVENT] [SCENARIO]
// It shows the game's windows from the scenario file until it is closed.
// Without a scenario (a double click on the program) it plays the English
// sample that the release zip puts beside it, scenarios\english.scenario
// in the program's own folder, whatever the current folder is. With
// --ready it sets the named event once its windows are up (for tests that
// drive it).
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "sim/scenario.h"
#include "win32/sim/sim_windows.h"
#include "win32/wide_text.h"

namespace {

const wchar_t kTitle[] = L"Vandor! simulated game";

// The sample played without a scenario, relative to the program's folder.
const wchar_t kDefaultScenario[] = L"scenarios\\english.scenario";

const wchar_t kStartWithAFile[] =
    L"To play another scenario, start the program with its file: vandor-sim.exe SCENARIO";

int fail(const std::wstring& message, int status) {
  MessageBoxW(nullptr, message.c_str(), kTitle, MB_OK | MB_ICONERROR);
  return status;
}

// The folder of this program, from the path the system reports for it;
// empty when it cannot tell.
std::filesystem::path programFolder() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return {};
  path.resize(length);
  return std::filesystem::path(path).parent_path();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring readyEvent;
  std::wstring scenarioPath;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--ready" && i + 1 < argc) {
      readyEvent = argv[++i];
    } else {
      scenarioPath = arg;
    }
  }
  LocalFree(argv);
  const bool sample = scenarioPath.empty();
  if (sample) {
    const std::filesystem::path folder = programFolder();
    if (folder.empty()) {
      return fail(L"vandor-sim.exe cannot find its own folder, where it looks for the sample "
                  L"scenario " + std::wstring(kDefaultScenario) + L".\n\n" + kStartWithAFile,
                  1);
    }
    scenarioPath = (folder / kDefaultScenario).wstring();
  }

  Scenario scenario;
  try {
    std::ifstream in(std::filesystem::path(scenarioPath), std::ios::binary);
    if (!in && sample) {
      return fail(L"vandor-sim.exe was started without a scenario file, so it plays the English "
                  L"sample, but it cannot open " + scenarioPath + L".\n\nUnpack the whole zip "
                  L"file, with its scenarios folder. " + kStartWithAFile,
                  1);
    }
    if (!in) return fail(L"Cannot open the scenario file " + scenarioPath + L".", 1);
    scenario = ParseScenario(in);
  } catch (const ScenarioError& e) {
    return fail(scenarioPath + L": " + ToWide(e.what()), 1);
  }

  SimWindows windows(scenario);
  if (!windows.Create(instance)) return fail(L"Cannot create the game's windows.", 1);
  if (!readyEvent.empty()) {
    if (HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, readyEvent.c_str())) {
      SetEvent(ready);
      CloseHandle(ready);
    }
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
