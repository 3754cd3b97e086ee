// One password on Create, and batch mode on Generate / Stop with its ticks.

#include "FormHarness.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QScopeGuard>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <numeric>

using namespace velkrin;
using namespace velkrin::widgettest;

namespace {

enum class Trigger { Click, SpaceOnFocus, ReturnOnFocus, EnterOnFocus, AltC };

// Returns once the Create button has been clicked.
bool createPassword(FormHarness &h, Trigger trigger)
{
    Form1Widgets &form = h.form();
    QSignalSpy clicked(form.cmdCreate, &QPushButton::clicked);
    switch (trigger) {
    case Trigger::Click:
        QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
        break;
    case Trigger::SpaceOnFocus:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        break;
    case Trigger::ReturnOnFocus:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        break;
    case Trigger::EnterOnFocus:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        break;
    case Trigger::AltC:
        // An access key presses the button visibly and clicks it a moment later.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
        clicked.wait(1000);
        break;
    }
    return clicked.count() == 1;
}

// Text-change events as a screen reader receives them: the object and its
// accessible name at that moment; and the notifications shown, which Orca
// speaks.
QList<QPair<QObject *, QString>> g_nameChanges;
QStringList g_notices;

void recordNameChange(QAccessibleEvent *event)
{
    QAccessibleInterface *iface = event->accessibleInterface();
    if (event->type() == QAccessible::NameChanged)
        g_nameChanges.append({event->object(), iface->text(QAccessible::Name)});
    if (event->type() == QAccessible::ObjectShow && iface->role() == QAccessible::Notification)
        g_notices.append(iface->text(QAccessible::Name));
}

QRegularExpression patternFor(int letters, int digits, bool mixed)
{
    return mixed ? mixedPattern(letters + digits) : separatePattern(letters, digits);
}

} // namespace

Q_DECLARE_METATYPE(Trigger)

class CreateAndBatchTest : public QObject {
    Q_OBJECT
private slots:
    void createComposes_data();
    void createComposes();
    void captionsReachScreenReaders();
    void mixedModeDrawsEveryClass();

    void ticksAppendToList_data();
    void ticksAppendToList();
    void repeatedPressesKeepState_data();
    void repeatedPressesKeepState();
    void errorWhileRunningStopsBatch_data();
    void errorWhileRunningStopsBatch();
    void realTimerMakesTenASecond();
};

void CreateAndBatchTest::createComposes_data()
{
    QTest::addColumn<Trigger>("trigger");
    QTest::addColumn<bool>("mixed");
    // clang-format off
    QTest::newRow("click, separate") << Trigger::Click << false;
    QTest::newRow("click, mixed") << Trigger::Click << true;
    QTest::newRow("space on the focused Create, separate") << Trigger::SpaceOnFocus << false;
    QTest::newRow("space on the focused Create, mixed") << Trigger::SpaceOnFocus << true;
    QTest::newRow("Return on the focused Create") << Trigger::ReturnOnFocus << false;
    QTest::newRow("keypad Enter on the focused Create, mixed") << Trigger::EnterOnFocus << true;
    QTest::newRow("Alt+C from a count box, separate") << Trigger::AltC << false;
    QTest::newRow("Alt+C from a count box, mixed") << Trigger::AltC << true;
    // clang-format on
}

void CreateAndBatchTest::createComposes()
{
    QFETCH(Trigger, trigger);
    QFETCH(bool, mixed);

    FormHarness h;
    Form1Widgets &form = h.form();
    form.raiseLoad();
    QVERIFY(h.showAndActivate());
    QCOMPARE(QApplication::focusWidget(), form.cmdCreate);
    if (mixed) {
        QTest::mouseClick(form.Check1, Qt::LeftButton);
        QCOMPARE(form.Check1->checkState(), Qt::Checked);
    }
    const bool onFocus = trigger != Trigger::Click && trigger != Trigger::AltC;
    if (mixed && onFocus)
        form.cmdCreate->setFocus(); // clicking the check box took the focus

    QSet<QString> seen;
    const int presses = trigger == Trigger::AltC ? 4 : 20;
    for (int i = 0; i < presses; ++i) {
        if (trigger == Trigger::AltC)
            form.txtLetters->setFocus(); // each access key moves the focus to the button
        if (onFocus)
            QCOMPARE(QApplication::focusWidget(), form.cmdCreate);
        QVERIFY(createPassword(h, trigger));
        const QString password = form.lblPassword->text();
        QVERIFY2(patternFor(3, 3, mixed).match(password).hasMatch(), qPrintable(password));
        seen.insert(password);
    }
    // Fresh draws each time (equal passwords out of 26^3*10^3 or 62^6 would
    // mean nothing is drawn).
    QVERIFY(seen.size() > 1);
    // Create touches neither the batch nor the counts.
    QCOMPARE(h.listItems().size(), 0);
    QCOMPARE(form.lblRandom->text(), QStringLiteral("6 Random Characters"));
    QVERIFY(!form.Timer1->isActive());
    QVERIFY(h.warnings().isEmpty());
}

