#include "startup/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>

#include <unistd.h>

namespace kestrova {

namespace {

Q_LOGGING_CATEGORY(lcFiles, "kestrova.files")

// QSaveFile names its file beside the target with six random letters of both cases.
bool isLeftoverSuffix(QStringView suffix) {
    constexpr qsizetype kRandomLetters = 6;
    if (suffix.size() != kRandomLetters) {
        return false;
    }
    bool upper = false;
    bool lower = false;
    for (const QChar c : suffix) {
        if (c >= u'A' && c <= u'Z') {
            upper = true;
        } else if (c >= u'a' && c <= u'z') {
            lower = true;
        } else {
            return false;
        }
    }
    return upper && lower;
}

} // namespace

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString& error, InPlaceWrite inPlace) {
    QSaveFile file(path);
    // A folder that is not writable gets no temporary file, but the file itself may still be.
    file.setDirectWriteFallback(inPlace == InPlaceWrite::Allowed);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

void RemoveWriteLeftovers(const QString& path) {
    const QFileInfo target(path);
    const QString prefix = target.fileName() + u'.';
    const QDir folder = target.absoluteDir();
    const QFileInfoList candidates =
        folder.entryInfoList({prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& candidate : candidates) {
        if (!candidate.fileName().startsWith(prefix) ||
            !isLeftoverSuffix(QStringView(candidate.fileName()).sliced(prefix.size())) ||
            candidate.ownerId() != ::geteuid()) {
            continue;
        }
        QFile leftover(candidate.filePath());
        // Only clutter: a leftover that cannot go is noted and the start goes on.
        if (!leftover.remove()) {
            qCWarning(lcFiles) << "cannot remove" << candidate.filePath() << ":" << leftover.errorString();
        }
    }
}

} // namespace kestrova
