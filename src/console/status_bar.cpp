#include "console/status_bar.h"

#include "startup/runtime_error.h"

#include <QLabel>

namespace kestrova {

namespace {

// A panel is wide enough that an empty panel still shows its frame, and narrow enough that the four
// with the size grip fit the narrowest window the main window's layout is made for (6240 twips, 416 pixels).
constexpr int kPanelMinimumWidth = 90;

} // namespace

MainStatusBar::MainStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("stbStatusBar"));
    for (int panel = 1; panel <= kStatusPanelCount; ++panel) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("stbStatusBar_Panel%1").arg(panel));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(kPanelMinimumWidth);
        // Panel 1 holds the longest texts (a plate number after its prefix) and takes the spare width.
        addPermanentWidget(label, panel == 1 ? 1 : 0);
        m_panels[static_cast<std::size_t>(panel - 1)] = label;
    }
}

QLabel* MainStatusBar::panelLabel(int panel) const {
    if (panel < 1 || panel > kStatusPanelCount)
        throw RuntimeError(QStringLiteral("The status bar has no panel %1").arg(panel));
    return m_panels[static_cast<std::size_t>(panel - 1)];
}

QString MainStatusBar::panelText(int panel) const {
    return panelLabel(panel)->text();
}

void MainStatusBar::setPanelText(int panel, const QString& text) {
    panelLabel(panel)->setText(text);
}

} // namespace kestrova
