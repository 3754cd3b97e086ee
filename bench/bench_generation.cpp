// Passwords per second: the program's own composition (3 letters + 3 digits,
// and 6 mixed characters; each password's bytes drawn from the operating
// system as it is made) against `pwgen -s` and against naive generators that
// go to the operating system once per character; and the time to compose one
// password of 32767 characters.
//
// Usage: bench_generation [count] [repetitions]
//   count        passwords per measured run (default 1000000)
//   repetitions  runs of each of the program's two modes; the median is
//                reported (default 7)
//
// Prints a readable report followed by RESULT key=value lines for scripts.

#include "generation/CharacterPools.h"
#include "generation/MainWindowState.h"
#include "generation/UniformPicker.h"
#include "platform/linux/SodiumRandomSource.h"
#include "generation/StateGenerators.h"

#include <sodium.h>
#include <sys/random.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Passwords per second of elapsed time, and per second of processor time
// spent on them. The second figure is what one core does when other programs
// share the machine; on an idle machine the two agree.
struct Rate {
    double wall = 0;
    double cpu = 0;
};

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

class Stopwatch {
public:
    Stopwatch() : m_wall(Clock::now()), m_cpu(threadCpuSeconds()) {}
    Rate rate(long count) const
    {
        const double wall = std::chrono::duration<double>(Clock::now() - m_wall).count();
        const double cpu = threadCpuSeconds() - m_cpu;
        return {static_cast<double>(count) / wall, static_cast<double>(count) / cpu};
    }

private:
    Clock::time_point m_wall;
    double m_cpu;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Keeps the optimiser from dropping work whose result is otherwise unused.
volatile std::uint64_t g_sink = 0;

Rate composeRate(std::int16_t check1Value, long count, velkrin::UniformPicker &picker, std::int16_t letters = 3,
                 std::int16_t digits = 3)
{
    velkrin::MainWindowState state;
    state.intLetters = letters;
    state.intNumbers = digits;
    std::uint64_t sum = 0;
    const Stopwatch watch;
    for (long i = 0; i < count; ++i) {
        const std::string password = velkrin::ComposePassword(state, check1Value, picker);
        sum += static_cast<unsigned char>(password[5]);
    }
    const Rate rate = watch.rate(count);
    g_sink = g_sink + sum;
    return rate;
}

// One exactly uniform draw in [0, poolSize) with one getrandom(2) call per
// byte tried: the cost of going to the kernel for every character.
unsigned syscallPick(unsigned poolSize)
{
    const unsigned limit = 256u - 256u % poolSize;
    for (;;) {
        unsigned char b = 0;
        if (getrandom(&b, 1, 0) != 1) {
            std::perror("getrandom");
            std::exit(1);
        }
        if (b < limit)
            return b % poolSize;
    }
}

template <typename Pick>
Rate naiveRate(long count, Pick pick)
{
    const auto letters = velkrin::kLetterPool;
    const auto digits = velkrin::kDigitPool;
    char password[6];
    std::uint64_t sum = 0;
    const Stopwatch watch;
    for (long i = 0; i < count; ++i) {
        for (int k = 0; k < 3; ++k)
            password[k] = letters[pick(26u)];
        for (int k = 3; k < 6; ++k)
            password[k] = digits[pick(10u)];
        sum += static_cast<unsigned char>(password[5]);
    }
    const Rate rate = watch.rate(count);
    g_sink = g_sink + sum;
    return rate;
}

bool onPath(const char *program)
{
    const char *path = std::getenv("PATH");
    if (!path)
        return false;
    std::string dirs(path);
    std::size_t from = 0;
    while (from <= dirs.size()) {
        const std::size_t to = std::min(dirs.find(':', from), dirs.size());
        const std::string candidate = dirs.substr(from, to - from) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0)
            return true;
        from = to + 1;
    }
    return false;
}

