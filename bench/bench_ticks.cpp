// Batch mode with the real timer: the window is built and loaded, "Generate"
// is pressed, and the event loop runs for a while. Reports the items added
// per minute against the ideal 600 (one every 100 ms) and the spread of the
// intervals between ticks.
//
// Usage: bench_ticks [seconds] [letters digits [mixed]]
//   seconds  default 60; any positive number, e.g. 5
//   letters, digits  the counts typed into the boxes (default 3 and 3); with
//            "mixed" the check box is ticked, so each item is one mixed block
//            of letters + digits characters
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
//
// Prints a readable report followed by RESULT key=value lines for scripts.

#include "platform/linux/PosixSaveFolder.h"
#include "platform/linux/SodiumRandomSource.h"
#include "platform/qt/PasswordListModel.h"
#include "QtHost.h"
#include "platform/qt/QtForm1Window.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Processor time of the whole process (every thread, user and system).
double processSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    if (!(seconds > 0)) {
        std::fprintf(stderr, "usage: %s [seconds>0]\n", argv[0]);
        return 2;
    }
    constexpr double kIdealPerMinute = 600.0;

    velkrin::SodiumRandomSource random;
    velkrin::PosixSaveFolder folder(velkrin::FolderHandle::executableFolder());
    velkrin::QtHost host({.random = random, .executableFolder = folder});
    velkrin::Form1Window &form = host.window();
    const auto control = [&form](const char *name) { return form.findChild<QObject *>(QLatin1String(name)); };
    auto *txtLetters = qobject_cast<QLineEdit *>(control("txtLetters"));
    auto *txtNumbers = qobject_cast<QLineEdit *>(control("txtNumbers"));
    auto *lblPassword = qobject_cast<QLabel *>(control("lblPassword"));
    auto *List1 = qobject_cast<QAbstractItemView *>(control("List1"));
    auto *Timer1 = qobject_cast<QTimer *>(control("Timer1"));
    host.load();
    if (argc > 3) {
        // Digits first: 32767 letters beside the start-up 3 digits would make
        // the total overflow, and its warning box would wait for a click.
        txtNumbers->setText(QString::fromLocal8Bit(argv[3]));
        txtLetters->setText(QString::fromLocal8Bit(argv[2]));
    }
    const bool mixed = argc > 4 && qstrcmp(argv[4], "mixed") == 0;
    qobject_cast<QCheckBox *>(control("Check1"))->setChecked(mixed);
    form.show();
    QApplication::processEvents();

    // Tick times are taken after the window's own handler has run (it was
    // connected first), so they include the work of the tick.
    std::vector<Clock::time_point> ticks;
    ticks.reserve(static_cast<std::size_t>(seconds * 20) + 16);
    QObject::connect(Timer1, &QTimer::timeout, &form, [&ticks] { ticks.push_back(Clock::now()); });

    Clock::time_point start;
    Clock::time_point stop;
    double cpuStart = 0, cpuStop = 0;
    QTimer::singleShot(0, &form, [&] {
        start = Clock::now();
        cpuStart = processSeconds();
        qobject_cast<QAbstractButton *>(control("XPButton1"))->click();
        QTimer::singleShot(static_cast<int>(std::lround(seconds * 1000)), Qt::PreciseTimer, &form, [&] {
            stop = Clock::now();
            cpuStop = processSeconds();
            qobject_cast<QAbstractButton *>(control("XPButton2"))->click();
            QApplication::quit();
        });
    });
    QApplication::exec();

    const double elapsed = std::chrono::duration<double>(stop - start).count();
    const auto items = List1->model()->rowCount();
    const double perMinute = static_cast<double>(items) * 60.0 / elapsed;
    const double deviation = (perMinute - kIdealPerMinute) / kIdealPerMinute * 100.0;

    std::vector<double> gaps;
    for (std::size_t i = 1; i < ticks.size(); ++i)
        gaps.push_back(std::chrono::duration<double, std::milli>(ticks[i] - ticks[i - 1]).count());
    double mean = 0, worst = 0, least = 0, spread = 0;
    if (!gaps.empty()) {
        for (double g : gaps)
            mean += g;
        mean /= static_cast<double>(gaps.size());
        for (double g : gaps)
            spread += (g - mean) * (g - mean);
        spread = std::sqrt(spread / static_cast<double>(gaps.size()));
        worst = *std::max_element(gaps.begin(), gaps.end());
        least = *std::min_element(gaps.begin(), gaps.end());
    }
    // Ticks a perfect timer would have delivered in the same time.
    const double idealItems = elapsed * kIdealPerMinute / 60.0;

    const double busy = (cpuStop - cpuStart) / elapsed * 100.0;

    std::printf("Batch mode, real timer, %.3f s of event loop (platform %s), %s letters + %s digits%s\n\n", elapsed,
                qPrintable(QApplication::platformName()), qPrintable(txtLetters->text()),
                qPrintable(txtNumbers->text()), mixed ? " mixed" : "");
    std::printf("Items added           %lld (ideal %.1f), %.2f per second\n", static_cast<long long>(items), idealItems,
                static_cast<double>(items) / elapsed);
    std::printf("Processor time        %.0f %% of one core\n", busy);
    std::printf("Items per minute      %.1f (ideal 600, deviation %+.2f %%)\n", perMinute, deviation);
    if (!gaps.empty())
        std::printf("Timer rate            %.1f per minute from the mean interval\n", 60000.0 / mean);
    if (!gaps.empty())
        std::printf("Tick interval         mean %.3f ms, sd %.3f ms, min %.3f ms, max %.3f ms\n", mean, spread, least,
                    worst);
    if (items > 0)
        std::printf("Last item equals the current password: %s\n",
                    List1->model()->index(items - 1, 0).data(velkrin::PasswordListModel::PasswordRole) ==
                            lblPassword->text()
                        ? "yes"
                        : "NO");

    std::printf("\nRESULT seconds=%.3f\n", elapsed);
    std::printf("RESULT items=%lld\n", static_cast<long long>(items));
    std::printf("RESULT per_minute=%.1f\n", perMinute);
    std::printf("RESULT per_second=%.2f\n", static_cast<double>(items) / elapsed);
    std::printf("RESULT cpu_percent=%.0f\n", busy);
    std::printf("RESULT deviation_percent=%.2f\n", deviation);
    std::printf("RESULT interval_mean_ms=%.3f\n", mean);
    if (!gaps.empty())
        std::printf("RESULT interval_per_minute=%.1f\n", 60000.0 / mean);
    std::printf("RESULT interval_max_ms=%.3f\n", worst);
    return 0;
}
