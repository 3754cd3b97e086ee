#pragma once

#include <QAccessible>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <deque>

namespace velkrin {

// Makes a screen reader speak a short message at once, wherever the focus is.
//
// Qt 6.4 reports a changed name or description with the object itself as the
// event's data, where Orca 43 expects the new text, so Orca presents neither;
// and it drops name changes of labels altogether. What Orca does speak, from
// any object, is a notification that is shown; inside a status bar it speaks
// the notification's name alone, without the word "notification". So the
// window gets an unseen status bar (for assistive technology only), and each
// message is a new notification in it, shown once. A screen reader reads the
// name when it gets to the event, so each keeps its own text; the last few
// are kept for a screen reader that is behind.
class ScreenReaderNotice {
public:
    explicit ScreenReaderNotice(QWidget &window) : m_window(&window) {}
    ~ScreenReaderNotice();
    ScreenReaderNotice(const ScreenReaderNotice &) = delete;
    ScreenReaderNotice &operator=(const ScreenReaderNotice &) = delete;

    // Does nothing while no assistive technology listens.
    void say(const QString &message);

private:
    class Bar;
    class Notice;

    QPointer<QWidget> m_window;
    QAccessible::Id m_barId = 0;
    std::deque<QAccessible::Id> m_notices; // oldest first
};

} // namespace velkrin
