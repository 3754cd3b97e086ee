#include "window/PasswordListView.h"

#include "platform/SecretClipboard.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

namespace velkrin {

PasswordListView::PasswordListView(QWidget *parent) : QTableView(parent)
{
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
    // The view paints the white ground itself, under its frame (see event()).
    viewport()->setAutoFillBackground(false);
    fitRowHeight();
}

bool PasswordListView::event(QEvent *event)
{
    // At fractional scales the viewport's rounded rectangle takes the device
    // row that the frame's bottom line is drawn in, and a viewport filling
    // itself would paint over that line; filling here comes before the frame.
    if (event->type() == QEvent::Paint) {
        QPainter painter(this);
        painter.fillRect(contentsRect(), palette().base());
    }
    return QTableView::event(event);
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
            copySecretText(currentIndex().data().toString());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void PasswordListView::fitRowHeight()
{
    const int height = fontMetrics().height() + 2;
    verticalHeader()->setMinimumSectionSize(height);
    verticalHeader()->setDefaultSectionSize(height);
}

} // namespace velkrin
