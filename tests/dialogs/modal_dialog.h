#pragma once

#include <QApplication>
#include <QDialog>
#include <QString>
#include <QTimer>
#include <functional>

// Answers the next modal dialog a test opens: as soon as the dialog named name is the topmost modal
// window (its own event loop runs), act gets it; a dialog that act leaves open is then closed, so a test
// never hangs on it.
namespace kestrova::test {

inline void WhenModalShown(const QString& name, std::function<void(QDialog&)> act) {
    auto* poll = new QTimer();
    poll->setInterval(1);
    QObject::connect(poll, &QTimer::timeout, [poll, name, act = std::move(act)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog->objectName() != name || !dialog->isVisible()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        act(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    poll->start();
}

} // namespace kestrova::test
