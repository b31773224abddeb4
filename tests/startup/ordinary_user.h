#pragma once

#include <QFile>
#include <QString>

#include <sys/fsuid.h>
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

// Gives path the permissions for as long as the object lives, then the ones it had.
class Permissions {
public:
    Permissions(QString path, QFile::Permissions permissions)
        : m_path(std::move(path)), m_before(QFile::permissions(m_path)) {
        QFile::setPermissions(m_path, permissions);
    }
    ~Permissions() { QFile::setPermissions(m_path, m_before); }
    Permissions(const Permissions&) = delete;
    Permissions& operator=(const Permissions&) = delete;

private:
    QString m_path;
    QFile::Permissions m_before;
};

// rwxrwxrwx, rwxr-xr-x, r-xr-xr-x, rw-rw-rw- and r--r--r--: a folder anyone may change, one others may
// enter, one nobody may change, a file anyone may write and one nobody may.
inline constexpr QFile::Permissions kWritableFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                      QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
inline constexpr QFile::Permissions kOpenFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                  QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                  QFile::ExeOther;
inline constexpr QFile::Permissions kReadOnlyFolder =
    QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
inline constexpr QFile::Permissions kWritableFile =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
inline constexpr QFile::Permissions kReadOnlyFile = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;

} // namespace kestrova::test
