#pragma once

#include <QColor>
#include <QStringView>

#include <optional>

// Colours of the map style: the CSS forms that MapLibre styles use, and their interpolation.
namespace kestrova {

struct StyleColor {
    double r = 0; // 0..1, not premultiplied
    double g = 0;
    double b = 0;
    double a = 1;

    // The colour with its alpha multiplied by an opacity 0..1.
    QColor toQColor(double opacity = 1.0) const;
    friend bool operator==(const StyleColor&, const StyleColor&) = default;
};

// #rgb, #rgba, #rrggbb, #rrggbbaa (alpha last), rgb(), rgba() with alpha 0..1, hsl(), hsla() and the
// CSS colour names. Anything else gives nothing.
std::optional<StyleColor> parseStyleColor(QStringView text);

// Each channel interpolated linearly, t 0..1.
StyleColor interpolate(const StyleColor& from, const StyleColor& to, double t);

} // namespace kestrova
