#include "startup/form_placement.h"

#include "startup/numeric.h"

#include <cfloat>
#include <cmath>
#include <exception>

namespace kestrova {

namespace {

constexpr int kNormal = 0;
constexpr int kMinimised = 1;
constexpr int kMaximised = 2;

// A field's leading number as a Single; nothing when it is out of a Single's range.
std::optional<float> singleField(QStringView field) {
    const double value = Val(field);
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) {
        return std::nullopt;
    }
    return static_cast<float>(value);
}

} // namespace

std::optional<FormPlacement> parseFormPlacement(QStringView text) {
    float fields[5] = {};
    qsizetype start = 0;
    for (float& field : fields) {
        const qsizetype comma = text.indexOf(QLatin1Char(','), start);
        if (comma < 0) {
            return std::nullopt;
        }
        const std::optional<float> value = singleField(text.sliced(start, comma - start));
        if (!value) {
            return std::nullopt;
        }
        field = *value;
        start = comma + 1;
    }
    return FormPlacement{fields[0], fields[1], fields[2], fields[3], fields[4]};
}

void RestoreFormPlacement(PlacementWindow& frm, const SettingsFile& settings, const QString& section,
                          const QString& key, float defaultWidth, float defaultHeight) {
    const QString stored = settings.GetIniString(section, key);
    if (stored.isEmpty()) {
        if (defaultWidth > 0) {
            try {
                frm.move(frm.left(), frm.top(), defaultWidth, defaultHeight);
            } catch (const std::exception&) {
                // A window that cannot be moved keeps its designed placement.
            }
        }
        return;
    }
    // A malformed value (never stored by the program) leaves the window as designed.
    std::optional<FormPlacement> placement;
    try {
        placement = parseFormPlacement(stored);
    } catch (const std::exception&) {
        return;
    }
    if (!placement) {
        return;
    }
    try {
        frm.setWindowState(placement->state == kMaximised ? kMaximised : kNormal);
    } catch (const std::exception&) {
        // The move below still runs.
    }
    try {
        frm.move(placement->left, placement->top, placement->width, placement->height);
    } catch (const std::exception&) {
        // The window keeps whatever was applied before.
    }
}

void SaveFormPlacement(const PlacementWindow& frm, const SettingsFile& settings, const QString& section,
                       const QString& key) {
    try {
        const QString geometry = QLatin1Char(',') + NumberText(frm.left()) + QLatin1Char(',') + NumberText(frm.top()) +
                                 QLatin1Char(',') + NumberText(frm.width()) + QLatin1Char(',') +
                                 NumberText(frm.height()) + QLatin1Char(',');
        switch (frm.windowState()) {
        case kNormal:
            settings.WriteIniString(section, key, QLatin1Char('0') + geometry);
            break;
        case kMaximised: {
            // A maximised window reports the screen's size; the normal geometry stored before is kept.
            const QString stored = settings.GetIniString(section, key);
            settings.WriteIniString(section, key, QLatin1Char('2') + (stored.size() >= 2 ? stored.mid(1) : geometry));
            break;
        }
        case kMinimised:
        default:
            break;
        }
    } catch (const std::exception&) {
        // A window whose placement cannot be read leaves the stored value as it was.
    }
}

} // namespace kestrova
