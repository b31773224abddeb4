#pragma once

#include "modem-sim/scenario.h"
#include "modem-sim/vehicle_path.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <optional>
#include <random>
#include <vector>

// The GSM modem and the terminals behind it, as a state machine over bytes and a clock: received
// bytes go in, the modem's output collects until taken. Time is in scenario seconds and is always
// handed in, so tests drive it with a fake clock.
namespace kestrova {

class SimulatedModem {
public:
    // Called with each received command line (without its CR and LFs) and the time it ended.
    using CommandListener = std::function<void(double time, const QByteArray& line)>;

    SimulatedModem(ModemScenario scenario, std::uint32_t randomSeed);

    void setCommandListener(CommandListener listener) { m_listener = std::move(listener); }

    // Bytes from the console's side of the line, received at now.
    void receive(QByteArrayView bytes, double now);
    // Sends what has fallen due up to now: "$", reports, "NO CARRIER", the end of a restart.
    void advance(double now);
    // The console opened (true) or closed the line. Closing drops the call as a modem does when the
    // line's terminal goes away, and what the modem says while nobody listens is lost.
    void setLineOpen(bool open, double now);

    // When advance has something to do next; empty when nothing is scheduled.
    std::optional<double> nextEventTime() const;
    QByteArray takeOutput();
    // True once after the modem has lost its line: the output taken so far is the last the line carries,
    // and the modem comes back on a new line.
    bool takeLineDrop();

    bool inCall() const { return m_call.has_value(); }

private:
    struct Call {
        std::optional<std::size_t> Terminal; // empty: a number no terminal has
        bool Answered = false;
        std::optional<double> NextEvent; // "$", the next report, or "NO CARRIER"
        bool DropsMidReport = false;
    };

    void dispatch(const QByteArray& line, double now);
    void dial(const QByteArray& number, double now);
    void dropLine();
    void runCall(double now);
    void sendLine(const QByteArray& text);
    void send(QByteArrayView bytes);
    QByteArray reportLine(std::size_t terminal, double now);
    bool available(double now) const { return now >= m_unavailableUntil; }

    ModemScenario m_scenario;
    std::vector<std::optional<VehiclePath>> m_paths;
    std::vector<int> m_callCounts;
    std::mt19937 m_random;
    CommandListener m_listener;

    QByteArray m_line;
    bool m_lineOverflow = false;
    bool m_lineOpen = true;
    double m_unavailableUntil = 0;
    std::optional<Call> m_call;
    QByteArray m_output;
    bool m_lineDropped = false;
};

} // namespace kestrova
