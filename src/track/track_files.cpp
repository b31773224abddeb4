#include "track/track_files.h"

#include "data/field_value.h"
#include "startup/numeric.h"
#include "startup/runtime_error.h"
#include "startup/text_helpers.h"
#include "startup/whole_file.h"


#include <array>
#include <charconv>
#include <string_view>
#include <system_error>

namespace kestrova {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");
constexpr qsizetype kTextTimeLength = 17;
constexpr qsizetype kDayLength = 9;
constexpr qsizetype kLatitudeWidth = 11;
constexpr qsizetype kLongitudeWidth = 12;
constexpr qsizetype kTimeWidth = 18;
constexpr int kTextDecimals = 9;
constexpr int kTrkDecimals = 7;

const QString kTrkHeader = QStringLiteral("H  LATITUDE    LONGITUDE    DATE      TIME     ALT    ;track");

// Lines of about these lengths, so the text grows once.
constexpr qsizetype kTextLineLength = 56;
constexpr qsizetype kTrkLineLength = 54;

QString fixedWidth(const QString& text, qsizetype width) {
    return text.leftJustified(width, u' ', true);
}

// Format(value, "0." and `decimals` zeros), quicker in the usual case: a positive value whose shortest
// decimal has no more decimals than are shown needs no rounding, and is that decimal padded with zeros.
QString fixedDecimals(double value, int decimals) {
    std::array<char, 64> buffer{};
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    if (value > 0 && error == std::errc()) {
        const std::string_view shortest(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
        const std::size_t point = shortest.find('.');
        const int shown = point == std::string_view::npos ? 0 : static_cast<int>(shortest.size() - point - 1);
        if (shown <= decimals) {
            QString text = QString::fromLatin1(shortest.data(), static_cast<qsizetype>(shortest.size()));
            if (shown == 0)
                text += u'.';
            return text + QString(decimals - shown, u'0');
        }
    }
    return Format(value, QStringLiteral("0.") + QString(decimals, u'0'));
}

// The text in the code page. A text of ASCII alone, as a track file of stored times is, has the same
// bytes in every code page the program runs under, and needs no conversion.
QByteArray encoded(const QString& text, const CodePage& codePage) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return codePage.encode(text);
    }
    return text.toLatin1();
}

// ConvertDbTime(DialTime, 1) for the rows of a track. A stored time "yyyy/mm/dd hh:mm:ss" keeps its time of
// day as it is written, so only its day needs converting, once per day; any other text is converted whole.
class TrkTimes {
public:
    QString operator()(const QString& DialTime) {
        if (!isStoredTime(DialTime))
            return ConvertDbTime(DialTime, 1);
        const QStringView date = QStringView(DialTime).left(kStoredDateLength);
        if (date != m_date) {
            m_date = date.toString();
            m_day = ConvertDbTime(m_date + QStringLiteral(" 00:00:00"), 1).left(kDayLength);
        }
        return m_day.isEmpty() ? QString() : m_day + DialTime.mid(kStoredDateLength);
    }

private:
    static constexpr qsizetype kStoredDateLength = 10;

    static bool isStoredTime(QStringView text) {
        static const QString shape = QStringLiteral("dddd/dd/dd dd:dd:dd");
        if (text.size() != shape.size())
            return false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (shape[i] == u'd' ? !text[i].isDigit() || text[i].unicode() >= 0x80 : text[i] != shape[i])
                return false;
        }
        const auto field = [text](qsizetype from) { return text.mid(from, 2).toInt(); };
        return field(11) < 24 && field(14) < 60 && field(17) < 60;
    }

    QString m_date;
    QString m_day;
};

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
    const int dialTime = rs.columnIndex(u"DialTime");
    const int x = rs.columnIndex(u"X");
    const int y = rs.columnIndex(u"Y");
    QString text = QStringLiteral("Datum,WGS84,WGS84,0,0,0,0,0") + kLineEnd;
    text.reserve(kTextLineLength * (rs.rowCount() - rs.position() + 1));
    for (; !rs.eof(); rs.moveNext()) {
        const double Y = FieldNumber(rs.field(y));
        const double X = FieldNumber(rs.field(x));
        const QString time = FieldText(rs.field(dialTime)).replace(u' ', u',').right(kTextTimeLength);
        text += QStringLiteral("TP,D, ") + fixedDecimals(Y, kTextDecimals) + QStringLiteral(", ") +
                fixedDecimals(X, kTextDecimals) + QStringLiteral(", ") + time + QStringLiteral(",0") + kLineEnd;
    }
    return encoded(text, codePage);
}

QByteArray TrackTrk(ResultSet& rs, const CodePage& codePage) {
    const int dialTime = rs.columnIndex(u"DialTime");
    const int x = rs.columnIndex(u"X");
    const int y = rs.columnIndex(u"Y");
    QString text;
    text.reserve(kTrkLineLength * (rs.rowCount() - rs.position()));
    TrkTimes trkTime;
    QString previousDay;
    for (bool first = true; !rs.eof(); rs.moveNext(), first = false) {
        const double Y = FieldNumber(rs.field(y));
        const double X = FieldNumber(rs.field(x));
        const QString d = trkTime(FieldText(rs.field(dialTime)));
        const QString day = d.left(kDayLength);
        if (first || day != previousDay) {
            if (!first)
                text += kLineEnd;
            text += kTrkHeader + kLineEnd;
        }
        previousDay = day;
        text += QStringLiteral("T  ") + fixedWidth(u'+' + fixedDecimals(Y, kTrkDecimals), kLatitudeWidth) + u' ' +
                fixedWidth(u'+' + fixedDecimals(X, kTrkDecimals), kLongitudeWidth) + u' ' + fixedWidth(d, kTimeWidth) +
                QStringLiteral(" -9999") + kLineEnd;
    }
    return encoded(text, codePage);
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

std::optional<QString> WriteCompleteFile(const QString& path, const QByteArray& bytes) {
    QString reason;
    if (WriteWholeFile(path, bytes, reason, InPlaceWrite::Refused))
        return std::nullopt;
    return FileErrorText(path, reason);
}

} // namespace kestrova
