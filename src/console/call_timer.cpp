#include "console/call_timer.h"

#include <utility>

namespace kestrova {

namespace {

constexpr int kCallTimerInterval = 1000;

} // namespace

QtCallTimer::QtCallTimer(const QString& objectName, std::function<void()> onTick, QObject* parent)
    : QObject(parent), m_onTick(std::move(onTick)) {
    setObjectName(objectName);
    m_timer.setInterval(kCallTimerInterval);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_onTick) {
            m_onTick();
        }
    });
}

void QtCallTimer::setEnabled(bool enabled) {
    if (enabled && !m_timer.isActive()) {
        m_timer.start();
    } else if (!enabled) {
        m_timer.stop();
    }
}

} // namespace kestrova
