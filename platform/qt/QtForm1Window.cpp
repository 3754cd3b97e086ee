#include "platform/qt/QtForm1Window.h"

#include "platform/qt/CommandButton.h"
#include "platform/qt/LineEditAccessible.h"
#include "platform/qt/PasswordListView.h"
#include "platform/qt/QtText.h"
#include "platform/qt/WindowFonts.h"
#include "platform/qt/WindowPlacement.h"
#include "platform/qt/XPButton.h"
#include "window/Form1.h"
#include "window/Form1Layout.h"
#include "window/TickSchedule.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace velkrin {

namespace {

constexpr int px(int twips)
{
    return twips / kTwipsPerPixel;
}

// The window was drawn at 96 dpi, where 8.25 and 9.75 points are 11 and 13
// pixels (see WindowFonts).
QFont fontFor(ControlFont font)
{
    return WindowFonts::font(static_cast<int>(std::lround(font.points * 96 / 72)), font.bold);
}

QString name(std::string_view text)
{
    return toQString(text);
}

} // namespace

// The widgets Form1's handlers use, behind their interfaces.
struct Form1Window::Controls {
    QtWakeUp Timer1WakeUp;
    QtPushButton XPButton3;
    QtPushButton XPButton2;
    QtPushButton XPButton1;
    QtPushButton cmdPrint;
    QtPushButton cmdCreate;
    QtCheckBox Check1;
    QtTextBox txtNumbers;
    QtTextBox txtLetters;
    QtLabel lblRandom;
    QtLabel lblPassword;
    TickSchedule Timer1{Timer1WakeUp};
};

Form1Window::Form1Window(QtHostChoices choices, QWidget *parent) : QWidget(parent), m_choices(std::move(choices))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(name(kForm1Title));
    createControls();
    applyLayout();

    auto find = [this](const char *objectName) { return findChild<QObject *>(QLatin1String(objectName)); };
    m_controls.reset(new Controls{
        QtWakeUp(*static_cast<QTimer *>(find("Timer1"))),
        QtPushButton(*static_cast<XPButton *>(find("XPButton3"))),
        QtPushButton(*static_cast<XPButton *>(find("XPButton2"))),
        QtPushButton(*static_cast<XPButton *>(find("XPButton1"))),
        QtPushButton(*static_cast<QAbstractButton *>(find("cmdPrint"))),
        QtPushButton(*static_cast<QAbstractButton *>(find("cmdCreate"))),
        QtCheckBox(*static_cast<QCheckBox *>(find("Check1"))),
        QtTextBox(*static_cast<QLineEdit *>(find("txtNumbers"))),
        QtTextBox(*static_cast<QLineEdit *>(find("txtLetters"))),
        QtLabel(*static_cast<QLabel *>(find("lblRandom"))),
        QtLabel(*static_cast<QLabel *>(find("lblPassword"))),
    });
    m_services.reset(new HostServices{
        m_choices.random,
        m_choices.openPrinter,
        m_choices.executableFolder,
        [this] { return toStdString(shortDateText(m_choices.today())); },
        [this](std::string_view message) { m_choices.showWarning(*this, toQString(message)); },
        [this](std::string_view message) { m_notice.say(toQString(message)); },
    });
    Controls &c = *m_controls;
    m_form = std::make_unique<Form1>(Form1Controls{c.Timer1, c.XPButton3, c.XPButton2, c.XPButton1, m_list, c.cmdPrint,
                                                   c.cmdCreate, c.Check1, c.txtNumbers, c.txtLetters, c.lblRandom,
                                                   c.lblPassword},
                                     *m_services);
}

Form1Window::~Form1Window() = default;

void Form1Window::load()
{
    m_form->Load();
}

void Form1Window::createControls()
{
    // Before the boxes exist, so that they get the fixed interface.
    installLineEditAccessibility();
    // In the table's order, which is also the stacking order of siblings.
    QHash<QString, QWidget *> frames;
    for (const ControlPlacement &p : kForm1Layout) {
        QWidget *parent = p.parent.empty() ? this : frames.value(name(p.parent));
        const QString caption = name(p.caption);
        QObject *control = nullptr;
        switch (p.kind) {
        case ControlKind::Timer:
            control = new QTimer(this); // Timer1's wake-up (QtWakeUp)
            break;
        case ControlKind::Frame:
            control = frames[name(p.name)] = new QGroupBox(caption, parent);
            break;
        case ControlKind::PushButton: {
            auto *button = new XPButton(parent);
            button->setText(caption);
            control = button;
            break;
        }
        case ControlKind::ListBox: {
            auto *view = new PasswordListView(m_choices.clipboardClearAfter, parent);
            view->setModel(&m_list.model());
            control = view;
            break;
        }
        case ControlKind::CommandButton:
            control = new CommandButton(caption, parent);
            break;
        case ControlKind::CheckBox:
            control = new QCheckBox(caption, parent);
            break;
        case ControlKind::TextBox: {
            auto *box = new QLineEdit(caption, parent);
            // The boxes take text of any length; the count is read from all
            // of it, so a long paste is not cut at Qt's default of 32767.
            box->setMaxLength(std::numeric_limits<int>::max());
            control = box;
            break;
        }
        case ControlKind::Label:
            control = new QLabel(caption, parent);
            break;
        }
        control->setObjectName(name(p.name));
    }
}

void Form1Window::applyLayout()
{
    // A fixed single border: no resizing, no maximise or minimise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(px(kClientWidthTwips), px(kClientHeightTwips));
    setFont(fontFor(kWindowFont));

    std::vector<const ControlPlacement *> focusable;
    for (const ControlPlacement &p : kForm1Layout) {
        auto *widget = findChild<QWidget *>(name(p.name));
        if (!widget)
            continue; // the timer
        widget->setGeometry(px(p.left), px(p.top), px(p.width), px(p.height));
        // Every control its own font: a frame's title font is not its
        // children's.
        widget->setFont(fontFor(p.font));
        if (!p.accessibleName.empty())
            widget->setAccessibleName(name(p.accessibleName));
        if (!p.accessibleDescription.empty())
            widget->setAccessibleDescription(name(p.accessibleDescription));
        if (auto *label = qobject_cast<QLabel *>(widget); label && p.centred)
            label->setAlignment(p.bordered ? Qt::AlignCenter : Qt::AlignHCenter | Qt::AlignTop);
        if (auto *label = qobject_cast<QLabel *>(widget); label && p.bordered) {
            label->setFrameShape(QFrame::Box);
            label->setLineWidth(1);
            label->setAutoFillBackground(true);
            label->setBackgroundRole(QPalette::Base);
            label->setForegroundRole(QPalette::Text);
        }
        // Labels, frames and the timer take no focus; the rest follow their
        // tab indexes.
        if (p.kind != ControlKind::Label && p.kind != ControlKind::Frame)
            focusable.push_back(&p);
    }
    std::sort(focusable.begin(), focusable.end(),
              [](const ControlPlacement *a, const ControlPlacement *b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < focusable.size(); ++i)
        QWidget::setTabOrder(findChild<QWidget *>(name(focusable[i - 1]->name)),
                             findChild<QWidget *>(name(focusable[i]->name)));
    findChild<QWidget *>(QStringLiteral("cmdCreate"))->setFocus();

    // Centred on the screen when first shown: the client area now, the frame
    // once a window manager has put one around it.
    WindowPlacement::install(*this);
}

} // namespace velkrin
