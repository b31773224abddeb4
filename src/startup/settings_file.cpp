#include "startup/settings_file.h"

#include "startup/ini_text.h"
#include "startup/whole_file.h"

#include <QDir>
#include <QFile>
#include <optional>
#include <utility>

namespace kestrova {

namespace {

// The file's bytes: empty when it does not exist, nothing when it exists but cannot be read.
std::optional<QByteArray> readAllBytes(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return QByteArray();
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace

SettingsFile::SettingsFile(QString programFolder, CodePage codePage)
    : m_filePath(QDir(programFolder).filePath(QStringLiteral("Kestrova.ini"))), m_codePage(std::move(codePage)) {}

QString SettingsFile::GetIniString(const QString& section, const QString& key) const {
    const std::optional<QByteArray> text = readAllBytes(m_filePath);
    if (!text) {
        return {};
    }
    return readIniValue(*text, section, key, m_codePage);
}

bool SettingsFile::WriteIniString(const QString& section, const QString& key, const QString& value) const {
    const std::optional<QByteArray> text = readAllBytes(m_filePath);
    if (!text) {
        return false;
    }
    const std::optional<QByteArray> updated = writeIniValue(*text, section, key, value, m_codePage);
    if (!updated) {
        return false;
    }
    QString error;
    return WriteWholeFile(m_filePath, *updated, error);
}

} // namespace kestrova
