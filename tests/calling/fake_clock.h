#pragma once

#include "startup/clock.h"

#include <QDateTime>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

// A clock for tests: it stands still until a sleep or the test moves it on. Each sleep is recorded, and
// "sleep <ms>" is added to the journal, which the test may share with a FakeSerialPort to check the order
// of writes and waits.
namespace kestrova::test {

class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2024, 3, 5), QTime(14, 3, 22)))
        : m_now(std::move(start)), m_journal(&m_ownJournal) {}

    QDateTime now() const override { return m_now; }

    void sleep(int ms) override {
        m_sleeps.push_back(ms);
        m_journal->append(QStringLiteral("sleep %1").arg(ms));
        m_now = m_now.addMSecs(ms);
        if (m_onSleep) {
            m_onSleep(ms);
        }
    }

    // Moves the time on without a sleep, as between two timer ticks.
    void advance(qint64 ms) { m_now = m_now.addMSecs(ms); }
    void setNow(const QDateTime& now) { m_now = now; }

    const std::vector<int>& sleeps() const { return m_sleeps; }

    // Runs after each sleep, for instance to let a fake device receive a reply meanwhile.
    void setOnSleep(std::function<void(int)> onSleep) { m_onSleep = std::move(onSleep); }

    const QStringList& journal() const { return *m_journal; }
    void shareJournal(QStringList& journal) { m_journal = &journal; }

private:
    QDateTime m_now;
    std::vector<int> m_sleeps;
    std::function<void(int)> m_onSleep;
    QStringList m_ownJournal;
    QStringList* m_journal;
};

} // namespace kestrova::test
