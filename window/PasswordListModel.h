#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QByteArrayView>
#include <vector>

namespace velkrin {

// The batch list's items. Batch mode may run for hours, so items are packed
// into one character buffer with an end offset each (about 14 bytes for a
// six-character password instead of a heap string per row) and appending is
// amortised constant time. Items are kept as UTF-8; the passwords are ASCII.
class PasswordListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    explicit PasswordListModel(QObject *parent = nullptr);

    void append(const QString &item);
    qsizetype count() const noexcept { return static_cast<qsizetype>(m_ends.size()); }
    QByteArrayView itemBytes(qsizetype index) const;
    QString item(qsizetype index) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    QByteArray m_chars;
    std::vector<qsizetype> m_ends;
};

} // namespace velkrin
