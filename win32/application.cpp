#include "win32/application.h"

#include "win32/main_dialog.h"

Application::Application(const std::string& executablePath)
    : store_(ArchiveLayout(ProgramDirectory::FromExecutablePath(executablePath))) {}

void Application::Run() {
  MainDialog main(game_, store_, gameWindows_);
  main.DoModal();
}
