#pragma once

#include "startup/message_box.h"

class QWidget;

// The message boxes on screen: QMessageBox over the open dialog, else over the given window,
// application-modal.
namespace kestrova {

class QtMessageBox final : public MessageBox {
public:
    explicit QtMessageBox(QWidget* owner = nullptr) : m_owner(owner) {}

    void setOwner(QWidget* owner) { m_owner = owner; }

    void notice(const QString& text, const QString& title) override;
    void critical(const QString& text, const QString& title) override;
    void exclamation(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title) override;

private:
    QWidget* boxOwner() const;

    QWidget* m_owner;
};

} // namespace kestrova
