#pragma once

#include "startup/version.h"

#include <QString>

namespace kestrova {

// The message boxes the console shows, behind an interface so that its logic runs in tests with a fake
// that records each box and answers the questions. Boxes shown with the default caption carry
// defaultTitle(), the application's title, which start-up extends with the version.
class MessageBox {
public:
    virtual ~MessageBox() = default;

    const QString& defaultTitle() const { return m_defaultTitle; }
    void setDefaultTitle(const QString& title) { m_defaultTitle = title; }

    // A plain box with only an OK button and no icon.
    virtual void notice(const QString& text, const QString& title) = 0;
    // A stop sign: an error after which the program or the operation ends.
    virtual void critical(const QString& text, const QString& title) = 0;
    // A warning that the operator acknowledges with OK.
    virtual void exclamation(const QString& text, const QString& title) = 0;
    // A question answered Yes (true) or No (false).
    virtual bool question(const QString& text, const QString& title) = 0;

private:
    QString m_defaultTitle = QString::fromLatin1(kAppTitle);
};

} // namespace kestrova
