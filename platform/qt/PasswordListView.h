#pragma once

#include "platform/qt/QtControls.h"
#include "platform/qt/SecretClipboard.h"
#include "window/SecretCopy.h"

#include <QTableView>
#include <QTimer>
#include <chrono>

namespace velkrin {

// The batch list's view: one column of fixed-height rows without headers or
// grid, so that it looks and behaves like a plain list box. A table view is
// used rather than QListView because QListView lays out every row again after
// each insertion (tens of milliseconds per batch tick at a million items),
// while a table with fixed row heights does not. To the keyboard and to
// assistive technology it is a list all the same: Home and End go to the
// first and last item, and it reports the role "list" with one list item per
// row (PasswordListViewAccessible.cpp).
class PasswordListView final : public QTableView {
    Q_OBJECT
public:
    // A copied password leaves the clipboard `clearAfter` later.
    explicit PasswordListView(std::chrono::milliseconds clearAfter = SecretCopy::kClearAfter,
                              QWidget *parent = nullptr);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // The copy key (Ctrl+C) copies the current item as a secret copy.
    void keyPressEvent(QKeyEvent *event) override;

private:
    class FrameOverlay;

    void fitRowHeight();
    // Once per program: the accessible interface of every PasswordListView.
    static void installListAccessibility();

    FrameOverlay *m_frameOverlay;
    SecretClipboard m_clipboard;
    QTimer m_clearTimer;
    QtWakeUp m_clearWakeUp{m_clearTimer};
    SecretCopy m_secretCopy; // last: clears while the ports still exist
};

} // namespace velkrin
