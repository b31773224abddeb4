#include "calling/modem_lines.h"

#include "calling/position_report.h"
#include "startup/text_helpers.h"

namespace kestrova {

namespace {

constexpr QStringView kRegistrationPrefix = u"+CREG:";
constexpr QStringView kSignalQualityPrefix = u"+CSQ:";
constexpr QStringView kAnsweredPrefix = u"$";
constexpr QStringView kNoDialTone = u"NO DIALTONE";

} // namespace

QStringList TakeReceivedLines(QString& ReceiveBuffer, QStringView input) {
    ReceiveBuffer += input.toString().remove(u'\n');
    QStringList lines;
    qsizetype lineStart = 0;
    for (qsizetype cr = ReceiveBuffer.indexOf(u'\r'); cr >= 0; cr = ReceiveBuffer.indexOf(u'\r', lineStart)) {
        if (cr > lineStart) {
            lines.append(ReceiveBuffer.mid(lineStart, cr - lineStart));
        }
        lineStart = cr + 1;
    }
    ReceiveBuffer.remove(0, lineStart);
    if (ReceiveBuffer.size() > kReceiveBufferLimit) {
        ReceiveBuffer.remove(0, ReceiveBuffer.size() - kReceiveBufferLimit);
    }
    return lines;
}

ModemLine ClassifyModemLine(QStringView line) {
    if (line.startsWith(kRegistrationPrefix)) {
        return {ModemLineKind::Registration, Trim(line.mid(kRegistrationPrefix.size()))};
    }
    if (line.startsWith(kSignalQualityPrefix)) {
        return {ModemLineKind::SignalQuality, Trim(line.mid(kSignalQualityPrefix.size()))};
    }
    if (line.startsWith(kAnsweredPrefix)) {
        return {ModemLineKind::Answered, {}};
    }
    switch (ClassifyReportLine(line)) {
    case ReportFrame::PositionReport:
        return {ModemLineKind::PositionReport, {}};
    case ReportFrame::BadDigits:
        // A framed line is a report or nothing: the remaining tests are not tried on it.
        return {ModemLineKind::Ignored, {}};
    case ReportFrame::NotFramed:
        break;
    }
    if (line.contains(kNoDialTone)) {
        return {ModemLineKind::NoDialTone, {}};
    }
    return {ModemLineKind::Ignored, {}};
}

} // namespace kestrova
