#pragma once

#include "startup/code_page.h"

#include <QString>

// The settings file Kestrova.ini in the program folder. Nothing is cached: every read opens the file,
// and every write replaces it whole (WriteWholeFile), so a crash never leaves half a file where the
// folder allows it.
namespace kestrova {

class SettingsFile {
public:
    SettingsFile(QString programFolder, CodePage codePage);

    // The value of key in section, at most 255 bytes in the code page; "" when the file, the section or
    // the key is missing or the file cannot be read.
    QString GetIniString(const QString& section, const QString& key) const;

    // Stores value under key in section, creating the file and the section when needed. An empty value
    // keeps the key with nothing after "=". False when the file could not be written.
    bool WriteIniString(const QString& section, const QString& key, const QString& value) const;

    const QString& filePath() const { return m_filePath; }

private:
    QString m_filePath;
    CodePage m_codePage;
};

} // namespace kestrova