// Runs `pwgen -s -1 6 count` with its output thrown away; returns the
// passwords per second (processor time: the child's user + system time), or
// negative rates when pwgen failed.
Rate pwgenRate(long count)
{
    const std::string n = std::to_string(count);
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child < 0)
        return {-1, -1};
    if (child == 0) {
        const int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0)
            dup2(devnull, STDOUT_FILENO);
        execlp("pwgen", "pwgen", "-s", "-1", "6", n.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {-1, -1};
    auto seconds = [](const timeval &t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    const double cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return {static_cast<double>(count) / wall, static_cast<double>(count) / cpu};
}

void printRate(const char *label, Rate rate)
{
    std::printf("%-46s %12.0f /s %7.1f ns  %12.0f /s %7.1f ns\n", label, rate.wall, 1e9 / rate.wall, rate.cpu,
                1e9 / rate.cpu);
}

Rate medianRate(const std::vector<Rate> &runs)
{
    std::vector<double> wall, cpu;
    for (const Rate &r : runs) {
        wall.push_back(r.wall);
        cpu.push_back(r.cpu);
    }
    return {median(wall), median(cpu)};
}

} // namespace

int main(int argc, char *argv[])
{
    const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int repetitions = argc > 2 ? std::atoi(argv[2]) : 7;
    if (count <= 0 || repetitions <= 0) {
        std::fprintf(stderr, "usage: %s [count>0] [repetitions>0]\n", argv[0]);
        return 2;
    }

    velkrin::SodiumRandomSource source;
    if (sodium_init() < 0) {
        std::fprintf(stderr, "libsodium could not be initialised\n");
        return 1;
    }
    auto picker = std::make_unique<velkrin::UniformPicker>(source);

    std::printf("Password generation, one thread, %ld passwords per run, %d runs per mode (median)\n\n", count,
                repetitions);
    std::printf("%-46s %26s  %26s\n", "", "elapsed time", "processor time");

    // Warm up the allocator and the caches.
    composeRate(0, std::min(count, 100000L), *picker);

    std::vector<Rate> separateRuns, mixedRuns;
    for (int r = 0; r < repetitions; ++r) {
        separateRuns.push_back(composeRate(0, count, *picker));
        mixedRuns.push_back(composeRate(velkrin::kMixedModeChecked, count, *picker));
    }
    const Rate separate = medianRate(separateRuns);
    const Rate mixed = medianRate(mixedRuns);
    printRate("ComposePassword, 3 letters + 3 digits", separate);
    printRate("ComposePassword, 6 mixed characters", mixed);
    std::vector<double> longMs;
    for (int r = 0; r < repetitions; ++r)
        longMs.push_back(1e3 / composeRate(0, 1, *picker, 16384, 16383).cpu);
    const double longPasswordMs = median(longMs);
    std::printf("%-46s %26s  %23.3f ms\n", "ComposePassword, 16384 + 16383 characters", "", longPasswordMs);

    const Rate sodiumUniform = naiveRate(count, [](unsigned poolSize) { return randombytes_uniform(poolSize); });
    printRate("randombytes_uniform() per character, 3+3", sodiumUniform);
    const Rate syscall = naiveRate(count, syscallPick);
    printRate("getrandom(2) per character, 3+3", syscall);

    Rate pwgen{-1, -1};
    if (onPath("pwgen")) {
        pwgen = pwgenRate(count);
        if (pwgen.wall > 0)
            printRate("pwgen -s -1 6 N > /dev/null (whole process)", pwgen);
        else
            std::printf("pwgen -s failed; no comparison\n");
    } else {
        std::printf("pwgen is not installed; no comparison\n");
    }

    std::printf("\nRatios (elapsed / processor time)\n");
    auto ratio = [](const char *label, Rate a, Rate b) {
        std::printf("  %-44s %8.1f x %8.1f x\n", label, a.wall / b.wall, a.cpu / b.cpu);
    };
    if (pwgen.wall > 0) {
        ratio("3+3 / pwgen -s", separate, pwgen);
        ratio("mixed / pwgen -s", mixed, pwgen);
    }
    ratio("3+3 / getrandom per character", separate, syscall);
    ratio("3+3 / randombytes_uniform per character", separate, sodiumUniform);

    std::printf("\nRESULT count=%ld\n", count);
    auto result = [](const char *key, Rate rate) {
        std::printf("RESULT %s_per_s=%.0f\n", key, rate.wall);
        std::printf("RESULT %s_per_cpu_s=%.0f\n", key, rate.cpu);
    };
    result("separate", separate);
    result("mixed", mixed);
    std::printf("RESULT long_password_cpu_ms=%.3f\n", longPasswordMs);
    result("sodium_uniform", sodiumUniform);
    result("getrandom", syscall);
    if (pwgen.wall > 0)
        result("pwgen", pwgen);
    return 0;
}
