#pragma once

#include "console/main_window_state.h"
#include "console/toolbar_buttons.h"

// The tool bar as the console's pieces set it, with "Dial" held off while the console is in track query:
// no calling is made there, yet reloading the vehicle list after the records dialog would enable the
// button. Every other state passes through unchanged.
namespace kestrova {

class TrackQueryDialLock final : public ToolBarButtonStates {
public:
    TrackQueryDialLock(ToolBarButtonStates& toolBar, const MainWindowState& state);

    bool isButtonEnabled(const QString& key) const override;
    void setButtonEnabled(const QString& key, bool enabled) override;
    void setButtonCaption(const QString& key, const QString& caption) override;
    bool isButtonPressed(const QString& key) const override;
    void setButtonPressed(const QString& key, bool pressed) override;
    QString buttonCaption(const QString& key) const override;

private:
    ToolBarButtonStates& m_toolBar;
    const MainWindowState& m_state;
};

} // namespace kestrova
