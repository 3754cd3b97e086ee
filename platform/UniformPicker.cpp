#include "platform/UniformPicker.h"

namespace velkrin {

void UniformPicker::refill()
{
    m_source.fill(m_buffer);
    m_pos = 0;
}

} // namespace velkrin
