#pragma once

#include <QAccessibleWidget>

class QToolButton;

// What a screen reader (AT-SPI) sees of a tool-bar button, and what its press and toggle do: a click of
// the button, as the mouse gives it. Qt's own toggle flips a check or group button's pressed state
// without a click, so the button's action never ran and the console's mode stayed behind.
namespace kestrova {

class ToolbarButtonAccessible final : public QAccessibleWidget {
public:
    explicit ToolbarButtonAccessible(QToolButton* button);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

    // Makes the button answer a screen reader through this interface from now on.
    static void install(QToolButton* button);

private:
    QToolButton* button() const;
};

} // namespace kestrova
