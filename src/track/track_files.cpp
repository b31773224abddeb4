#include "track/track_files.h"

#include "data/field_value.h"
#include "startup/numeric.h"
#include "startup/runtime_error.h"
#include "startup/text_helpers.h"

#include <QDir>
#include <QSaveFile>

namespace kestrova {

namespace {

// The runtime's error for a property value it does not take.
const QString kInvalidPropertyValue = QStringLiteral("無效的屬性值");

const QString kLineEnd = QStringLiteral("\r\n");
constexpr qsizetype kTextTimeLength = 17;
constexpr qsizetype kDayLength = 9;
constexpr qsizetype kLatitudeWidth = 11;
constexpr qsizetype kLongitudeWidth = 12;
constexpr qsizetype kTimeWidth = 18;

const QString kTrkHeader = QStringLiteral("H  LATITUDE    LONGITUDE    DATE      TIME     ALT    ;track");

QString fixedWidth(const QString& text, qsizetype width) {
    return text.leftJustified(width, u' ', true);
}

} // namespace

QStringList DialogNameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    if (filter.isEmpty() || parts.size() % 2 != 0)
        throw RuntimeError(kInvalidPropertyValue);
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ');
        // Qt takes the patterns from the brackets at the end; a description that ends with them already
        // is shown as it is.
        const QString bracketed = u'(' + patterns + u')';
        filters << (description.endsWith(bracketed) ? description : description + u' ' + bracketed);
    }
    return filters;
}

QByteArray TrackText(ResultSet& rs, const CodePage& codePage) {
    QString text = QStringLiteral("Datum,WGS84,WGS84,0,0,0,0,0") + kLineEnd;
    for (; !rs.eof(); rs.moveNext()) {
        const double Y = FieldNumber(rs.field(u"Y"));
        const double X = FieldNumber(rs.field(u"X"));
        const QString time = FieldText(rs.field(u"DialTime")).replace(u' ', u',').right(kTextTimeLength);
        text += QStringLiteral("TP,D, ") + Format(Y, u"0.000000000") + QStringLiteral(", ") +
                Format(X, u"0.000000000") + QStringLiteral(", ") + time + QStringLiteral(",0") + kLineEnd;
    }
    return codePage.encode(text);
}

QByteArray TrackTrk(ResultSet& rs, const CodePage& codePage) {
    QString text;
    QString previousDay;
    for (bool first = true; !rs.eof(); rs.moveNext(), first = false) {
        const double Y = FieldNumber(rs.field(u"Y"));
        const double X = FieldNumber(rs.field(u"X"));
        const QString d = ConvertDbTime(FieldText(rs.field(u"DialTime")), 1);
        const QString day = d.left(kDayLength);
        if (first || day != previousDay) {
            if (!first)
                text += kLineEnd;
            text += kTrkHeader + kLineEnd;
        }
        previousDay = day;
        text += QStringLiteral("T  ") + fixedWidth(u'+' + Format(Y, u"0.0000000"), kLatitudeWidth) + u' ' +
                fixedWidth(u'+' + Format(X, u"0.0000000"), kLongitudeWidth) + u' ' + fixedWidth(d, kTimeWidth) +
                QStringLiteral(" -9999") + kLineEnd;
    }
    return codePage.encode(text);
}

QByteArray TrackFile(ResultSet& rs, int16_t FilterIndex, const CodePage& codePage) {
    switch (FilterIndex) {
    case kTrackTextFilter:
        return TrackText(rs, codePage);
    case kTrackTrkFilter:
        return TrackTrk(rs, codePage);
    default:
        return {};
    }
}

std::optional<QString> WriteWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return std::nullopt;
    const QString reason = file.errorString();
    file.cancelWriting();
    return QStringLiteral("檔案 '%1' 無法寫入：%2").arg(QDir::toNativeSeparators(path), reason);
}

} // namespace kestrova
