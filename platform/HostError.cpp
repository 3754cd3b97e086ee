#include "platform/HostError.h"

#include <utility>

namespace velkrin {

HostError::HostError(HostErrorKind kind, std::string message)
    : std::runtime_error(message), m_kind(kind), m_message(std::move(message))
{
}

} // namespace velkrin
