#include "support/ScriptedHost.h"

#include "platform/HostError.h"

#include <utility>

namespace velkrin::test {

namespace {

class StringSink final : public FileSink {
public:
    void write(std::span<const char> bytes) override { content.append(bytes.data(), bytes.size()); }
    std::string content;
};

} // namespace

void MemoryFolder::replaceFile(std::string_view name, const std::function<void(FileSink &)> &content)
{
    StringSink sink;
    content(sink);
    if (std::exchange(failNext, false))
        throw HostError(HostErrorKind::File, "The list could not be saved: scripted failure.");
    files[std::string(name)] = std::move(sink.content);
}

ScriptedHost::ScriptedHost(RandomSource &random)
    : m_services{random,
                 [] () -> std::unique_ptr<PrinterPort> {
                     throw HostError(HostErrorKind::Printer, "The password could not be printed: no printer here.");
                 },
                 folder,
                 [] { return std::string("27/11/2031"); },
                 [this](std::string_view message) {
                     warnings.emplace_back(message);
                     timerOnAtWarning.push_back(Timer1.enabled());
                 },
                 [this](std::string_view message) { announced.emplace_back(message); }},
      form(Form1Controls{Timer1, XPButton3, XPButton2, XPButton1, List1, cmdPrint, cmdCreate, Check1, txtNumbers,
                         txtLetters, lblRandom, lblPassword},
           m_services)
{
}

void ScriptedHost::type(FakeTextBox &box, std::string_view text)
{
    const std::size_t before = warnings.size();
    for (std::size_t i = 0; i < text.size() && warnings.size() == before; ++i) {
        if (i == 0 && text[0] != '\b') // the first key replaces the selected text
            press(box, text[0], "");
        else
            press(box, text[i], i == 0 ? "" : box.text());
    }
}

void ScriptedHost::typeKey(FakeTextBox &box, char key)
{
    press(box, key, box.text());
}

void ScriptedHost::press(FakeTextBox &box, char key, std::string text)
{
    if (key != '\b')
        text += key;
    else if (!text.empty())
        text.pop_back();
    box.focused = true;
    box.setText(text);
    box.focused = false;
}

} // namespace velkrin::test
