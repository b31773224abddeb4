#include "calling/modem_status.h"

#include "startup/numeric.h"

#include <QStringList>

namespace kestrova {

namespace {

constexpr double kMaximumRssi = 31;

// The field of a reply by its index; the reply gets a closing "," first, so a one-field reply still has
// an (empty) second field.
QString replyField(const QString& Reply, qsizetype index) {
    const QStringList fields = QString(Reply + u',').split(u',');
    return index < fields.size() ? fields.at(index) : QString();
}

} // namespace

bool IsRegistered(const QString& Reply) {
    const QString stat = replyField(Reply, 1);
    return stat == u"1" || stat == u"5";
}

std::optional<QString> SignalBarsText(const QString& Reply) {
    const double rssi = Val(replyField(Reply, 0));
    if (!(rssi >= 0 && rssi <= kMaximumRssi)) {
        return std::nullopt;
    }
    // The strongest band leaves out the third bar of the shorter texts.
    if (rssi < 7) {
        return QStringLiteral("▂");
    }
    if (rssi < 13) {
        return QStringLiteral("▂▃");
    }
    if (rssi < 19) {
        return QStringLiteral("▂▃▄");
    }
    if (rssi < 25) {
        return QStringLiteral("▂▃▄▅");
    }
    return QStringLiteral("▂▃▅▆▇");
}

} // namespace kestrova
