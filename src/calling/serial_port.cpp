#include "calling/serial_port.h"

#include "startup/runtime_error.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace kestrova {

namespace {

[[noreturn]] void throwInvalidValue() {
    throw RuntimeError(InvalidPropertyValueText());
}

// A field of digits only, as a positive number that fits in an int.
int positiveNumber(const QString& field) {
    if (field.isEmpty() || field.size() > 9) {
        throwInvalidValue();
    }
    for (const QChar c : field) {
        if (c < u'0' || c > u'9') {
            throwInvalidValue();
        }
    }
    const int value = field.toInt();
    if (value <= 0) {
        throwInvalidValue();
    }
    return value;
}

CommParity parityOf(const QString& field) {
    if (field.size() != 1) {
        throwInvalidValue();
    }
    switch (field.at(0).toLower().unicode()) {
    case u'n':
        return CommParity::None;
    case u'e':
        return CommParity::Even;
    case u'o':
        return CommParity::Odd;
    case u'm':
        return CommParity::Mark;
    case u's':
        return CommParity::Space;
    default:
        throwInvalidValue();
    }
}

int dataBitsOf(const QString& field) {
    if (field.size() != 1 || field.at(0) < u'5' || field.at(0) > u'8') {
        throwInvalidValue();
    }
    return field.at(0).unicode() - u'0';
}

CommStopBits stopBitsOf(const QString& field) {
    if (field == u"1") {
        return CommStopBits::One;
    }
    if (field == u"1.5") {
        return CommStopBits::OneAndHalf;
    }
    if (field == u"2") {
        return CommStopBits::Two;
    }
    throwInvalidValue();
}

} // namespace

QString InvalidPropertyValueText() {
    return kInvalidPropertyValue;
}

QString PortNotOpenText() {
    return QStringLiteral("通訊埠未開啟");
}

CommSettings ParseCommSettings(const QString& settings) {
    const QStringList fields = settings.split(u',');
    if (fields.size() != 4) {
        throwInvalidValue();
    }
    CommSettings parsed;
    parsed.BaudRate = positiveNumber(fields[0].trimmed());
    parsed.Parity = parityOf(fields[1].trimmed());
    parsed.DataBits = dataBitsOf(fields[2].trimmed());
    parsed.StopBits = stopBitsOf(fields[3].trimmed());
    return parsed;
}

QString SerialDevicePath(const QString& programFolder, int commPort) {
    const QString link = QDir(programFolder).absoluteFilePath(QStringLiteral("dev/com%1").arg(commPort));
    const QFileInfo info(link);
    if (info.exists() || info.isSymLink()) {
        return link;
    }
    return QStringLiteral("/dev/ttyS%1").arg(commPort - 1);
}

void SerialPort::setCommPort(int commPort) {
    if (commPort < 1) {
        throwInvalidValue();
    }
    m_commPort = commPort;
}

void SerialPort::setSettings(const QString& settings) {
    const CommSettings parsed = ParseCommSettings(settings);
    const CommSettings previous = m_settings;
    const QString previousText = m_settingsText;
    m_settings = parsed;
    m_settingsText = settings;
    if (PortOpen()) {
        try {
            applySettings();
        } catch (...) {
            m_settings = previous;
            m_settingsText = previousText;
            throw;
        }
    }
}

void SerialPort::raiseOnComm() {
    // A copy, so that a handler that replaces itself is not destroyed while it runs.
    const OnCommHandler handler = m_onComm;
    if (handler) {
        handler();
    }
}

} // namespace kestrova
