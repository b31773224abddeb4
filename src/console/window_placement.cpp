#include "console/window_placement.h"

#include "console/main_window_layout.h"
#include "startup/twips.h"

#include <QWidget>

#include <algorithm>

namespace kestrova {

namespace {

constexpr int kNormal = 0;
constexpr int kMinimised = 1;
constexpr int kMaximised = 2;

} // namespace

float WindowPlacement::left() const {
    return pixelsToTwips(m_window.pos().x());
}

float WindowPlacement::top() const {
    return pixelsToTwips(m_window.pos().y());
}

float WindowPlacement::width() const {
    return pixelsToTwips(m_window.width());
}

float WindowPlacement::height() const {
    return pixelsToTwips(m_window.height());
}

int WindowPlacement::windowState() const {
    if (m_window.isMinimized())
        return kMinimised;
    if (m_window.isMaximized())
        return kMaximised;
    return kNormal;
}

void WindowPlacement::move(float left, float top, float width, float height) {
    const QPoint position(twipsToPixels(left), twipsToPixels(top));
    // A window cannot be narrower than nothing; Qt then holds it to its minimum size.
    const QSize size(std::max(twipsToPixels(width), 0), std::max(twipsToPixels(height), 0));
    m_window.move(position);
    m_window.resize(size);
}

void WindowPlacement::setWindowState(int state) {
    Qt::WindowStates states = m_window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == kMaximised)
        states |= Qt::WindowMaximized;
    else if (state == kMinimised)
        states |= Qt::WindowMinimized;
    m_window.setWindowState(states);
}

} // namespace kestrova
