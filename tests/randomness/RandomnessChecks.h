#pragma once

// Statistics for the randomness tests: chi-square tails, tables of pairs of
// neighbouring pool indices, empirical entropy and serial correlation, and
// the program's output turned back into pool indices.

#include "platform/RandomSource.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velkrin::randomness {

// Every check below fails a correct generator with probability at most this
// (the chi-square checks exactly, serial correlation by its normal limit).
// With the handful of checks in this suite a correct generator fails a run
// far less than once in a million.
inline constexpr double kFalseAlarm = 1e-8;

// P(X >= statistic) for X chi-square distributed with `dof` degrees of
// freedom: the regularised upper incomplete gamma function Q(dof/2, x/2).
double chiSquareUpperTail(double statistic, double dof);

// The value x with chiSquareUpperTail(x, dof) == tail.
double chiSquareCritical(double tail, double dof);

// Chi-square of `counts` against "every cell equally likely"; degrees of
// freedom: counts.size() - 1.
double chiSquareUniform(const std::vector<std::uint64_t> &counts);

// Counts of (first, second) index pairs.
class PairTable {
public:
    PairTable(unsigned firstPool, unsigned secondPool);
    void add(unsigned first, unsigned second);
    std::uint64_t total() const noexcept { return m_total; }
    unsigned cells() const noexcept { return m_first * m_second; }
    // Chi-square against "every pair equally likely", which holds exactly
    // when both indices are uniform and independent of each other. Degrees of
    // freedom: cells() - 1.
    double chiSquareUniform() const;
    // P-value of that statistic.
    double pValue() const;

private:
    unsigned m_first, m_second;
    std::vector<std::uint64_t> m_counts;
    std::uint64_t m_total = 0;
};

// Empirical entropy, in bits per symbol, of the frequencies of `symbols`
// (values below `alphabet`): -sum p log2 p.
double entropyBits(const std::vector<std::uint8_t> &symbols, unsigned alphabet);

// Lag-1 serial correlation coefficient of the sequence, taken cyclically
// (the last value paired with the first), as `ent` computes it.
double serialCorrelation(const std::vector<std::uint8_t> &values);

// The bound on |serial correlation| for n independent values: six standard
// deviations of its null distribution (sd 1/sqrt(n)), two-sided tail about
// 2e-9 < kFalseAlarm.
double serialCorrelationBound(std::size_t n);

// Position of each character of `text` in `pool`; fails the current test
// (and returns false) on a character that is not in the pool.
bool appendPoolIndices(std::string_view text, std::string_view pool, std::vector<std::uint8_t> &out);

// Counts the pairs of neighbouring characters of a stream cut into
// passwords of `length`: inside one password, and from the last character of
// one password to the first of the next.
struct NeighbourPairs {
    PairTable within;
    PairTable across;
};
NeighbourPairs neighbourPairs(const std::vector<std::uint8_t> &indices, std::size_t length, unsigned pool);

// What `ent` reports on a file of bytes.
struct EntReport {
    bool ok = false;
    std::string error;
    std::uint64_t bytes = 0;
    double entropy = 0;           // bits per byte
    double serialCorrelation = 0; // lag-1, cyclic
};
EntReport runEnt(const std::vector<std::uint8_t> &bytes);

// Wraps a source so that each byte repeats the byte before it with
// probability `repeat` (decided by a second stream from `inner`), otherwise
// passes the inner byte. Through the picker each character then repeats the
// previous one with probability about `repeat`.
class RepeatingSource final : public RandomSource {
public:
    RepeatingSource(RandomSource &inner, double repeat);
    void fill(std::span<std::uint8_t> out) override;

private:
    RandomSource &m_inner;
    std::uint32_t m_threshold; // out of 2^16
    std::uint8_t m_last = 0;
    bool m_haveLast = false;
};

} // namespace velkrin::randomness
