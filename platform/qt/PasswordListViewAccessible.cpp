// PasswordListView as assistive technology sees it: a list whose children are
// its items, instead of the table of cells Qt would report for a QTableView.

#include "platform/qt/PasswordListModel.h"
#include "platform/qt/PasswordListView.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QItemSelectionModel>
#include <QPointer>

namespace velkrin {

namespace {

// One row. Item interfaces are made only when assistive technology asks for
// them, so a long list costs nothing while none listens.
class ListItemAccessible final : public QAccessibleInterface {
public:
    ListItemAccessible(PasswordListView *view, int row) : m_view(view), m_row(row) {}

    bool isValid() const override { return m_view && m_view->model() && m_row < m_view->model()->rowCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_view.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override {}
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    int row() const { return m_row; }

    QString text(QAccessible::Text t) const override
    {
        // The whole password, however the view shows it.
        if (t != QAccessible::Name || !isValid())
            return {};
        return index().data(PasswordListModel::PasswordRole).toString();
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect r = m_view->visualRect(index());
        return QRect(m_view->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid())
            return s;
        s.selectable = true;
        s.focusable = true;
        s.selected = m_view->selectionModel() && m_view->selectionModel()->isRowSelected(m_row, QModelIndex());
        s.focused = m_view->hasFocus() && m_view->currentIndex().row() == m_row;
        s.offscreen = !m_view->viewport()->rect().intersects(m_view->visualRect(index()));
        s.invisible = s.offscreen;
        return s;
    }

private:
    QModelIndex index() const { return m_view->model()->index(m_row, 0); }

    QPointer<PasswordListView> m_view;
    int m_row;
};

class ListAccessible final : public QAccessibleWidget {
public:
    explicit ListAccessible(PasswordListView *view) : QAccessibleWidget(view, QAccessible::List) {}
    ~ListAccessible() override { forgetItems(); }

    int childCount() const override { return view()->model() ? view()->model()->rowCount() : 0; }

    // QTableView reports focus and selection with the child number
    // row * columns + column, counting a header only while it is shown; with
    // both headers hidden and one column that is the row.
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (const auto known = m_items.constFind(index); known != m_items.cend())
            return QAccessible::accessibleInterface(*known);
        // A screen reader may walk every item (Orca counts a list's items
        // that way); the interfaces made for it are dropped in bulk rather
        // than kept for each of a million rows.
        if (m_items.size() >= kMaxItems)
            forgetItems();
        auto *item = new ListItemAccessible(view(), index);
        m_items.insert(index, QAccessible::registerAccessibleInterface(item));
        return item;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto *item = dynamic_cast<const ListItemAccessible *>(child);
        return item && item->parent() == this ? item->row() : -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QModelIndex at = view()->indexAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
        return at.isValid() ? child(at.row()) : nullptr;
    }

private:
    static constexpr qsizetype kMaxItems = 4096;

    PasswordListView *view() const { return static_cast<PasswordListView *>(widget()); }

    void forgetItems() const
    {
        for (const QAccessible::Id id : std::as_const(m_items))
            QAccessible::deleteAccessibleInterface(id);
        m_items.clear();
    }

    mutable QHash<int, QAccessible::Id> m_items;
};

QAccessibleInterface *listFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(PasswordListView::staticMetaObject.className()))
        if (auto *view = qobject_cast<PasswordListView *>(object))
            return new ListAccessible(view);
    return nullptr;
}

} // namespace

void PasswordListView::installListAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(&listFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace velkrin
