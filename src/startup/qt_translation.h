#pragma once

#include <QString>
#include <QTranslator>

// Qt's own texts in Traditional Chinese: the standard buttons of the message boxes, the save dialog, the
// print dialog and the print preview, which would otherwise read in English in a Chinese console. The
// translation is Qt's catalogue qtbase_zh_TW; it is in effect while this object lives.
namespace kestrova {

class QtTranslation {
public:
    // Loads qtbase_zh_TW.qm from folder (by default Qt's translations folder) and installs it in the running
    // application. A missing or unreadable catalogue is logged and leaves Qt's texts in English.
    explicit QtTranslation(const QString& folder = defaultFolder());
    ~QtTranslation();
    QtTranslation(const QtTranslation&) = delete;
    QtTranslation& operator=(const QtTranslation&) = delete;

    bool installed() const { return m_installed; }

    static QString defaultFolder();

private:
    QTranslator m_translator;
    bool m_installed = false;
};

} // namespace kestrova
