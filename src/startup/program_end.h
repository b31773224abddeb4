#pragma once

#include "startup/message_box.h"

#include <QString>
#include <functional>
#include <vector>

// Ends the program after an error that its handler does not survive: everything of the console is
// stopped, the error's text is shown in a critical box with the default title, then the process ends at
// once with status 1. None of the main window's close and shut-down steps run, so nothing of this run
// is saved. Tests give it a terminate function that returns.
namespace kestrova {

class ProgramEnd {
public:
    using Terminate = std::function<void()>;
    using HaltStep = std::function<void()>;
    using HaltId = int;

    // Ends the process with exit status 1 without running destructors or exit handlers; buffered
    // standard output is flushed first.
    static void terminateProcess();

    explicit ProgramEnd(MessageBox& box, Terminate terminate = terminateProcess);

    // A step that stops part of the console before the box is shown (its timers, a call in progress).
    // The steps run in the order they were added; their own errors are ignored, as the program ends
    // with the error that brought it here. The owner removes its step before it goes away.
    HaltId addHaltStep(HaltStep step);
    void removeHaltStep(HaltId id);

    // True from the moment EndProgram starts. The box waits for the dispatcher in an event loop of its
    // own, so every event handler of the console asks this first and does nothing while it holds: no
    // tick, receive event, redraw, database write or closing sequence runs behind the box.
    bool Ending() const { return m_ending; }

    // Stops the console, shows errorText, then terminates. Only a test's terminate function returns (and
    // Ending() is false again); a handler that calls this must do nothing more afterwards. A second call
    // while the first box is up does nothing.
    void EndProgram(const QString& errorText);

private:
    MessageBox& m_box;
    Terminate m_terminate;
    std::vector<std::pair<HaltId, HaltStep>> m_haltSteps;
    HaltId m_nextHaltId = 0;
    bool m_ending = false;
};

} // namespace kestrova
