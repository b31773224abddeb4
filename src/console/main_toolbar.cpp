#include "console/main_toolbar.h"

#include "console/toolbar_design.h"
#include "startup/runtime_error.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QIcon>

namespace kestrova {

MainToolbar::MainToolbar(const QString& programFolder, ToolbarActions actions, QWidget* parent)
    : QToolBar(parent), m_actions(std::move(actions)) {
    setObjectName(QStringLiteral("tblToolbar"));
    // Every button stays visible all the time: the bar cannot be moved away, floated or switched off.
    setMovable(false);
    setFloatable(false);
    toggleViewAction()->setVisible(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(32, 32));

    const QDir folder(programFolder);
    // Group buttons side by side form one group; a separator or a button of another style ends it.
    QActionGroup* group = nullptr;
    for (const ToolbarEntry& entry : kToolbarDesign) {
        if (entry.Style == ToolbarButtonStyle::Separator) {
            addSeparator();
            group = nullptr;
            continue;
        }
        QAction* action = addAction(QIcon(folder.filePath(toolbarPicturePath(entry.Image))), entry.Caption.toString());
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
    }

    connect(this, &QToolBar::actionTriggered, this,
            [this](QAction* action) { tblToolbar_ButtonClick(m_actions, action->objectName()); });
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
