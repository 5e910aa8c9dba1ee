// A timer with the classic form-timer meaning: it ticks only while it is
// enabled and its interval is above 0, and changing either restarts the count.
// (A QTimer with interval 0 would fire on every pass of the event loop.)
#pragma once

#include <QObject>
#include <QTimer>

class ClassicTimer final : public QObject
{
    Q_OBJECT
public:
    explicit ClassicTimer(QObject *parent = nullptr);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on);
    int interval() const { return m_interval; }
    void setInterval(int ms);
    // True when ticks are actually being delivered.
    bool isTicking() const { return m_timer.isActive(); }
    int remainingMs() const { return m_timer.remainingTime(); }
    // The next tick comes one whole interval from now.
    void restartCount() { restart(); }

signals:
    void tick();

private:
    void restart();

    QTimer m_timer;
    bool m_enabled = false;
    int m_interval = 0;
};
