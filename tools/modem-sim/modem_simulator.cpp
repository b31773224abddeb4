#include "modem-sim/modem_simulator.h"

#include "startup/runtime_error.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <poll.h>
#include <random>

namespace kestrova {

namespace {

// What the modem said and the line has not taken yet; past this a full line loses the newest bytes,
// as a serial port's overflowing buffer does.
constexpr qsizetype kMaxPendingOutput = 64 * 1024;

std::unique_ptr<CommandRecord> openRecord(const QString& path) {
    return path.isEmpty() ? nullptr : std::make_unique<CommandRecord>(path);
}

} // namespace

ModemSimulator::ModemSimulator(const ModemScenario& scenario, const QString& folder, const QString& recordPath,
                               double timeScale)
    : m_record(openRecord(recordPath)), m_modem(scenario, std::random_device{}()), m_folder(folder),
      m_portNumber(scenario.Port), m_port(std::make_unique<PtyPort>(folder, scenario.Port)),
      m_timeScale(timeScale), m_start(std::chrono::steady_clock::now()) {
    if (m_record) {
        CommandRecord* record = m_record.get();
        m_modem.setCommandListener([record](double time, const QByteArray& line) { record->add(time, line); });
    }
    m_lineOpen = m_port->takeLineEvents().IsOpen;
    m_modem.setLineOpen(m_lineOpen, now());
}

double ModemSimulator::now() const {
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - m_start;
    return elapsed.count() / m_timeScale;
}

bool ModemSimulator::runOnce(int maxWaitMs, const sigset_t* waitMask) {
    m_modem.advance(now());
    flushOutput();

    double waitMs = std::max(0, maxWaitMs);
    if (const auto next = m_modem.nextEventTime())
        waitMs = std::clamp(std::ceil((*next - now()) * m_timeScale * 1000.0), 0.0, waitMs);
    const long long wait = static_cast<long long>(waitMs);
    const timespec timeout{static_cast<time_t>(wait / 1000), static_cast<long>(wait % 1000) * 1000000L};

    pollfd fds[2]{};
    fds[0].fd = m_port->masterFd();
    fds[0].events = static_cast<short>(POLLIN | (m_pending.isEmpty() ? 0 : POLLOUT));
    fds[1].fd = m_port->watchFd();
    fds[1].events = POLLIN;
    const nfds_t count = m_port->watchFd() >= 0 ? 2 : 1;
    if (::ppoll(fds, count, &timeout, waitMask) < 0) {
        if (errno == EINTR)
            return false;
        throw RuntimeError(QStringLiteral("cannot wait for %1: %2")
                               .arg(m_port->slavePath(), QString::fromLocal8Bit(std::strerror(errno))));
    }

    // Opens and closes first: an open is noticed before the bytes written after it, and the bytes
    // written before a close are answered into the closed line, where they are lost.
    handleLineEvents();
    const QByteArray received = m_port->read();
    if (!received.isEmpty())
        m_modem.receive(received, now());
    m_modem.advance(now());
    flushOutput();
    if (m_modem.takeLineDrop())
        replaceLine();
    return true;
}

void ModemSimulator::replaceLine() {
    m_port.reset();
    m_pending.clear();
    m_lineOpen = false;
    m_modem.setLineOpen(false, now());
    m_port = std::make_unique<PtyPort>(m_folder, m_portNumber);
    m_lineOpen = m_port->takeLineEvents().IsOpen;
    m_modem.setLineOpen(m_lineOpen, now());
}

void ModemSimulator::handleLineEvents() {
    const PtyPort::LineEvents events = m_port->takeLineEvents();
    if (events.WasClosed && m_lineOpen) {
        m_lineOpen = false;
        m_modem.setLineOpen(false, now());
    }
    if (events.IsOpen != m_lineOpen) {
        m_lineOpen = events.IsOpen;
        m_modem.setLineOpen(m_lineOpen, now());
    }
    if (!m_lineOpen || events.WasClosed)
        m_pending.clear();
}

void ModemSimulator::flushOutput() {
    m_pending += m_modem.takeOutput();
    if (m_pending.size() > kMaxPendingOutput)
        m_pending.truncate(kMaxPendingOutput);
    if (!m_pending.isEmpty())
        m_pending.remove(0, m_port->write(m_pending));
}

} // namespace kestrova
