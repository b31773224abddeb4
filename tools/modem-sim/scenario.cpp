#include "modem-sim/scenario.h"

#include "startup/runtime_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace kestrova {

namespace {

constexpr qint64 kMaxScenarioBytes = 16 * 1024 * 1024;
constexpr int kMaxNumberLength = 40;
constexpr int kMaxPathPoints = 100000;

[[noreturn]] void fail(const QString& where, const QString& what) {
    throw RuntimeError(QStringLiteral("scenario: %1: %2").arg(where, what));
}

// Reads the keys of one JSON object, naming the object's place in every error; keys the object may
// not have are refused, so a misspelt key is not silently ignored.
class ObjectReader {
public:
    ObjectReader(const QJsonValue& value, QString where, std::initializer_list<const char*> allowed)
        : m_where(std::move(where)) {
        if (!value.isObject())
            fail(m_where, QStringLiteral("must be an object"));
        m_object = value.toObject();
        QSet<QString> known;
        for (const char* key : allowed)
            known.insert(QString::fromLatin1(key));
        for (auto it = m_object.begin(); it != m_object.end(); ++it) {
            if (!known.contains(it.key()))
                fail(m_where, QStringLiteral("unknown key \"%1\"").arg(it.key()));
        }
    }

    bool has(const char* key) const { return m_object.contains(QLatin1String(key)); }
    QJsonValue value(const char* key) const { return m_object.value(QLatin1String(key)); }
    QString where(const char* key) const {
        return m_where.isEmpty() ? QString::fromLatin1(key) : m_where + u'.' + QString::fromLatin1(key);
    }

    double number(const char* key, double min, double max, double fallback) const {
        if (!has(key))
            return fallback;
        return numberIn(value(key), where(key), min, max);
    }

    int integer(const char* key, int min, int max, int fallback) const {
        if (!has(key))
            return fallback;
        return integerIn(value(key), where(key), min, max);
    }

    bool boolean(const char* key, bool fallback) const {
        if (!has(key))
            return fallback;
        if (!value(key).isBool())
            fail(where(key), QStringLiteral("must be true or false"));
        return value(key).toBool();
    }

    static double numberIn(const QJsonValue& v, const QString& where, double min, double max) {
        const double d = v.isDouble() ? v.toDouble() : std::nan("");
        if (!std::isfinite(d) || d < min || d > max)
            fail(where, QStringLiteral("must be a number from %1 to %2").arg(min).arg(max));
        return d;
    }

    static int integerIn(const QJsonValue& v, const QString& where, int min, int max) {
        const double d = v.isDouble() ? v.toDouble() : std::nan("");
        if (!std::isfinite(d) || d != std::floor(d) || d < min || d > max)
            fail(where, QStringLiteral("must be a whole number from %1 to %2").arg(min).arg(max));
        return static_cast<int>(d);
    }

private:
    QJsonObject m_object;
    QString m_where;
};

QString dialNumber(const ObjectReader& reader, const QString& where) {
    if (!reader.has("number"))
        fail(where, QStringLiteral("missing key \"number\""));
    const QJsonValue v = reader.value("number");
    const QString text = v.toString();
    const bool dialable = std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || c == u'+' || c == u'*' || c == u'#';
    });
    if (!v.isString() || text.isEmpty() || text.size() > kMaxNumberLength || !dialable)
        fail(reader.where("number"),
             QStringLiteral("must be a text of 1 to %1 characters from 0-9, +, * and #").arg(kMaxNumberLength));
    return text;
}

std::vector<GeoPoint> path(const ObjectReader& reader) {
    std::vector<GeoPoint> points;
    if (!reader.has("path"))
        return points;
    const QString where = reader.where("path");
    const QJsonValue v = reader.value("path");
    if (!v.isArray() || v.toArray().isEmpty() || v.toArray().size() > kMaxPathPoints)
        fail(where, QStringLiteral("must be a list of 1 to %1 points [longitude, latitude]").arg(kMaxPathPoints));
    const QJsonArray array = v.toArray();
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QString pointWhere = QStringLiteral("%1[%2]").arg(where).arg(i);
        const QJsonArray pair = array.at(i).toArray();
        if (!array.at(i).isArray() || pair.size() != 2)
            fail(pointWhere, QStringLiteral("must be a point [longitude, latitude]"));
        points.push_back({ObjectReader::numberIn(pair.at(0), pointWhere + QStringLiteral("[0]"), -180, 180),
                          ObjectReader::numberIn(pair.at(1), pointWhere + QStringLiteral("[1]"), -90, 90)});
    }
    return points;
}

