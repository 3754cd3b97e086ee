// Start-up and the two count boxes, typed into key by key.

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

QLineEdit *box(Form1 &form, const QString &which)
{
    return which == QLatin1String("letters") ? form.txtLetters : form.txtNumbers;
}

int count(const Form1 &form, const QString &which)
{
    return which == QLatin1String("letters") ? form.state.intLetters : form.state.intNumbers;
}

QString otherBox(const QString &which)
{
    return which == QLatin1String("letters") ? QStringLiteral("numbers") : QStringLiteral("letters");
}

} // namespace

class CountsTest : public QObject {
    Q_OBJECT
private slots:
    void startUp();
    void typedEdits_data();
    void typedEdits();
    void longPasteIsReadWhole();
    void countOutOfRange_data();
    void countOutOfRange();
    void sumOutOfRange_data();
    void sumOutOfRange();
    void strengthDescribed();
};

void CountsTest::startUp()
{
    ScriptedRandomSource random({0});
    FormHarness h(&random);
    Form1 &form = h.form();

    QCOMPARE(form.windowTitle(), QStringLiteral("Velkrin"));
    // Created, not yet loaded.
    QCOMPARE(form.txtLetters->text(), QString());
    QCOMPARE(form.txtNumbers->text(), QString());
    QCOMPARE(form.Check1->checkState(), Qt::Unchecked);
    QCOMPARE(form.List1->model()->rowCount(), 0);
    QVERIFY(!form.Timer1->isActive());
    QCOMPARE(form.Timer1->interval(), 100);
    QCOMPARE(form.lblRandom->text(), QString());
    QCOMPARE(form.lblPassword->text(), QString());
    QCOMPARE(form.state.intLetters, 0);
    QCOMPARE(form.state.intNumbers, 0);
    QCOMPARE(random.reseeds, 0);

    // Each of Load's two assignments recounts: "3" letters alone, then both.
    // (Connected after the window's own handler, so it sees the caption made.)
    QStringList totalsOnChange;
    for (QLineEdit *edited : {form.txtLetters, form.txtNumbers})
        QObject::connect(edited, &QLineEdit::textChanged, [&] { totalsOnChange << form.lblRandom->text(); });
    form.raiseLoad();
    QCOMPARE(totalsOnChange, QStringList({caption(3), caption(6)}));
    QCOMPARE(form.txtLetters->text(), QStringLiteral("3"));
    QCOMPARE(form.txtNumbers->text(), QStringLiteral("3"));
    QCOMPARE(form.state.intLetters, 3);
    QCOMPARE(form.state.intNumbers, 3);
    QCOMPARE(form.lblRandom->text(), caption(6));
    QCOMPARE(random.reseeds, 1);
    // Loading composes nothing and starts nothing.
    QCOMPARE(form.lblPassword->text(), QString());
    QCOMPARE(form.List1->model()->rowCount(), 0);
    QVERIFY(!form.Timer1->isActive());
    QVERIFY(h.warnings().isEmpty());
}

// Each row replaces the whole text of one box (both start at 3) by typing;
// every key is an edit of its own, so the count follows each intermediate
// text. '\b' is Backspace.
void CountsTest::typedEdits_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("countAfterEachKey");

    // clang-format off
    QTest::newRow("letters 12 via 1") << "letters" << "12" << QList<int>{1, 12};
    QTest::newRow("numbers 12 via 1") << "numbers" << "12" << QList<int>{1, 12};
    QTest::newRow("letters cleared") << "letters" << "\b" << QList<int>{0};
    QTest::newRow("numbers cleared") << "numbers" << "\b" << QList<int>{0};
    QTest::newRow("2.5 rounds to even 2") << "letters" << "2.5" << QList<int>{2, 2, 2};
    QTest::newRow("3.5 rounds to even 4") << "numbers" << "3.5" << QList<int>{3, 3, 4};
    QTest::newRow("7abc reads the leading 7") << "numbers" << "7abc" << QList<int>{7, 7, 7, 7};
    QTest::newRow("1e2 is a hundred") << "letters" << "1e2" << QList<int>{1, 1, 100};
    QTest::newRow("letters -5") << "letters" << "-5" << QList<int>{0, -5};
    QTest::newRow("numbers -5") << "numbers" << "-5" << QList<int>{0, -5};
    QTest::newRow("letters only text") << "letters" << "ab" << QList<int>{0, 0};
    QTest::newRow("typing past a stop") << "letters" << "20\b5" << QList<int>{2, 20, 2, 25};
    // clang-format on
}