void CreateAndBatchTest::mixedModeDrawsEveryClass()
{
    FormHarness h;
    Form1Widgets &form = h.form();
    form.raiseLoad();
    QTest::mouseClick(form.Check1, Qt::LeftButton);

    bool lower = false, upper = false, digit = false;
    for (int i = 0; i < 300; ++i) {
        QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
        for (QChar c : form.lblPassword->text()) {
            lower |= c >= u'a' && c <= u'z';
            upper |= c >= u'A' && c <= u'Z';
            digit |= c >= u'0' && c <= u'9';
        }
    }
    QVERIFY(lower);
    QVERIFY(upper);
    QVERIFY(digit);
}

// A screen reader hears the new password after Create and the new total after
// an edit, each once, and nothing on a batch tick; the labels' names follow
// their text (a label with a fixed accessible name would hide both).
void CreateAndBatchTest::captionsReachScreenReaders()
{
    FormHarness h;
    Form1Widgets &form = h.form();
    form.raiseLoad();
    QVERIFY(h.showAndActivate());
    g_nameChanges.clear();
    g_notices.clear();
    // Events reach the handler only while the platform's accessibility is
    // active, as when a screen reader listens.
    QPlatformAccessibility *platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
    QVERIFY(platform);
    platform->setActive(true);
    QAccessible::installUpdateHandler(&recordNameChange);
    const auto restore = qScopeGuard([platform] {
        QAccessible::installUpdateHandler(nullptr);
        platform->setActive(false);
    });
    QAccessibleInterface *password = QAccessible::queryAccessibleInterface(form.lblPassword);
    QAccessibleInterface *total = QAccessible::queryAccessibleInterface(form.lblRandom);
    QVERIFY(password && total);
    QCOMPARE(total->text(QAccessible::Name), QStringLiteral("6 Random Characters"));

    QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
    const QString made = form.lblPassword->text();
    QCOMPARE(password->text(QAccessible::Name), made);
    form.txtLetters->setFocus();
    h.replaceText(form.txtLetters, QStringLiteral("5"));
    QCOMPARE(total->text(QAccessible::Name), QStringLiteral("8 Random Characters"));
    h.tick();

    const QList<QPair<QObject *, QString>> expected{{form.lblPassword, made},
                                                    {form.lblRandom, QStringLiteral("8 Random Characters")},
                                                    {form.lblPassword, form.lblPassword->text()}};
    QCOMPARE(g_nameChanges, expected);
    QCOMPARE(g_notices, QStringList({made, QStringLiteral("8 Random Characters")}));
    // What each label is, without hiding what it says.
    QCOMPARE(password->text(QAccessible::Description), QStringLiteral("Current password"));
    QCOMPARE(total->text(QAccessible::Description), QStringLiteral("Total length"));
}

void CreateAndBatchTest::ticksAppendToList_data()
{
    QTest::addColumn<bool>("mixed");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<bool>("byKeyboard"); // Return on Generate, keypad Enter on Stop
    // clang-format off
    QTest::newRow("separate, 1 tick") << false << 1 << false;
    QTest::newRow("separate, 12 ticks") << false << 12 << false;
    QTest::newRow("mixed, 12 ticks, by keyboard") << true << 12 << true;
    // clang-format on
}

