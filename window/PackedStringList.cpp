#include "window/PackedStringList.h"

#include "platform/SecureWipe.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace velkrin {

PackedStringList::~PackedStringList()
{
    if (m_chars)
        secureWipe(m_chars, m_capacity);
    std::free(m_chars);
}

void PackedStringList::reserve(std::size_t bytes)
{
    if (bytes <= m_capacity)
        return;
    // A block of our own rather than realloc(), which would free the old one
    // with the passwords still in it.
    const std::size_t capacity = std::max({bytes, 2 * m_capacity, std::size_t{64}});
    auto *grown = static_cast<char *>(std::malloc(capacity));
    if (!grown)
        throw std::bad_alloc();
    if (m_chars) {
        std::memcpy(grown, m_chars, m_size);
        secureWipe(m_chars, m_capacity);
        std::free(m_chars);
    }
    m_chars = grown;
    m_capacity = capacity;
}

void PackedStringList::append(std::string_view item)
{
    // Copied straight into the list's buffer, with no temporary that would be
    // freed with the password in it.
    reserve(m_size + item.size());
    if (!item.empty())
        std::memcpy(m_chars + m_size, item.data(), item.size());
    m_ends.push_back(m_size + item.size()); // if this throws, the item is simply not counted
    m_size += item.size();
}

std::string_view PackedStringList::item(std::int64_t index) const
{
    const std::size_t begin = index == 0 ? 0 : m_ends[static_cast<std::size_t>(index - 1)];
    const std::size_t end = m_ends[static_cast<std::size_t>(index)];
    return std::string_view(m_chars + begin, end - begin);
}

} // namespace velkrin
