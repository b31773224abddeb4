#pragma once

#include "console/calling_parts.h"

#include <QString>
#include <functional>

// The main window's modem link: opens the port and dials a terminal, splits what the modem sends into
// lines and acts on them, shows the registration and signal in the status bar, hangs up, and resets a
// modem that has no dial tone. What a call leads to is the call cycle's, reached through CallEvents.
namespace kestrova {

// The call cycle's operations that received lines lead to.
struct CallEvents {
    std::function<void()> MarkCallConnected;
    std::function<void(const QString& Line)> ProcessPositionReport;
    std::function<void()> StopCalling;
};

class ModemLink {
public:
    // Becomes the receive handler of parts.MSComm1 for its lifetime.
    ModemLink(CallingParts parts, CallEvents events);
    ~ModemLink();
    ModemLink(const ModemLink&) = delete;
    ModemLink& operator=(const ModemLink&) = delete;

    // Opens the port, discards what waits in it (one beep per non-empty read) and sends "AT", "AT+CREG?",
    // "AT+CSQ" and the dial command, each followed by a 500 ms wait in which no event runs. False after
    // a failure, whose text has been shown; the port may then still be open.
    bool DialVehicle(const QString& PhoneNumber);

    // The port's receive event. Ignored while the port is closed; otherwise every complete line is acted
    // on in turn until one of them closes the port. A failure ends the program; a failed device is survived (LosePort).
    void MSComm1_OnComm();

    // Reply: the text after "+CREG:", trimmed. An unregistered modem ends the call at once.
    void ShowRegistrationState(const QString& Reply);
    // Reply: the text after "+CSQ:", trimmed.
    void ShowSignalStrength(const QString& Reply);

    // Sends "ATH", logs the hang-up and closes the port, when it is open. Errors are ignored.
    void DisconnectCall();

    // After "NO DIALTONE": stops calling, resets the modem and has the first vehicle of the list dialled
    // after a 60-second countdown.
    void RestartModem();

    // The failure rule of the calling handlers: keeps the error text in LastErrorText, ends a call in
    // progress, shows the text in a critical box and ends the program.
    void EndOnError(const QString& text);

    // A port whose device failed under a call (gone, or a read or write error) is survived like a port
    // that cannot be opened for a dial: the port closed, calling stopped through InterruptDialing and
    // the failure's text in an exclamation box. The next dial opens the port again.
    void LosePort(const QString& text);

    // Runs body under the failure rule; a PortFailure leaving it is survived through LosePort. Nothing
    // runs once the program is ending.
    void runHandler(const std::function<void()>& body);

private:
    void dispatch(const QString& line);
    void appendLog(const QString& text);

    CallingParts m_parts;
    CallEvents m_events;
};

} // namespace kestrova
