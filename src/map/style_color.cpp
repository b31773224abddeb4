#include "map/style_color.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <cmath>

namespace kestrova {

namespace {

std::optional<StyleColor> parseHex(QStringView digits) {
    const auto isHexDigit = [](QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'); };
    if (!std::all_of(digits.begin(), digits.end(), isHexDigit))
        return std::nullopt;
    bool ok = false;
    const uint value = digits.toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    StyleColor color;
    if (digits.size() == 3 || digits.size() == 4) {
        const int shift = digits.size() == 4 ? 4 : 0;
        auto nibble = [&](int index) { return ((value >> (shift + 4 * (2 - index))) & 0xf) * 17 / 255.0; };
        color = {nibble(0), nibble(1), nibble(2), digits.size() == 4 ? (value & 0xf) * 17 / 255.0 : 1.0};
    } else if (digits.size() == 6 || digits.size() == 8) {
        const int shift = digits.size() == 8 ? 8 : 0;
        auto byte = [&](int index) { return ((value >> (shift + 8 * (2 - index))) & 0xff) / 255.0; };
        color = {byte(0), byte(1), byte(2), digits.size() == 8 ? (value & 0xff) / 255.0 : 1.0};
    } else {
        return std::nullopt;
    }
    return color;
}

// The numbers between the parentheses of "name(...)"; a trailing "%" is remembered per number.
bool functionArguments(QStringView text, QStringView name, QList<double>& numbers, QList<bool>& percent) {
    if (!text.startsWith(name) || !text.endsWith(u')'))
        return false;
    QStringView inner = text.mid(name.size()).trimmed();
    if (!inner.startsWith(u'('))
        return false;
    inner = inner.mid(1, inner.size() - 2);
    for (QStringView part : inner.split(u',')) {
        part = part.trimmed();
        const bool isPercent = part.endsWith(u'%');
        if (isPercent)
            part.chop(1);
        bool ok = false;
        const double value = part.toDouble(&ok);
        if (!ok || !std::isfinite(value))
            return false;
        numbers.append(value);
        percent.append(isPercent);
    }
    return true;
}

double hueToChannel(double p, double q, double t) {
    if (t < 0)
        t += 1;
    if (t > 1)
        t -= 1;
    if (t < 1.0 / 6)
        return p + (q - p) * 6 * t;
    if (t < 0.5)
        return q;
    if (t < 2.0 / 3)
        return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

std::optional<StyleColor> parseFunction(QStringView text) {
    QList<double> n;
    QList<bool> percent;
    const bool withAlpha = text.startsWith(u"rgba") || text.startsWith(u"hsla");
    const QStringView name = text.left(withAlpha ? 4 : 3);
    if (!functionArguments(text, name, n, percent) || n.size() != (withAlpha ? 4 : 3))
        return std::nullopt;
    const double alpha = withAlpha ? std::clamp(percent[3] ? n[3] / 100 : n[3], 0.0, 1.0) : 1.0;
    if (name.startsWith(u"rgb")) {
        auto channel = [&](int i) { return std::clamp(percent[i] ? n[i] / 100 : n[i] / 255, 0.0, 1.0); };
        return StyleColor{channel(0), channel(1), channel(2), alpha};
    }
    if (name.startsWith(u"hsl")) {
        if (!percent[1] || !percent[2])
            return std::nullopt;
        const double h = std::fmod(std::fmod(n[0], 360.0) + 360.0, 360.0) / 360.0;
        const double s = std::clamp(n[1] / 100, 0.0, 1.0);
        const double l = std::clamp(n[2] / 100, 0.0, 1.0);
        const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
        const double p = 2 * l - q;
        return StyleColor{hueToChannel(p, q, h + 1.0 / 3), hueToChannel(p, q, h), hueToChannel(p, q, h - 1.0 / 3),
                          alpha};
    }
    return std::nullopt;
}

} // namespace

QColor StyleColor::toQColor(double opacity) const {
    return QColor::fromRgbF(float(std::clamp(r, 0.0, 1.0)), float(std::clamp(g, 0.0, 1.0)),
                            float(std::clamp(b, 0.0, 1.0)), float(std::clamp(a * opacity, 0.0, 1.0)));
}

std::optional<StyleColor> parseStyleColor(QStringView text) {
    const QString lower = text.trimmed().toString().toLower();
    if (lower.startsWith(u'#'))
        return parseHex(QStringView(lower).mid(1));
    if (lower.startsWith(u"rgb") || lower.startsWith(u"hsl"))
        return parseFunction(lower);
    if (lower.isEmpty() || !std::all_of(lower.begin(), lower.end(), [](QChar c) { return c >= u'a' && c <= u'z'; }))
        return std::nullopt;
    // Only plain names reach Qt: it reads its own forms of hex text differently from CSS.
    const QColor named = QColor::fromString(lower);
    if (!named.isValid())
        return std::nullopt;
    return StyleColor{named.redF(), named.greenF(), named.blueF(), named.alphaF()};
}

StyleColor interpolate(const StyleColor& from, const StyleColor& to, double t) {
    auto mix = [t](double a, double b) { return a + (b - a) * t; };
    return {mix(from.r, to.r), mix(from.g, to.g), mix(from.b, to.b), mix(from.a, to.a)};
}

} // namespace kestrova
