#include "window/SecretCopy.h"

namespace velkrin {

SecretCopy::SecretCopy(ClipboardPort &clipboard, WakeUpPort &wakeUp, std::chrono::milliseconds clearAfter)
    : m_clipboard(clipboard), m_wakeUp(wakeUp), m_clearAfter(clearAfter)
{
    m_wakeUp.Wake = [this] { clearIfOurs(); };
}

SecretCopy::~SecretCopy()
{
    clearIfOurs();
    m_wakeUp.Wake = nullptr;
}

bool SecretCopy::copy(std::string_view secret)
{
    // The previous copy is overwritten before the new one replaces it.
    clearIfOurs();
    m_holding = m_clipboard.put(secret);
    if (m_holding)
        m_wakeUp.wakeAfter(m_clearAfter);
    return m_holding;
}

void SecretCopy::clearIfOurs()
{
    m_wakeUp.cancel();
    if (!m_holding)
        return;
    m_holding = false;
    if (m_clipboard.stillOurs())
        m_clipboard.clear();
}

} // namespace velkrin
