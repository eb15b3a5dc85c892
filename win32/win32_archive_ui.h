// The archive's message boxes and wait cursor on Windows.
#pragma once

#include "archive/archive_ui.h"

class Win32ArchiveUi : public ArchiveUi {
 public:
  void ShowError(const std::string& text) override;
  void BeginWait() override;
  void EndWait() override;

 private:
  int waits_ = 0;
  void* previousCursor_ = nullptr;
};
