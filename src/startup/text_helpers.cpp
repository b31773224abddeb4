#include "startup/text_helpers.h"

#include "startup/numeric.h"
#include "startup/runtime_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <array>
#include <cmath>

namespace kestrova {

namespace {

QString formatWithOneDecimal(float x, const QString& unit) {
    QString text = Format(x, u"###,###,###,##0.0");
    text.remove(QStringLiteral(".0"));
    return text + u' ' + unit;
}

// A file-name pattern with "*" and "?" as the platform's file kill reads it. A trailing ".*" also
// matches names without any extension, so "*.*" means every file.
QRegularExpression wildcardExpression(const QString& pattern) {
    QString expression;
    QString body = pattern;
    const bool anyExtension = body.endsWith(QStringLiteral(".*"));
    if (anyExtension) {
        body.chop(2);
    }
    for (QChar c : body) {
        if (c == u'*') {
            expression += QStringLiteral(".*");
        } else if (c == u'?') {
            expression += u'.';
        } else {
            expression += QRegularExpression::escape(QString(c));
        }
    }
    if (anyExtension) {
        expression += QStringLiteral("(\\..*)?");
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(expression),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::DotMatchesEverythingOption);
}

bool removeFiles(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!name.contains(u'*') && !name.contains(u'?')) {
        return QFile::remove(path);
    }
    const QDir folder = info.dir();
    const QRegularExpression matcher = wildcardExpression(name);
    bool matched = false;
    for (const QString& entry : folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        if (!matcher.match(entry).hasMatch()) {
            continue;
        }
        matched = true;
        if (!QFile::remove(folder.filePath(entry))) {
            return false;
        }
    }
    return matched;
}

} // namespace

QString Trim(QStringView s) {
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s[first] == u' ') {
        ++first;
    }
    while (last > first && s[last - 1] == u' ') {
        --last;
    }
    return s.sliced(first, last - first).toString();
}

QString EscapeSql(const QString& s) {
    QString escaped = s;
    return escaped.replace(u'\'', QStringLiteral("''"));
}

QString FormatDbTime(const QDateTime& d) {
    return FormatDate(d, u"yyyy/mm/dd hh:mm:ss");
}

std::optional<std::array<int, 6>> DbTimeFields(QStringView s) {
    static constexpr std::array<qsizetype, 6> kStarts = {0, 5, 8, 11, 14, 17};
    static constexpr std::array<qsizetype, 6> kLengths = {4, 2, 2, 2, 2, 2};
    if (s.size() != 19 || s[4] != u'/' || s[7] != u'/' || s[10] != u' ' || s[13] != u':' || s[16] != u':') {
        return std::nullopt;
    }
    std::array<int, 6> fields{};
    for (std::size_t f = 0; f < fields.size(); ++f) {
        int value = 0;
        for (qsizetype i = kStarts[f]; i < kStarts[f] + kLengths[f]; ++i) {
            const char16_t c = s[i].unicode();
            if (c < u'0' || c > u'9') {
                return std::nullopt;
            }
            value = value * 10 + (c - u'0');
        }
        fields[f] = value;
    }
    return fields;
}

bool IsDbTime(QStringView s) {
    const std::optional<std::array<int, 6>> f = DbTimeFields(s);
    return f && QDate::isValid((*f)[0], (*f)[1], (*f)[2]) && QTime::isValid((*f)[3], (*f)[4], (*f)[5]);
}

QString ConvertDbTime(const QString& s, int style, const QLocale& locale) {
    if (s.isEmpty()) {
        return {};
    }
    try {
        const auto field = [&s](qsizetype from, qsizetype length) {
            return CInt(Val(QStringView(s).mid(from, length)));
        };
        const QDate date(field(0, 4), field(5, 2), field(8, 2));
        const QTime time(field(11, 2), field(14, 2), field(17, 2));
        if (!date.isValid() || !time.isValid()) {
            return {};
        }
        const QDateTime t(date, time, Qt::UTC); // UTC: no daylight-saving gap can shift the stored fields
        if (style == 1) {
            return FormatDate(t, u"dd-mmm-yy hh:mm:ss").toUpper();
        }
        return GeneralDateText(t, locale);
    } catch (const RuntimeError&) {
        return {}; // a field out of range: the text is no stored time
    }
}

QString FormatDegMinSec(const QString& prefix, double value) {
    if (!(value > 0) || !std::isfinite(value)) {
        return {};
    }
    const double deg = Int(value);
    const double f = (value - deg) * 60;
    const double min = Int(f);
    const double sec = Round((f - min) * 60);
    return prefix + u' ' + NumberText(deg) + QStringLiteral("° ") + Format(min, u"00") + QStringLiteral("' ") +
           Format(sec, u"00") + QStringLiteral("\" ");
}

QString FormatKilometres(float x) {
    return formatWithOneDecimal(x, QStringLiteral("公里"));
}

QString FormatMetres(float x) {
    return formatWithOneDecimal(x, QStringLiteral("公尺"));
}

QString DirectionName(float heading) {
    static const std::array<QString, 8> kNames = {
        QStringLiteral("北"), QStringLiteral("東北"), QStringLiteral("東"), QStringLiteral("東南"),
        QStringLiteral("南"), QStringLiteral("西南"), QStringLiteral("西"), QStringLiteral("西北")};
    const float q = heading / 45.0F;
    const int32_t i = Mod(q, 8);
    return kNames[static_cast<std::size_t>(i < 0 ? i + 8 : i)];
}

bool DeleteFile(const QString& path, bool showError, MessageBox& box) {
    if (removeFiles(path)) {
        return true;
    }
    if (showError) {
        box.exclamation(QStringLiteral("檔案 '") + path + QStringLiteral("' 無法刪除。"), box.defaultTitle());
    }
    return false;
}

} // namespace kestrova
