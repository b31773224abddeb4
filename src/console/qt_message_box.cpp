#include "console/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace kestrova {

QWidget* QtMessageBox::boxOwner() const {
    // A box asked for by an open dialog stands over that dialog.
    QWidget* dialog = QApplication::activeModalWidget();
    return dialog != nullptr ? dialog : m_owner;
}

void QtMessageBox::notice(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, boxOwner());
    box.exec();
}

void QtMessageBox::critical(const QString& text, const QString& title) {
    QMessageBox::critical(boxOwner(), title, text);
}

void QtMessageBox::exclamation(const QString& text, const QString& title) {
    QMessageBox::warning(boxOwner(), title, text);
}

bool QtMessageBox::question(const QString& text, const QString& title) {
    return QMessageBox::question(boxOwner(), title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace kestrova
