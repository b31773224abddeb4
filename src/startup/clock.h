#pragma once

#include <QDateTime>

// The time of day and the blocking waits of the console, behind an interface so that the call cycle runs
// in tests on a fake clock that moves on only when told.
namespace kestrova {

class Clock {
public:
    virtual ~Clock() = default;

    // The PC's local date and time.
    virtual QDateTime now() const = 0;

    // Blocks the calling thread for ms milliseconds. No event of the thread runs meanwhile: data that
    // arrives waits in its device's buffer, and timers fire late.
    virtual void sleep(int ms) = 0;
};

// The real clock: the system time and QThread::msleep.
class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    void sleep(int ms) override;
};

} // namespace kestrova
