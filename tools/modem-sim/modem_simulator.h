#pragma once

#include "modem-sim/command_record.h"
#include "modem-sim/pty_port.h"
#include "modem-sim/scenario.h"
#include "modem-sim/simulated_modem.h"

#include <chrono>
#include <csignal>
#include <memory>

// The simulated modem on its pseudo-terminal: moves bytes between the line and the modem, tells the
// modem when the console opens or closes its port, records the commands, and keeps the modem's clock
// (scenario seconds: real seconds since the start divided by the time scale).
namespace kestrova {

class ModemSimulator {
public:
    // recordPath empty: nothing is recorded. timeScale > 0 multiplies every duration of the scenario.
    // Throws RuntimeError when the record file, the pseudo-terminal or the link cannot be made.
    ModemSimulator(const ModemScenario& scenario, const QString& folder, const QString& recordPath, double timeScale);

    // The line now; a dropped line is replaced by a new pseudo-terminal under the same link.
    const PtyPort& port() const { return *m_port; }

    // Waits at most maxWaitMs for the line or the modem's next event and handles what came. waitMask
    // is the signal mask during the wait (null keeps the current one); returns false when a signal cut
    // the wait short.
    bool runOnce(int maxWaitMs, const sigset_t* waitMask = nullptr);

private:
    double now() const;
    void handleLineEvents();
    void flushOutput();
    // The modem lost its line: the pseudo-terminal is closed under the console, which finds its port
    // failed, and a new one takes the link, as a modem plugged in again.
    void replaceLine();

    std::unique_ptr<CommandRecord> m_record;
    SimulatedModem m_modem;
    QString m_folder;
    int m_portNumber;
    std::unique_ptr<PtyPort> m_port;
    double m_timeScale;
    std::chrono::steady_clock::time_point m_start;
    QByteArray m_pending;
    bool m_lineOpen = false;
};

} // namespace kestrova
