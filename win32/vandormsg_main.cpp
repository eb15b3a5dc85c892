// vandormsg.exe: the Vandor! Message Reader.
#include <windows.h>

#include <string>

#include "win32/application.h"
#include "win32/library_records.h"
#include "win32/wide_text.h"

namespace {

// The libraries enrol their build records during static initialisation,
// before the application starts.
[[maybe_unused]] const bool librariesEnrolled = (EnrolLibraryRecords(), true);

// The full path of this program, as the system reports it.
std::string executablePath() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
  path.resize(length);
  return FromWide(path);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Application application(executablePath());
  application.Run();
  return 0;
}
