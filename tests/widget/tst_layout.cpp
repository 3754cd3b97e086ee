// The shown window: geometry, what lies in view, tab order, focus, fonts.

#include "FormHarness.h"

#include "platform/qt/WindowFonts.h"
#include "window/LayoutResolver.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <memory>

using namespace velkrin;
using namespace velkrin::widgettest;

namespace {

QWidget *control(QWidget &form, const QString &name)
{
    return form.findChild<QWidget *>(name);
}

// The part of a control that can be seen: clipped by every frame around it
// and by the window's client area; in window coordinates.
QRect visiblePart(const QWidget *widget, const QWidget *window)
{
    QRect part(widget->mapTo(window, QPoint(0, 0)), widget->size());
    for (const QWidget *p = widget->parentWidget(); p && p != window; p = p->parentWidget())
        part &= QRect(p->mapTo(window, QPoint(0, 0)), p->size());
    return part & window->rect();
}

QRect toQRect(const PixelRect &r)
{
    return QRect(r.left, r.top, r.width, r.height);
}

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QStringLiteral("<none>");
}

const QStringList kTabOrder{
    QStringLiteral("cmdCreate"), QStringLiteral("txtLetters"), QStringLiteral("txtNumbers"),
    QStringLiteral("Check1"),    QStringLiteral("cmdPrint"),   QStringLiteral("List1"),
    QStringLiteral("XPButton1"), QStringLiteral("XPButton2"),  QStringLiteral("XPButton3"),
};

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void geometry();
    void framesHoldTheirControlsAtAnyDpi();
    void clientAreaIsFixed();
    void framesFillClientArea();
    void inView_data();
    void inView();
    void tabOrder();
    void initialFocusAndSpace();
    void captions_data();
    void captions();
    void fonts_data();
    void fonts();
    void captionsFit();
    void listFrameClosed();
    void accessibleNames();

private:
    std::unique_ptr<FormHarness> m_harness;
    Form1Widgets *m_form = nullptr;
    Form1Window *m_window = nullptr;
};

void LayoutTest::init()
{
    m_harness = std::make_unique<FormHarness>();
    m_form = &m_harness->form();
    m_window = &m_form->window;
    m_form->raiseLoad();
    QVERIFY(m_harness->showAndActivate());
}

void LayoutTest::cleanup()
{
    m_form = nullptr;
    m_window = nullptr;
    m_harness.reset();
}

// The resolver gives the rectangles the window was drawn with at 96 dpi
// (twips / 15), and every control stands, in its frame, where it says.
void LayoutTest::geometry()
{
    const ResolvedLayout layout = resolveLayout(96);
    QCOMPARE(QSize(layout.clientWidth, layout.clientHeight), QSize(218, 483));
    QCOMPARE(toQRect(layout["Frame2"].rect), QRect(0, 64, 217, 329));
    QCOMPARE(toQRect(layout["List1"].rect), QRect(0, 8, 217, 316));
    QCOMPARE(toQRect(layout["txtLetters"].rect), QRect(16, 24, 33, 19));
    QCOMPARE(toQRect(layout["Label4"].rect), QRect(16, 56, 185, 17));
    QCOMPARE(toQRect(layout["XPButton3"].rect), QRect(48, 56, 105, 25));
    QCOMPARE(toQRect(layout["cmdCreate"].rect), QRect(272, 24, 65, 25));
    for (const ResolvedControl &c : layout.controls) {
        const QString name = QLatin1String(c.design->name);
        QWidget *widget = control(*m_window, name);
        QVERIFY2(widget || c.design->kind == ControlKind::Timer, qPrintable(name));
        if (!widget)
            continue;
        QCOMPARE(widget->parentWidget()->objectName(),
                 c.design->parent.empty() ? QStringLiteral("Form1") : QLatin1String(c.design->parent));
        QCOMPARE(widget->geometry(), toQRect(c.rect));
        QVERIFY(widget->isVisible());
        QVERIFY(widget->isEnabled());
    }
}

