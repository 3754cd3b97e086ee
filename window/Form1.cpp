#include "window/Form1.h"

#include "generation/ComposePassword.h"
#include "generation/PasswordStrength.h"
#include "generation/RandomGenerators.h"
#include "output/PrintPassword.h"
#include "output/SaveList.h"
#include "platform/HostError.h"
#include "platform/Int16Arithmetic.h"
#include "platform/LeadingNumber.h"
#include "platform/LineEditAccessible.h"
#include "window/Form1Layout.h"

#include <limits>
#include <new>

namespace velkrin {

namespace {

const QString kRandomCaptionSuffix = QStringLiteral(" Random Characters");

std::int16_t countFromText(const QString &text, const QString &what)
{
    return roundToInt16(leadingNumber(text.toStdString()), what);
}

} // namespace

Form1::Form1(HostServices services, QWidget *parent)
    : QWidget(parent), m_services(std::move(services)), m_picker(*m_services.random)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Velkrin"));
    createControls();
    applyForm1Layout(*this);
    bindEvents();
}

void Form1::createControls()
{
    // Before the boxes exist, so that they get the fixed interface.
    installLineEditAccessibility();
    // Same order as the stored window description; it is also the stacking
    // order of siblings.
    auto named = [](auto *widget, const char *name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(100);
    // A precise timer schedules each tick from the previous deadline, so ten
    // ticks a second hold over minutes instead of drifting.
    Timer1->setTimerType(Qt::PreciseTimer);

    Frame3 = named(new QGroupBox(this), "Frame3");
    XPButton3 = named(new XPButton(Frame3), "XPButton3");
    XPButton3->setText(QStringLiteral("Save"));
    XPButton2 = named(new XPButton(Frame3), "XPButton2");
    XPButton2->setText(QStringLiteral("Stop"));
    XPButton1 = named(new XPButton(Frame3), "XPButton1");
    XPButton1->setText(QStringLiteral("Generate"));

    Frame2 = named(new QGroupBox(this), "Frame2");
    List1 = named(new PasswordListView(Frame2), "List1");
    List1->setModel(&m_list);

    cmdPrint = named(new CommandButton(QStringLiteral("&Print"), this), "cmdPrint");
    cmdCreate = named(new CommandButton(QStringLiteral("&Create"), this), "cmdCreate");

    Frame1 = named(new QGroupBox(QStringLiteral("           Target Length"), this), "Frame1");
    Check1 = named(new QCheckBox(Frame1), "Check1");
    txtNumbers = named(new QLineEdit(Frame1), "txtNumbers");
    txtLetters = named(new QLineEdit(Frame1), "txtLetters");
    Label5 = named(new QLabel(QStringLiteral("(upper and lower case)"), Frame1), "Label5");
    Label4 = named(new QLabel(QStringLiteral("OR"), Frame1), "Label4");
    lblRandom = named(new QLabel(Frame1), "lblRandom");
    Label3 = named(new QLabel(QStringLiteral("+"), Frame1), "Label3");
    Label2 = named(new QLabel(QStringLiteral("Numbers"), Frame1), "Label2");
    Label1 = named(new QLabel(QStringLiteral("Letters"), Frame1), "Label1");

    lblPassword = named(new QLabel(this), "lblPassword");

    // The boxes take text of any length; the count is read from all of it,
    // so a long paste is not cut at Qt's default of 32767 characters.
    for (QLineEdit *box : {txtLetters, txtNumbers})
        box->setMaxLength(std::numeric_limits<int>::max());
}

void Form1::bindEvents()
{
    auto bind = [this](auto *sender, auto signal, void (Form1::*handler)()) {
        connect(sender, signal, this, [this, handler] { runHandler([this, handler] { (this->*handler)(); }); });
    };
    connect(txtLetters, &QLineEdit::textChanged, this, [this] { countEdited(CountBox::Letters); });
    connect(txtNumbers, &QLineEdit::textChanged, this, [this] { countEdited(CountBox::Numbers); });
    connect(Check1, &QCheckBox::stateChanged, this, &Form1::describeStrength);
    bind(cmdCreate, &QPushButton::clicked, &Form1::cmdCreate_Click);
    bind(cmdPrint, &QPushButton::clicked, &Form1::cmdPrint_Click);
    bind(Timer1, &QTimer::timeout, &Form1::Timer1_Timer);
    bind(XPButton1, &XPButton::press, &Form1::XPButton1_press);
    bind(XPButton2, &XPButton::press, &Form1::XPButton2_press);
    bind(XPButton3, &XPButton::press, &Form1::XPButton3_press);
}

void Form1::countEdited(CountBox which)
{
    QLineEdit *box = which == CountBox::Letters ? txtLetters : txtNumbers;
    runHandler([this, which, box] {
        RecountLengths(which);
        // Typed by the user (the load's assignments happen without focus).
        if (box->hasFocus())
            m_notice.say(lblRandom->text());
    });
    describeStrength();
}

void Form1::describeStrength()
{
    // A box whose text gave no count refuses Create whatever the stored counts.
    const QString strength = m_rejected[0] || m_rejected[1] ? refusedStrengthText()
                                                            : passwordStrengthText(state.intLetters, state.intNumbers,
                                                                                   Check1->checkState() == Qt::Checked);
    for (QLineEdit *box : {txtLetters, txtNumbers}) {
        box->setToolTip(strength);
        box->setAccessibleDescription(strength);
    }
}

void Form1::runHandler(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const HostError &error) {
        reportError(error.message());
    } catch (const std::bad_alloc &) {
        reportError(QStringLiteral("There is not enough memory to finish the operation."));
    }
}

