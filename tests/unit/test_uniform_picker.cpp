// UniformPicker over a scripted byte stream: which bytes it rejects, how it
// maps the others, and how it draws each password's bytes from the source.

#include "support/ScriptedRandomSource.h"

#include "generation/UniformPicker.h"
#include "platform/HostError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

using namespace velkrin;
using velkrin::test::ScriptedRandomSource;

namespace {

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
        const UniformPicker::Draw draw(*picker, 3);
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
        const UniformPicker::Draw draw(*picker, limit + 1);
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
    }
}

TEST(UniformPicker, DrawsEachPasswordWhenItIsMadeAndWipesItAfter)
{
    auto byteAt = [](std::size_t i) { return static_cast<std::uint8_t>((i * 7 + i / 256) % 255 + 1); };
    auto source = ScriptedRandomSource(byteAt);
    auto picker = pickerOver(source);
    {
        // Nothing is drawn before the first pick; then the password's six
        // bytes and two spares in one call.
        const UniformPicker::Draw draw(*picker, 6);
        EXPECT_TRUE(source.fillSizes.empty());
        for (std::size_t i = 0; i < 6; ++i)
            EXPECT_EQ(picker->pick(256), byteAt(i));
        EXPECT_EQ(source.fillSizes, (std::vector<std::size_t>{8}));
    }
    EXPECT_EQ(std::count(source.lastFill.begin(), source.lastFill.end(), 0), 8) << "the draw was not wiped";

    // The unused spares are gone with it; a long password is drawn in
    // chunks of 256 bytes without losing one between them.
    const UniformPicker::Draw draw(*picker, 32767);
    for (std::size_t i = 8; i < 8 + 32767; ++i)
        ASSERT_EQ(picker->pick(256), byteAt(i)) << "pick " << i;
    EXPECT_EQ(source.fillSizes.size(), 1u + 128u);

    // Rejected bytes beyond the spares are topped up by a new draw.
    auto rejecting = ScriptedRandomSource::sequence({250, 250, 250, 250, 250, 1, 2, 3});
    auto picker2 = pickerOver(rejecting);
    const UniformPicker::Draw three(*picker2, 3);
    for (unsigned expected : {1u, 2u, 3u})
        EXPECT_EQ(picker2->pick(26), expected);
    EXPECT_EQ(rejecting.fillSizes, (std::vector<std::size_t>{5, 5}));
}

TEST(UniformPicker, ASourceFailurePropagatesAndTheNextPickRetries)
{
    auto source = ScriptedRandomSource([](std::size_t i) { return static_cast<std::uint8_t>(i % 200 + 1); });
    auto picker = pickerOver(source);

    // The very first fill fails; the scribbled buffer is wiped, not used.
    source.failingFills = 1;
    try {
        picker->pick(10);
        FAIL() << "the source's error was swallowed";
    } catch (const HostError &e) {
        EXPECT_EQ(e.kind(), HostErrorKind::NoRandomSource);
    }
    EXPECT_EQ(std::count(source.lastFill.begin(), source.lastFill.end(), 0), 3);

    // A refill that fails twice inside a draw: the stream resumes where it
    // stopped, since the failed fills served nothing.
    const UniformPicker::Draw draw(*picker, 300);
    for (std::size_t i = 0; i < 256; ++i)
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
    EXPECT_EQ(picker->pick(256), 256 % 200 + 1);
    EXPECT_EQ(picker->pick(256), 257 % 200 + 1);
}
