#include "calling/qt_serial_port.h"

#include "startup/runtime_error.h"

#include <QMetaObject>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <utility>

namespace kestrova {

namespace {

// How long a write may wait for the device to take its bytes.
constexpr int kWriteTimeoutMs = 5000;

// Input reads at most this much beyond what is buffered already, so that a device that never stops
// sending cannot keep it reading forever; the rest is taken by the next read.
constexpr qint64 kMaxInputBytes = 1 << 20;

QSerialPort::Parity qtParity(CommParity parity) {
    switch (parity) {
    case CommParity::Even:
        return QSerialPort::EvenParity;
    case CommParity::Odd:
        return QSerialPort::OddParity;
    case CommParity::Mark:
        return QSerialPort::MarkParity;
    case CommParity::Space:
        return QSerialPort::SpaceParity;
    case CommParity::None:
        break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits qtStopBits(CommStopBits stopBits) {
    switch (stopBits) {
    case CommStopBits::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case CommStopBits::Two:
        return QSerialPort::TwoStop;
    case CommStopBits::One:
        break;
    }
    return QSerialPort::OneStop;
}

// Marks a stretch in which the object drives the device itself.
class OwnCall {
public:
    explicit OwnCall(bool& flag) : m_flag(flag) { m_flag = true; }
    OwnCall(const OwnCall&) = delete;
    OwnCall& operator=(const OwnCall&) = delete;
    ~OwnCall() { m_flag = false; }

private:
    bool& m_flag;
};

} // namespace

QtSerialPort::QtSerialPort(QString programFolder, CodePage codePage)
    : m_programFolder(std::move(programFolder)), m_codePage(std::move(codePage)) {
    QObject::connect(&m_port, &QSerialPort::readyRead, &m_port, [this] { onReadyRead(); });
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

QtSerialPort::~QtSerialPort() = default;

bool QtSerialPort::PortOpen() const {
    return m_port.isOpen();
}

QString QtSerialPort::devicePath() const {
    return SerialDevicePath(m_programFolder, CommPort());
}

void QtSerialPort::setPortOpen(bool open) {
    if (open == m_port.isOpen()) {
        return;
    }
    m_receiveEventHeld = false;
    m_failure.clear();
    if (!open) {
        m_port.close();
        return;
    }
    const QString path = devicePath();
    m_openedPath = path;
    m_port.setPortName(path);
    applySettings();
    m_port.clearError();
    if (!m_port.open(QIODevice::ReadWrite)) {
        throw RuntimeError(QStringLiteral("%1: %2").arg(path, m_port.errorString()));
    }
}

void QtSerialPort::applySettings() {
    const CommSettings& settings = parsedSettings();
    m_port.clearError();
    const bool applied = m_port.setBaudRate(settings.BaudRate) && m_port.setParity(qtParity(settings.Parity)) &&
                         m_port.setDataBits(static_cast<QSerialPort::DataBits>(settings.DataBits)) &&
                         m_port.setStopBits(qtStopBits(settings.StopBits)) &&
                         m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!applied) {
        throw RuntimeError(QStringLiteral("%1: %2").arg(m_port.portName(), m_port.errorString()));
    }
}

void QtSerialPort::requireOpen() const {
    if (!m_port.isOpen()) {
        throw RuntimeError(PortNotOpenText());
    }
    if (!m_failure.isEmpty()) {
        throw PortFailure(m_failure);
    }
}

int QtSerialPort::deviceFailure() const {
    pollfd device{static_cast<int>(m_port.handle()), POLLIN, 0};
    if (::poll(&device, 1, 0) < 0) {
        return EIO;
    }
    if ((device.revents & POLLNVAL) != 0) {
        return EBADF;
    }
    return (device.revents & (POLLERR | POLLHUP)) != 0 ? EIO : 0;
}

QString QtSerialPort::failureText() const {
    // QSerialPort's text comes from whatever system call failed last, often not the one that met the
    // failure (a read at the end of a hung-up line sets none); a failed device is named by its own state.
    const int reason = deviceFailure();
    return QStringLiteral("%1: %2").arg(m_openedPath, reason != 0 ? QString::fromLocal8Bit(std::strerror(reason))
                                                                  : m_port.errorString());
}

void QtSerialPort::Output(const QString& text) {
    requireOpen();
    const QByteArray bytes = m_codePage.encode(text);
    {
        OwnCall call(m_inOwnCall);
        m_port.clearError();
        if (m_port.write(bytes) != bytes.size()) {
            throw PortFailure(failureText());
        }
        // QSerialPort writes from the event loop; the console's waits after a command run no events, so
        // the bytes are handed to the device here.
        while (m_port.bytesToWrite() > 0) {
            if (!m_port.waitForBytesWritten(kWriteTimeoutMs)) {
                throw PortFailure(failureText());
            }
        }
    }
    if (m_receiveEventHeld && m_port.bytesAvailable() > 0) {
        QMetaObject::invokeMethod(
            &m_port, [this] { deliverHeldReceiveEvent(); }, Qt::QueuedConnection);
    }
}

QString QtSerialPort::Input() {
    requireOpen();
    QByteArray bytes = m_port.readAll();
    {
        OwnCall call(m_inOwnCall);
        // QSerialPort reads the device from the event loop; bytes that came while no event ran are read
        // here. A zero wait only polls.
        m_port.clearError();
        qint64 taken = 0;
        while (taken < kMaxInputBytes && m_port.waitForReadyRead(0)) {
            const QByteArray more = m_port.readAll();
            taken += more.size();
            bytes += more;
        }
        const QSerialPort::SerialPortError error = m_port.error();
        if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError) {
            throw PortFailure(failureText());
        }
        m_port.clearError();
    }
    m_receiveEventHeld = false;
    return m_codePage.decode(bytes);
}

void QtSerialPort::onReadyRead() {
    if (m_inOwnCall) {
        m_receiveEventHeld = true;
        return;
    }
    raiseOnComm();
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    if (!m_port.isOpen() ||
        (error != QSerialPort::ResourceError && error != QSerialPort::ReadError && error != QSerialPort::WriteError)) {
        return;
    }
    // A read notification that finds its bytes already taken by Input reads nothing, and QSerialPort
    // reports an error for it although the device is still there; the device tells whether it has gone.
    if (deviceFailure() == 0) {
        // After such a ResourceError QSerialPort stops watching the port, so no later reply would raise
        // the receive event; reading the empty buffer makes it watch the port again.
        if (error == QSerialPort::ResourceError && m_port.bytesAvailable() == 0) {
            m_port.clearError();
            char none = 0;
            m_port.read(&none, 1);
        }
        return;
    }
    // Input and Output throw the failures of their own calls. Between them the port hears nothing more:
    // the receive event carries the failure to the console, whose next read throws it, rather than the
    // call waiting out its time-out on a dead line.
    if (!m_inOwnCall && m_failure.isEmpty()) {
        m_failure = failureText();
        QMetaObject::invokeMethod(
            &m_port, [this] { deliverFailure(); }, Qt::QueuedConnection);
    }
}

void QtSerialPort::deliverFailure() {
    if (m_port.isOpen() && !m_failure.isEmpty()) {
        raiseOnComm();
    }
}

void QtSerialPort::deliverHeldReceiveEvent() {
    if (!m_receiveEventHeld || !m_port.isOpen()) {
        return;
    }
    m_receiveEventHeld = false;
    onReadyRead();
}

} // namespace kestrova
