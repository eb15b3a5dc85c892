#include "app/command_outcome.h"

void RunCommand(const std::function<CommandOutcome()>& command,
                const std::function<void(const CommandOutcome&)>& apply,
                const CommandOutcome& whenRaised) {
  CommandOutcome outcome;
  try {
    outcome = command();
  } catch (...) {
    apply(whenRaised);
    throw;
  }
  apply(outcome);
}
