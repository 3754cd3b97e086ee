#include "RandomnessChecks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include <array>
#include <cmath>
#include <limits>

namespace velkrin::randomness {

namespace {

// Q(a, x), the regularised upper incomplete gamma function: series for
// x < a + 1, Lentz's continued fraction above (Numerical Recipes 6.2).
long double gammaQ(long double a, long double x)
{
    if (x <= 0)
        return 1.0L;
    const long double logPrefix = -x + a * std::log(x) - std::lgamma(a);
    constexpr long double eps = 1e-19L;
    if (x < a + 1) {
        long double term = 1.0L / a, sum = term, ap = a;
        for (int n = 0; n < 1'000'000; ++n) {
            ap += 1;
            term *= x / ap;
            sum += term;
            if (std::fabs(term) < std::fabs(sum) * eps)
                break;
        }
        return 1.0L - sum * std::exp(logPrefix);
    }
    constexpr long double tiny = std::numeric_limits<long double>::min() / eps;
    long double b = x + 1 - a, c = 1 / tiny, d = 1 / b, h = d;
    for (int i = 1; i < 1'000'000; ++i) {
        const long double an = -i * (i - a);
        b += 2;
        d = an * d + b;
        if (std::fabs(d) < tiny)
            d = tiny;
        c = b + an / c;
        if (std::fabs(c) < tiny)
            c = tiny;
        d = 1 / d;
        const long double delta = d * c;
        h *= delta;
        if (std::fabs(delta - 1) < eps)
            break;
    }
    return std::exp(logPrefix) * h;
}

} // namespace

double chiSquareUpperTail(double statistic, double dof)
{
    return static_cast<double>(gammaQ(dof / 2.0L, statistic / 2.0L));
}

double chiSquareCritical(double tail, double dof)
{
    double low = 0, high = dof + 100 * std::sqrt(2 * dof) + 200;
    for (int i = 0; i < 200; ++i) {
        const double mid = (low + high) / 2;
        (chiSquareUpperTail(mid, dof) > tail ? low : high) = mid;
    }
    return high;
}

PairTable::PairTable(unsigned firstPool, unsigned secondPool)
    : m_first(firstPool), m_second(secondPool), m_counts(std::size_t{firstPool} * secondPool, 0)
{
}

void PairTable::add(unsigned first, unsigned second)
{
    ++m_counts[std::size_t{first} * m_second + second];
    ++m_total;
}

double PairTable::chiSquareUniform() const
{
    return randomness::chiSquareUniform(m_counts);
}

double chiSquareUniform(const std::vector<std::uint64_t> &counts)
{
    std::uint64_t total = 0;
    for (const std::uint64_t count : counts)
        total += count;
    const long double expected = static_cast<long double>(total) / static_cast<long double>(counts.size());
    long double statistic = 0;
    for (const std::uint64_t count : counts) {
        const long double d = static_cast<long double>(count) - expected;
        statistic += d * d / expected;
    }
    return static_cast<double>(statistic);
}

double PairTable::pValue() const
{
    return chiSquareUpperTail(chiSquareUniform(), cells() - 1.0);
}

double entropyBits(const std::vector<std::uint8_t> &symbols, unsigned alphabet)
{
    std::vector<std::uint64_t> counts(alphabet, 0);
    for (const std::uint8_t s : symbols)
        ++counts.at(s);
    const long double n = static_cast<long double>(symbols.size());
    long double h = 0;
    for (const std::uint64_t c : counts)
        if (c > 0) {
            const long double p = c / n;
            h -= p * std::log2(p);
        }
    return static_cast<double>(h);
}

double serialCorrelation(const std::vector<std::uint8_t> &values)
{
    // Integer sums are exact: 10^7 values below 256 keep every sum far below
    // 2^63.
    std::uint64_t sum = 0, sumSquares = 0, sumProducts = 0;
    const std::size_t n = values.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t x = values[i];
        sum += x;
        sumSquares += x * x;
        sumProducts += x * values[(i + 1) % n];
    }
    const long double N = static_cast<long double>(n);
    const long double s = static_cast<long double>(sum);
    const long double numerator = N * sumProducts - s * s;
    const long double denominator = N * sumSquares - s * s;
    return static_cast<double>(numerator / denominator);
}

double serialCorrelationBound(std::size_t n)
{
    return 6.0 / std::sqrt(static_cast<double>(n));
}

bool appendPoolIndices(std::string_view text, std::string_view pool, std::vector<std::uint8_t> &out)
{
    std::array<int, 128> position;
    position.fill(-1);
    for (std::size_t i = 0; i < pool.size(); ++i)
        position[static_cast<unsigned char>(pool[i])] = static_cast<int>(i);
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        const int p = code < 128 ? position[code] : -1;
        if (p < 0) {
            ADD_FAILURE() << "byte 0x" << std::hex << unsigned{code} << " is not in the pool " << pool;
            return false;
        }
        out.push_back(static_cast<std::uint8_t>(p));
    }
    return true;
}

NeighbourPairs neighbourPairs(const std::vector<std::uint8_t> &indices, std::size_t length, unsigned pool)
{
    NeighbourPairs pairs{PairTable(pool, pool), PairTable(pool, pool)};
    for (std::size_t i = 0; i + 1 < indices.size(); ++i) {
        if ((i + 1) % length != 0)
            pairs.within.add(indices[i], indices[i + 1]);
        else
            pairs.across.add(indices[i], indices[i + 1]);
    }
    return pairs;
}

EntReport runEnt(const std::vector<std::uint8_t> &bytes)
{
    EntReport report;
    char path[] = "/tmp/velkrin-ent-XXXXXX";
    const int fd = ::mkstemp(path);
    const bool written = fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    if (fd >= 0)
        ::close(fd);
    // -t: one CSV line of results.
    FILE *ent = written ? ::popen((std::string("ent -t ") + path + " 2>&1").c_str(), "r") : nullptr;
    std::string output;
    char line[4096];
    while (ent && std::fgets(line, sizeof line, ent)) {
        output += line;
        // 0,File-bytes,Entropy,Chi-square,Mean,Monte-Carlo-Pi,Serial-Correlation
        // 1,<bytes>,<entropy>,<chi-square>,<mean>,<pi>,<correlation>
        unsigned long long count = 0;
        double entropy = 0, correlation = 0;
        if (std::sscanf(line, "1,%llu,%lf,%*f,%*f,%*f,%lf", &count, &entropy, &correlation) == 3)
            report = {true, {}, count, entropy, correlation};
    }
    const int status = ent ? ::pclose(ent) : -1;
    ::unlink(path);
    report.ok = report.ok && status == 0;
    if (!report.ok)
        report.error = written ? "no result line from ent: " + output : "cannot write a temporary file";
    return report;
}

RepeatingSource::RepeatingSource(RandomSource &inner, double repeat)
    : m_inner(inner), m_threshold(static_cast<std::uint32_t>(std::lround(repeat * 65536.0)))
{
}

void RepeatingSource::fill(std::span<std::uint8_t> out)
{
    m_inner.fill(out);
    std::vector<std::uint8_t> coins(out.size() * 2);
    m_inner.fill(coins);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::uint32_t coin = coins[2 * i] | (std::uint32_t{coins[2 * i + 1]} << 8);
        if (m_haveLast && coin < m_threshold)
            out[i] = m_last;
        m_last = out[i];
        m_haveLast = true;
    }
}

} // namespace velkrin::randomness
