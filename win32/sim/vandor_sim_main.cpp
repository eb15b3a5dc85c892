// vandor-sim.exe: the simulated game, started as
//   vandor-sim.exe [--ready EVENT] SCENARIO
// It shows the game's windows from the scenario file until it is closed.
// With --ready it sets the named event once its windows are up (for tests
// that drive it).
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "sim/scenario.h"
#include "win32/sim/sim_windows.h"
#include "win32/wide_text.h"

namespace {

const wchar_t kTitle[] = L"Vandor! simulated game";

int fail(const std::wstring& message, int status) {
  MessageBoxW(nullptr, message.c_str(), kTitle, MB_OK | MB_ICONERROR);
  return status;
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
  if (scenarioPath.empty()) {
    return fail(L"Usage: vandor-sim.exe SCENARIO\n\nSCENARIO is a scenario file, for example "
                L"sim\\scenarios\\english.scenario.",
                2);
  }

  Scenario scenario;
  try {
    std::ifstream in(std::filesystem::path(scenarioPath), std::ios::binary);
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
