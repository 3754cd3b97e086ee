// Passwords per second: the program's own composition (3 letters + 3 digits,
// and 6 mixed characters) against `pwgen -s` and against naive generators that
// go to the operating system once per character.
//
// Usage: bench_generation [count] [repetitions]
//   count        passwords per measured run (default 1000000)
//   repetitions  runs of each of the program's two modes; the median is
//                reported (default 7)
//
// Prints a readable report followed by RESULT key=value lines for scripts.

#include "generation/CharacterPools.h"
#include "generation/ComposePassword.h"
#include "generation/MainWindowState.h"
#include "platform/SodiumRandomSource.h"
#include "platform/UniformPicker.h"

#include <sodium.h>
#include <sys/random.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Keeps the optimiser from dropping work whose result is otherwise unused.
volatile std::uint64_t g_sink = 0;

double composeRate(std::int16_t check1Value, long count, velkrin::UniformPicker &picker)
{
    velkrin::MainWindowState state;
    state.intLetters = 3;
    state.intNumbers = 3;
    std::uint64_t sum = 0;
    const auto start = Clock::now();
    for (long i = 0; i < count; ++i) {
        const QString password = velkrin::ComposePassword(state, check1Value, picker);
        sum += password.at(5).unicode();
    }
    const double seconds = secondsSince(start);
    g_sink = g_sink + sum;
    return static_cast<double>(count) / seconds;
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
double naiveRate(long count, Pick pick)
{
    const auto letters = velkrin::kLetterPool;
    const auto digits = velkrin::kDigitPool;
    char password[6];
    std::uint64_t sum = 0;
    const auto start = Clock::now();
    for (long i = 0; i < count; ++i) {
        for (int k = 0; k < 3; ++k)
            password[k] = static_cast<char>(letters[pick(26u)].unicode());
        for (int k = 3; k < 6; ++k)
            password[k] = static_cast<char>(digits[pick(10u)].unicode());
        sum += static_cast<unsigned char>(password[5]);
    }
    const double seconds = secondsSince(start);
    g_sink = g_sink + sum;
    return static_cast<double>(count) / seconds;
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
// passwords per second, or a negative value when pwgen failed.
double pwgenRate(long count)
{
    const std::string n = std::to_string(count);
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        const int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0)
            dup2(devnull, STDOUT_FILENO);
        execlp("pwgen", "pwgen", "-s", "-1", "6", n.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    const double seconds = secondsSince(start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return static_cast<double>(count) / seconds;
}

void printRate(const char *label, double rate)
{
    std::printf("%-52s %14.0f passwords/s  (%7.1f ns each)\n", label, rate, 1e9 / rate);
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

    // Warm up the picker's buffer, the allocator and the caches.
    composeRate(0, std::min(count, 100000L), *picker);

    std::vector<double> separate, mixed;
    for (int r = 0; r < repetitions; ++r) {
        separate.push_back(composeRate(0, count, *picker));
        mixed.push_back(composeRate(velkrin::kMixedModeChecked, count, *picker));
    }
    const double separateRate = median(separate);
    const double mixedRate = median(mixed);
    printRate("ComposePassword, 3 letters + 3 digits", separateRate);
    printRate("ComposePassword, 6 mixed characters", mixedRate);
    std::printf("%-52s %14.0f / %.0f passwords/s (3+3, fastest / slowest run)\n", "  spread",
                *std::max_element(separate.begin(), separate.end()),
                *std::min_element(separate.begin(), separate.end()));

    const double sodiumUniformRate =
        naiveRate(count, [](unsigned poolSize) { return randombytes_uniform(poolSize); });
    printRate("randombytes_uniform() per character, 3+3", sodiumUniformRate);
    const double syscallRate = naiveRate(count, syscallPick);
    printRate("getrandom(2) per character, 3+3", syscallRate);

    double pwgen = -1;
    if (onPath("pwgen")) {
        pwgen = pwgenRate(count);
        if (pwgen > 0)
            printRate("pwgen -s -1 6 N (whole process, output to /dev/null)", pwgen);
        else
            std::printf("pwgen -s failed; no comparison\n");
    } else {
        std::printf("pwgen is not installed; no comparison\n");
    }

    std::printf("\nRatios\n");
    if (pwgen > 0) {
        std::printf("  3+3 / pwgen -s       %8.1f x\n", separateRate / pwgen);
        std::printf("  mixed / pwgen -s     %8.1f x\n", mixedRate / pwgen);
    }
    std::printf("  3+3 / getrandom per character           %8.1f x\n", separateRate / syscallRate);
    std::printf("  3+3 / randombytes_uniform per character %8.1f x\n", separateRate / sodiumUniformRate);

    std::printf("\nRESULT count=%ld\n", count);
    std::printf("RESULT separate_per_s=%.0f\n", separateRate);
    std::printf("RESULT mixed_per_s=%.0f\n", mixedRate);
    std::printf("RESULT sodium_uniform_per_s=%.0f\n", sodiumUniformRate);
    std::printf("RESULT getrandom_per_s=%.0f\n", syscallRate);
    if (pwgen > 0)
        std::printf("RESULT pwgen_per_s=%.0f\n", pwgen);
    return 0;
}
