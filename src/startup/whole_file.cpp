#include "startup/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kestrova {

namespace {

Q_LOGGING_CATEGORY(lcFiles, "kestrova.files")

// The write's own files are named after the file they replace, then this marker and six random letters or
// digits: a name that no person gives a file, so that the removal of leftovers takes nothing of theirs.
const QString kTemporaryMarker = QStringLiteral(".kestrova-tmp-");
constexpr qsizetype kRandomLength = 6;
constexpr QLatin1StringView kRandomCharacters("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
constexpr int kNameAttempts = 100;
constexpr int kMaxLinkDepth = 40;

QString systemErrorText(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// An open file, closed when it goes unless closed before.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int get() const { return m_fd; }
    // A write that failed late (a full disk on a network file system) shows at the close.
    bool close() { return ::close(std::exchange(m_fd, -1)) == 0; }

private:
    int m_fd;
};

// The file that a write of path replaces: a link is followed to the file it names, so the link stays.
QString targetOf(const QString& path) {
    QFileInfo info(path);
    for (int depth = 0; depth < kMaxLinkDepth && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? QFileInfo(path).absoluteFilePath() : info.absoluteFilePath();
}

QString temporaryName(const QString& target) {
    QString name = target + kTemporaryMarker;
    for (qsizetype i = 0; i < kRandomLength; ++i)
        name += kRandomCharacters[QRandomGenerator::global()->bounded(kRandomCharacters.size())];
    return name;
}

bool isRandomPart(QStringView text) {
    return text.size() == kRandomLength &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return kRandomCharacters.contains(c); });
}

// Makes a file of a temporary name beside target through make (false with errno when it could not), trying
// names until one is free. The name, or "" with errno set.
template <typename Make> QString claimTemporaryName(const QString& target, Make make) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QString name = temporaryName(target);
        if (make(QFile::encodeName(name)))
            return name;
        if (errno != EEXIST)
            return {};
    }
    return {};
}

// The new file for the bytes, beside target: unnamed where the file system allows it, so that a killed run
// leaves nothing, else under a temporary name (name). Locked while it is open, so that no removal of
// leftovers takes it. -1 with errno when the folder lets no file be made.
int createBeside(const QString& target, mode_t mode, QString& name) {
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        name = claimTemporaryName(target, [&](const QByteArray& candidate) {
            fd = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            return fd >= 0;
        });
    }
    // Without the lock the file is only unguarded against a removal by another instance writing here too.
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
        qCWarning(lcFiles) << "cannot lock the new file for" << target << ":" << systemErrorText(errno);
    return fd;
}

// An unnamed file gets a temporary name beside target to be renamed over it, as a link replaces no file.
QString linkBeside(int fd, const QString& target) {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    return claimTemporaryName(target, [&](const QByteArray& candidate) {
        return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, candidate.constData(), AT_SYMLINK_FOLLOW) == 0;
    });
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        next += written;
        left -= written;
    }
    return true;
}

// On the disk before the file counts as written; a pipe or a device has nothing to sync.
bool synced(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL;
}

// Where the folder lets no file be made: a failure here can leave a part of the file.
bool writeInPlace(const QByteArray& target, const QByteArray& bytes, QString& error) {
    Descriptor file(::open(target.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!file.isOpen() || !writeAll(file.get(), bytes) || !synced(file.get()) || !file.close()) {
        error = systemErrorText(errno);
        return false;
    }
    return true;
}

// A leftover goes only when it is this user's regular file and no write holds it; one that cannot go is
// only clutter, noted, and the caller goes on.
void removeLeftover(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const Descriptor file(::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!file.isOpen() || ::fstat(file.get(), &info) != 0) {
        qCWarning(lcFiles) << "cannot look at" << path << ":" << systemErrorText(errno);
        return;
    }
    if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
        return;
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return;
    if (::unlink(name.constData()) != 0)
        qCWarning(lcFiles) << "cannot remove" << path << ":" << systemErrorText(errno);
}

} // namespace

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString& error, InPlaceWrite inPlace) {
    const QString target = targetOf(path);
    const QByteArray targetName = QFile::encodeName(target);
    struct stat existing {};
    const bool exists = ::stat(targetName.constData(), &existing) == 0;
    if (exists && ::faccessat(AT_FDCWD, targetName.constData(), W_OK, AT_EACCESS) != 0) {
        error = systemErrorText(errno);
        return false;
    }
    QString name;
    // Until it takes the old file's place, the new one is for this user alone.
    Descriptor file(createBeside(target, exists ? 0600 : 0666, name));
    if (!file.isOpen()) {
        if ((errno == EACCES || errno == EPERM) && inPlace == InPlaceWrite::Allowed)
            return writeInPlace(targetName, bytes, error);
        error = systemErrorText(errno);
        return false;
    }
    const auto fail = [&] {
        error = systemErrorText(errno);
        if (!name.isEmpty())
            ::unlink(QFile::encodeName(name).constData());
        return false;
    };
    if (!writeAll(file.get(), bytes) || (exists && ::fchmod(file.get(), existing.st_mode & 0777) != 0) ||
        !synced(file.get()))
        return fail();
    if (name.isEmpty() && (name = linkBeside(file.get(), target)).isEmpty())
        return fail();
    if (::rename(QFile::encodeName(name).constData(), targetName.constData()) != 0)
        return fail();
    // Renamed: the file is in place, but a close that fails says its bytes may not be.
    if (!file.close()) {
        error = systemErrorText(errno);
        return false;
    }
    return true;
}

void RemoveWriteLeftovers(const QString& path) {
    const QFileInfo target(targetOf(path));
    const QString prefix = target.fileName() + kTemporaryMarker;
    const QDir folder = target.absoluteDir();
    // Names compared here, not by a name filter, where brackets in the file's name would be wildcards.
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Unsorted);
    for (const QString& name : names) {
        if (name.startsWith(prefix) && isRandomPart(QStringView(name).sliced(prefix.size())))
            removeLeftover(folder.filePath(name));
    }
}

} // namespace kestrova
