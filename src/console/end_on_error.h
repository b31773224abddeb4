#pragma once

#include "startup/program_end.h"

#include <functional>

// The handlers that end the program on a run-time error: the error's text is shown and the program ends.
namespace kestrova {

// Runs handler; a RuntimeError or another exception that leaves it ends the program with its text.
void EndProgramOnError(ProgramEnd& programEnd, const std::function<void()>& handler);

} // namespace kestrova
