#pragma once

#include "window/PackedStringList.h"
#include "window/Form1Layout.h"

#include <QAbstractListModel>
#include <string_view>

namespace velkrin {

// The batch list as the list view sees it: a read-only item model over the
// packed items, which it owns.
class PasswordListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    // The whole item, for copying and for screen readers; the display role
    // shows only the beginning of a long one.
    static constexpr int PasswordRole = Qt::UserRole;
    // The view lays out and elides the display text on every repaint.
    static constexpr std::size_t kShownLength = kListRowCharacters;

    explicit PasswordListModel(QObject *parent = nullptr);

    // Appends at the end and tells the view.
    void append(std::string_view item);
    const PackedStringList &items() const noexcept { return m_items; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    PackedStringList m_items;
};

} // namespace velkrin
