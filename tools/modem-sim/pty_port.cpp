#include "modem-sim/pty_port.h"

#include "startup/runtime_error.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace kestrova {

namespace {

QString systemError(const QString& what) {
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

PtyPort::PtyPort(const QString& folder, int port) {
    try {
        if (!QDir(folder).exists())
            throw RuntimeError(QStringLiteral("program folder %1 does not exist").arg(folder));

        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0)
            throw RuntimeError(systemError(QStringLiteral("cannot open a pseudo-terminal")));
        ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            throw RuntimeError(systemError(QStringLiteral("cannot unlock the pseudo-terminal")));
        char name[256];
        if (::ptsname_r(m_master, name, sizeof name) != 0)
            throw RuntimeError(systemError(QStringLiteral("cannot name the pseudo-terminal")));
        m_slavePath = QString::fromLocal8Bit(name);

        m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_slave < 0)
            throw RuntimeError(systemError(QStringLiteral("cannot open %1").arg(m_slavePath)));
        // Raw, so CR and LF pass untouched in both directions and nothing is echoed by the line itself.
        termios settings{};
        if (::tcgetattr(m_slave, &settings) != 0)
            throw RuntimeError(systemError(QStringLiteral("cannot read the settings of %1").arg(m_slavePath)));
        ::cfmakeraw(&settings);
        if (::tcsetattr(m_slave, TCSANOW, &settings) != 0)
            throw RuntimeError(systemError(QStringLiteral("cannot set %1 to raw mode").arg(m_slavePath)));

        m_watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_watch >= 0 && ::inotify_add_watch(m_watch, name, IN_OPEN | IN_CLOSE) < 0)
            closeFd(m_watch);

        const QString devFolder = QDir(folder).filePath(QStringLiteral("dev"));
        if (!QDir().mkpath(devFolder))
            throw RuntimeError(QStringLiteral("cannot create the folder %1").arg(devFolder));
        const QString link = QDir(devFolder).filePath(QStringLiteral("com%1").arg(port));
        const QByteArray linkName = QFile::encodeName(link);
        struct stat existing {};
        if (::lstat(linkName.constData(), &existing) == 0) {
            if (!S_ISLNK(existing.st_mode))
                throw RuntimeError(QStringLiteral("%1 exists and is not a link; not replacing it").arg(link));
            if (::unlink(linkName.constData()) != 0)
                throw RuntimeError(systemError(QStringLiteral("cannot remove the stale link %1").arg(link)));
        }
        if (::symlink(name, linkName.constData()) != 0)
            throw RuntimeError(systemError(QStringLiteral("cannot link %1 to %2").arg(link, m_slavePath)));
        m_linkPath = link;
    } catch (...) {
        closeFd(m_watch);
        closeFd(m_slave);
        closeFd(m_master);
        throw;
    }
}

PtyPort::~PtyPort() {
    removeLink();
    closeFd(m_watch);
    closeFd(m_slave);
    closeFd(m_master);
}

void PtyPort::removeLink() {
    if (m_linkPath.isEmpty())
        return;
    // Only our own link: another simulator may have replaced it meanwhile.
    const QByteArray linkName = QFile::encodeName(m_linkPath);
    char target[256];
    const ssize_t length = ::readlink(linkName.constData(), target, sizeof target - 1);
    if (length >= 0 && QFile::decodeName(QByteArray(target, length)) == m_slavePath)
        ::unlink(linkName.constData());
    m_linkPath.clear();
}

QByteArray PtyPort::read() {
    QByteArray received;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            received.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK)
            return received;
        throw RuntimeError(systemError(QStringLiteral("cannot read from %1").arg(m_slavePath)));
    }
}

qsizetype PtyPort::write(QByteArrayView bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.data() + written, bytes.size() - written);
        if (n > 0) {
            written += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return written;
        throw RuntimeError(systemError(QStringLiteral("cannot write to %1").arg(m_slavePath)));
    }
    return written;
}

PtyPort::LineEvents PtyPort::takeLineEvents() {
    LineEvents events;
    if (m_watch < 0) {
        events.IsOpen = true; // without notices the line counts as always open
        return events;
    }
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_watch, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t offset = 0; offset < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            if (event->mask & IN_OPEN) {
                ++m_openers;
            } else if ((event->mask & IN_CLOSE) && m_openers > 0) {
                if (--m_openers == 0) {
                    events.WasClosed = true;
                    ::tcflush(m_slave, TCIFLUSH);
                }
            }
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    events.IsOpen = m_openers > 0;
    return events;
}

} // namespace kestrova
