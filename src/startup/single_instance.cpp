#include "startup/single_instance.h"

#include <QDir>

namespace kestrova {

SingleInstance::SingleInstance(const QString& programFolder)
    : m_lock(QDir(programFolder).absoluteFilePath(QStringLiteral("Kestrova.lock"))) {
    // The lock is held for the whole run, so it must never be judged stale by its age; one whose process
    // no longer runs is still taken over.
    m_lock.setStaleLockTime(0);
    if (!m_lock.tryLock(0)) {
        m_prevInstance = m_lock.error() == QLockFile::LockFailedError;
    }
}

ProgramEnd::Terminate TerminateReleasing(SingleInstance& instance) {
    return [&instance] {
        instance.release();
        ProgramEnd::terminateProcess();
    };
}

} // namespace kestrova
