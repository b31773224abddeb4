#pragma once

#include "startup/message_box.h"

#include <QString>
#include <functional>

// Ends the program after an error that its handler does not survive: the error's text in a critical box
// with the default title, then the process ends at once. None of the main window's close and shut-down
// steps run, so nothing of this run is saved. Tests give it a terminate function that returns.
namespace kestrova {

class ProgramEnd {
public:
    using Terminate = std::function<void()>;

    // Ends the process with exit status 1 without running destructors or exit handlers; buffered
    // standard output is flushed first.
    static void terminateProcess();

    explicit ProgramEnd(MessageBox& box, Terminate terminate = terminateProcess);

    // Shows errorText, then terminates. Only a test's terminate function returns; a handler that calls
    // this must do nothing more afterwards.
    void EndProgram(const QString& errorText);

private:
    MessageBox& m_box;
    Terminate m_terminate;
};

} // namespace kestrova
