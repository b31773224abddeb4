#pragma once

#include "startup/runtime_error.h"

#include <QString>
#include <functional>

// The modem's serial port as the console drives it: a port number, a settings text such as "4800,n,8,1",
// an open switch, text written out and text read in, and a receive event. The console's logic works on
// this interface; QtSerialPort is the real device and the tests use a fake.
namespace kestrova {

enum class CommParity { None, Even, Odd, Mark, Space };
enum class CommStopBits { One, OneAndHalf, Two };

// The four fields of a settings text "baud,parity,data bits,stop bits".
struct CommSettings {
    int BaudRate = 9600;
    CommParity Parity = CommParity::None;
    int DataBits = 8;
    CommStopBits StopBits = CommStopBits::One;

    friend bool operator==(const CommSettings&, const CommSettings&) = default;
};

// The text of the error that an unacceptable property value raises.
QString InvalidPropertyValueText();

// The text of the error that writing to or reading from a closed port raises.
QString PortNotOpenText();

// The device under an open port failed: it went away (a modem unplugged or switched off), or a read or a
// write failed. The text names the device. The console survives it as a lost modem, not as a fault.
class PortFailure : public RuntimeError {
public:
    using RuntimeError::RuntimeError;
};

// Parses "4800,n,8,1": a positive decimal baud rate, the parity letter n, e, o, m or s (either case), 5 to 8
// data bits and 1, 1.5 or 2 stop bits; blanks around a field are allowed. Anything else throws
// RuntimeError(InvalidPropertyValueText()).
CommSettings ParseCommSettings(const QString& settings);

// The device that port number commPort stands for: dev/com<commPort> in the program folder when that entry
// exists (a link to the real device or to a simulator's pseudo-terminal; a dangling link still counts, so
// that its error is reported rather than another port opened), else /dev/ttyS<commPort - 1>. Always an
// absolute path: QSerialPort takes a relative name for one under /dev.
QString SerialDevicePath(const QString& programFolder, int commPort);

class SerialPort {
public:
    // The receive event. It runs on the thread that owns the port, one event at a time, and must handle
    // its own errors: an exception must not leave it.
    using OnCommHandler = std::function<void()>;

    SerialPort() = default;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;
    virtual ~SerialPort() = default;

    // The port number, 1 or more; a new number takes effect at the next opening. Throws
    // RuntimeError(InvalidPropertyValueText()) below 1, keeping the old number.
    int CommPort() const { return m_commPort; }
    void setCommPort(int commPort);

    // The speed and framing text, "9600,n,8,1" at first. A text that does not parse throws and leaves the
    // settings as they were; an open port takes new settings at once.
    const QString& Settings() const { return m_settingsText; }
    const CommSettings& parsedSettings() const { return m_settings; }
    void setSettings(const QString& settings);

    // Opening throws RuntimeError with the device's error text when the device cannot be opened; setting
    // the state the port is already in does nothing.
    virtual bool PortOpen() const = 0;
    virtual void setPortOpen(bool open) = 0;

    // Writes text in the port's code page and returns once the bytes are with the device. Throws
    // RuntimeError when the port is closed, PortFailure when the write fails.
    virtual void Output(const QString& text) = 0;

    // Takes every character waiting, also those that arrived while no event could run; "" when none.
    // Throws RuntimeError when the port is closed, PortFailure when reading fails or the device failed
    // since the last read (such a failure raises the receive event, so the handler learns of it).
    virtual QString Input() = 0;

    void setOnComm(OnCommHandler handler) { m_onComm = std::move(handler); }

protected:
    // Runs the receive event when a handler is set.
    void raiseOnComm();

    // Applies parsedSettings() to the open device; throws RuntimeError when the device refuses them.
    virtual void applySettings() {}

private:
    int m_commPort = 1;
    QString m_settingsText = QStringLiteral("9600,n,8,1");
    CommSettings m_settings;
    OnCommHandler m_onComm;
};

} // namespace kestrova