// At other DPIs a control stays inside its frame exactly where the design
// puts it inside, and the cut-off ones stay cut off; at 192 dpi all doubles.
void LayoutTest::framesHoldTheirControlsAtAnyDpi()
{
    const ResolvedLayout at96 = resolveLayout(96);
    for (const int dpi : {120, 144, 168, 192}) {
        const ResolvedLayout layout = resolveLayout(dpi);
        for (const ResolvedControl &c : layout.controls) {
            const QRect drawn = toQRect(at96.controls[layout.row(c.design->name)].rect);
            if (dpi == 192)
                QCOMPARE(toQRect(c.rect), QRect(drawn.topLeft() * 2, drawn.size() * 2));
            if (c.design->parent.empty())
                continue;
            const ControlPlacement &frame = *layout[c.design->parent].design;
            const QRect frameRect(QPoint(0, 0), toQRect(layout[c.design->parent].rect).size());
            const bool designedInside =
                c.design->left + c.design->width <= frame.width && c.design->top + c.design->height <= frame.height;
            QVERIFY2(frameRect.contains(toQRect(c.rect)) == designedInside,
                     qPrintable(QStringLiteral("%1 at %2 dpi").arg(QLatin1String(c.design->name)).arg(dpi)));
        }
    }
    QCOMPARE(resolveLayout(192).windowFontPixels, 2 * at96.windowFontPixels);
}

void LayoutTest::clientAreaIsFixed()
{
    Form1Window &form = *m_window;
    const QSize client(218, 483); // 3270 x 7245 twips
    // What the shown window's client area measures, not what was asked for.
    QWindow *window = form.windowHandle();
    QVERIFY(window);
    QCOMPARE(window->size(), client);
    QCOMPARE(window->minimumSize(), client);
    QCOMPARE(window->maximumSize(), client);
    QVERIFY(!(window->flags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(window->flags() & Qt::WindowMinimizeButtonHint));
    form.resize(400, 700);
    window->resize(400, 700);
    QCoreApplication::processEvents();
    QCOMPARE(window->size(), client);
    QCOMPARE(form.size(), client);

    // Centred on the screen when first shown (a fresh window, not yet moved).
    FormHarness fresh;
    fresh.form().raiseLoad();
    fresh->show();
    QVERIFY(QTest::qWaitForWindowExposed(&fresh.form().window));
    const QPoint screenCentre = fresh->screen()->availableGeometry().center();
    const QPoint windowCentre = fresh->geometry().center();
    // Within rounding and the window frame's few pixels.
    QVERIFY2(qAbs(windowCentre.x() - screenCentre.x()) <= 2 && qAbs(windowCentre.y() - screenCentre.y()) <= 2,
             qPrintable(QStringLiteral("window centre %1,%2; screen centre %3,%4")
                            .arg(windowCentre.x())
                            .arg(windowCentre.y())
                            .arg(screenCentre.x())
                            .arg(screenCentre.y())));

    // Maximised or full screen, as some window managers impose, turns back at once.
    for (void (QWidget::*grow)() : {&QWidget::showMaximized, &QWidget::showFullScreen}) {
        (fresh.form().window.*grow)();
        QTRY_VERIFY(!(fresh->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)));
        QCOMPARE(fresh->size(), client);
    }
}

// Frame1, Frame2, Frame3 from top to bottom, each as wide as the client area
// less one pixel, neighbours overlapping by one pixel.
void LayoutTest::framesFillClientArea()
{
    const QList<QGroupBox *> frames{m_form->Frame1, m_form->Frame2, m_form->Frame3};
    QCOMPARE(frames.first()->y(), 120 / 15);
    for (qsizetype i = 0; i < frames.size(); ++i) {
        QGroupBox *frame = frames[i];
        QCOMPARE(frame->parentWidget(), m_window);
        QCOMPARE(frame->x(), 0);
        QCOMPARE(frame->width(), m_window->width() - 1);
        QCOMPARE(visiblePart(frame, m_window), frame->geometry());
        if (i > 0)
            QCOMPARE(frame->y(), frames[i - 1]->geometry().bottom()); // one shared pixel row
    }
    QCOMPARE(frames.last()->y() + frames.last()->height(), 7215 / 15);
    QVERIFY(frames.last()->y() + frames.last()->height() <= m_window->height());
    // The list spans its frame.
    QCOMPARE(m_form->List1->width(), m_form->Frame2->width());
}

