// Start-up of the Qt window, and a long paste into a count box. What typed
// counts do is tested on the scripted host (tests/unit/test_form1.cpp).

#include "FormHarness.h"

#include <QAbstractItemModel>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

using namespace velkrin;
using namespace velkrin::widgettest;

namespace {

QString caption(int total)
{
    return QStringLiteral("%1 Random Characters").arg(total);
}

} // namespace

class CountsTest : public QObject {
    Q_OBJECT
private slots:
    void startUp();
    void longPasteIsCut();
};

void CountsTest::startUp()
{
    FormHarness h;
    Form1Widgets &form = h.form();

    QCOMPARE(form->windowTitle(), QStringLiteral("Velkrin"));
    // Created, not yet loaded.
    QCOMPARE(form.txtLetters->text(), QString());
    QCOMPARE(form.txtNumbers->text(), QString());
    QCOMPARE(form.Check1->checkState(), Qt::Unchecked);
    QCOMPARE(form.List1->model()->rowCount(), 0);
    QVERIFY(!form.Timer1->isActive());
    QCOMPARE(form.lblRandom->text(), QString());
    QCOMPARE(form.lblPassword->text(), QString());

    // What Load's recounts show step by step is tested on the scripted host.
    form.raiseLoad();
    QCOMPARE(form.txtLetters->text(), QStringLiteral("3"));
    QCOMPARE(form.txtNumbers->text(), QStringLiteral("3"));
    QCOMPARE(form.lblRandom->text(), caption(6));
    // Loading composes nothing and starts nothing.
    QCOMPARE(form.lblPassword->text(), QString());
    QCOMPARE(form.List1->model()->rowCount(), 0);
    QVERIFY(!form.Timer1->isActive());
    QVERIFY(h.warnings().isEmpty());
}

// A box takes 32,767 characters and cuts a longer paste there: 32,766 zeros,
// 5, then more zeros count five.
void CountsTest::longPasteIsCut()
{
    FormHarness h;
    Form1Widgets &form = h.form();
    form.raiseLoad();
    QCOMPARE(form.txtNumbers->maxLength(), 32767);
    const QString kept = QString(32766, u'0') + u'5';
    QGuiApplication::clipboard()->setText(kept + QString(40000, u'0'));
    FormHarness::selectAll(form.txtLetters);
    QTest::keyClick(form.txtLetters, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(form.txtLetters->text(), kept);
    QCOMPARE(form.lblRandom->text(), caption(8));
    QVERIFY(h.warnings().isEmpty());
}

QTEST_MAIN(CountsTest)
#include "tst_counts.moc"