void CreateAndBatchTest::ticksAppendToList()
{
    QFETCH(bool, mixed);
    QFETCH(int, ticks);
    QFETCH(bool, byKeyboard);

    // A copied password leaves the clipboard after a delay, shortened here.
    FormHarness h(nullptr, std::chrono::milliseconds(50));
    Form1Widgets &form = h.form();
    form.raiseLoad();
    if (mixed)
        QTest::mouseClick(form.Check1, Qt::LeftButton);

    if (byKeyboard) {
        form.XPButton1->setFocus();
        QTest::keyClick(form.XPButton1, Qt::Key_Return);
    } else {
        QTest::mouseClick(form.XPButton1, Qt::LeftButton);
    }
    QVERIFY(form.Timer1->isActive());
    QCOMPARE(h.listItems().size(), 0); // Generate itself adds nothing
    for (int i = 0; i < ticks; ++i) {
        h.tick();
        QCOMPARE(h.listItems().size(), i + 1);
        QCOMPARE(h.listItems().last(), form.lblPassword->text());
    }
    if (byKeyboard) {
        form.XPButton2->setFocus();
        QTest::keyClick(form.XPButton2, Qt::Key_Enter, Qt::KeypadModifier);
    } else {
        QTest::mouseClick(form.XPButton2, Qt::LeftButton);
    }
    QVERIFY(!form.Timer1->isActive());

    const QStringList items = h.listItems();
    QCOMPARE(items.size(), ticks);

    // Ctrl+C on an item copies that password, marked as secret so that
    // clipboard managers keep it out of their history.
    form.List1->setFocus();
    form.List1->setCurrentIndex(form.List1->model()->index(ticks / 2, 0));
    QTest::keyClick(form.List1, Qt::Key_C, Qt::ControlModifier);
    const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
    QVERIFY(copied);
    QCOMPARE(copied->text(), items[ticks / 2]);
    QCOMPARE(copied->data(QStringLiteral("x-kde-passwordManagerHint")), QByteArrayLiteral("secret"));
    QCOMPARE(copied->data(QStringLiteral("application/x-copyq-hidden")), QByteArrayLiteral("1"));
    // The copy is cleared to empty text after the delay, but only while the
    // clipboard still holds it.
    QClipboard *clipboard = QGuiApplication::clipboard();
    QTRY_COMPARE_WITH_TIMEOUT(clipboard->text(), QString(), 2000);
    QVERIFY(!clipboard->mimeData()->hasFormat(QStringLiteral("x-kde-passwordManagerHint")));
    QTest::keyClick(form.List1, Qt::Key_C, Qt::ControlModifier);
    clipboard->setText(QStringLiteral("copied since"));
    QTest::qWait(200);
    QCOMPARE(clipboard->text(), QStringLiteral("copied since"));
    // Home and End go to the first and last item, as in a list box.
    QTest::keyClick(form.List1, Qt::Key_End);
    QCOMPARE(form.List1->currentIndex().row(), ticks - 1);
    QTest::keyClick(form.List1, Qt::Key_Home);
    QCOMPARE(form.List1->currentIndex().row(), 0);
    for (const QString &item : items)
        QVERIFY2(patternFor(3, 3, mixed).match(item).hasMatch(), qPrintable(item));
    if (ticks > 1)
        QVERIFY(QSet<QString>(items.begin(), items.end()).size() > 1);
    QCOMPARE(items.last(), form.lblPassword->text());
    QVERIFY(h.warnings().isEmpty());

    // A long item: the list shows its beginning, Ctrl+C copies it whole.
    h.replaceText(form.txtLetters, QStringLiteral("300"));
    h.tick();
    form.List1->setFocus();
    form.List1->setCurrentIndex(form.List1->model()->index(ticks, 0));
    QTest::keyClick(form.List1, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), form.lblPassword->text());
    QVERIFY(form.List1->currentIndex().data().toString().size() < form.lblPassword->text().size());
}

// G = press Generate, S = press Stop; only the last press decides.
void CreateAndBatchTest::repeatedPressesKeepState_data()
{
    QTest::addColumn<QString>("presses");
    QTest::addColumn<bool>("running");
    // clang-format off
    QTest::newRow("Stop while idle") << "S" << false;
    QTest::newRow("Stop twice") << "SS" << false;
    QTest::newRow("Generate") << "G" << true;
    QTest::newRow("Generate while running") << "GG" << true;
    QTest::newRow("Stop after Generate") << "GS" << false;
    QTest::newRow("Stop while stopped") << "GSS" << false;
    QTest::newRow("Generate, Generate, Stop") << "GGS" << false;
    QTest::newRow("Generate again after Stop") << "GSG" << true;
    // clang-format on
}

void CreateAndBatchTest::repeatedPressesKeepState()
{
    QFETCH(QString, presses);
    QFETCH(bool, running);

    FormHarness h;
    Form1Widgets &form = h.form();
    form.raiseLoad();
    for (QChar press : presses) {
        // Generate while running must not restart the interval: let part of
        // it pass first, so that a restart would show as a longer wait.
        const bool generateWhileRunning = press == u'G' && form.Timer1->isActive();
        while (generateWhileRunning && form.Timer1->remainingTime() > 60)
            QTest::qWait(5);
        QTest::mouseClick(press == u'G' ? form.XPButton1 : form.XPButton2, Qt::LeftButton);
        if (generateWhileRunning)
            QVERIFY2(form.Timer1->remainingTime() <= 60, qPrintable(QString::number(form.Timer1->remainingTime())));
    }
    QCOMPARE(form.Timer1->isActive(), running);
    QCOMPARE(h.listItems().size(), 0);
    QCOMPARE(form.lblPassword->text(), QString());
}

