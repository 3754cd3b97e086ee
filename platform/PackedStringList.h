#pragma once

#include <QByteArrayView>
#include <QString>
#include <vector>

namespace velkrin {

// An append-only list of short strings. Batch mode may run for hours, so the
// items are packed into one character buffer with an end offset each (about
// 14 bytes for a six-character password instead of a heap string per item)
// and appending is amortised constant time. Items are kept as UTF-8; the
// passwords are ASCII. The buffer holds passwords, so it is wiped
// (sodium_memzero) before it is given back: the old block when it grows, the
// last one when the list goes.
class PackedStringList {
public:
    PackedStringList() = default;
    ~PackedStringList();
    PackedStringList(const PackedStringList &) = delete;
    PackedStringList &operator=(const PackedStringList &) = delete;

    void append(const QString &item);
    qsizetype count() const noexcept { return static_cast<qsizetype>(m_ends.size()); }
    // The item's UTF-8 bytes, valid until the next append.
    QByteArrayView itemBytes(qsizetype index) const;
    QString item(qsizetype index) const;

private:
    void reserve(qsizetype bytes);

    char *m_chars = nullptr;
    qsizetype m_size = 0;
    qsizetype m_capacity = 0;
    std::vector<qsizetype> m_ends;
};

} // namespace velkrin
