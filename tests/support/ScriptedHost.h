#pragma once

// Form1 on portable stand-ins for its controls and services, driven by the
// tests directly: what the Qt and Win32 windows do, without either.

#include "window/PackedStringList.h"
#include "window/Form1.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace velkrin::test {

class FakeTextBox final : public TextBox {
public:
    std::string text() const override { return m_text; }
    void setText(std::string_view text) override
    {
        m_text = text;
        Change();
    }
    bool hasFocus() const override { return focused; }
    void setDescription(std::string_view text) override { description = text; }
    bool focused = false;
    std::string description;

private:
    std::string m_text;
};

class FakeLabel final : public Label {
public:
    std::string caption() const override { return m_caption; }
    void setCaption(std::string_view caption) override { m_caption = caption; }
    void refresh() override { ++refreshes; }
    int refreshes = 0;

private:
    std::string m_caption;
};

class FakeCheckBox final : public CheckBox {
public:
    std::int16_t value() const override { return m_value; }
    void set(std::int16_t value)
    {
        m_value = value;
        Change();
    }

private:
    std::int16_t m_value = kClear;
};

class FakeListBox final : public ListBox {
public:
    void addItem(std::string_view item) override { m_items.append(item); }
    std::int64_t listCount() const override { return m_items.count(); }
    std::string_view item(std::int64_t index) const override { return m_items.item(index); }

private:
    PackedStringList m_items;
};

// Ticks only when the test says, and only while enabled.
class FakeTimer final : public Timer {
public:
    bool enabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override { m_enabled = enabled; }
    void tick()
    {
        if (m_enabled)
            Tick();
    }

private:
    bool m_enabled = false;
};

struct FakeButton final : PushButton {
    void press() { Press(); }
};

// Files kept in memory, replaced whole as the atomic save does; a name in
// `folders` is a folder in the way.
struct MemoryFolder final : SaveFolder {
    void replaceFile(std::string_view name, const std::function<void(FileSink &)> &content) override;
    std::string temporaryFolder() const override { return temporary; }
    std::string temporary; // where the system deletes it, if it does
    std::map<std::string, std::string, std::less<>> files;
    std::set<std::string, std::less<>> folders;
};

class ScriptedHost {
public:
    explicit ScriptedHost(RandomSource &random);

    // Types `text` over the box's whole text, one edit per key, as the user
    // does with the box focused ('\b' is Backspace); stops after the first
    // key that brings a warning.
    void type(FakeTextBox &box, std::string_view text);
    // One more key at the end of the box's text.
    void typeKey(FakeTextBox &box, char key);

    FakeTimer Timer1;
    FakeButton XPButton3, XPButton2, XPButton1, cmdPrint, cmdCreate;
    FakeListBox List1;
    FakeCheckBox Check1;
    FakeTextBox txtNumbers, txtLetters;
    FakeLabel lblRandom, lblPassword;
    MemoryFolder folder; // the executable's
    std::vector<std::string> warnings;
    std::vector<std::string> announced;

private:
    void press(FakeTextBox &box, std::string text);

    HostServices m_services;

public:
    Form1 form; // after what it refers to
};

} // namespace velkrin::test
