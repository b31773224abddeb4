#pragma once

#include "startup/program_end.h"

#include <QLockFile>
#include <QString>

// Keeps the program to one running instance per program folder: the first start holds the lock file
// Kestrova.lock in the folder for as long as it runs, and a later start finds it held.
namespace kestrova {

class SingleInstance {
public:
    // Takes the lock of programFolder at once, if no running instance holds it.
    explicit SingleInstance(const QString& programFolder);

    // True when another running instance holds the folder's lock. A lock file left behind by an instance
    // that has ended does not count. A lock file that cannot be made at all (a folder that cannot be
    // written) does not count either: the start goes on without the lock, rather than ending silently.
    bool PrevInstance() const { return m_prevInstance; }

    // Gives the lock up and removes its file.
    void release() { m_lock.unlock(); }

private:
    QLockFile m_lock;
    bool m_prevInstance = false;
};

// The failure rule's end for a run that holds instance's lock: the process ends without unwinding, so
// the lock is given up first, and the next start is not taken for a second instance's.
ProgramEnd::Terminate TerminateReleasing(SingleInstance& instance);

} // namespace kestrova
