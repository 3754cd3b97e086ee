// The batch list at a million items: time and resident memory to append them
// to the window's list box (QtListBox)'s list view shown, how quickly the view
// answers afterwards, and the time to save them with SaveList.
//
// Usage: bench_list [items]   (default 1000000)
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
//
// Prints a readable report followed by RESULT key=value lines for scripts.

#include "generation/MainWindowState.h"
#include "generation/UniformPicker.h"
#include "output/SaveList.h"
#include "platform/linux/PosixSaveFolder.h"
#include "platform/linux/SodiumRandomSource.h"
#include "platform/qt/PasswordListView.h"
#include "platform/qt/QtControls.h"
#include "generation/StateGenerators.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time of this thread: unlike elapsed time it does not grow when
// other programs take the core away.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Resident set size in bytes, from /proc/self/status.
long long residentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atoll(line.c_str() + 6) * 1024;
    }
    return -1;
}

double mib(long long bytes)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const long items = argc > 1 ? std::atol(argv[1]) : 1000000;
    if (items <= 0) {
        std::fprintf(stderr, "usage: %s [items>0]\n", argv[0]);
        return 2;
    }

    // The passwords are made first, so that only the list's own cost is timed
    // and measured; they stay alive until the end.
    velkrin::SodiumRandomSource source;
    auto picker = std::make_unique<velkrin::UniformPicker>(source);
    velkrin::MainWindowState state;
    state.intLetters = 3;
    state.intNumbers = 3;
    std::vector<std::string> passwords;
    passwords.reserve(static_cast<std::size_t>(items));
    for (long i = 0; i < items; ++i)
        passwords.push_back(velkrin::ComposePassword(state, 0, *picker));

    // The window's list: its storage behind the list box interface, shown
    // by its view.
    velkrin::QtListBox list;
    velkrin::PasswordListView view;
    view.setModel(&list.model());
    view.resize(218, 316);
    view.show();
    QApplication::processEvents();

    const long long rssBefore = residentBytes();
    const auto appendStart = Clock::now();
    const double appendCpuStart = cpuSeconds();
    for (const std::string &password : passwords)
        list.addItem(password);
    const double appendSeconds = secondsSince(appendStart);
    const double appendCpuSeconds = cpuSeconds() - appendCpuStart;
    const long long rssAfterAppend = residentBytes();

    // The view relayouts lazily; the first pass of the event loop after the
    // burst is when it catches up.
    auto start = Clock::now();
    QApplication::processEvents();
    const double firstEventsSeconds = secondsSince(start);

    start = Clock::now();
    view.scrollToBottom();
    QApplication::processEvents();
    view.viewport()->repaint();
    const double scrollSeconds = secondsSince(start);
    const bool atBottom = view.verticalScrollBar()->value() == view.verticalScrollBar()->maximum();

    start = Clock::now();
    view.scrollToTop();
    QApplication::processEvents();
    view.viewport()->repaint();
    const double scrollTopSeconds = secondsSince(start);
    const long long rssAfterView = residentBytes();

    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    constexpr int kSaves = 3;
    double bestSave = 1e300;
    double bestSaveCpu = 1e300;
    for (int i = 0; i < kSaves; ++i) {
        start = Clock::now();
        const double cpuStart = cpuSeconds();
        velkrin::PosixSaveFolder target(velkrin::FolderHandle(QFile::encodeName(folder.path()).toStdString()));
        velkrin::SaveList(
            [&list](const velkrin::ItemSink &put) {
                for (std::int64_t item = 0; item < list.listCount(); ++item)
                    put(list.item(item));
            },
            target);
        bestSave = std::min(bestSave, secondsSince(start));
        bestSaveCpu = std::min(bestSaveCpu, cpuSeconds() - cpuStart);
    }
    const long long fileBytes = QFileInfo(QDir(folder.path()).filePath(QStringLiteral("target.txt"))).size();
    const long long savedItems = list.listCount();

    // What one more batch tick costs the event loop at this size: append one
    // item and let the view handle it, repeated. This stays flat only if the
    // view does not lay every row out again after an insertion.
    constexpr int kLateTicks = 200;
    start = Clock::now();
    const double lateCpuStart = cpuSeconds();
    for (int i = 0; i < kLateTicks; ++i) {
        list.addItem(passwords[static_cast<std::size_t>(i)]);
        QApplication::processEvents();
    }
    const double lateTickSeconds = secondsSince(start) / kLateTicks;
    const double lateTickCpuSeconds = (cpuSeconds() - lateCpuStart) / kLateTicks;

    const long long appendedBytes = rssAfterAppend - rssBefore;
    const double bytesPerItem = static_cast<double>(appendedBytes) / static_cast<double>(items);
    // The view keeps a position per row once it has laid them out.
    const double bytesPerItemWithView = static_cast<double>(rssAfterView - rssBefore) / static_cast<double>(items);

    std::printf("Batch list, %ld items, list view shown (platform %s)\n\n", items,
                qPrintable(QApplication::platformName()));
    std::printf(
        "Append %ld items                      %10.3f s   (%.0f ns each; processor time %.3f s, %.0f ns each)\n", items,
        appendSeconds, appendSeconds * 1e9 / static_cast<double>(items), appendCpuSeconds,
        appendCpuSeconds * 1e9 / static_cast<double>(items));
    std::printf("Resident memory before / after append  %10.1f / %.1f MiB\n", mib(rssBefore), mib(rssAfterAppend));
    std::printf("  growth                                %10.1f MiB = %.1f bytes per item\n", mib(appendedBytes),
                bytesPerItem);
    std::printf("  after the view laid the rows out      %10.1f MiB = %.1f bytes per item\n", mib(rssAfterView),
                bytesPerItemWithView);
    std::printf("First event-loop pass after the append  %10.3f ms\n", firstEventsSeconds * 1e3);
    std::printf("Scroll to bottom, events, repaint       %10.3f ms%s\n", scrollSeconds * 1e3,
                atBottom ? "" : "  (scroll bar NOT at the bottom)");
    std::printf("Scroll to top, events, repaint          %10.3f ms\n", scrollTopSeconds * 1e3);
    std::printf("One more item + events at this size     %10.3f ms (mean of %d; processor time %.3f ms)\n",
                lateTickSeconds * 1e3, kLateTicks, lateTickCpuSeconds * 1e3);
    std::printf("SaveList of %lld items                 %10.3f s   (best of %d; processor time %.3f s), file %lld "
                "bytes (%.2f bytes/item)\n",
                static_cast<long long>(savedItems), bestSave, kSaves, bestSaveCpu, fileBytes,
                static_cast<double>(fileBytes) / static_cast<double>(savedItems));

    std::printf("\nRESULT items=%ld\n", items);
    std::printf("RESULT append_s=%.4f\n", appendSeconds);
    std::printf("RESULT append_cpu_s=%.4f\n", appendCpuSeconds);
    std::printf("RESULT rss_before_bytes=%lld\n", rssBefore);
    std::printf("RESULT rss_after_bytes=%lld\n", rssAfterAppend);
    std::printf("RESULT bytes_per_item=%.2f\n", bytesPerItem);
    std::printf("RESULT bytes_per_item_with_view=%.2f\n", bytesPerItemWithView);
    std::printf("RESULT first_events_ms=%.3f\n", firstEventsSeconds * 1e3);
    std::printf("RESULT scroll_bottom_ms=%.3f\n", scrollSeconds * 1e3);
    std::printf("RESULT scroll_top_ms=%.3f\n", scrollTopSeconds * 1e3);
    std::printf("RESULT late_tick_ms=%.4f\n", lateTickSeconds * 1e3);
    std::printf("RESULT late_tick_cpu_ms=%.4f\n", lateTickCpuSeconds * 1e3);
    std::printf("RESULT save_s=%.4f\n", bestSave);
    std::printf("RESULT save_cpu_s=%.4f\n", bestSaveCpu);
    std::printf("RESULT saved_items=%lld\n", static_cast<long long>(savedItems));
    std::printf("RESULT file_bytes=%lld\n", fileBytes);
    return atBottom ? 0 : 1;
}
