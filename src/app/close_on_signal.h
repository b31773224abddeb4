#pragma once

#include <QObject>
#include <functional>

// Closing the main window when the system asks the program to end: SIGTERM (a desktop logout or
// shutdown, or a plain kill), SIGHUP (its terminal went away) and SIGINT (Ctrl+C in its terminal).
// Closing the window runs its whole closing sequence, so the run's state is saved as on the close box.
// The signal handler only writes a byte to a pipe; the event loop reads it and does the closing.
namespace kestrova {

// Catches the three signals from now on. Called first thing, so that no signal ends the program
// unsaved once it has started; a signal caught before watchCloseSignals waits in the pipe. False when
// the pipe cannot be made, and the signals then keep their default action.
bool installCloseSignals();

// Runs onSignal on parent's thread for every caught signal, from the next turn of the event loop.
void watchCloseSignals(QObject* parent, std::function<void()> onSignal);

} // namespace kestrova
