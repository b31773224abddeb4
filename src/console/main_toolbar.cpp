#include "console/main_toolbar.h"

#include "console/toolbar_button_accessible.h"
#include "console/toolbar_button_rows.h"
#include "console/toolbar_design.h"
#include "startup/runtime_error.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QIcon>
#include <QToolButton>

namespace kestrova {

MainToolbar::MainToolbar(const QString& programFolder, ToolbarActions actions, QWidget* parent)
    : QToolBar(parent), m_actions(std::move(actions)) {
    setObjectName(QStringLiteral("tblToolbar"));
    // Every button stays visible all the time: the bar cannot be moved away, floated or switched off.
    setMovable(false);
    setFloatable(false);
    toggleViewAction()->setVisible(false);
    // The bar's own layout keeps one row and moves what does not fit into an overflow menu; the buttons
    // stand in rows of their own instead, its one item.
    m_rows = new ToolbarButtonRows(QSize(32, 32), Qt::ToolButtonTextUnderIcon, this);
    m_rows->setObjectName(QStringLiteral("tblToolbarButtons"));
    addWidget(m_rows);

    const QDir folder(programFolder);
    // Group buttons side by side form one group; a separator or a button of another style ends it.
    QActionGroup* group = nullptr;
    for (const ToolbarEntry& entry : kToolbarDesign) {
        if (entry.Style == ToolbarButtonStyle::Separator) {
            auto* separator = new QAction(this);
            separator->setSeparator(true);
            m_rows->addAction(separator);
            group = nullptr;
            continue;
        }
        auto* action =
            new QAction(QIcon(folder.filePath(toolbarPicturePath(entry.Image))), entry.Caption.toString(), this);
        action->setObjectName(entry.Key.toString());
        if (entry.Style == ToolbarButtonStyle::ButtonGroup) {
            if (group == nullptr) {
                group = new QActionGroup(this);
                group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
            }
            action->setCheckable(true);
            group->addAction(action);
        } else {
            group = nullptr;
            action->setCheckable(entry.Style == ToolbarButtonStyle::Check);
        }
        action->setChecked(entry.Pressed);
        action->setEnabled(entry.Enabled);
        m_buttons.insert(action->objectName(), action);
        m_rows->addAction(action);
        ToolbarButtonAccessible::install(static_cast<QToolButton*>(m_rows->widgetForAction(action)));
    }

    connect(m_rows, &ToolbarButtonRows::actionTriggered, this,
            [this](QAction* action) { tblToolbar_ButtonClick(m_actions, action->objectName()); });
    // The window reads the bar's height when it lays itself out; a new row count changes it at once.
    connect(m_rows, &ToolbarButtonRows::rowCountChanged, this, [this] { updateGeometry(); });
}

QAction* MainToolbar::button(const QString& key) const {
    QAction* action = m_buttons.value(key);
    if (action == nullptr)
        throw RuntimeError(QStringLiteral("The tool bar has no button with the key \"%1\"").arg(key));
    return action;
}

bool MainToolbar::isButtonEnabled(const QString& key) const {
    return button(key)->isEnabled();
}

void MainToolbar::setButtonEnabled(const QString& key, bool enabled) {
    button(key)->setEnabled(enabled);
}

void MainToolbar::setButtonCaption(const QString& key, const QString& caption) {
    button(key)->setText(caption);
    // Now rather than at the button's own layout request: the window's layout may follow at once.
    m_rows->placeButtons();
}

bool MainToolbar::isButtonPressed(const QString& key) const {
    return button(key)->isChecked();
}

void MainToolbar::setButtonPressed(const QString& key, bool pressed) {
    button(key)->setChecked(pressed);
}

QString MainToolbar::buttonCaption(const QString& key) const {
    return button(key)->text();
}

} // namespace kestrova
