#include "window/TickSchedule.h"

namespace velkrin {

TickSchedule::TickSchedule(WakeUpPort &wakeUp) : m_wakeUp(wakeUp)
{
    m_wakeUp.Wake = [this] { woken(); };
}

TickSchedule::~TickSchedule()
{
    m_wakeUp.cancel();
    m_wakeUp.Wake = nullptr;
}

void TickSchedule::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (!enabled) {
        m_wakeUp.cancel();
        return;
    }
    m_deadline = m_wakeUp.now() + kInterval;
    m_wakeUp.wakeAt(m_deadline);
}

void TickSchedule::woken()
{
    if (!m_enabled)
        return;
    const auto now = m_wakeUp.now();
    m_deadline += kInterval;
    if (m_deadline <= now)
        m_deadline += (now - m_deadline) / kInterval * kInterval + kInterval;
    // Asked before the tick, so a tick that stops the timer cancels it.
    m_wakeUp.wakeAt(m_deadline);
    if (Tick)
        Tick();
}

} // namespace velkrin
