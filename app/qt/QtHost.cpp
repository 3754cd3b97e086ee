#include "QtHost.h"

#include "platform/qt/QtText.h"

namespace velkrin {

QtHost::QtHost(QtHostChoices choices)
    : m_choices(std::move(choices)), m_window(m_choices.clipboardClearAfter),
      m_services{
          m_choices.random,
          m_choices.openPrinter,
          m_choices.executableFolder,
          [this] { return toStdString(shortDateText(m_choices.today())); },
          [this](std::string_view message) { m_choices.showWarning(m_window, toQString(message)); },
          [this](std::string_view message) { m_window.announce(toQString(message)); },
      },
      m_form(m_window.controls(), m_services)
{
}

} // namespace velkrin
