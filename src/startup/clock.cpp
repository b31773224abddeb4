#include "startup/clock.h"

#include <QThread>

namespace kestrova {

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

void SystemClock::sleep(int ms) {
    if (ms > 0) {
        QThread::msleep(static_cast<unsigned long>(ms));
    }
}

} // namespace kestrova
