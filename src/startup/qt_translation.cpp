#include "startup/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLoggingCategory>

namespace kestrova {

namespace {

Q_LOGGING_CATEGORY(lcStartup, "kestrova.startup")

const QString kCatalogue = QStringLiteral("qtbase_zh_TW");

} // namespace

QtTranslation::QtTranslation(const QString& folder) {
    if (!m_translator.load(kCatalogue, folder)) {
        qCWarning(lcStartup).noquote() << "Qt's translation" << kCatalogue << "is missing from" << folder + u';'
                                       << "Qt's own buttons and dialogs read in English";
        return;
    }
    m_installed = QCoreApplication::installTranslator(&m_translator);
    if (!m_installed) {
        qCWarning(lcStartup).noquote() << "Qt's translation" << kCatalogue << "could not be installed";
    }
}

QtTranslation::~QtTranslation() {
    if (m_installed) {
        QCoreApplication::removeTranslator(&m_translator);
    }
}

QString QtTranslation::defaultFolder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

} // namespace kestrova
