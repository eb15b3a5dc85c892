// A UserInterface for tests: it answers as the test says and records what
// it was asked and shown.
#pragma once

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/user_interface.h"

namespace testing_ui {

struct ChooserRequest {
  std::string title;
  std::vector<std::string> choices;
  std::vector<Color> colors;
};

class ScriptedUi : public UserInterface {
 public:
  static constexpr int32_t kCancel = -2;

  // The next chooser ends with OK on entry `index` (-1: OK without one).
  void WillChoose(int32_t index) { choices.push_back(index); }
  void WillCancel() { choices.push_back(kCancel); }

  void ShowError(const std::string& text) override { errors.push_back(text); }
  bool AskOkCancel(const std::string& caption, const std::string& question) override {
    questions.push_back(caption + "/" + question);
    const bool ok = okAnswers.empty() || okAnswers.front();
    if (!okAnswers.empty()) okAnswers.pop_front();
    return ok;
  }
  Choice Choose(const std::string& title, const std::vector<std::string>& offered,
                const std::vector<Color>& colors) override {
    requests.push_back({title, offered, colors});
    Choice choice;
    const int32_t answer = choices.empty() ? kCancel : choices.front();
    if (!choices.empty()) choices.pop_front();
    if (answer == kCancel) return choice;
    choice.ok = true;
    if (answer >= 0 && static_cast<size_t>(answer) < offered.size()) {
      choice.index = answer;
      choice.text = offered[static_cast<size_t>(answer)];
    }
    return choice;
  }
  bool AskTurn(const std::string& gameName, int32_t* turn) override {
    askedWith.push_back(gameName);
    if (throwOnAskTurn) throw std::runtime_error("the turn dialog broke");
    if (turnAnswer < 0) return false;
    *turn = turnAnswer;
    return true;
  }
  bool AskFind(FindRequest* request) override {
    findOffers.push_back(*request);
    if (findAnswers.empty()) return false;
    *request = findAnswers.front();
    findAnswers.pop_front();
    return true;
  }
  bool AskSaveFile(std::string* path) override {
    if (savePath.empty()) return false;
    *path = savePath;
    return true;
  }
  void BeginWait() override {
    ++waiting;
    ++waits;
  }
  void EndWait() override { --waiting; }

  // Answers.
  std::deque<int32_t> choices;  // chooser answers, in order; Cancel when none is left
  std::deque<bool> okAnswers;   // OK (true) or Cancel to the questions; OK when none is left
  int32_t turnAnswer = 2401;    // the turn entered; negative: Cancel
  bool throwOnAskTurn = false;  // the turn dialog raises
  std::string savePath;         // the file chosen; empty: the save dialog is cancelled
  std::deque<FindRequest> findAnswers;  // what the Find dialog is OK'd with; Cancel when none is left

  // Records.
  std::vector<std::string> errors;
  std::vector<std::string> questions;  // "caption/question"
  std::vector<ChooserRequest> requests;
  std::vector<std::string> askedWith;  // the game names the turn dialog carried
  std::vector<FindRequest> findOffers;  // what the Find dialog opened with
  int waiting = 0;                     // waits not yet ended
  int waits = 0;                       // waits begun
};

}  // namespace testing_ui