void Form1::reportError(const QString &message)
{
    // Stop batch mode first: one fault gives one message, and no tick runs
    // while the message is open.
    Timer1->stop();
    m_services.showWarning(this, message);
}

void Form1::raiseLoad()
{
    runHandler([this] { Form_Load(); });
}

void Form1::Form_Load()
{
    // Each assignment raises the box's change event, which recounts; the
    // steps below then do the same work once more.
    txtLetters->setText(QStringLiteral("3"));
    txtNumbers->setText(QStringLiteral("3"));
    state.intLetters = countFromText(txtLetters->text(), QStringLiteral("number of letters"));
    state.intNumbers = countFromText(txtNumbers->text(), QStringLiteral("number of digits"));
    const std::int16_t sum =
        checkedAddInt16(state.intLetters, state.intNumbers, QStringLiteral("total number of characters"));
    lblRandom->setText(int16Text(sum) + kRandomCaptionSuffix);
    lblRandom->repaint();
    m_services.random->reseed();
}

void Form1::readCount(CountBox which)
{
    const bool letters = which == CountBox::Letters;
    bool &rejected = m_rejected[static_cast<int>(which)];
    rejected = true;
    (letters ? state.intLetters : state.intNumbers) =
        countFromText((letters ? txtLetters : txtNumbers)->text(),
                      letters ? QStringLiteral("number of letters") : QStringLiteral("number of digits"));
    rejected = false;
}

void Form1::RecountLengths(CountBox which)
{
    readCount(which);
    const std::int16_t sum =
        checkedAddInt16(state.intLetters, state.intNumbers, QStringLiteral("total number of characters"));
    lblRandom->setText(int16Text(sum) + kRandomCaptionSuffix);
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
    // The box's value as the window stores it: 0 clear, 1 checked, 2 grayed.
    std::int16_t check1Value = 0;
    if (Check1->checkState() == Qt::Checked)
        check1Value = 1;
    else if (Check1->checkState() == Qt::PartiallyChecked)
        check1Value = 2;
    lblPassword->setText(velkrin::ComposePassword(*this, state, check1Value));
}

void Form1::cmdCreate_Click()
{
    ComposePassword();
    m_notice.say(lblPassword->text());
}

void Form1::Timer1_Timer()
{
    ComposePassword();
    m_list.append(lblPassword->text());
}

void Form1::XPButton1_press()
{
    // Generate while running changes nothing (start() would restart the interval).
    if (!Timer1->isActive())
        Timer1->start();
}

void Form1::XPButton2_press()
{
    Timer1->stop();
}

void Form1::XPButton3_press()
{
    SaveList(m_list.items(), m_services.executableDirectory());
}

void Form1::cmdPrint_Click()
{
    PrintPassword(*m_services.openPrinter(), shortDateText(m_services.today()), lblPassword->text());
}

} // namespace velkrin