void CountsTest::typedEdits()
{
    QFETCH(QString, which);
    QFETCH(QString, typed);
    QFETCH(QList<int>, countAfterEachKey);
    QCOMPARE(countAfterEachKey.size(), typed.size());

    FormHarness h;
    Form1 &form = h.form();
    form.raiseLoad();

    FormHarness::selectAll(box(form, which));
    for (qsizetype i = 0; i < typed.size(); ++i) {
        FormHarness::typeKey(box(form, which), typed[i]);
        const int expected = countAfterEachKey[i];
        QVERIFY2(count(form, which) == expected, qPrintable(QStringLiteral("after \"%1\": count %2, expected %3")
                                                                .arg(box(form, which)->text())
                                                                .arg(count(form, which))
                                                                .arg(expected)));
        QCOMPARE(count(form, otherBox(which)), 3); // only the edited box is read
        QCOMPARE(form.lblRandom->text(), caption(expected + 3));
    }
    QVERIFY(h.warnings().isEmpty());
}

// A paste longer than Qt's default limit of 32767 characters is taken whole:
// 40,000 zeros then 5 is five, where a cut text would be zero.
void CountsTest::longPasteIsReadWhole()
{
    FormHarness h;
    Form1 &form = h.form();
    form.raiseLoad();
    const QString pasted = QString(40000, u'0') + u'5';
    QGuiApplication::clipboard()->setText(pasted);
    FormHarness::selectAll(form.txtLetters);
    QTest::keyClick(form.txtLetters, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(form.txtLetters->text(), pasted);
    QCOMPARE(form.state.intLetters, 5);
    QCOMPARE(form.lblRandom->text(), caption(8));
    QVERIFY(h.warnings().isEmpty());
}

// A count that does not fit 16 bits cannot be stored: the last good count and
// its caption stay, one warning names the count and the range, and the window
// goes on working.
void CountsTest::countOutOfRange_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("lastGoodCount");
    QTest::addColumn<QString>("countName");

    // clang-format off
    QTest::newRow("letters 40000") << "letters" << "40000" << 4000 << "number of letters";
    QTest::newRow("numbers 40000") << "numbers" << "40000" << 4000 << "number of digits";
    QTest::newRow("numbers -40000") << "numbers" << "-40000" << -4000 << "number of digits";
    QTest::newRow("letters 32767.5") << "letters" << "32767.5" << 32767 << "number of letters";
    // clang-format on
}

void CountsTest::countOutOfRange()
{
    QFETCH(QString, which);
    QFETCH(QString, typed);
    QFETCH(int, lastGoodCount);
    QFETCH(QString, countName);

    FormHarness h;
    Form1 &form = h.form();
    form.raiseLoad();
    QLineEdit *edited = box(form, which);
    if (lastGoodCount > 32764) // keep the sum itself in range
        h.replaceText(box(form, otherBox(which)), QStringLiteral("0"));
    const int other = count(form, otherBox(which));

    h.replaceText(edited, typed.chopped(1));
    QCOMPARE(count(form, which), lastGoodCount);
    QVERIFY(h.warnings().isEmpty());

    FormHarness::typeKey(edited, typed.back());
    QCOMPARE(h.warnings().size(), 1);
    const QString message = h.warnings().first().message;
    QVERIFY2(message.contains(countName), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("-32768")) && message.contains(QStringLiteral("32767")),
             qPrintable(message));
    QVERIFY(h.warnings().first().parentIsForm);
    QCOMPARE(count(form, which), lastGoodCount);
    QCOMPARE(count(form, otherBox(which)), other);
    QCOMPARE(form.lblRandom->text(), caption(lastGoodCount + other));
    QCOMPARE(edited->text(), typed); // the user's text is left alone

    // Still running: the next edits are counted as usual.
    FormHarness::typeKey(edited, u'\b');
    QCOMPARE(count(form, which), lastGoodCount);
    h.replaceText(edited, QStringLiteral("5"));
    QCOMPARE(count(form, which), 5);
    QCOMPARE(form.lblRandom->text(), caption(5 + other));
    QCOMPARE(h.warnings().size(), 1);
    QVERIFY(form.isEnabled());
}

