#include "console/toolbar_button_accessible.h"

#include <QToolButton>

namespace kestrova {

ToolbarButtonAccessible::ToolbarButtonAccessible(QToolButton* button)
    : QAccessibleWidget(button, QAccessible::Button) {}

QToolButton* ToolbarButtonAccessible::button() const {
    return static_cast<QToolButton*>(widget());
}

QString ToolbarButtonAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name && button()->accessibleName().isEmpty())
        return button()->text();
    return QAccessibleWidget::text(t);
}

QAccessible::State ToolbarButtonAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = button()->isCheckable();
    s.checked = button()->isChecked();
    s.pressed = button()->isDown();
    return s;
}

QStringList ToolbarButtonAccessible::actionNames() const {
    if (!button()->isEnabled())
        return {};
    QStringList names{pressAction()};
    if (button()->isCheckable())
        names << toggleAction();
    return names;
}

void ToolbarButtonAccessible::doAction(const QString& actionName) {
    if (actionName == pressAction() || actionName == toggleAction()) {
        // A disabled button does not click; a group button that is pressed stays pressed, as with the mouse.
        button()->click();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

QStringList ToolbarButtonAccessible::keyBindingsForAction(const QString& /*actionName*/) const {
    return {};
}

void ToolbarButtonAccessible::install(QToolButton* button) {
    // The interface Qt may already have made for the button goes, so that it is not answered by two.
    if (QAccessibleInterface* previous = QAccessible::queryAccessibleInterface(button))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(previous));
    QAccessible::registerAccessibleInterface(new ToolbarButtonAccessible(button));
}

} // namespace kestrova
