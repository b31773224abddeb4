#pragma once

#include "calling/serial_port.h"
#include "startup/code_page.h"

#include <QSerialPort>
#include <QString>

// The real serial port: a QSerialPort on the device that the port number names in the program folder
// (see SerialDevicePath), with texts turned into bytes and back in the system's code page. The receive
// event is the device's readyRead, delivered by the owning thread's event loop.
namespace kestrova {

class QtSerialPort final : public SerialPort {
public:
    QtSerialPort(QString programFolder, CodePage codePage);
    ~QtSerialPort() override;

    bool PortOpen() const override;
    void setPortOpen(bool open) override;
    void Output(const QString& text) override;
    QString Input() override;

    // The device that the current port number opens.
    QString devicePath() const;

protected:
    void applySettings() override;

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);
    void deliverHeldReceiveEvent();
    void deliverFailure();
    void requireOpen() const;
    // Why the open device failed, as an errno value: EIO for a hung-up or failed line, EBADF for a handle
    // no longer valid; 0 while the device is still there.
    int deviceFailure() const;
    // The device's failure, naming the device.
    QString failureText() const;

    QString m_programFolder;
    CodePage m_codePage;
    QSerialPort m_port;
    // The device the port was opened on last.
    QString m_openedPath;
    // Set while Output or Input drive the device themselves: QSerialPort then reports received data
    // from inside the call, and the receive event waits until the call is over.
    bool m_inOwnCall = false;
    bool m_receiveEventHeld = false;
    // A failure of the open device seen between reads; the next Input or Output throws it.
    QString m_failure;
};

} // namespace kestrova
