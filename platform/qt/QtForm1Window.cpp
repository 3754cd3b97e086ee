#include "platform/qt/QtForm1Window.h"

#include "platform/qt/CommandButton.h"
#include "platform/qt/LineEditAccessible.h"
#include "platform/qt/PasswordListView.h"
#include "platform/qt/QtText.h"
#include "platform/qt/WindowFonts.h"
#include "platform/qt/WindowPlacement.h"
#include "platform/qt/XPButton.h"
#include "window/LayoutResolver.h"
#include "window/TickSchedule.h"
#include "window/WindowPolicy.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace velkrin {

namespace {

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

Form1Window::Form1Window(std::chrono::milliseconds clipboardClearAfter, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(name(kForm1Title));
    createControls(clipboardClearAfter);
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
}

Form1Controls Form1Window::controls()
{
    Controls &c = *m_controls;
    return Form1Controls{c.Timer1,   c.XPButton3,  c.XPButton2,  c.XPButton1, m_list,      c.cmdPrint,
                         c.cmdCreate, c.Check1,    c.txtNumbers, c.txtLetters, c.lblRandom, c.lblPassword};
}

Form1Window::~Form1Window() = default;

void Form1Window::createControls(std::chrono::milliseconds clipboardClearAfter)
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
            auto *view = new PasswordListView(clipboardClearAfter, parent);
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
        case ControlKind::TextBox:
            control = new QLineEdit(caption, parent);
            break;
        case ControlKind::Label:
            control = new QLabel(caption, parent);
            break;
        }
        control->setObjectName(name(p.name));
    }
}

void Form1Window::applyLayout()
{
    // Qt scales device-independent pixels to the screen itself: the layout is
    // taken at 96 dpi, where it was drawn.
    const ResolvedLayout layout = resolveLayout(96);
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint;
    if (!kForm1Frame.resizable)
        flags |= Qt::MSWindowsFixedSizeDialogHint;
    if (kForm1Frame.minimiseBox)
        flags |= Qt::WindowMinimizeButtonHint;
    if (kForm1Frame.maximiseBox)
        flags |= Qt::WindowMaximizeButtonHint;
    setWindowFlags(flags);
    setFixedSize(layout.clientWidth, layout.clientHeight);
    setFont(WindowFonts::font(layout.windowFontPixels, false));

    auto widget = [this, &layout](std::size_t row) {
        return findChild<QWidget *>(name(layout.controls[row].design->name));
    };
    for (std::size_t row = 0; row < layout.controls.size(); ++row) {
        const ResolvedControl &c = layout.controls[row];
        const ControlPlacement &p = *c.design;
        QWidget *w = widget(row);
        if (!w)
            continue; // the timer
        w->setGeometry(c.rect.left, c.rect.top, c.rect.width, c.rect.height);
        // Every control its own font: a frame's title font is not its
        // children's.
        w->setFont(WindowFonts::font(c.fontPixels, p.font.bold));
        if (!p.accessibleName.empty())
            w->setAccessibleName(name(p.accessibleName));
        if (!p.accessibleDescription.empty())
            w->setAccessibleDescription(name(p.accessibleDescription));
        if (auto *box = qobject_cast<QLineEdit *>(w))
            box->setMaxLength(c.maxLength);
        if (auto *label = qobject_cast<QLabel *>(w); label && p.centred)
            label->setAlignment(p.bordered ? Qt::AlignCenter : Qt::AlignHCenter | Qt::AlignTop);
        if (auto *label = qobject_cast<QLabel *>(w); label && p.bordered) {
            label->setFrameShape(QFrame::Box);
            label->setLineWidth(1);
            label->setAutoFillBackground(true);
            label->setBackgroundRole(QPalette::Base);
            label->setForegroundRole(QPalette::Text);
        }
    }
    for (std::size_t i = 1; i < layout.tabOrder.size(); ++i)
        QWidget::setTabOrder(widget(layout.tabOrder[i - 1]), widget(layout.tabOrder[i]));
    widget(layout.initialFocus)->setFocus();

    // Centred on the screen when first shown: the client area now, the frame
    // once a window manager has put one around it.
    WindowPlacement::install(*this);
}

} // namespace velkrin
