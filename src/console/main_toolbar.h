#pragma once

#include "console/toolbar_actions.h"
#include "console/toolbar_buttons.h"

#include <QHash>
#include <QToolBar>

class QAction;

// The main window's tool bar tblToolbar, built from its design table: one QAction per button, named by
// its key, with the caption under the button's picture. A click runs the button's action by its key.
// Every button stays in sight at any width: the bar wraps onto further rows and grows in height.
namespace kestrova {

class ToolbarButtonRows;

class MainToolbar final : public QToolBar, public ToolBarButtonStates {
    Q_OBJECT

public:
    // The pictures are icons/ImageList1/<n>.png in programFolder; a missing one leaves its button
    // without a picture. actions can be completed later through toolbarActions().
    MainToolbar(const QString& programFolder, ToolbarActions actions, QWidget* parent = nullptr);

    ToolbarActions& toolbarActions() { return m_actions; }

    // The QAction of the button with this key; throws when there is none.
    QAction* button(const QString& key) const;
    // The buttons and separators in their rows; their actions in the design's order.
    ToolbarButtonRows* buttonRows() const { return m_rows; }

    bool isButtonEnabled(const QString& key) const override;
    void setButtonEnabled(const QString& key, bool enabled) override;
    void setButtonCaption(const QString& key, const QString& caption) override;
    bool isButtonPressed(const QString& key) const override;
    void setButtonPressed(const QString& key, bool pressed) override;
    QString buttonCaption(const QString& key) const override;

private:
    ToolbarActions m_actions;
    ToolbarButtonRows* m_rows = nullptr;
    QHash<QString, QAction*> m_buttons;
};

} // namespace kestrova
