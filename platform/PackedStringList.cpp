#include "platform/PackedStringList.h"

namespace velkrin {

void PackedStringList::append(const QString &item)
{
    m_chars += item.toUtf8();
    m_ends.push_back(m_chars.size());
}

QByteArrayView PackedStringList::itemBytes(qsizetype index) const
{
    const qsizetype begin = index == 0 ? 0 : m_ends[static_cast<std::size_t>(index - 1)];
    const qsizetype end = m_ends[static_cast<std::size_t>(index)];
    return QByteArrayView(m_chars.constData() + begin, end - begin);
}

QString PackedStringList::item(qsizetype index) const
{
    const QByteArrayView bytes = itemBytes(index);
    return QString::fromUtf8(bytes.data(), bytes.size());
}

} // namespace velkrin
