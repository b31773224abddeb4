#pragma once

#include <QFile>
#include <QString>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

// File permissions as an ordinary user meets them, also where the tests run as root, for whom every
// permission check passes: while an OrdinaryUser lives, a root test thread reaches files as the user
// nobody (its file-system identity only, so nothing else of the process changes). Not root: nothing
// changes.
namespace kestrova::test {

class OrdinaryUser {
public:
    OrdinaryUser() {
        if (::geteuid() != 0) {
            m_active = true;
            return;
        }
        ::setfsuid(kNobody);
        // An invalid id changes nothing and returns the one in force.
        m_switched = static_cast<uid_t>(::setfsuid(static_cast<uid_t>(-1))) == kNobody;
        m_active = m_switched;
    }
    ~OrdinaryUser() {
        if (m_switched) {
            ::setfsuid(0);
        }
    }
    OrdinaryUser(const OrdinaryUser&) = delete;
    OrdinaryUser& operator=(const OrdinaryUser&) = delete;

    // False when root could not take the other identity: the test cannot show permissions then.
    bool active() const { return m_active; }

private:
    static constexpr uid_t kNobody = 65534;
    bool m_switched = false;
    bool m_active = false;
};

// chmod: 0755 a folder others may enter, 0555 one nobody may change, 0666 a file anyone may write.
inline void SetMode(const QString& path, mode_t mode) {
    ::chmod(QFile::encodeName(path).constData(), mode);
}

// Gives path the mode for as long as the object lives, then the one it had.
class Permissions {
public:
    Permissions(QString path, mode_t mode) : m_path(std::move(path)) {
        struct stat info {};
        ::stat(QFile::encodeName(m_path).constData(), &info);
        m_before = info.st_mode & 07777;
        SetMode(m_path, mode);
    }
    ~Permissions() { SetMode(m_path, m_before); }
    Permissions(const Permissions&) = delete;
    Permissions& operator=(const Permissions&) = delete;

private:
    QString m_path;
    mode_t m_before = 0;
};

} // namespace kestrova::test
