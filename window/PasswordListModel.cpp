#include "window/PasswordListModel.h"

#include <limits>

namespace velkrin {

PasswordListModel::PasswordListModel(QObject *parent) : QAbstractListModel(parent) {}

void PasswordListModel::append(const QString &item)
{
    // Views index rows with int; past that the items are still kept and
    // saved, the view just cannot show them.
    const bool visibleRow = count() < std::numeric_limits<int>::max();
    if (visibleRow)
        beginInsertRows(QModelIndex(), static_cast<int>(count()), static_cast<int>(count()));
    m_chars += item.toUtf8();
    m_ends.push_back(m_chars.size());
    if (visibleRow)
        endInsertRows();
}

QByteArrayView PasswordListModel::itemBytes(qsizetype index) const
{
    const qsizetype begin = index == 0 ? 0 : m_ends[static_cast<std::size_t>(index - 1)];
    const qsizetype end = m_ends[static_cast<std::size_t>(index)];
    return QByteArrayView(m_chars.constData() + begin, end - begin);
}

QString PasswordListModel::item(qsizetype index) const
{
    const QByteArrayView bytes = itemBytes(index);
    return QString::fromUtf8(bytes.data(), bytes.size());
}

int PasswordListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(std::min<qsizetype>(count(), std::numeric_limits<int>::max()));
}

QVariant PasswordListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return item(index.row());
    return {};
}

} // namespace velkrin