// What the user can see of each control.
void LayoutTest::inView_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("seen"); // all, none, top row
    QTest::addColumn<QString>("where");

    for (const char *name : {"Frame1", "Frame2", "Frame3", "txtLetters", "Label1", "Label3", "txtNumbers", "Label2",
                             "List1", "XPButton1", "XPButton2", "XPButton3"})
        // clang-format off
        QTest::newRow(name) << name << "all" << "";
    // clang-format on
    for (const char *name : {"cmdCreate", "cmdPrint", "lblPassword"})
        // clang-format off
        QTest::newRow(name) << name << "none" << "right of the client area";
    // clang-format on
    for (const char *name : {"Check1", "lblRandom", "Label5"})
        // clang-format off
        QTest::newRow(name) << name << "none" << "below Frame1";
    QTest::newRow("Label4") << "Label4" << "top row" << "below Frame1";
    // clang-format on
}

void LayoutTest::inView()
{
    QFETCH(QString, name);
    QFETCH(QString, seen);
    QFETCH(QString, where);

    QWidget *widget = control(*m_window, name);
    QVERIFY(widget);
    const QRect part = visiblePart(widget, m_window);
    const QRect whole(widget->mapTo(m_window, QPoint(0, 0)), widget->size());
    if (seen == QLatin1String("all")) {
        QCOMPARE(part, whole);
    } else if (seen == QLatin1String("none")) {
        QVERIFY2(part.isEmpty(), qPrintable(name));
        QVERIFY(widget->visibleRegion().isEmpty());
    } else {
        QCOMPARE(part, QRect(whole.topLeft(), QSize(whole.width(), 1)));
    }
    if (where == QLatin1String("right of the client area"))
        QVERIFY(whole.left() >= m_window->width());
    else if (where == QLatin1String("below Frame1"))
        QVERIFY(widget->y() >= m_form->Frame1->height() - 1);
    // Out of view is not hidden or disabled.
    QVERIFY(widget->isVisible());
    QVERIFY(widget->isEnabled());
}

// The focus chain, walked and then pressed through with Tab and Shift+Tab.
void LayoutTest::tabOrder()
{
    QStringList chain;
    QWidget *w = m_form->cmdCreate;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(m_window) && w->isEnabled())
            chain << w->objectName();
        w = w->nextInFocusChain();
    } while (w != m_form->cmdCreate);
    QCOMPARE(chain, kTabOrder);

    QCOMPARE(focusName(), kTabOrder.first());
    for (qsizetype i = 1; i <= kTabOrder.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusName(), kTabOrder[i % kTabOrder.size()]);
    }
    for (qsizetype i = kTabOrder.size() - 1; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focusName(), kTabOrder[i]);
    }
    // Tabbing through changes nothing.
    QCOMPARE(m_form->lblRandom->text(), QStringLiteral("6 Random Characters"));
    QCOMPARE(m_form->lblPassword->text(), QString());
    QCOMPARE(m_form->Check1->checkState(), Qt::Unchecked);
    QVERIFY(!m_form->Timer1->isActive());
}

// The window opens with the focus on the off-window Create button: space
// composes a password into the off-window label and nothing in view changes.
void LayoutTest::initialFocusAndSpace()
{
    QCOMPARE(focusName(), QStringLiteral("cmdCreate"));
    const QImage before = m_window->grab().toImage();
    QTest::keyClick(m_form->cmdCreate, Qt::Key_Space);
    QVERIFY2(separatePattern(3, 3).match(m_form->lblPassword->text()).hasMatch(),
             qPrintable(m_form->lblPassword->text()));
    QCoreApplication::processEvents();
    QCOMPARE(m_window->grab().toImage(), before);
    QCOMPARE(m_harness->listItems().size(), 0);
    QCOMPARE(focusName(), QStringLiteral("cmdCreate"));
}

void LayoutTest::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    // clang-format off
    QTest::newRow("Frame1") << "Frame1" << "           Target Length";
    QTest::newRow("Frame2") << "Frame2" << "";
    QTest::newRow("Frame3") << "Frame3" << "";
    QTest::newRow("cmdCreate") << "cmdCreate" << "&Create";
    QTest::newRow("cmdPrint") << "cmdPrint" << "&Print";
    QTest::newRow("XPButton1") << "XPButton1" << "Generate";
    QTest::newRow("XPButton2") << "XPButton2" << "Stop";
    QTest::newRow("XPButton3") << "XPButton3" << "Save";
    QTest::newRow("Check1") << "Check1" << "";
    QTest::newRow("Label1") << "Label1" << "Letters";
    QTest::newRow("Label2") << "Label2" << "Numbers";
    QTest::newRow("Label3") << "Label3" << "+";
    QTest::newRow("Label4") << "Label4" << "OR";
    QTest::newRow("Label5") << "Label5" << "(upper and lower case)";
    // clang-format on
}

