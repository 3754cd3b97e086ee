#include "window/Form1Layout.h"

#include "platform/WindowFonts.h"
#include "window/Form1.h"
#include "window/WindowPlacement.h"

#include <algorithm>
#include <vector>

namespace velkrin {

namespace {

constexpr int px(int twips)
{
    return twips / kTwipsPerPixel;
}

// 8.25 and 9.75 points at 96 dpi, where the layout was drawn.
constexpr int kDefaultPixels = 11;
constexpr int kLargePixels = 13;

} // namespace

void applyForm1Layout(Form1 &form)
{
    // A fixed single border: no resizing, no maximise or minimise button.
    form.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    form.setFixedSize(px(kClientWidthTwips), px(kClientHeightTwips));
    form.setFont(WindowFonts::font(kDefaultPixels));

    for (const ControlPlacement &p : kForm1Layout) {
        auto *widget = form.findChild<QWidget *>(QLatin1String(p.name));
        widget->setGeometry(px(p.left), px(p.top), px(p.width), px(p.height));
    }

    // Frame1's title is larger and bold; its children keep the window font,
    // which they would otherwise inherit from the frame.
    form.Frame1->setFont(WindowFonts::font(kLargePixels, true));
    for (QWidget *child : form.Frame1->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        child->setFont(WindowFonts::font(kDefaultPixels));
    for (QLabel *label : {form.Label3, form.Label4}) {
        label->setFont(WindowFonts::font(kDefaultPixels, true));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }

    form.lblPassword->setFont(WindowFonts::font(kLargePixels));
    form.lblPassword->setAlignment(Qt::AlignCenter);
    form.lblPassword->setFrameShape(QFrame::Box);
    form.lblPassword->setLineWidth(1);
    form.lblPassword->setAutoFillBackground(true);
    form.lblPassword->setBackgroundRole(QPalette::Base);
    form.lblPassword->setForegroundRole(QPalette::Text);

    // Labels, frames and the timer take no focus; the rest follow their tab
    // indexes.
    std::vector<const ControlPlacement *> focusable;
    for (const ControlPlacement &p : kForm1Layout) {
        auto *widget = form.findChild<QWidget *>(QLatin1String(p.name));
        if (widget->focusPolicy() != Qt::NoFocus && !qobject_cast<QGroupBox *>(widget) &&
            !qobject_cast<QLabel *>(widget))
            focusable.push_back(&p);
    }
    std::sort(focusable.begin(), focusable.end(),
              [](const ControlPlacement *a, const ControlPlacement *b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < focusable.size(); ++i)
        QWidget::setTabOrder(form.findChild<QWidget *>(QLatin1String(focusable[i - 1]->name)),
                             form.findChild<QWidget *>(QLatin1String(focusable[i]->name)));
    form.cmdCreate->setFocus();

    // Names a screen reader announces.
    form.cmdCreate->setAccessibleName(QStringLiteral("Create password"));
    form.cmdPrint->setAccessibleName(QStringLiteral("Print password"));
    form.txtLetters->setAccessibleName(QStringLiteral("Number of letters"));
    form.txtNumbers->setAccessibleName(QStringLiteral("Number of digits"));
    form.Check1->setAccessibleName(QStringLiteral("Mixed upper and lower case"));
    form.List1->setAccessibleName(QStringLiteral("Generated passwords"));
    form.XPButton1->setAccessibleName(QStringLiteral("Generate"));
    form.XPButton2->setAccessibleName(QStringLiteral("Stop"));
    form.XPButton3->setAccessibleName(QStringLiteral("Save"));
    // The title's leading spaces would be read out as well.
    form.Frame1->setAccessibleName(QStringLiteral("Target length"));
    // The two labels' text is what they say, so it stays their name; what
    // they are goes into the description.
    form.lblRandom->setAccessibleDescription(QStringLiteral("Total length"));
    form.lblPassword->setAccessibleDescription(QStringLiteral("Current password"));
    form.XPButton1->setAccessibleDescription(QStringLiteral("Adds ten new passwords a second to the list"));
    form.XPButton2->setAccessibleDescription(QStringLiteral("Stops adding passwords to the list"));
    form.XPButton3->setAccessibleDescription(QStringLiteral("Writes the list to target.txt in the program's folder"));

    // Centred on the screen when first shown: the client area now, the frame
    // once a window manager has put one around it.
    WindowPlacement::install(form);
}

} // namespace velkrin
