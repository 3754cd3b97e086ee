// UniformPicker over a scripted byte stream: which bytes it rejects, how it
// maps the others, and how it draws its blocks from the source.

#include "ScriptedRandomSource.h"

#include "platform/HostError.h"
#include "platform/UniformPicker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

using namespace velkrin;
using velkrin::test::ScriptedRandomSource;

namespace {

constexpr std::size_t kBlock = 16384;

// The picker holds a 16 KiB buffer; keep it off the stack.
std::unique_ptr<UniformPicker> pickerOver(RandomSource &source)
{
    return std::make_unique<UniformPicker>(source);
}

} // namespace

TEST(UniformPicker, SkipsBytesAtOrAboveTheLargestMultipleOfThePoolSize)
{
    struct Case {
        unsigned pool;
        unsigned firstRejected; // the largest multiple of pool not above 256
    };
    for (const Case c : {Case{26, 234}, Case{10, 250}, Case{62, 248}, Case{3, 255}, Case{100, 200}}) {
        SCOPED_TRACE(c.pool);
        // Every rejected byte, then the highest accepted one, then 0.
        std::vector<std::uint8_t> script;
        for (unsigned b = c.firstRejected; b < 256; ++b)
            script.push_back(static_cast<std::uint8_t>(b));
        script.push_back(static_cast<std::uint8_t>(c.firstRejected - 1));
        script.push_back(0);
        auto source = ScriptedRandomSource::sequence(script, 1);
        auto picker = pickerOver(source);
        EXPECT_EQ(picker->pick(c.pool), (c.firstRejected - 1) % c.pool);
        EXPECT_EQ(picker->pick(c.pool), 0u);
        EXPECT_EQ(picker->pick(c.pool), 1u);
    }

    // Pool sizes that divide 256 reject nothing: 255 is the last index.
    for (unsigned pool : {1u, 2u, 16u, 128u, 256u}) {
        auto source = ScriptedRandomSource::sequence({255, 0});
        auto picker = pickerOver(source);
        EXPECT_EQ(picker->pick(pool), 255u % pool) << pool;
    }
}

TEST(UniformPicker, MapsEveryAcceptedByteByItsRemainder)
{
    for (unsigned pool : {10u, 26u, 62u}) {
        SCOPED_TRACE(pool);
        const unsigned limit = 256 / pool * pool;
        // Every byte once, in order: the accepted ones come out as b % pool,
        // in the same order, and each index exactly as often as any other.
        auto source = ScriptedRandomSource([](std::size_t i) { return static_cast<std::uint8_t>(i); });
        auto picker = pickerOver(source);
        std::vector<unsigned> hits(pool, 0);
        for (unsigned b = 0; b < limit; ++b) {
            const unsigned index = picker->pick(pool);
            ASSERT_EQ(index, b % pool) << "byte " << b;
            ++hits[index];
        }
        for (unsigned index = 0; index < pool; ++index)
            EXPECT_EQ(hits[index], limit / pool) << "index " << index;
        // The next cycle begins with byte 0 again after the rejected tail.
        EXPECT_EQ(picker->pick(pool), 0u);
        EXPECT_EQ(source.fillSizes.size(), 1u) << "one block serves all of this";
    }
}

TEST(UniformPicker, DrawsWholeBlocksAndLosesNoByteBetweenThem)
{
    // A stream in which no two neighbouring bytes are equal, so a byte that
    // is skipped or served twice shows.
    auto byteAt = [](std::size_t i) { return static_cast<std::uint8_t>((i * 7 + i / 256) & 0xFF); };
    auto source = ScriptedRandomSource(byteAt);
    auto picker = pickerOver(source);

    for (std::size_t i = 0; i < 2 * kBlock + 100; ++i) {
        ASSERT_EQ(picker->pick(256), byteAt(i)) << "pick " << i;
        const std::size_t blocksNeeded = i / kBlock + 1;
        ASSERT_EQ(source.fillSizes.size(), blocksNeeded) << "pick " << i;
    }
    EXPECT_EQ(source.fillSizes, (std::vector<std::size_t>{kBlock, kBlock, kBlock}));

    // A rejected byte at the end of one block and an accepted one at the
    // start of the next: the pick spans the refill.
    auto straddle = ScriptedRandomSource([](std::size_t i) -> std::uint8_t {
        if (i == kBlock - 2)
            return 250;
        if (i == kBlock - 1)
            return 255;
        if (i == kBlock)
            return 37;
        return 0;
    });
    auto picker2 = pickerOver(straddle);
    for (std::size_t i = 0; i < kBlock - 2; ++i)
        ASSERT_EQ(picker2->pick(26), 0u);
    EXPECT_EQ(picker2->pick(26), 37u % 26);
    EXPECT_EQ(straddle.fillSizes.size(), 2u);
}

TEST(UniformPicker, ASourceFailurePropagatesAndTheNextPickRetries)
{
    auto source = ScriptedRandomSource([](std::size_t i) { return static_cast<std::uint8_t>(i % 200 + 1); });
    auto picker = pickerOver(source);

    // The very first fill fails; the scribbled buffer must not be used.
    source.failingFills = 1;
    try {
        picker->pick(10);
        FAIL() << "the source's error was swallowed";
    } catch (const HostError &e) {
        EXPECT_EQ(e.kind(), HostErrorKind::NoRandomSource);
    }
    for (unsigned i = 0; i < 5; ++i)
        EXPECT_EQ(picker->pick(256), i + 1);
    EXPECT_EQ(source.fillSizes.size(), 2u);

    // Use up the rest of the block, then fail twice at the refill.
    for (std::size_t i = 5; i < kBlock; ++i)
        ASSERT_EQ(picker->pick(256), i % 200 + 1);
    source.failingFills = 2;
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            picker->pick(256);
            FAIL() << "the source's error was swallowed";
        } catch (const HostError &e) {
            EXPECT_EQ(e.kind(), HostErrorKind::NoRandomSource);
        }
    }
    // The stream resumes where it stopped: the failed fills served nothing.
    EXPECT_EQ(picker->pick(256), kBlock % 200 + 1);
    EXPECT_EQ(picker->pick(256), (kBlock + 1) % 200 + 1);
    EXPECT_EQ(source.fillSizes.size(), 5u);
}
