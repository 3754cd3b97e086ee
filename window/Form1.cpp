#include "window/Form1.h"

#include "generation/ComposePassword.h"
#include "generation/PasswordStrength.h"
#include "generation/RandomGenerators.h"
#include "output/PrintPassword.h"
#include "output/SaveList.h"
#include "platform/HostError.h"
#include "generation/Int16Arithmetic.h"
#include "generation/LeadingNumber.h"
#include "platform/SecureWipe.h"
#include "window/UserMessages.h"

#include <new>
#include <string>

namespace velkrin {

namespace {

constexpr std::string_view kRandomCaptionSuffix = " Random Characters";
constexpr std::string_view kLettersWhat = "number of letters";
constexpr std::string_view kDigitsWhat = "number of digits";
constexpr std::string_view kTotalWhat = "total number of characters";

std::int16_t countFromText(const std::string &text, std::string_view what)
{
    return roundToInt16(leadingNumber(text), what);
}

// A password on its way between two controls, wiped when it goes.
class PasswordCopy {
public:
    explicit PasswordCopy(std::string text) : m_text(std::move(text)) {}
    ~PasswordCopy() { secureWipe(m_text.data(), m_text.size()); }
    PasswordCopy(const PasswordCopy &) = delete;
    PasswordCopy &operator=(const PasswordCopy &) = delete;
    const std::string &text() const noexcept { return m_text; }

private:
    std::string m_text;
};

} // namespace

Form1::Form1(const Form1Controls &controls, const HostServices &services)
    : m_controls(controls), m_services(services), m_picker(services.random)
{
    bindEvents();
}

void Form1::bindEvents()
{
    auto bind = [this](std::function<void()> &event, void (Form1::*handler)()) {
        event = [this, handler] { runHandler([this, handler] { (this->*handler)(); }); };
    };
    m_controls.txtLetters.Change = [this] { countEdited(CountBox::Letters); };
    m_controls.txtNumbers.Change = [this] { countEdited(CountBox::Numbers); };
    m_controls.Check1.Change = [this] { runHandler([this] { describeStrength(); }); };
    bind(m_controls.cmdCreate.Press, &Form1::cmdCreate_Click);
    bind(m_controls.cmdPrint.Press, &Form1::cmdPrint_Click);
    bind(m_controls.Timer1.Tick, &Form1::Timer1_Timer);
    bind(m_controls.XPButton1.Press, &Form1::XPButton1_press);
    bind(m_controls.XPButton2.Press, &Form1::XPButton2_press);
    bind(m_controls.XPButton3.Press, &Form1::XPButton3_press);
}

void Form1::countEdited(CountBox which)
{
    TextBox &box = which == CountBox::Letters ? m_controls.txtLetters : m_controls.txtNumbers;
    runHandler([this, which, &box] {
        RecountLengths(which);
        // Typed by the user (the load's assignments happen without focus).
        if (box.hasFocus() && m_services.announce)
            m_services.announce(m_controls.lblRandom.caption());
    });
    // Apart: a count refused above still changes the strength.
    runHandler([this] { describeStrength(); });
}

void Form1::describeStrength()
{
    // A box whose text gave no count refuses Create whatever the stored counts.
    const std::string strength =
        m_rejected[0] || m_rejected[1]
            ? refusedStrengthText()
            : passwordStrengthText(state.intLetters, state.intNumbers, m_controls.Check1.value() == CheckBox::kChecked);
    m_controls.txtLetters.setDescription(strength);
    m_controls.txtNumbers.setDescription(strength);
}

void Form1::runHandler(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const HostError &error) {
        reportError(userMessage(error));
    } catch (const std::bad_alloc &) {
        reportError(outOfMemoryMessage());
    }
}

void Form1::reportError(std::string_view message)
{
    // Stop batch mode first: one fault gives one message, and no tick runs
    // while the message is open.
    m_controls.Timer1.setEnabled(false);
    m_services.showWarning(message);
}

void Form1::Load()
{
    runHandler([this] { Form_Load(); });
}

void Form1::Form_Load()
{
    // Each assignment raises the box's change event, which recounts; the
    // steps below then do the same work once more. The random source is the
    // system's cryptographic one, which has no seed to restart.
    m_controls.txtLetters.setText("3");
    m_controls.txtNumbers.setText("3");
    state.intLetters = countFromText(m_controls.txtLetters.text(), kLettersWhat);
    state.intNumbers = countFromText(m_controls.txtNumbers.text(), kDigitsWhat);
    const std::int16_t sum = checkedAddInt16(state.intLetters, state.intNumbers, kTotalWhat);
    m_controls.lblRandom.setCaption(int16Text(sum) + std::string(kRandomCaptionSuffix));
    m_controls.lblRandom.refresh();
}

void Form1::readCount(CountBox which)
{
    const bool letters = which == CountBox::Letters;
    bool &rejected = m_rejected[static_cast<int>(which)];
    rejected = true;
    (letters ? state.intLetters : state.intNumbers) = countFromText(
        (letters ? m_controls.txtLetters : m_controls.txtNumbers).text(), letters ? kLettersWhat : kDigitsWhat);
    rejected = false;
}

void Form1::RecountLengths(CountBox which)
{
    readCount(which);
    const std::int16_t sum = checkedAddInt16(state.intLetters, state.intNumbers, kTotalWhat);
    m_controls.lblRandom.setCaption(int16Text(sum) + std::string(kRandomCaptionSuffix));
}

void Form1::RandomLetters(std::int32_t plngLength)
{
    velkrin::RandomLetters(state, plngLength, m_picker);
}

void Form1::RandomNumbers(std::int32_t plngLength)
{
    velkrin::RandomNumbers(state, plngLength, m_picker);
}

void Form1::RandomPassword(std::int32_t plngLength)
{
    velkrin::RandomPassword(state, plngLength, m_picker);
}

void Form1::ComposePassword()
{
    // A box still showing a refused count warns again, rather than a
    // password being made of an older count than the box shows.
    for (CountBox which : {CountBox::Letters, CountBox::Numbers}) {
        if (m_rejected[static_cast<int>(which)])
            readCount(which);
    }
    const PasswordCopy password(velkrin::ComposePassword(*this, state, m_controls.Check1.value()));
    m_controls.lblPassword.setCaption(password.text());
}

void Form1::cmdCreate_Click()
{
    ComposePassword();
    if (m_services.announce)
        m_services.announce(PasswordCopy(m_controls.lblPassword.caption()).text());
}

void Form1::Timer1_Timer()
{
    ComposePassword();
    m_controls.List1.addItem(PasswordCopy(m_controls.lblPassword.caption()).text());
}

void Form1::XPButton1_press()
{
    // Generate while running changes nothing: the timer keeps its interval.
    m_controls.Timer1.setEnabled(true);
}

void Form1::XPButton2_press()
{
    m_controls.Timer1.setEnabled(false);
}

void Form1::XPButton3_press()
{
    const ListBox &list = m_controls.List1;
    SaveList(
        [&list](const ItemSink &put) {
            for (std::int64_t i = 0; i < list.listCount(); ++i)
                put(list.item(i));
        },
        m_services.executableFolder);
    // Saved first, then told (SaveFolder::temporaryFolder() says why).
    if (const std::string temporary = m_services.executableFolder.temporaryFolder(); !temporary.empty())
        reportError(savedInTemporaryFolderMessage(temporary));
}

void Form1::cmdPrint_Click()
{
    PrintPassword(*m_services.openPrinter(), m_services.todayShortDate(),
                  PasswordCopy(m_controls.lblPassword.caption()).text());
}

} // namespace velkrin
