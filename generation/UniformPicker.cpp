#include "generation/UniformPicker.h"

#include "platform/SecureWipe.h"

#include <algorithm>
#include <span>

namespace velkrin {

UniformPicker::Draw::Draw(UniformPicker &picker, std::int64_t characters)
    : m_picker(picker), m_outermost(!picker.m_open)
{
    if (m_outermost) {
        m_picker.m_open = true;
        m_picker.m_wanted = std::max<std::int64_t>(characters, 0);
    }
}

UniformPicker::Draw::~Draw()
{
    if (m_outermost)
        m_picker.wipe();
}

void UniformPicker::refill()
{
    // The picks still wanted, and spare bytes for the ones that will be
    // rejected (about 9 % for letters): one in eight and two more, so almost
    // every password costs one call of the source. A rejected byte is topped
    // up from the spares, or by a new draw when they run out; spares left
    // over are wiped unused with the rest.
    const std::int64_t wanted = std::max<std::int64_t>(m_wanted, 1);
    const auto size = static_cast<std::size_t>(std::min<std::int64_t>(wanted + wanted / 8 + 2, kChunk));
    m_dirty = std::max(m_dirty, size); // a source that fails half-way may have written
    m_source.fill(std::span(m_bytes.data(), size));
    m_pos = 0;
    m_end = size;
}

void UniformPicker::wipe() noexcept
{
    secureWipe(m_bytes.data(), m_dirty);
    m_dirty = m_pos = m_end = 0;
    m_wanted = 0;
    m_open = false;
}

} // namespace velkrin