void LayoutTest::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QWidget *widget = control(*m_window, name);
    QVERIFY(widget);
    QString shown;
    if (auto *frame = qobject_cast<QGroupBox *>(widget))
        shown = frame->title();
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        shown = button->text();
    else if (auto *label = qobject_cast<QLabel *>(widget))
        shown = label->text();
    else
        QFAIL("no caption");
    QCOMPARE(shown, caption);
    if (auto *button = qobject_cast<QPushButton *>(widget)) {
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }
}

// Font size and weight of every control; a few are bold, larger or centred.
void LayoutTest::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pixels"); // 8.25 and 9.75 points at 96 dpi
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("centred");

    for (const ControlPlacement &p : kForm1Layout) {
        const QString name = QLatin1String(p.name);
        if (p.kind == ControlKind::Timer)
            continue;
        if (name == QLatin1String("Frame1"))
            // clang-format off
            QTest::newRow(p.name.data()) << name << 13 << true << false;
        // clang-format on
        else if (name == QLatin1String("Label3") || name == QLatin1String("Label4"))
            // clang-format off
            QTest::newRow(p.name.data()) << name << 11 << true << true;
        // clang-format on
        else if (name == QLatin1String("lblPassword"))
            // clang-format off
            QTest::newRow(p.name.data()) << name << 13 << false << true;
        // clang-format on
        else
            // clang-format off
            QTest::newRow(p.name.data()) << name << 11 << false << false;
        // clang-format on
    }
    // clang-format off
    QTest::newRow("the window") << "Form1" << 11 << false << false;
    // clang-format on
}

void LayoutTest::fonts()
{
    QFETCH(QString, name);
    QFETCH(int, pixels);
    QFETCH(bool, bold);
    QFETCH(bool, centred);

    QWidget *widget = name == QLatin1String("Form1") ? m_window : control(*m_window, name);
    QVERIFY(widget);
    const QFont font = widget->font();
    // In pixels, like the layout, so that a screen's font resolution cannot
    // outgrow the boxes.
    QCOMPARE(font.pixelSize(), pixels);
    QCOMPARE(font.bold(), bold);
    QCOMPARE(font.weight(), bold ? QFont::Bold : QFont::Normal);
    QCOMPARE(font.family(), WindowFonts::family());

    // What is drawn must differ too: a bitmap face or a missing bold would
    // draw the title and the bold labels exactly like the rest.
    const QFont regular = WindowFonts::font(11);
    const QString sample = QStringLiteral("Target Length");
    if (bold) {
        QVERIFY2(QFontMetricsF(font).horizontalAdvance(sample) > QFontMetricsF(regular).horizontalAdvance(sample),
                 "bold is drawn no wider than regular");
    }
    if (pixels > 11)
        QVERIFY2(QFontMetricsF(font).height() > QFontMetricsF(regular).height(),
                 "13 pixels are drawn no taller than 11");

    if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(bool(label->alignment() & Qt::AlignHCenter), centred);
    if (name == QLatin1String("lblPassword")) {
        QCOMPARE(m_form->lblPassword->frameShape(), QFrame::Box);
        QCOMPARE(m_form->lblPassword->lineWidth(), 1);
        QCOMPARE(m_form->lblPassword->backgroundRole(), QPalette::Base);
        QCOMPARE(m_form->lblPassword->foregroundRole(), QPalette::Text);
        QVERIFY(m_form->lblPassword->autoFillBackground());
    }
}

