#pragma once

#include "startup/form_placement.h"

class QWidget;

// A top-level Qt window as the placement functions see it: position and size in twips (15 to a
// pixel), the position being the frame's and the size the inner area's, as Qt moves and resizes them.
namespace kestrova {

class WindowPlacement final : public PlacementWindow {
public:
    explicit WindowPlacement(QWidget& window) : m_window(window) {}

    float left() const override;
    float top() const override;
    float width() const override;
    float height() const override;
    // 0 normal, 1 minimised, 2 maximised.
    int windowState() const override;
    // Throws RuntimeError for lengths beyond the pixel range.
    void move(float left, float top, float width, float height) override;
    void setWindowState(int state) override;

private:
    QWidget& m_window;
};

} // namespace kestrova
