#include "platform/qt/PasswordListModel.h"

#include "platform/qt/QtText.h"

#include <limits>

namespace velkrin {

PasswordListModel::PasswordListModel(QObject *parent) : QAbstractListModel(parent) {}

void PasswordListModel::append(std::string_view item)
{
    // Views index rows with int; past that the items are still kept and
    // saved, the view just cannot show them.
    const std::int64_t row = m_items.count();
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
    return static_cast<int>(std::min<std::int64_t>(m_items.count(), std::numeric_limits<int>::max()));
}

QVariant PasswordListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole) {
        const std::string_view bytes = m_items.item(index.row());
        if (bytes.size() > kShownLength)
            return toQString(bytes.substr(0, kShownLength)) + QChar(0x2026); // ellipsis
    }
    if (role == Qt::DisplayRole || role == PasswordRole)
        return toQString(m_items.item(index.row()));
    return {};
}

} // namespace velkrin
