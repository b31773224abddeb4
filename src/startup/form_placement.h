#pragma once

#include "startup/settings_file.h"

#include <QString>
#include <QStringView>
#include <optional>

// Remembering where a window stood: its state, position and size kept as one settings value, written
// at close and applied when the window opens again.
namespace kestrova {

// What placing a window needs of it: position and size in twips, and its state (0 normal,
// 1 minimised, 2 maximised). Adapters for real windows may throw when a step is not possible.
class PlacementWindow {
public:
    virtual ~PlacementWindow() = default;
    virtual float left() const = 0;
    virtual float top() const = 0;
    virtual float width() const = 0;
    virtual float height() const = 0;
    virtual int windowState() const = 0;
    virtual void move(float left, float top, float width, float height) = 0;
    virtual void setWindowState(int state) = 0;
};

// The stored placement "state,Left,Top,Width,Height," with each field read by its leading number.
struct FormPlacement {
    float state = 0;
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// The five fields of a stored placement text; nothing when it has fewer than five comma-terminated
// fields or a field does not fit a Single.
std::optional<FormPlacement> parseFormPlacement(QStringView text);

// Applies the placement stored under key in section. Without one, a positive defaultWidth sizes the
// window (keeping its position) and otherwise nothing changes. Every error is ignored.
void RestoreFormPlacement(PlacementWindow& frm, const SettingsFile& settings, const QString& section,
                          const QString& key, float defaultWidth, float defaultHeight);

// Stores frm's placement under key in section. A maximised window keeps the stored normal geometry; a
// minimised one stores nothing. Every error is ignored.
void SaveFormPlacement(const PlacementWindow& frm, const SettingsFile& settings, const QString& section,
                       const QString& key);

} // namespace kestrova