// An error while batch mode runs: the timer stops before the one warning is
// shown, and the list made so far and the current password stay.
void CreateAndBatchTest::errorWhileRunningStopsBatch_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("mixed");
    QTest::addColumn<bool>("failsOnTick"); // else on the typed edit itself

    // clang-format off
    QTest::newRow("negative digits on a tick") << "numbers" << "-2" << false << true;
    QTest::newRow("negative letters on a tick") << "letters" << "-1" << false << true;
    QTest::newRow("negative total on a tick, mixed") << "letters" << "-4" << true << true;
    QTest::newRow("count too large, typed") << "letters" << "40000" << false << false;
    QTest::newRow("sum too large, typed") << "numbers" << "32765" << false << false;
    // clang-format on
}

void CreateAndBatchTest::errorWhileRunningStopsBatch()
{
    QFETCH(QString, which);
    QFETCH(QString, text);
    QFETCH(bool, mixed);
    QFETCH(bool, failsOnTick);

    FormHarness h;
    Form1Widgets &form = h.form();
    form.raiseLoad();
    if (mixed)
        QTest::mouseClick(form.Check1, Qt::LeftButton);
    QTest::mouseClick(form.XPButton1, Qt::LeftButton);
    for (int i = 0; i < 3; ++i)
        h.tick();
    const QStringList madeSoFar = h.listItems();
    QCOMPARE(madeSoFar.size(), 3);

    QLineEdit *box = which == QLatin1String("letters") ? form.txtLetters : form.txtNumbers;
    h.replaceText(box, text);
    QCOMPARE(h.warnings().size(), failsOnTick ? 0 : 1);
    QCOMPARE(form.Timer1->isActive(), failsOnTick);
    const QString caption = form.lblRandom->text();
    if (failsOnTick)
        h.tick();

    QCOMPARE(h.warnings().size(), 1);
    QVERIFY2(!h.warnings().first().timerActive, "batch mode must stop before the warning is shown");
    QVERIFY(!form.Timer1->isActive());
    QCOMPARE(h.listItems(), madeSoFar);
    QCOMPARE(form.lblPassword->text(), madeSoFar.last());
    QCOMPARE(form.lblRandom->text(), caption);

    // Stopped for real: the event loop delivers no further ticks.
    QTest::qWait(350);
    QCOMPARE(h.warnings().size(), 1);
    QCOMPARE(h.listItems(), madeSoFar);

    // And the window carries on once the count is put right.
    h.replaceText(box, QStringLiteral("3"));
    QTest::mouseClick(form.XPButton1, Qt::LeftButton);
    h.tick();
    QCOMPARE(h.listItems().size(), 4);
    QVERIFY(patternFor(3, 3, mixed).match(h.listItems().last()).hasMatch());
    QCOMPARE(h.warnings().size(), 1);
}

void CreateAndBatchTest::realTimerMakesTenASecond()
{
    FormHarness h;
    Form1Widgets &form = h.form();
    form.raiseLoad();

    QElapsedTimer clock;
    QTest::mouseClick(form.XPButton1, Qt::LeftButton);
    clock.start();
    QTest::qWait(1050); // ten ticks are due, the eleventh not yet
    QTest::mouseClick(form.XPButton2, Qt::LeftButton);
    const qint64 elapsed = clock.elapsed();

    const QStringList items = h.listItems();
    qInfo("%lld items in %lld ms", static_cast<long long>(items.size()), static_cast<long long>(elapsed));
    QVERIFY2(items.size() >= 7 && items.size() <= 13, qPrintable(QString::number(items.size())));
    for (const QString &item : items)
        QVERIFY2(separatePattern(3, 3).match(item).hasMatch(), qPrintable(item));
    QCOMPARE(items.last(), form.lblPassword->text());

    // After Stop the list stays as it is.
    QTest::qWait(250);
    QCOMPARE(h.listItems(), items);
    QVERIFY(h.warnings().isEmpty());
}

QTEST_MAIN(CreateAndBatchTest)
#include "tst_create_and_batch.moc"
