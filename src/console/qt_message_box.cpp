#include "console/qt_message_box.h"

#include <QMessageBox>

namespace kestrova {

void QtMessageBox::notice(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, m_owner);
    box.exec();
}

void QtMessageBox::critical(const QString& text, const QString& title) {
    QMessageBox::critical(m_owner, title, text);
}

void QtMessageBox::exclamation(const QString& text, const QString& title) {
    QMessageBox::warning(m_owner, title, text);
}

bool QtMessageBox::question(const QString& text, const QString& title) {
    return QMessageBox::question(m_owner, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace kestrova
