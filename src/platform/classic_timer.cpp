#include "platform/classic_timer.h"

ClassicTimer::ClassicTimer(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(false);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ClassicTimer::tick);
}

void ClassicTimer::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    restart();
}

void ClassicTimer::setInterval(int ms)
{
    m_interval = ms < 0 ? 0 : ms;
    restart();
}

void ClassicTimer::restart()
{
    m_timer.stop();
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
}
