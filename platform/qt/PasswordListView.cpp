#include "platform/qt/PasswordListView.h"

#include "platform/qt/PasswordListModel.h"
#include "platform/qt/SecretClipboard.h"

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
    : QTableView(parent), m_frameOverlay(new FrameOverlay(*this)), m_clipboard(new SecretClipboard(clearAfter, this))
{
    installListAccessibility();
    const QString copyHint = QStringLiteral("Ctrl+C copies the selected password; the clipboard is cleared "
                                            "%1 seconds later unless something else was copied meanwhile.")
                                 .arg(std::chrono::duration_cast<std::chrono::seconds>(clearAfter).count());
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
    if (event->matches(QKeySequence::Copy)) {
        if (currentIndex().isValid())
            m_clipboard->copy(currentIndex().data(PasswordListModel::PasswordRole).toString());
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
