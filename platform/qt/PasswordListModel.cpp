#include "window/PasswordListModel.h"

#include <limits>

namespace velkrin {

PasswordListModel::PasswordListModel(QObject *parent) : QAbstractListModel(parent) {}

void PasswordListModel::append(const QString &item)
{
    // Views index rows with int; past that the items are still kept and
    // saved, the view just cannot show them.
    const qsizetype row = m_items.count();
    const bool visibleRow = row < std::numeric_limits<int>::max();
    if (visibleRow)
        beginInsertRows(QModelIndex(), static_cast<int>(row), static_cast<int>(row));
    m_items.append(item);
    if (visibleRow)
        endInsertRows();
}

int PasswordListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(std::min<qsizetype>(m_items.count(), std::numeric_limits<int>::max()));
}

QVariant PasswordListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole) {
        const QByteArrayView bytes = m_items.itemBytes(index.row());
        if (bytes.size() > kShownLength)
            return QString::fromUtf8(bytes.first(kShownLength)) + QChar(0x2026); // ellipsis
    }
    if (role == Qt::DisplayRole || role == PasswordRole)
        return m_items.item(index.row());
    return {};
}

} // namespace velkrin
