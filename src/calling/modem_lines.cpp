#include "calling/modem_lines.h"

#include "calling/position_report.h"

namespace kestrova {

namespace {

constexpr QStringView kRegistrationPrefix = u"+CREG:";
constexpr QStringView kSignalQualityPrefix = u"+CSQ:";
constexpr QStringView kAnsweredPrefix = u"$";
constexpr QStringView kNoDialTone = u"NO DIALTONE";

// Trim of the runtime: blanks only.
QString trimBlanks(QStringView text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ') {
        ++first;
    }
    while (last > first && text[last - 1] == u' ') {
        --last;
    }
    return text.mid(first, last - first).toString();
}

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
        return {ModemLineKind::Registration, trimBlanks(line.mid(kRegistrationPrefix.size()))};
    }
    if (line.startsWith(kSignalQualityPrefix)) {
        return {ModemLineKind::SignalQuality, trimBlanks(line.mid(kSignalQualityPrefix.size()))};
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
