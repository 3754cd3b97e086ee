#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

namespace velkrin {

// An append-only list of short strings. Batch mode may run for hours, so the
// items are packed into one character buffer with an end offset each (about
// 14 bytes for a six-character password instead of a heap string per item)
// and appending is amortised constant time. Items are kept as UTF-8; the
// passwords are ASCII.
class PackedStringList {
public:
    void append(const QString &item);
    qsizetype count() const noexcept { return static_cast<qsizetype>(m_ends.size()); }
    // The item's UTF-8 bytes, valid until the next append.
    QByteArrayView itemBytes(qsizetype index) const;
    QString item(qsizetype index) const;

private:
    QByteArray m_chars;
    std::vector<qsizetype> m_ends;
};

} // namespace velkrin
