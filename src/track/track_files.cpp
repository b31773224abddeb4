#include "track/track_files.h"

#include "data/field_value.h"
#include "startup/numeric.h"
#include "startup/runtime_error.h"
#include "startup/text_helpers.h"

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

// ConvertDbTime(DialTime, 1) for the rows of a track, whose stored times keep their time of day as it is
// written: only the day needs converting, once per day.
class TrkTimes {
public:
    QString operator()(const QString& DialTime) {
        const QStringView date = QStringView(DialTime).left(kStoredDateLength);
        if (date != m_date) {
            m_date = date.toString();
            m_day = ConvertDbTime(DialTime, 1).left(kDayLength);
        }
        return m_day + DialTime.mid(kStoredDateLength);
    }

private:
    static constexpr qsizetype kStoredDateLength = 10;

    QString m_date;
    QString m_day;
};

// A row's DialTime in a message: characters that cannot be shown made visible, a long text cut.
QString shownDialTime(const QString& DialTime) {
    constexpr qsizetype kShownLength = 40;
    QString shown = DialTime.left(kShownLength);
    for (QChar& c : shown) {
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    }
    return u'"' + shown + (DialTime.size() > kShownLength ? QStringLiteral("…\"") : QStringLiteral("\""));
}

// One row of the track as both files write it.
struct TrackPoint {
    QString DialTime;
    double X = 0;
    double Y = 0;
};

// The columns both files read. Rows come from the database, where other programs may write too: a row whose
// time is not a stored time, or whose coordinate is no degree of a position, is refused (InvalidTrackRow),
// as neither file could say it. The query takes only positive coordinates, so 0 is a text that held none.
class TrackReader {
public:
    explicit TrackReader(const ResultSet& rs)
        : m_dialTime(rs.columnIndex(u"DialTime")), m_x(rs.columnIndex(u"X")), m_y(rs.columnIndex(u"Y")) {}

    TrackPoint point(const ResultSet& rs) const {
        TrackPoint p{FieldText(rs.field(m_dialTime)), FieldNumber(rs.field(m_x)), FieldNumber(rs.field(m_y))};
        if (!IsDbTime(p.DialTime))
            refuse(p, QStringLiteral("時間不是有效的 yyyy/mm/dd hh:mm:ss 日期時間"));
        if (!(p.X > 0 && p.X <= kMaxLongitude))
            refuse(p, QStringLiteral("經度 X 不是 0 到 180 之間的數值"));
        if (!(p.Y > 0 && p.Y <= kMaxLatitude))
            refuse(p, QStringLiteral("緯度 Y 不是 0 到 90 之間的數值"));
        return p;
    }

private:
    static constexpr double kMaxLongitude = 180;
    static constexpr double kMaxLatitude = 90;

    [[noreturn]] static void refuse(const TrackPoint& p, const QString& what) {
        throw InvalidTrackRow(QStringLiteral("資料列 DialTime %1 的%2").arg(shownDialTime(p.DialTime), what));
    }

    int m_dialTime;
    int m_x;
    int m_y;
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
    const TrackReader reader(rs);
    QString text = QStringLiteral("Datum,WGS84,WGS84,0,0,0,0,0") + kLineEnd;
    text.reserve(kTextLineLength * (rs.rowCount() - rs.position() + 1));
    for (; !rs.eof(); rs.moveNext()) {
        TrackPoint p = reader.point(rs);
        const QString time = p.DialTime.replace(u' ', u',').right(kTextTimeLength);
        text += QStringLiteral("TP,D, ") + fixedDecimals(p.Y, kTextDecimals) + QStringLiteral(", ") +
                fixedDecimals(p.X, kTextDecimals) + QStringLiteral(", ") + time + QStringLiteral(",0") + kLineEnd;
    }
    return encoded(text, codePage);
}

QByteArray TrackTrk(ResultSet& rs, const CodePage& codePage) {
    const TrackReader reader(rs);
    QString text;
    text.reserve(kTrkLineLength * (rs.rowCount() - rs.position()));
    TrkTimes trkTime;
    QString previousDay;
    for (bool first = true; !rs.eof(); rs.moveNext(), first = false) {
        const TrackPoint p = reader.point(rs);
        const QString d = trkTime(p.DialTime);
        const QString day = d.left(kDayLength);
        if (first || day != previousDay) {
            if (!first)
                text += kLineEnd;
            text += kTrkHeader + kLineEnd;
        }
        previousDay = day;
        text += QStringLiteral("T  ") + fixedWidth(u'+' + fixedDecimals(p.Y, kTrkDecimals), kLatitudeWidth) + u' ' +
                fixedWidth(u'+' + fixedDecimals(p.X, kTrkDecimals), kLongitudeWidth) + u' ' +
                fixedWidth(d, kTimeWidth) + QStringLiteral(" -9999") + kLineEnd;
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

std::optional<QString> WriteTrackFile(const QString& path, ResultSet& rs, int16_t FilterIndex,
                                      const CodePage& codePage) {
    QByteArray bytes;
    try {
        bytes = TrackFile(rs, FilterIndex, codePage);
    } catch (const InvalidTrackRow& row) {
        return FileErrorText(path, row.text());
    }
    RemoveWriteLeftovers(path);
    // Over a file that the folder lets the dispatcher write but not replace, the export writes in place.
    return WriteCompleteFile(path, bytes, InPlaceWrite::Allowed);
}

std::optional<QString> WriteCompleteFile(const QString& path, const QByteArray& bytes, InPlaceWrite inPlace) {
    QString reason;
    if (WriteWholeFile(path, bytes, reason, inPlace))
        return std::nullopt;
    return FileErrorText(path, reason);
}

} // namespace kestrova
