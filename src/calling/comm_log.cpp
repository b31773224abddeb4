#include "calling/comm_log.h"

#include "startup/runtime_error.h"
#include "startup/text_helpers.h"
#include "startup/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kestrova {

namespace {

constexpr int kKeptLines = 200;

const QString kCrLf = QStringLiteral("\r\n");

[[noreturn]] void throwFileError(const QString& path, const QString& error) {
    throw RuntimeError(FileErrorText(path, error));
}

} // namespace

QString AppendCommLog(const QString& logText, const QString& text) {
    return logText + text + kCrLf;
}

QString TrimCommLog(const QString& logText) {
    // Line ends are counted from the end of the text; the search stops at the one beyond those kept.
    qsizetype searchEnd = logText.size();
    for (int count = 0; count <= kKeptLines && searchEnd > 0; ++count) {
        const qsizetype found = searchEnd >= 2 ? logText.lastIndexOf(kCrLf, searchEnd - 2) : -1;
        if (found < 0) {
            return logText;
        }
        if (count == kKeptLines) {
            return logText.mid(found + 2);
        }
        searchEnd = found;
    }
    return logText;
}

QString DialLogEntry(const QString& dialTime, const QString& plateNumber, const QLocale& locale) {
    return ConvertDbTime(dialTime, 0, locale) + kCrLf + QStringLiteral("撥號給：") + plateNumber;
}

QString AnsweredLogEntry() {
    return kCheckAnswered;
}

QString PositionLogEntry(const VehicleRecord& vehicle) {
    return vehicle.CheckPoint + QStringLiteral("：") + FormatDegMinSec(vehicle.EW, vehicle.X) + QStringLiteral(", ") +
           FormatDegMinSec(vehicle.NS, vehicle.Y) + QStringLiteral(", 速度：") + FormatKilometres(vehicle.Speed) +
           QStringLiteral(" , 方向：") + DirectionName(vehicle.Direction) + QStringLiteral(" , 位移：") +
           FormatMetres(vehicle.Offset);
}

QString TimeoutLogEntry(bool answered) {
    return answered ? kCheckNoReport : kCheckNotAnswered;
}

QString StopLogEntry(const VehicleRecord& vehicle) {
    return vehicle.CheckPoint;
}

QString HangUpLogEntry() {
    return QStringLiteral("掛斷") + kCrLf;
}

QString ModemResetLogEntry() {
    return QStringLiteral("自動撥號器重開機") + kCrLf;
}

QString CommLogFilePath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("Kestrova.log"));
}

QString ReadCommLogFile(const QString& path, const CodePage& codePage) {
    if (!QFileInfo(path).isFile()) {
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throwFileError(path, file.errorString());
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throwFileError(path, file.errorString());
    }

    QString logText;
    const auto addLine = [&](qsizetype from, qsizetype to) {
        const QString line = codePage.decode(QByteArrayView(bytes).sliced(from, to - from));
        if (logText.isEmpty()) {
            logText = line;
        } else {
            logText += kCrLf + line;
        }
    };
    // A line ends at CR (taking an LF right after it along) or at the end of the file; a lone LF is
    // part of the line.
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') {
            continue;
        }
        addLine(lineStart, i);
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            ++i;
        }
        lineStart = i + 1;
    }
    if (lineStart < bytes.size()) {
        addLine(lineStart, bytes.size());
    }
    return logText;
}

void WriteCommLogFile(const QString& path, const QString& logText, const CodePage& codePage) {
    const QByteArray bytes = codePage.encode(QString(logText + kCrLf));
    QString error;
    if (!WriteWholeFile(path, bytes, error)) {
        throwFileError(path, error);
    }
}

} // namespace kestrova
