#pragma once

// A Form1 wired to recording stand-ins for the outside world, driven through
// real input events by the widget tests.

#include "platform/HostServices.h"
#include "platform/RandomSource.h"
#include "platform/SodiumRandomSource.h"
#include "window/Form1.h"

#include <QDate>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace velkrin::widgettest {

// Random bytes taken from a fixed script, repeated when it runs out, so a test
// can predict every character the window composes.
class ScriptedRandomSource final : public RandomSource {
public:
    explicit ScriptedRandomSource(std::vector<std::uint8_t> script) : m_script(std::move(script)) {}
    void fill(std::span<std::uint8_t> out) override;
    void reseed() override { ++reseeds; }

    int reseeds = 0;

private:
    std::vector<std::uint8_t> m_script;
    std::size_t m_next = 0;
};

// One call of showWarning, with what the window looked like at that moment.
struct RecordedWarning {
    QString message;
    bool timerActive;
    bool parentIsForm;
};

class FormHarness {
public:
    // `random` defaults to the real libsodium source.
    explicit FormHarness(RandomSource *random = nullptr);
    ~FormHarness();

    Form1 &form() { return *m_form; }
    Form1 *operator->() { return m_form.get(); }

    const QList<RecordedWarning> &warnings() const { return m_warnings; }
    QStringList warningTexts() const;
    QString executableDirectory() const { return m_dir.path(); }
    QString pdfPath() const { return m_dir.filePath(QStringLiteral("page.pdf")); }
    static QDate fixedToday() { return QDate(2031, 11, 27); }
    // How the next print job is opened; defaults to a PDF at pdfPath().
    std::function<std::unique_ptr<PrinterPort>()> printerFactory;

    // Shows the window and waits until it is the active window, so that
    // access keys, Tab and the initial focus behave as for a user.
    bool showAndActivate();

    // Replaces the whole text of a count box the way a user does: select all,
    // then type ('\b' is the Backspace key). Stops after the first key that
    // records a warning.
    void replaceText(QLineEdit *box, const QString &typed);
    void clearText(QLineEdit *box);
    static void selectAll(QLineEdit *box); // Ctrl+A
    static void typeKey(QLineEdit *box, QChar key);

    // One batch tick, delivered as the timer would deliver it.
    void tick();

    QStringList listItems();

private:
    SodiumRandomSource m_sodium;
    QTemporaryDir m_dir;
    QList<RecordedWarning> m_warnings;
    std::unique_ptr<Form1> m_form; // last: destroyed first
};

// Patterns for the passwords the window composes.
QRegularExpression separatePattern(int letters, int digits);
QRegularExpression mixedPattern(int length);

} // namespace velkrin::widgettest
