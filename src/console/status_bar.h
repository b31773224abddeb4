#pragma once

#include <QStatusBar>
#include <QString>
#include <array>

class QLabel;

// The main window's status bar stbStatusBar with its four text panels: panel 1 the vehicle being
// called or the last call's result, panel 2 the countdown or the call time, panel 3 the modem's
// network registration, panel 4 the signal bars.
namespace kestrova {

inline constexpr int kStatusPanelCount = 4;

// The texts of the status-bar panels, numbered 1 to 4; another number is a fault of the caller and throws.
class StatusBarPanels {
public:
    virtual ~StatusBarPanels() = default;
    virtual QString panelText(int panel) const = 0;
    virtual void setPanelText(int panel, const QString& text) = 0;
};

class MainStatusBar final : public QStatusBar, public StatusBarPanels {
    Q_OBJECT

public:
    explicit MainStatusBar(QWidget* parent = nullptr);

    QString panelText(int panel) const override;
    void setPanelText(int panel, const QString& text) override;

private:
    QLabel* panelLabel(int panel) const;

    std::array<QLabel*, kStatusPanelCount> m_panels{};
};

} // namespace kestrova
