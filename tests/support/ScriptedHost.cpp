#include "support/ScriptedHost.h"

#include "platform/HostError.h"

namespace velkrin::test {

void MemoryFolder::replaceFile(std::string_view name, const std::function<void(FileSink &)> &content)
{
    if (folders.contains(name))
        throw HostError(HostErrorKind::File, FailureCause::FolderInTheWay, std::string(name));
    struct Sink final : FileSink {
        void write(std::span<const char> bytes) override { text.append(bytes.data(), bytes.size()); }
        std::string text;
    } sink;
    content(sink);
    files[std::string(name)] = std::move(sink.text);
}

ScriptedHost::ScriptedHost(RandomSource &random)
    : m_services{random,
                 []() -> std::unique_ptr<PrinterPort> { // no printing on this host
                     throw HostError(HostErrorKind::Printer, FailureCause::NoDefaultPrinter);
                 },
                 folder,
                 [] { return std::string("27/11/2031"); },
                 [this](std::string_view message) { warnings.emplace_back(message); },
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
        if (i == 0) // the first key replaces the selected text
            press(box, text[0] == '\b' ? "" : std::string(1, text[0]));
        else
            typeKey(box, text[i]);
    }
}

void ScriptedHost::typeKey(FakeTextBox &box, char key)
{
    std::string text = box.text();
    if (key != '\b')
        text += key;
    else if (!text.empty())
        text.pop_back();
    press(box, std::move(text));
}

void ScriptedHost::press(FakeTextBox &box, std::string text)
{
    box.focused = true;
    box.setText(text);
    box.focused = false;
}

} // namespace velkrin::test
