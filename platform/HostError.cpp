#include "platform/HostError.h"

#include <utility>

namespace velkrin {

HostError::HostError(HostErrorKind kind, FailureCause cause, std::string subject, std::string detail)
    : std::runtime_error(subject.empty() ? detail : subject), m_kind(kind), m_cause(cause),
      m_subject(std::move(subject)), m_detail(std::move(detail))
{
}

} // namespace velkrin
