#include "console/modem_link.h"

#include "calling/comm_log.h"
#include "calling/modem_lines.h"
#include "calling/modem_status.h"
#include "startup/runtime_error.h"

#include <exception>
#include <utility>

namespace kestrova {

namespace {

constexpr int kCommandWait = 500;
constexpr int kRegistrationPanel = 3;
constexpr int kSignalPanel = 4;
constexpr int16_t kFirstVehicle = 0;
const QString kCrLf = QStringLiteral("\r\n");
const QString kModemResetCommand = QStringLiteral(" AT+CFUN=1,1");
const QString kHangUpCommand = QStringLiteral("ATH");
const QString kModemResetCountdown = QStringLiteral("60");

} // namespace

ModemLink::ModemLink(CallingParts parts, CallEvents events) : m_parts(std::move(parts)), m_events(std::move(events)) {
    m_parts.MSComm1.setOnComm([this] { MSComm1_OnComm(); });
}

ModemLink::~ModemLink() {
    m_parts.MSComm1.setOnComm({});
}

bool ModemLink::DialVehicle(const QString& PhoneNumber) {
    SerialPort& port = m_parts.MSComm1;
    try {
        port.setCommPort(m_parts.state.CommPort);
        port.setPortOpen(true);
        // What a previous call left in the port is stale.
        while (!port.Input().isEmpty()) {
            if (m_parts.Beep) {
                m_parts.Beep();
            }
        }
        for (const QString& command : {QStringLiteral("AT"), QStringLiteral("AT+CREG?"), QStringLiteral("AT+CSQ"),
                                       QStringLiteral("ATD") + PhoneNumber + u';'}) {
            port.Output(command + kCrLf);
            m_parts.clock.sleep(kCommandWait);
        }
        return true;
    } catch (const RuntimeError& error) {
        m_parts.box.exclamation(error.text(), m_parts.box.defaultTitle());
    } catch (const std::exception& error) {
        m_parts.box.exclamation(QString::fromLocal8Bit(error.what()), m_parts.box.defaultTitle());
    }
    return false;
}

void ModemLink::MSComm1_OnComm() {
    runHandler([this] {
        SerialPort& port = m_parts.MSComm1;
        if (!port.PortOpen()) {
            return;
        }
        const QStringList lines = TakeReceivedLines(m_parts.state.ReceiveBuffer, port.Input());
        for (const QString& line : lines) {
            dispatch(line);
            // The call is over (ended, hung up or the modem reset): the rest belongs to no call.
            if (!port.PortOpen()) {
                break;
            }
        }
    });
}

void ModemLink::dispatch(const QString& line) {
    const ModemLine modemLine = ClassifyModemLine(line);
    switch (modemLine.kind) {
    case ModemLineKind::Registration:
        ShowRegistrationState(modemLine.reply);
        break;
    case ModemLineKind::SignalQuality:
        ShowSignalStrength(modemLine.reply);
        break;
    case ModemLineKind::Answered:
        m_events.MarkCallConnected();
        break;
    case ModemLineKind::PositionReport:
        m_events.ProcessPositionReport(line);
        break;
    case ModemLineKind::NoDialTone:
        RestartModem();
        break;
    case ModemLineKind::Ignored:
        break;
    }
}

void ModemLink::ShowRegistrationState(const QString& Reply) {
    if (IsRegistered(Reply)) {
        m_parts.stbStatusBar.setPanelText(kRegistrationPanel, kRegisteredText);
        return;
    }
    m_parts.stbStatusBar.setPanelText(kRegistrationPanel, kNotRegisteredText);
    // The call timer runs on, and books the call as not answered when it times out.
    DisconnectCall();
}

void ModemLink::ShowSignalStrength(const QString& Reply) {
    if (const std::optional<QString> bars = SignalBarsText(Reply)) {
        m_parts.stbStatusBar.setPanelText(kSignalPanel, *bars);
    }
}

void ModemLink::DisconnectCall() {
    SerialPort& port = m_parts.MSComm1;
    try {
        if (!port.PortOpen()) {
            return;
        }
        port.Output(kHangUpCommand + kCrLf);
        m_parts.clock.sleep(kCommandWait);
        appendLog(HangUpLogEntry());
        port.setPortOpen(false);
    } catch (...) {
        // Hanging up is best effort; but a port left open after a failed hang-up would pass as a call in
        // progress, so it is closed all the same.
        try {
            port.setPortOpen(false);
        } catch (...) {
        }
    }
}

void ModemLink::RestartModem() {
    SerialPort& port = m_parts.MSComm1;
    m_parts.stbStatusBar.setPanelText(kRegistrationPanel, kNotRegisteredText);
    if (port.PortOpen()) {
        m_events.StopCalling();
    }
    if (!port.PortOpen()) {
        port.setPortOpen(true);
    }
    port.Output(kModemResetCommand + kCrLf);
    m_parts.stbStatusBar.setPanelText(kRegistrationPanel, kModemResetText);
    appendLog(ModemResetLogEntry());
    m_parts.clock.sleep(kCommandWait);
    port.setPortOpen(false);

    // The first vehicle of the list is dialled once the modem is back, flagged or not, whatever the mode.
    m_parts.state.CurrentVehicle = kFirstVehicle;
    m_parts.Timer1.setTag(kModemResetCountdown);
    m_parts.Timer2.setEnabled(false);
    m_parts.Timer1.setEnabled(true);
}

void ModemLink::EndOnError(const QString& text) {
    m_parts.state.LastErrorText = text;
    if (m_parts.MSComm1.PortOpen()) {
        DisconnectCall();
    }
    m_parts.programEnd.EndProgram(m_parts.state.LastErrorText);
}

void ModemLink::LosePort(const QString& text) {
    try {
        m_parts.MSComm1.setPortOpen(false);
    } catch (...) {
        // A device that is gone may refuse even its closing; the port counts as closed all the same.
    }
    // Lost while the modem was being reset, after the stop was booked: the reset would have gone on
    // with the first vehicle, so calling stops there.
    if (m_parts.state.CurrentVehicle < 0) {
        m_parts.state.CurrentVehicle = kFirstVehicle;
    }
    // Calling stops before the box waits for the dispatcher, so no tick runs behind it.
    m_parts.InterruptDialing();
    m_parts.box.exclamation(text, m_parts.box.defaultTitle());
}

void ModemLink::runHandler(const std::function<void()>& body) {
    if (m_parts.programEnd.Ending()) {
        return;
    }
    try {
        try {
            body();
        } catch (const PortFailure& failure) {
            LosePort(failure.text());
        }
    } catch (const RuntimeError& error) {
        EndOnError(error.text());
    } catch (const std::exception& error) {
        EndOnError(QString::fromLocal8Bit(error.what()));
    }
}

void ModemLink::appendLog(const QString& text) {
    AppendCommLog(m_parts.txtCommLog, text);
}

} // namespace kestrova
