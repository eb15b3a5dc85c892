// A CommandUi for tests: it answers the chooser and the save dialog as the
// test says and records what it was asked and shown.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/command_ui.h"

namespace testing_ui {

struct ChooserRequest {
  std::string title;
  std::vector<std::string> choices;
  std::vector<Color> colors;
};

class ScriptedCommandUi : public CommandUi {
 public:
  // The next chooser ends with OK on entry `index` (-1: OK without one).
  void WillChoose(int32_t index) { answers.push_back(index); }
  void WillCancel() { answers.push_back(kCancel); }

  Choice Choose(const std::string& title, const std::vector<std::string>& choices,
                const std::vector<Color>& colors) override {
    requests.push_back({title, choices, colors});
    Choice choice;
    const int32_t answer = answers.empty() ? kCancel : answers.front();
    if (!answers.empty()) answers.pop_front();
    if (answer == kCancel) return choice;
    choice.ok = true;
    if (answer >= 0 && static_cast<size_t>(answer) < choices.size()) {
      choice.index = answer;
      choice.text = choices[static_cast<size_t>(answer)];
    }
    return choice;
  }
  bool AskSaveFile(std::string* path) override {
    if (savePath.empty()) return false;
    *path = savePath;
    return true;
  }
  void ShowError(const std::string& text) override { errors.push_back(text); }
  void BeginWait() override { ++waits; }
  void EndWait() override { --waits; }

  static constexpr int32_t kCancel = -2;
  std::deque<int32_t> answers;
  std::vector<ChooserRequest> requests;
  std::string savePath;  // empty: the save dialog is cancelled
  std::vector<std::string> errors;
  int waits = 0;
};

}  // namespace testing_ui
