#include "platform/PackedStringList.h"

#include <QStringEncoder>

#include <sodium.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace velkrin {

PackedStringList::~PackedStringList()
{
    if (m_chars)
        sodium_memzero(m_chars, static_cast<std::size_t>(m_capacity));
    std::free(m_chars);
}

void PackedStringList::reserve(qsizetype bytes)
{
    if (bytes <= m_capacity)
        return;
    // A block of our own rather than realloc(), which would free the old one
    // with the passwords still in it.
    const qsizetype capacity = std::max({bytes, 2 * m_capacity, qsizetype{64}});
    auto *grown = static_cast<char *>(std::malloc(static_cast<std::size_t>(capacity)));
    if (!grown)
        throw std::bad_alloc();
    if (m_chars) {
        std::memcpy(grown, m_chars, static_cast<std::size_t>(m_size));
        sodium_memzero(m_chars, static_cast<std::size_t>(m_capacity));
        std::free(m_chars);
    }
    m_chars = grown;
    m_capacity = capacity;
}

void PackedStringList::append(const QString &item)
{
    // Encoded straight into the list's buffer: a temporary UTF-8 copy would
    // be freed with the password in it.
    QStringEncoder utf8(QStringEncoder::Utf8);
    reserve(m_size + utf8.requiredSpace(item.size()));
    const char *end = utf8.appendToBuffer(m_chars + m_size, item);
    m_ends.push_back(end - m_chars); // if this throws, the item is simply not counted
    m_size = end - m_chars;
}

QByteArrayView PackedStringList::itemBytes(qsizetype index) const
{
    const qsizetype begin = index == 0 ? 0 : m_ends[static_cast<std::size_t>(index - 1)];
    const qsizetype end = m_ends[static_cast<std::size_t>(index)];
    return QByteArrayView(m_chars + begin, end - begin);
}

QString PackedStringList::item(qsizetype index) const
{
    const QByteArrayView bytes = itemBytes(index);
    return QString::fromUtf8(bytes.data(), bytes.size());
}

} // namespace velkrin