// A sum that does not fit 16 bits: the edited count is stored, the caption
// keeps the last total that fitted, one warning.
void CountsTest::sumOutOfRange_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("firstText");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("secondText");
    QTest::addColumn<int>("lastShownTotal");

    // clang-format off
    QTest::newRow("30000 letters + 3000 digits") << "letters" << "30000" << "numbers" << "3000" << 30300;
    QTest::newRow("30000 digits + 3000 letters") << "numbers" << "30000" << "letters" << "3000" << 30300;
    QTest::newRow("-30000 letters + -3000 digits") << "letters" << "-30000" << "numbers" << "-3000" << -30300;
    // clang-format on
}

void CountsTest::sumOutOfRange()
{
    QFETCH(QString, first);
    QFETCH(QString, firstText);
    QFETCH(QString, second);
    QFETCH(QString, secondText);
    QFETCH(int, lastShownTotal);

    FormHarness h;
    Form1 &form = h.form();
    form.raiseLoad();
    h.replaceText(box(form, first), firstText);
    QCOMPARE(count(form, first), firstText.toInt());
    QCOMPARE(form.lblRandom->text(), caption(firstText.toInt() + 3));
    QVERIFY(h.warnings().isEmpty());

    h.replaceText(box(form, second), secondText);
    QCOMPARE(h.warnings().size(), 1);
    QVERIFY2(h.warnings().first().message.contains(QStringLiteral("total number of characters")),
             qPrintable(h.warnings().first().message));
    QCOMPARE(count(form, first), firstText.toInt());
    QCOMPARE(count(form, second), secondText.toInt());
    QCOMPARE(form.lblRandom->text(), caption(lastShownTotal));

    // Bringing the sum back into range updates the caption again.
    FormHarness::typeKey(box(form, second), u'\b');
    FormHarness::typeKey(box(form, second), u'\b');
    QCOMPARE(form.lblRandom->text(), caption(firstText.toInt() + secondText.chopped(2).toInt()));
    QCOMPARE(h.warnings().size(), 1);
}

// Both boxes' tooltip and accessible description tell the passwords' strength,
// renewed by every edit of a count and of the mixed-mode box.
void CountsTest::strengthDescribed()
{
    FormHarness h;
    Form1 &form = h.form();
    form.raiseLoad();
    const auto expect = [&form](const QString &text) {
        for (QLineEdit *edit : {form.txtLetters, form.txtNumbers}) {
            QCOMPARE(edit->toolTip(), text);
            QCOMPARE(edit->accessibleDescription(), text);
        }
    };
    expect(QStringLiteral("17,576,000 possible passwords, about 24 bits: poor"));
    h.replaceText(form.txtLetters, QStringLiteral("10"));
    expect(QStringLiteral("141,167,095,653,376,000 possible passwords, about 57 bits: weak"));
    QTest::mouseClick(form.Check1, Qt::LeftButton);
    expect(QStringLiteral("200,028,539,268,669,788,905,472 possible passwords, about 77 bits: good"));
    h.replaceText(form.txtNumbers, QStringLiteral("23"));
    expect(QStringLiteral("about 1.4 \u00d7 10^59 possible passwords, about 196 bits: excellent"));
    h.replaceText(form.txtNumbers, QStringLiteral("-11"));
    expect(QStringLiteral("No password can be made from these counts"));
}

QTEST_MAIN(CountsTest)
#include "tst_counts.moc"