TerminalScenario terminal(const QJsonValue& value, const QString& where) {
    const ObjectReader reader(value, where,
                              {"number", "answers", "answerDelay", "reportInterval", "path", "speed", "heading",
                               "keyDigits", "realTime", "status", "noDialtoneOnCall", "dropLine"});
    TerminalScenario t;
    t.Number = dialNumber(reader, where);
    t.Answers = reader.boolean("answers", t.Answers);
    t.AnswerDelay = reader.number("answerDelay", 0, 3600, t.AnswerDelay);
    t.ReportInterval = reader.number("reportInterval", 0.1, 3600, t.ReportInterval);
    t.Path = path(reader);
    // The report's speed field holds at most 999.9 knots.
    t.Speed = reader.number("speed", 0, 1800, t.Speed);
    if (reader.has("heading"))
        t.Heading = reader.number("heading", 0, 360, 0);
    if (reader.has("keyDigits")) {
        const QJsonArray keys = reader.value("keyDigits").toArray();
        if (!reader.value("keyDigits").isArray() || keys.size() != 3)
            fail(reader.where("keyDigits"), QStringLiteral("must be three digits [k6, k12, k21]"));
        std::array<int, 3> digits{};
        for (int i = 0; i < 3; ++i)
            digits[i] = ObjectReader::integerIn(keys.at(i),
                                                QStringLiteral("%1[%2]").arg(reader.where("keyDigits")).arg(i), 0, 9);
        t.KeyDigits = digits;
    }
    t.RealTime = reader.boolean("realTime", t.RealTime);
    if (reader.has("status"))
        t.Status = reader.integer("status", 0, 9, 0);
    t.NoDialtoneOnCall = reader.integer("noDialtoneOnCall", 0, 1000000, 0);
    if (reader.has("dropLine")) {
        const ObjectReader drop(reader.value("dropLine"), reader.where("dropLine"), {"call", "at"});
        t.DropLineOnCall = drop.integer("call", 1, 1000000, 1);
        const QString at = drop.value("at").toString();
        if (at == QLatin1String("report"))
            t.DropLineAt = LineDrop::MidReport;
        else if (at != QLatin1String("dial"))
            fail(drop.where("at"), QStringLiteral("must be \"dial\" or \"report\""));
    }
    return t;
}

} // namespace

ModemScenario ParseScenario(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw RuntimeError(
            QStringLiteral("scenario: not valid JSON: %1 at offset %2").arg(error.errorString()).arg(error.offset));
    if (!document.isObject())
        throw RuntimeError(QStringLiteral("scenario: the file must hold one JSON object"));

    const ObjectReader top(
        document.object(), QString(),
        {"port", "record", "echo", "registration", "signal", "noCarrierAfter", "restartDuration", "terminals"});
    ModemScenario s;
    if (!top.has("port"))
        fail(QStringLiteral("port"), QStringLiteral("missing key (the N of dev/comN)"));
    s.Port = top.integer("port", 1, 255, 1);
    if (top.has("record")) {
        if (!top.value("record").isString() || top.value("record").toString().isEmpty())
            fail(top.where("record"), QStringLiteral("must be a file name"));
        s.RecordFile = top.value("record").toString();
    }
    s.Echo = top.boolean("echo", s.Echo);
    if (top.has("registration")) {
        const ObjectReader reg(top.value("registration"), top.where("registration"), {"n", "stat"});
        s.RegistrationMode = reg.integer("n", 0, 2, s.RegistrationMode);
        s.RegistrationState = reg.integer("stat", 0, 5, s.RegistrationState);
    }
    if (top.has("signal")) {
        const ObjectReader sig(top.value("signal"), top.where("signal"), {"rssi", "ber"});
        s.Rssi = sig.integer("rssi", 0, 99, s.Rssi);
        if (s.Rssi > 31 && s.Rssi != 99)
            fail(sig.where("rssi"), QStringLiteral("must be 0 to 31, or 99 (not known)"));
        s.Ber = sig.integer("ber", 0, 99, s.Ber);
        if (s.Ber > 7 && s.Ber != 99)
            fail(sig.where("ber"), QStringLiteral("must be 0 to 7, or 99 (not known)"));
    }
    s.NoCarrierAfter = top.number("noCarrierAfter", 0, 3600, s.NoCarrierAfter);
    s.RestartDuration = top.number("restartDuration", 0, 600, s.RestartDuration);

    if (!top.has("terminals") || !top.value("terminals").isArray())
        fail(QStringLiteral("terminals"), QStringLiteral("must be a list of terminals"));
    const QJsonArray terminals = top.value("terminals").toArray();
    for (qsizetype i = 0; i < terminals.size(); ++i) {
        const QString where = QStringLiteral("terminals[%1]").arg(i);
        TerminalScenario t = terminal(terminals.at(i), where);
        for (std::size_t j = 0; j < s.Terminals.size(); ++j) {
            if (s.Terminals[j].Number == t.Number)
                fail(where + QStringLiteral(".number"),
                     QStringLiteral("\"%1\" is already used by terminals[%2]").arg(t.Number).arg(j));
        }
        s.Terminals.push_back(std::move(t));
    }
    return s;
}

ModemScenario LoadScenarioFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(QStringLiteral("cannot read scenario file %1: %2").arg(path, file.errorString()));
    if (file.size() > kMaxScenarioBytes)
        throw RuntimeError(QStringLiteral("scenario file %1 is larger than %2 bytes").arg(path).arg(kMaxScenarioBytes));
    const QByteArray json = file.read(kMaxScenarioBytes + 1);
    ModemScenario scenario;
    try {
        scenario = ParseScenario(json);
    } catch (const RuntimeError& e) {
        throw RuntimeError(path + QStringLiteral(": ") + e.text());
    }
    if (!scenario.RecordFile.isEmpty())
        scenario.RecordFile = QDir(QFileInfo(path).absolutePath()).filePath(scenario.RecordFile);
    return scenario;
}

} // namespace kestrova
