#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

// A timer of the call cycle (Timer1, Timer2): an on/off switch and a Tag that carries a number of seconds
// as text. The cycle works on this interface; QtCallTimer is the window's, tests call the tick handlers
// directly.
namespace kestrova {

class CallTimer {
public:
    virtual ~CallTimer() = default;
    virtual bool Enabled() const = 0;
    // Switching on a timer that is already on does not restart its interval.
    virtual void setEnabled(bool enabled) = 0;
    virtual QString Tag() const = 0;
    virtual void setTag(const QString& tag) = 0;
};

// A one-second QTimer with a Tag; onTick runs at every tick while it is on.
class QtCallTimer final : public QObject, public CallTimer {
public:
    QtCallTimer(const QString& objectName, std::function<void()> onTick, QObject* parent = nullptr);

    bool Enabled() const override { return m_timer.isActive(); }
    void setEnabled(bool enabled) override;
    QString Tag() const override { return m_tag; }
    void setTag(const QString& tag) override { m_tag = tag; }

private:
    QTimer m_timer;
    QString m_tag;
    std::function<void()> m_onTick;
};

} // namespace kestrova
