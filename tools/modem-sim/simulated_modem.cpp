#include "modem-sim/simulated_modem.h"

#include "calling/position_report.h"

#include <cmath>
#include <utility>

namespace kestrova {

namespace {

// A modem's command buffer is small; what does not fit is refused with "ERROR" when the line ends.
constexpr qsizetype kMaxCommandLine = 1024;
// Reports a stalled simulator owes are sent at most this many at once; the rest are skipped.
constexpr int kMaxCatchUpReports = 16;

bool isRegistered(int stat) {
    return stat == 1 || stat == 5;
}

bool isSpeakerLevel(QByteArrayView digits) {
    if (digits.isEmpty() || digits.size() > 3)
        return false;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return value <= 255;
}

} // namespace

SimulatedModem::SimulatedModem(ModemScenario scenario, std::uint32_t randomSeed)
    : m_scenario(std::move(scenario)), m_callCounts(m_scenario.Terminals.size(), 0), m_random(randomSeed) {
    for (const TerminalScenario& t : m_scenario.Terminals) {
        if (t.Path.empty())
            m_paths.emplace_back();
        else
            m_paths.emplace_back(VehiclePath(t.Path, t.Speed));
    }
}

void SimulatedModem::receive(QByteArrayView bytes, double now) {
    advance(now);
    for (char c : bytes) {
        // A restarting modem hears nothing and says nothing, but the line is still recorded below.
        if (m_scenario.Echo && available(now))
            send(QByteArrayView(&c, 1));
        if (c == '\n')
            continue;
        if (c != '\r') {
            if (m_line.size() < kMaxCommandLine)
                m_line.append(c);
            else
                m_lineOverflow = true;
            continue;
        }
        const QByteArray line = m_line;
        const bool overflow = m_lineOverflow;
        m_line.clear();
        m_lineOverflow = false;
        if (line.isEmpty())
            continue;
        if (m_listener)
            m_listener(now, line);
        if (!available(now))
            continue;
        if (overflow)
            sendLine("ERROR");
        else
            dispatch(line, now);
    }
}

void SimulatedModem::dispatch(const QByteArray& line, double now) {
    // Blanks before the command are skipped, so the reset command's leading blank is harmless.
    QByteArray command = line;
    while (command.startsWith(' '))
        command.remove(0, 1);
    if (command.isEmpty())
        return;

    if (command == "AT") {
        sendLine("OK");
    } else if (command == "AT+CREG?") {
        sendLine("+CREG: " + QByteArray::number(m_scenario.RegistrationMode) + ',' +
                 QByteArray::number(m_scenario.RegistrationState));
        sendLine("OK");
    } else if (command == "AT+CSQ") {
        sendLine("+CSQ: " + QByteArray::number(m_scenario.Rssi) + ',' + QByteArray::number(m_scenario.Ber));
        sendLine("OK");
    } else if (command.startsWith("ATD") && command.endsWith(';') && command.size() > 4) {
        dial(command.mid(3, command.size() - 4), now);
    } else if (command == "ATH") {
        m_call.reset();
        sendLine("OK");
    } else if (command.startsWith("AT+CLVL=") && isSpeakerLevel(QByteArrayView(command).sliced(8))) {
        sendLine("OK");
    } else if (command == "AT+CFUN=1,1") {
        sendLine("OK");
        m_call.reset();
        m_unavailableUntil = now + m_scenario.RestartDuration;
    } else {
        sendLine("ERROR");
    }
}

void SimulatedModem::dial(const QByteArray& number, double now) {
    if (m_call) {
        sendLine("ERROR");
        return;
    }
    // Without the network a voice call is released at once.
    if (!isRegistered(m_scenario.RegistrationState)) {
        sendLine("NO CARRIER");
        return;
    }
    Call call;
    for (std::size_t i = 0; i < m_scenario.Terminals.size(); ++i) {
        if (m_scenario.Terminals[i].Number.toLatin1() == number)
            call.Terminal = i;
    }
    if (call.Terminal) {
        const TerminalScenario& t = m_scenario.Terminals[*call.Terminal];
        const int count = ++m_callCounts[*call.Terminal];
        if (count == t.NoDialtoneOnCall) {
            sendLine("NO DIALTONE");
            return;
        }
        if (count == t.DropLineOnCall) {
            if (t.DropLineAt == LineDrop::AtDial) {
                dropLine();
                return;
            }
            call.DropsMidReport = true;
        }
    }
    // A voice call's OK comes at once; the answer (or its absence) follows on its own.
    sendLine("OK");
    const bool answers = call.Terminal && m_scenario.Terminals[*call.Terminal].Answers;
    call.NextEvent = now + (answers ? m_scenario.Terminals[*call.Terminal].AnswerDelay : m_scenario.NoCarrierAfter);
    m_call = call;
}

void SimulatedModem::advance(double now) {
    runCall(now);
}

void SimulatedModem::runCall(double now) {
    int sent = 0;
    while (m_call && m_call->NextEvent && *m_call->NextEvent <= now) {
        const double at = *m_call->NextEvent;
        if (!m_call->Terminal || !m_scenario.Terminals[*m_call->Terminal].Answers) {
            sendLine("NO CARRIER");
            m_call.reset();
            return;
        }
        const std::size_t index = *m_call->Terminal;
        const TerminalScenario& t = m_scenario.Terminals[index];
        const bool reports = m_paths[index].has_value();
        if (!m_call->Answered) {
            m_call->Answered = true;
            sendLine("$");
            m_call->NextEvent = reports ? std::optional<double>(at + t.ReportInterval) : std::nullopt;
            continue;
        }
        if (m_call->DropsMidReport) {
            // The line goes in the middle of the report: half of it reaches the console.
            const QByteArray line = reportLine(index, at);
            send("\r\n" + line.left(line.size() / 2));
            dropLine();
            return;
        }
        sendLine(reportLine(index, at));
        m_call->NextEvent = at + t.ReportInterval;
        if (++sent == kMaxCatchUpReports && *m_call->NextEvent <= now)
            m_call->NextEvent = at + t.ReportInterval * (std::floor((now - at) / t.ReportInterval) + 1);
    }
}

void SimulatedModem::setLineOpen(bool open, double now) {
    advance(now);
    m_lineOpen = open;
    if (!open) {
        m_call.reset();
        m_output.clear();
    }
}

void SimulatedModem::dropLine() {
    m_call.reset();
    m_lineDropped = true;
}

bool SimulatedModem::takeLineDrop() {
    return std::exchange(m_lineDropped, false);
}

std::optional<double> SimulatedModem::nextEventTime() const {
    return m_call ? m_call->NextEvent : std::nullopt;
}

QByteArray SimulatedModem::takeOutput() {
    QByteArray out;
    out.swap(m_output);
    return out;
}

QByteArray SimulatedModem::reportLine(std::size_t terminal, double now) {
    const TerminalScenario& t = m_scenario.Terminals[terminal];
    const VehicleFix fix = m_paths[terminal]->at(now);
    PlainReportFields fields =
        PlainReportFromFix(fix.Latitude, fix.Longitude, t.Speed, t.Heading.value_or(fix.Heading), t.RealTime);
    if (t.Status)
        fields.Status = *t.Status;
    std::array<int, 3> keys{};
    if (t.KeyDigits) {
        keys = *t.KeyDigits;
    } else {
        std::uniform_int_distribution<int> digit(0, 9);
        for (int& k : keys)
            k = digit(m_random);
    }
    return ScramblePositionReport(PlainDigitsOf(fields), keys[0], keys[1], keys[2]).toLatin1();
}

void SimulatedModem::sendLine(const QByteArray& text) {
    // Verbose result codes and terminal lines alike: CR LF, the text, CR LF.
    send("\r\n" + text + "\r\n");
}

void SimulatedModem::send(QByteArrayView bytes) {
    if (m_lineOpen)
        m_output.append(bytes);
}

} // namespace kestrova
