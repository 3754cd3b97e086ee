#include "platform/qt/QtControls.h"

#include "platform/qt/QtText.h"
#include "platform/qt/XPButton.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>

namespace velkrin {

QtTextBox::QtTextBox(QLineEdit &edit) : m_edit(edit)
{
    QObject::connect(&edit, &QLineEdit::textChanged, &edit, [this] {
        if (Change)
            Change();
    });
}

std::string QtTextBox::text() const
{
    return toStdString(m_edit.text());
}

void QtTextBox::setText(std::string_view text)
{
    m_edit.setText(toQString(text));
}

bool QtTextBox::hasFocus() const
{
    return m_edit.hasFocus();
}

void QtTextBox::setDescription(std::string_view description)
{
    const QString text = toQString(description);
    m_edit.setToolTip(text);
    m_edit.setAccessibleDescription(text);
}

std::string QtLabel::caption() const
{
    return toStdString(m_label.text());
}

void QtLabel::setCaption(std::string_view caption)
{
    m_label.setText(toQString(caption));
}

void QtLabel::refresh()
{
    m_label.repaint();
}

QtCheckBox::QtCheckBox(QCheckBox &box) : m_box(box)
{
    QObject::connect(&box, &QCheckBox::stateChanged, &box, [this] {
        if (Change)
            Change();
    });
}

std::int16_t QtCheckBox::value() const
{
    switch (m_box.checkState()) {
    case Qt::Checked:
        return kChecked;
    case Qt::PartiallyChecked:
        return kGrayed;
    default:
        return kClear;
    }
}

QtWakeUp::QtWakeUp(QTimer &timer) : m_timer(timer)
{
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &timer, [this] {
        if (Wake)
            Wake();
    });
}

void QtWakeUp::wakeAt(Clock::time_point when)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(when - now());
    m_timer.start(std::max(left, decltype(left)::zero())); // a deadline already past: at once
}

void QtWakeUp::cancel()
{
    m_timer.stop();
}

QtPushButton::QtPushButton(QAbstractButton &button)
{
    QObject::connect(&button, &QAbstractButton::clicked, &button, [this] {
        if (Press)
            Press();
    });
}

QtPushButton::QtPushButton(XPButton &button)
{
    QObject::connect(&button, &XPButton::press, &button, [this] {
        if (Press)
            Press();
    });
}

} // namespace velkrin
