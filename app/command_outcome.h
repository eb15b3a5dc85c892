// What the main window does after a command, and running a command so that
// the window is brought up to date however the command ends.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

class TextMatcher;

struct CommandOutcome {
  bool restore = false;                    // restore the window (also from minimized) first
  bool refresh = false;                    // RefreshMainWindow
  std::optional<std::string> filterLabel;  // set before the refresh
  std::optional<std::string> yearLabel;    // set after the refresh
  // What the list and the message detail mark from now on, set before the
  // refresh: the found text after Find, nothing (null) once a command has
  // loaded the MessageTable anew; unset, the marks stay as they are.
  std::optional<std::shared_ptr<const TextMatcher>> marks;
};

// Runs `command` and hands its outcome to `apply`. When the command raises,
// `apply` gets `whenRaised` instead, and then the exception passes on: a
// command that drives the game leaves the window to show how far it got.
void RunCommand(const std::function<CommandOutcome()>& command,
                const std::function<void(const CommandOutcome&)>& apply,
                const CommandOutcome& whenRaised = CommandOutcome());
