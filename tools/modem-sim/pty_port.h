#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The pseudo-terminal that stands in for the modem's serial line: its slave side is linked as
// <program folder>/dev/com<port>, where the console opens it like any serial port. The simulator keeps
// the slave open itself, so the line survives the console closing its port between calls, and watches
// the console's opens and closes of it.
namespace kestrova {

class PtyPort {
public:
    // Opens the pseudo-terminal and makes the link (creating dev/, replacing a stale link); throws
    // RuntimeError with the system's error text. A non-link file at the link's place is left alone.
    PtyPort(const QString& folder, int port);
    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    const QString& linkPath() const { return m_linkPath; }
    const QString& slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }
    int watchFd() const { return m_watch; } // -1 when opens and closes cannot be watched

    // Everything the console has written and the simulator has not read yet (does not block).
    QByteArray read();
    // Writes what the line takes now and returns how many bytes that was (does not block).
    qsizetype write(QByteArrayView bytes);

    // What the open and close notices of the slave said since the last call.
    struct LineEvents {
        bool WasClosed = false; // the last opener closed it meanwhile; what it left unread is gone
        bool IsOpen = false;    // an opener holds it now
    };
    // Reads the notices. When the last opener closes, the bytes it left unread are thrown away, as a
    // closed serial port does, so a later opener does not find them.
    LineEvents takeLineEvents();

    // Removes the link if it still leads to this pseudo-terminal; the destructor does this too.
    void removeLink();

private:
    int m_master = -1;
    int m_slave = -1;
    int m_watch = -1;
    int m_openers = 0;
    QString m_slavePath;
    QString m_linkPath;
};

} // namespace kestrova
