#include "console/track_query_dial_lock.h"

#include "console/console_mode_tables.h"

namespace kestrova {

TrackQueryDialLock::TrackQueryDialLock(ToolBarButtonStates& toolBar, const MainWindowState& state)
    : m_toolBar(toolBar), m_state(state) {}

bool TrackQueryDialLock::isButtonEnabled(const QString& key) const {
    return m_toolBar.isButtonEnabled(key);
}

void TrackQueryDialLock::setButtonEnabled(const QString& key, bool enabled) {
    if (key == QStringLiteral("Dial") && m_state.CallMode == kCallModeTrackQuery)
        enabled = false;
    m_toolBar.setButtonEnabled(key, enabled);
}

void TrackQueryDialLock::setButtonCaption(const QString& key, const QString& caption) {
    m_toolBar.setButtonCaption(key, caption);
}

bool TrackQueryDialLock::isButtonPressed(const QString& key) const {
    return m_toolBar.isButtonPressed(key);
}

void TrackQueryDialLock::setButtonPressed(const QString& key, bool pressed) {
    m_toolBar.setButtonPressed(key, pressed);
}

QString TrackQueryDialLock::buttonCaption(const QString& key) const {
    return m_toolBar.buttonCaption(key);
}

} // namespace kestrova
