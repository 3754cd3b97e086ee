#include "platform/qt/ScreenReaderNotice.h"

#include <QAccessibleInterface>

namespace velkrin {

namespace {

// What both parts share: no object, no children, no place on the screen.
class Unseen : public QAccessibleInterface {
public:
    bool isValid() const override { return true; }
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override { return {}; }
    QAccessible::State state() const override { return {}; }
};

} // namespace

class ScreenReaderNotice::Bar final : public Unseen {
public:
    Bar(const QPointer<QWidget> &window, const std::deque<QAccessible::Id> &notices)
        : m_window(window), m_notices(notices)
    {
    }
    QAccessibleInterface *parent() const override
    {
        return m_window ? QAccessible::queryAccessibleInterface(m_window.data()) : nullptr;
    }
    QAccessibleInterface *child(int index) const override
    {
        return index >= 0 && index < childCount() ? QAccessible::accessibleInterface(m_notices[index]) : nullptr;
    }
    int childCount() const override { return static_cast<int>(m_notices.size()); }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (std::size_t i = 0; i < m_notices.size(); ++i)
            if (QAccessible::accessibleInterface(m_notices[i]) == child)
                return static_cast<int>(i);
        return -1;
    }
    QString text(QAccessible::Text) const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::StatusBar; }

private:
    const QPointer<QWidget> &m_window;
    const std::deque<QAccessible::Id> &m_notices;
};

class ScreenReaderNotice::Notice final : public Unseen {
public:
    Notice(QAccessible::Id bar, QString message) : m_bar(bar), m_message(std::move(message)) {}
    QAccessibleInterface *parent() const override { return QAccessible::accessibleInterface(m_bar); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    QString text(QAccessible::Text t) const override { return t == QAccessible::Name ? m_message : QString(); }
    QAccessible::Role role() const override { return QAccessible::Notification; }

private:
    QAccessible::Id m_bar;
    QString m_message;
};

ScreenReaderNotice::~ScreenReaderNotice()
{
    for (const QAccessible::Id id : m_notices)
        QAccessible::deleteAccessibleInterface(id);
    if (m_barId)
        QAccessible::deleteAccessibleInterface(m_barId);
}

void ScreenReaderNotice::say(const QString &message)
{
    if (!QAccessible::isActive() || !m_window)
        return;
    if (!m_barId)
        m_barId = QAccessible::registerAccessibleInterface(new Bar(m_window, m_notices));
    constexpr std::size_t kKept = 8;
    if (m_notices.size() == kKept) {
        QAccessible::deleteAccessibleInterface(m_notices.front());
        m_notices.pop_front();
    }
    auto *notice = new Notice(m_barId, message);
    m_notices.push_back(QAccessible::registerAccessibleInterface(notice));
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

} // namespace velkrin
