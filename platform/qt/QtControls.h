#pragma once

#include "platform/Controls.h"
#include "platform/WakeUpPort.h"
#include "platform/qt/PasswordListModel.h"

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;

namespace velkrin {

class XPButton;

// The control interfaces over Qt's widgets. Each wraps a widget the window
// owns and raises its event from the widget's signal.

class QtTextBox final : public TextBox {
public:
    explicit QtTextBox(QLineEdit &edit);
    std::string text() const override;
    void setText(std::string_view text) override;
    bool hasFocus() const override;
    void setDescription(std::string_view description) override;

private:
    QLineEdit &m_edit;
};

class QtLabel final : public Label {
public:
    explicit QtLabel(QLabel &label) : m_label(label) {}
    std::string caption() const override;
    void setCaption(std::string_view caption) override;
    void refresh() override;

private:
    QLabel &m_label;
};

class QtCheckBox final : public CheckBox {
public:
    explicit QtCheckBox(QCheckBox &box);
    std::int16_t value() const override;

private:
    QCheckBox &m_box;
};

// The one-shot wake-up over a single-shot precise QTimer (millisecond
// resolution, rounded up so that it never wakes before the time asked).
class QtWakeUp final : public WakeUpPort {
public:
    explicit QtWakeUp(QTimer &timer);
    void wakeAt(Clock::time_point when) override;
    void cancel() override;

private:
    QTimer &m_timer;
};

class QtPushButton final : public PushButton {
public:
    explicit QtPushButton(QAbstractButton &button); // raises Press on clicked
    explicit QtPushButton(XPButton &button);        // raises Press on press
};

// The list's items live in the model the list view shows.
class QtListBox final : public ListBox {
public:
    void addItem(std::string_view item) override { m_model.append(item); }
    std::int64_t listCount() const override { return m_model.items().count(); }
    std::string_view item(std::int64_t index) const override { return m_model.items().item(index); }
    PasswordListModel &model() noexcept { return m_model; }

private:
    PasswordListModel m_model;
};

} // namespace velkrin
