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
    box.focused = true;
    std::string typed;
    for (const char c : text) {
        typed += c;
        box.setText(typed);
    }
    box.focused = false;
}

} // namespace velkrin::test
