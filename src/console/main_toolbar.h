#pragma once

#include "console/toolbar_actions.h"
#include "console/toolbar_buttons.h"

#include <QHash>
#include <QList>
#include <QToolBar>

#include <vector>

class QAction;
class QToolButton;

// The main window's tool bar tblToolbar, built from its design table: one QAction per button, named by
// its key, with the caption under the button's picture. A click runs the button's action by its key.
namespace kestrova {

// The widths of buttons that are to share room pixels: all as wide as they like when that fits, else each
// narrowed towards its tight width (the least that still shows its whole caption) by the same share of
// what it can give up, and never below it. The widths add up to at most room whenever the tight ones do.
std::vector<int> FitButtonWidths(const std::vector<int>& natural, const std::vector<int>& tight, int room);

class MainToolbar final : public QToolBar, public ToolBarButtonStates {
    Q_OBJECT

public:
    // The pictures are icons/ImageList1/<n>.png in programFolder; a missing one leaves its button
    // without a picture. actions can be completed later through toolbarActions().
    MainToolbar(const QString& programFolder, ToolbarActions actions, QWidget* parent = nullptr);

    ToolbarActions& toolbarActions() { return m_actions; }

    // The QAction of the button with this key; throws when there is none.
    QAction* button(const QString& key) const;

    bool isButtonEnabled(const QString& key) const override;
    void setButtonEnabled(const QString& key, bool enabled) override;
    void setButtonCaption(const QString& key, const QString& caption) override;
    bool isButtonPressed(const QString& key) const override;
    void setButtonPressed(const QString& key, bool pressed) override;
    QString buttonCaption(const QString& key) const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Narrows the buttons so that every one of them stays on the bar at its present width.
    void fitButtons();

    ToolbarActions m_actions;
    QHash<QString, QAction*> m_buttons;
    QList<QToolButton*> m_toolButtons;
};

} // namespace kestrova
