#pragma once

#include "platform/PackedStringList.h"

#include <QAbstractListModel>

namespace velkrin {

// The batch list as the list view sees it: a read-only item model over the
// packed items, which it owns.
class PasswordListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    explicit PasswordListModel(QObject *parent = nullptr);

    // Appends at the end and tells the view.
    void append(const QString &item);
    const PackedStringList &items() const noexcept { return m_items; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    PackedStringList m_items;
};

} // namespace velkrin
