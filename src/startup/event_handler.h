#pragma once

#include "startup/program_end.h"

#include <functional>

namespace kestrova {

// Runs an event handler that has no failure handling of its own: a run-time error that reaches it ends
// the program with the error's text, so no exception ever travels through Qt's event loop. Nothing runs
// while the program is ending (its failure box is up). False when the handler did not run or failed and
// the program was ended (only a test's program end comes back here).
bool RunEventHandler(ProgramEnd& programEnd, const std::function<void()>& handler);

} // namespace kestrova
