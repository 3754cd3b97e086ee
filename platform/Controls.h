#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace velkrin {

// The window's controls as the program's handlers see them: each kind offers
// only the members the handlers use. Text is UTF-8. Events are functions the
// window sets once and the host calls, one at a time on the window's thread;
// an unset event does nothing.

class TextBox {
public:
    virtual ~TextBox() = default;
    virtual std::string text() const = 0;
    // Raises Change, as an edit by the user does.
    virtual void setText(std::string_view text) = 0;
    virtual bool hasFocus() const = 0;
    // What the box tells about its value, in its tooltip and to assistive
    // technology.
    virtual void setDescription(std::string_view description) = 0;

    std::function<void()> Change; // after every change of the text
};

class Label {
public:
    virtual ~Label() = default;
    virtual std::string caption() const = 0;
    virtual void setCaption(std::string_view caption) = 0;
    // Repaints now rather than at the next idle moment.
    virtual void refresh() = 0;
};

class CheckBox {
public:
    static constexpr std::int16_t kClear = 0;
    static constexpr std::int16_t kChecked = 1;
    static constexpr std::int16_t kGrayed = 2;

    virtual ~CheckBox() = default;
    virtual std::int16_t value() const = 0;

    std::function<void()> Change; // after every change of the value
};

// The batch list. Its items live in one PackedStringList (wiped storage) that
// the host's view displays; the host keeps no copy of its own.
class ListBox {
public:
    virtual ~ListBox() = default;
    // Appends at the end.
    virtual void addItem(std::string_view item) = 0;
    virtual std::int64_t listCount() const = 0;
    // The whole item at a 0-based index, valid until the next addItem.
    virtual std::string_view item(std::int64_t index) const = 0;
};

// Ticks every 100 ms while enabled, each deadline counted from the previous
// one, so ten ticks a second hold over minutes.
class Timer {
public:
    virtual ~Timer() = default;
    virtual bool enabled() const = 0;
    // Enabling a running timer does not restart its interval.
    virtual void setEnabled(bool enabled) = 0;

    std::function<void()> Tick;
};

// The batch buttons and the two command buttons.
class PushButton {
public:
    virtual ~PushButton() = default;

    std::function<void()> Press;
};

} // namespace velkrin