// Every caption fits its control at the scale and font resolution this run
// was started with (see CMakeLists.txt).
void LayoutTest::captionsFit()
{
    // A run meant for a high font resolution must really have it, or it would
    // pass at 96 dpi and prove nothing.
    if (const int dpi = qEnvironmentVariableIntValue("QT_FONT_DPI")) {
        QCOMPARE(m_window->logicalDpiY(), dpi);
        QFont pointSized(WindowFonts::family());
        pointSized.setPointSizeF(8.25);
        QCOMPARE(QFontInfo(QFont(pointSized, m_window)).pixelSize(), qRound(8.25 * dpi / 72));
    }
    QTest::keyClick(m_form->cmdCreate, Qt::Key_Space); // a password in lblPassword

    struct Caption {
        QWidget *widget;
        QString text;
        QSize room;
    };
    QList<Caption> captions;
    for (QLabel *label : m_window->findChildren<QLabel *>())
        captions.append({label, label->text(), label->contentsRect().size()});
    for (QAbstractButton *button : m_window->findChildren<QAbstractButton *>())
        captions.append({button, button->text(), button->size()});
    // The title must also leave room for the row of controls below it.
    captions.append({m_form->Frame1, m_form->Frame1->title(), {m_form->Frame1->width(), m_form->txtLetters->y()}});

    int measured = 0;
    for (const Caption &c : std::as_const(captions)) {
        if (c.text.isEmpty())
            continue;
        const QFontMetrics metrics = c.widget->fontMetrics();
        const QSize needed(metrics.horizontalAdvance(QString(c.text).remove(QLatin1Char('&'))), metrics.height());
        QVERIFY2(needed.width() <= c.room.width() && needed.height() <= c.room.height(),
                 qPrintable(QStringLiteral("%1 \"%2\" needs %3 x %4, has %5 x %6")
                                .arg(c.widget->objectName(), c.text)
                                .arg(needed.width())
                                .arg(needed.height())
                                .arg(c.room.width())
                                .arg(c.room.height())));
        ++measured;
    }
    QCOMPARE(measured, 13); // 7 labels, 5 push buttons (the check box has none), the title
}

// The list's frame is closed at the bottom and right as at the top, also at
// fractional scales, where the viewport's rounded rectangle reaches into the
// device pixels of the last row and column.
void LayoutTest::listFrameClosed()
{
    QWidget *list = m_form->List1;
    // Empty, then with enough items for the scroll bar, which stands over the
    // right and bottom lines as the viewport does.
    for (int items : {0, 40}) {
        while (m_harness->listItems().size() < items)
            m_harness->tick();
        const QImage image = list->grab().toImage();
        const qreal ratio = image.devicePixelRatio();
        const QColor frame = image.pixelColor(image.width() / 2, 0);
        QVERIFY(frame != list->palette().color(QPalette::Base));
        // The device pixels that show the last logical row (in the middle and
        // under the scroll bar), and the last column.
        QList<QColor> bottom, underScrollBar, right;
        for (int y = qFloor((list->height() - 1) * ratio); y < image.height(); ++y) {
            bottom << image.pixelColor(image.width() / 2, y);
            underScrollBar << image.pixelColor(image.width() - qRound(5 * ratio), y);
        }
        for (int x = qFloor((list->width() - 1) * ratio); x < image.width(); ++x)
            right << image.pixelColor(x, image.height() / 2);
        const QString where = QStringLiteral(" with %1 items").arg(items);
        QVERIFY2(bottom.contains(frame), qPrintable(QStringLiteral("no %1 at the bottom").arg(frame.name()) + where));
        QVERIFY2(underScrollBar.contains(frame),
                 qPrintable(QStringLiteral("no %1 at the bottom right").arg(frame.name()) + where));
        QVERIFY2(right.contains(frame), qPrintable(QStringLiteral("no %1 at the right").arg(frame.name()) + where));
    }
}

void LayoutTest::accessibleNames()
{
    QStringList focusable;
    for (const ControlPlacement &p : kForm1Layout) {
        QWidget *widget = control(*m_window, QLatin1String(p.name));
        if (!widget || widget->focusPolicy() == Qt::NoFocus)
            continue;
        focusable << widget->objectName();
        QVERIFY2(!widget->accessibleName().trimmed().isEmpty(), qPrintable(widget->objectName()));
    }
    focusable.sort();
    QStringList expected = kTabOrder;
    expected.sort();
    QCOMPARE(focusable, expected);

    // The two labels' names and descriptions are read as a screen reader
    // reads them in tst_create_and_batch (captionsReachScreenReaders).
    QCOMPARE(m_form->Frame1->accessibleName(), QStringLiteral("Target length"));
    for (QWidget *button : {m_form->XPButton1, m_form->XPButton2, m_form->XPButton3})
        QVERIFY2(!button->accessibleDescription().isEmpty(), qPrintable(button->objectName()));
    QVERIFY(m_form->XPButton3->accessibleDescription().contains(QLatin1String("target.txt")));
}

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
