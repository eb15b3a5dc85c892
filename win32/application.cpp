#include "win32/application.h"

#include "win32/main_dialog.h"

Application::Application(const std::string& executablePath)
    : archive_(ProgramDirectory::FromExecutablePath(executablePath), archiveUi_) {}

void Application::Run() {
  MainDialog main(game_, archive_, gameWindows_);
  main.DoModal();
}
