#include "platform/HostError.h"

namespace velkrin {

HostError::HostError(HostErrorKind kind, const QString &message)
    : std::runtime_error(message.toStdString()), m_kind(kind), m_message(message)
{
}

} // namespace velkrin
