#include "platform/qt/PasswordListView.h"

#include "platform/qt/PasswordListModel.h"
#include "platform/qt/QtText.h"
#include "window/UserMessages.h"
#include "window/WindowPolicy.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

namespace velkrin {

// Draws the view's frame once more, above the viewport and the scroll bar. At
// fractional scales their rounded rectangles take the device row and column
// that the frame's bottom and right lines fall in, and children paint after
// their parent, so the lines would be painted over.
class PasswordListView::FrameOverlay final : public QWidget {
public:
    explicit FrameOverlay(PasswordListView &view) : QWidget(&view), m_view(view)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_view.drawFrame(&painter);
    }

private:
    PasswordListView &m_view;
};

PasswordListView::PasswordListView(std::chrono::milliseconds clearAfter, QWidget *parent)
    : QTableView(parent), m_frameOverlay(new FrameOverlay(*this)), m_secretCopy(m_clipboard, m_clearWakeUp, clearAfter)
{
    installListAccessibility();
    const QString copyHint = toQString(listCopyHint(clearAfter));
    setToolTip(copyHint);
    setAccessibleDescription(copyHint);
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setShowGrid(false);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the list for the next control, as from a list box; a table
    // would otherwise keep it to move between cells.
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fitRowHeight();
}

void PasswordListView::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    m_frameOverlay->setGeometry(rect());
    m_frameOverlay->raise();
}

void PasswordListView::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitRowHeight();
}

void PasswordListView::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers held = event->modifiers();
    const CopyKey key = event->key() == Qt::Key_C        ? CopyKey::C
                        : event->key() == Qt::Key_Insert ? CopyKey::Insert
                                                         : CopyKey::Other;
    if (copiesListRow(key, {held.testFlag(Qt::ShiftModifier), held.testFlag(Qt::ControlModifier),
                            held.testFlag(Qt::AltModifier)})) {
        // Straight from the list's wiped store: no copy of the password on the way.
        if (auto *list = qobject_cast<PasswordListModel *>(model()); list && currentIndex().isValid())
            m_secretCopy.copy(list->items().item(currentIndex().row()));
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

QModelIndex PasswordListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    // A table's Home and End go to the ends of the row, which is one cell
    // here; a list box's go to the first and last item, as a table's
    // Ctrl+Home and Ctrl+End do.
    if (cursorAction == MoveHome || cursorAction == MoveEnd)
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(cursorAction, modifiers);
}

void PasswordListView::fitRowHeight()
{
    const int height = fontMetrics().height() + 2;
    verticalHeader()->setMinimumSectionSize(height);
    verticalHeader()->setDefaultSectionSize(height);
}

} // namespace velkrin
