// Form1's behaviour on the scripted host: start-up, the counts typed key by
// key, and Create, on stand-ins for the controls, as every host runs it.

#include "support/SystemRandomSource.h"
#include "support/ScriptedHost.h"
#include "support/ScriptedRandomSource.h"
#include "window/CountBoxTip.h"

#include <gtest/gtest.h>

#include <numeric>
#include <regex>
#include <string>
#include <vector>

using namespace velkrin;
using velkrin::test::FakeTextBox;
using velkrin::test::ScriptedHost;
using velkrin::test::ScriptedRandomSource;

namespace {

std::string caption(int total)
{
    return std::to_string(total) + " Random Characters";
}

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

bool matches(const std::string &text, int letters, int digits, bool mixed = false)
{
    const std::string pattern = mixed ? "^[a-zA-Z0-9]{" + std::to_string(letters + digits) + "}$"
                                      : "^[a-z]{" + std::to_string(letters) + "}[0-9]{" + std::to_string(digits) + "}$";
    return std::regex_match(text, std::regex(pattern));
}

// A host whose window has loaded.
struct Loaded {
    explicit Loaded(RandomSource &random) : host(random) { host.form.Load(); }
    Loaded() : Loaded(secure) {}

    FakeTextBox &box(bool letters) { return letters ? host.txtLetters : host.txtNumbers; }
    int count(bool letters) const
    {
        const MainWindowState &state = host.form.mainWindowState();
        return letters ? state.intLetters : state.intNumbers;
    }

    SystemRandomSource secure;
    ScriptedHost host;
};

} // namespace

TEST(Form1, LoadSetsBothCountsToThreeAndDrawsTheTotal)
{
    SystemRandomSource random;
    ScriptedHost host(random);
    EXPECT_EQ(host.form.mainWindowState().intLetters, 0);
    EXPECT_EQ(host.form.mainWindowState().intNumbers, 0);

    // Each of Load's two assignments recounts: "3" letters alone, then both.
    std::vector<std::string> totalsOnChange;
    for (FakeTextBox *edited : {&host.txtLetters, &host.txtNumbers})
        edited->Change = [&, change = edited->Change] {
            change();
            totalsOnChange.push_back(host.lblRandom.caption());
        };
    host.form.Load();
    EXPECT_EQ(totalsOnChange, (std::vector<std::string>{caption(3), caption(6)}));
    EXPECT_EQ(host.txtLetters.text(), "3");
    EXPECT_EQ(host.txtNumbers.text(), "3");
    EXPECT_EQ(host.form.mainWindowState().intLetters, 3);
    EXPECT_EQ(host.form.mainWindowState().intNumbers, 3);
    EXPECT_EQ(host.lblRandom.caption(), caption(6));
    EXPECT_EQ(host.lblRandom.refreshes, 1); // drawn at once
    // Loading composes nothing, starts nothing and tells a screen reader nothing.
    EXPECT_EQ(host.lblPassword.caption(), "");
    EXPECT_EQ(host.List1.listCount(), 0);
    EXPECT_FALSE(host.Timer1.enabled());
    EXPECT_TRUE(host.warnings.empty());
    EXPECT_TRUE(host.announced.empty());
}

// Each row replaces the whole text of one box (both start at 3) by typing;
// every key is an edit of its own, so the count follows each intermediate
// text. '\b' is Backspace.
TEST(Form1, TypedEditsRecountTheEditedBox)
{
    struct Row {
        bool letters;
        const char *typed;
        std::vector<int> countAfterEachKey;
    };
    const Row rows[] = {
        // clang-format off
        {true, "12", {1, 12}},          {false, "12", {1, 12}},
        {true, "\b", {0}},              {false, "\b", {0}},
        {true, "2.5", {2, 2, 2}},       {false, "3.5", {3, 3, 4}}, // ties to even
        {false, "7abc", {7, 7, 7, 7}},  {true, "1e2", {1, 1, 100}},
        {true, "-5", {0, -5}},          {false, "-5", {0, -5}},
        {true, "ab", {0, 0}},           {true, "20\b5", {2, 20, 2, 25}},
        // clang-format on
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.typed);
        Loaded w;
        const std::string typed = row.typed;
        ASSERT_EQ(row.countAfterEachKey.size(), typed.size());
        for (std::size_t i = 0; i < typed.size(); ++i) {
            if (i == 0)
                w.host.type(w.box(row.letters), typed.substr(0, 1));
            else
                w.host.typeKey(w.box(row.letters), typed[i]);
            const int expected = row.countAfterEachKey[i];
            EXPECT_EQ(w.count(row.letters), expected) << "after \"" << w.box(row.letters).text() << "\"";
            EXPECT_EQ(w.count(!row.letters), 3); // only the edited box is read
            EXPECT_EQ(w.host.lblRandom.caption(), caption(expected + 3));
            // The user typed it: a screen reader hears the new total.
            EXPECT_EQ(w.host.announced.back(), caption(expected + 3));
        }
        EXPECT_TRUE(w.host.warnings.empty());
    }
}

// A count that does not fit 16 bits cannot be stored: the last good count and
// its caption stay, one warning names the count and the range, and the window
// goes on working.
TEST(Form1, ACountOutOfRangeWarnsAndKeepsTheLastGoodCount)
{
    struct Row {
        bool letters;
        std::string typed;
        int lastGoodCount;
        const char *countName;
    };
    const Row rows[] = {
        {true, "40000", 4000, "number of letters"},
        {false, "40000", 4000, "number of digits"},
        {false, "-40000", -4000, "number of digits"},
        {true, "32767.5", 32767, "number of letters"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.typed);
        Loaded w;
        if (row.lastGoodCount > 32764) // keep the sum itself in range
            w.host.type(w.box(!row.letters), "0");
        const int other = w.count(!row.letters);

        w.host.type(w.box(row.letters), row.typed.substr(0, row.typed.size() - 1));
        EXPECT_EQ(w.count(row.letters), row.lastGoodCount);
        EXPECT_TRUE(w.host.warnings.empty());

        w.host.typeKey(w.box(row.letters), row.typed.back());
        ASSERT_EQ(w.host.warnings.size(), 1u);
        const std::string &message = w.host.warnings.front();
        EXPECT_TRUE(contains(message, row.countName)) << message;
        EXPECT_TRUE(contains(message, "-32768") && contains(message, "32767")) << message;
        EXPECT_EQ(w.count(row.letters), row.lastGoodCount);
        EXPECT_EQ(w.count(!row.letters), other);
        EXPECT_EQ(w.host.lblRandom.caption(), caption(row.lastGoodCount + other));
        EXPECT_EQ(w.box(row.letters).text(), row.typed); // the user's text is left alone

        // Still running: the next edits are counted as usual.
        w.host.typeKey(w.box(row.letters), '\b');
        EXPECT_EQ(w.count(row.letters), row.lastGoodCount);
        w.host.type(w.box(row.letters), "5");
        EXPECT_EQ(w.count(row.letters), 5);
        EXPECT_EQ(w.host.lblRandom.caption(), caption(5 + other));
        EXPECT_EQ(w.host.warnings.size(), 1u);
    }
}

// A sum that does not fit 16 bits: the edited count is stored, the caption
// keeps the last total that fitted, one warning.
TEST(Form1, ASumOutOfRangeStoresTheCountAndKeepsTheCaption)
{
    struct Row {
        bool firstLetters;
        std::string firstText;
        std::string secondText;
        int lastShownTotal;
    };
    const Row rows[] = {
        {true, "30000", "3000", 30300},
        {false, "30000", "3000", 30300},
        {true, "-30000", "-3000", -30300},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.firstText + " + " + row.secondText);
        Loaded w;
        const int first = std::stoi(row.firstText), second = std::stoi(row.secondText);
        w.host.type(w.box(row.firstLetters), row.firstText);
        EXPECT_EQ(w.count(row.firstLetters), first);
        EXPECT_EQ(w.host.lblRandom.caption(), caption(first + 3));
        EXPECT_TRUE(w.host.warnings.empty());

        w.host.type(w.box(!row.firstLetters), row.secondText);
        ASSERT_EQ(w.host.warnings.size(), 1u);
        EXPECT_TRUE(contains(w.host.warnings.front(), "total number of characters")) << w.host.warnings.front();
        EXPECT_EQ(w.count(row.firstLetters), first);
        EXPECT_EQ(w.count(!row.firstLetters), second);
        EXPECT_EQ(w.host.lblRandom.caption(), caption(row.lastShownTotal));

        // Bringing the sum back into range updates the caption again.
        w.host.typeKey(w.box(!row.firstLetters), '\b');
        w.host.typeKey(w.box(!row.firstLetters), '\b');
        EXPECT_EQ(w.host.lblRandom.caption(), caption(first + second / 100));
        EXPECT_EQ(w.host.warnings.size(), 1u);
    }
}

// Both boxes describe the passwords' strength, renewed by every edit of a
// count and of the mixed-mode box.
TEST(Form1, TheCountBoxesDescribeTheStrength)
{
    Loaded w;
    const auto expect = [&w](const std::string &text) {
        EXPECT_EQ(w.host.txtLetters.description, text);
        EXPECT_EQ(w.host.txtNumbers.description, text);
    };
    expect("17,576,000 possible passwords, about 24 bits: poor");
    w.host.type(w.host.txtLetters, "10");
    expect("141,167,095,653,376,000 possible passwords, about 57 bits: weak");
    w.host.Check1.set(CheckBox::kChecked);
    expect("200,028,539,268,669,788,905,472 possible passwords, about 77 bits: good");
    EXPECT_EQ(countBoxTip(w.host.txtLetters.description), w.host.txtLetters.description);
    // Over a tooltip's 80 characters, the tip keeps the bits and the verdict.
    w.host.type(w.host.txtNumbers, "11");
    expect("43,674,252,383,913,877,424,036,476,406,214,950,912 possible passwords, about 125 bits: excellent");
    EXPECT_EQ(countBoxTip(w.host.txtLetters.description), "About 125 bits: excellent");
    w.host.type(w.host.txtNumbers, "23");
    expect("about 1.4 \u00d7 10^59 possible passwords, about 196 bits: excellent");
    w.host.type(w.host.txtNumbers, "-11");
    expect("No password can be made from these counts");
}

// Known bytes give a known password: each byte below the largest multiple of
// the pool size picks pool[byte % size], higher bytes are skipped. The digit
// pool runs 1..9 then 0. Each Create draws its six bytes and two spares; the
// spares it does not use are wiped, never used for the next password.
TEST(Form1, CreateMapsBytesOntoPools)
{
    auto random = ScriptedRandomSource::repeating({0, 1, 2, 25, 0, 9, 26, 35, 61, 36, 255, 7});
    Loaded w(random);
    w.host.cmdCreate.press();
    EXPECT_EQ(w.host.lblPassword.caption(), "abc610");
    EXPECT_EQ(w.host.announced.back(), "abc610"); // a screen reader hears it
    w.host.Check1.set(CheckBox::kChecked);
    w.host.cmdCreate.press();
    EXPECT_EQ(w.host.lblPassword.caption(), "ZAhabc"); // after the spares 26, 35; 255 skipped

    // A grayed box (a value the window never sets itself) composes as if clear.
    w.host.Check1.set(CheckBox::kGrayed);
    w.host.cmdCreate.press();
    EXPECT_EQ(w.host.lblPassword.caption(), "aja627"); // the script wrapped
    EXPECT_TRUE(w.host.warnings.empty());
    // Create touches neither the batch nor the counts.
    EXPECT_EQ(w.host.List1.listCount(), 0);
    EXPECT_EQ(w.host.lblRandom.caption(), caption(6));
}

// Mixed mode with counts whose sum overflows: Create shows one message, keeps
// the current password and draws nothing, so the next password continues the
// random bytes right after the last one's draw (its six bytes and two spares).
TEST(Form1, MixedOverflowDrawsNothing)
{
    std::vector<std::uint8_t> script(62);
    std::iota(script.begin(), script.end(), std::uint8_t{0}); // byte i picks the mixed pool's character i
    auto random = ScriptedRandomSource::repeating(script);
    Loaded w(random);
    w.host.Check1.set(CheckBox::kChecked);
    w.host.cmdCreate.press();
    EXPECT_EQ(w.host.lblPassword.caption(), "abcdef");

    w.host.type(w.host.txtNumbers, "32765"); // the count is kept, its sum overflows
    EXPECT_EQ(w.host.warnings.size(), 1u);
    EXPECT_EQ(w.count(false), 32765);
    const std::string total = w.host.lblRandom.caption();

    w.host.cmdCreate.press();
    ASSERT_EQ(w.host.warnings.size(), 2u);
    EXPECT_TRUE(contains(w.host.warnings.back(), "total number of characters")) << w.host.warnings.back();
    EXPECT_EQ(w.host.lblPassword.caption(), "abcdef");
    EXPECT_EQ(w.host.lblRandom.caption(), total);

    w.host.type(w.host.txtNumbers, "3");
    w.host.cmdCreate.press();
    EXPECT_EQ(w.host.lblPassword.caption(), "ijklmn");
    EXPECT_EQ(w.host.warnings.size(), 2u);
}

// A negative length at Create: one warning; the current password stays; in
// separate mode the letters already drawn before the digits failed are kept.
TEST(Form1, ANegativeCountAtCreateWarnsAndKeepsThePassword)
{
    struct Row {
        const char *letters;
        const char *numbers;
        bool mixed;
        bool lettersRenewed;
    };
    const Row rows[] = {{"2", "-1", false, true}, {"-1", "3", false, false}, {"-4", "3", true, false}};
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.letters) + " " + row.numbers);
        Loaded w;
        w.host.cmdCreate.press();
        const std::string previous = w.host.lblPassword.caption();
        const MainWindowState before = w.host.form.mainWindowState();
        EXPECT_EQ(before.strLetters.size(), 3u);

        if (row.mixed)
            w.host.Check1.set(CheckBox::kChecked);
        w.host.type(w.host.txtLetters, row.letters);
        w.host.type(w.host.txtNumbers, row.numbers);
        EXPECT_TRUE(w.host.warnings.empty()); // negative counts are accepted as typed
        const std::string totalCaption = w.host.lblRandom.caption();

        w.host.cmdCreate.press();
        ASSERT_EQ(w.host.warnings.size(), 1u);
        EXPECT_TRUE(contains(w.host.warnings.front(), "negative")) << w.host.warnings.front();
        EXPECT_EQ(w.host.lblPassword.caption(), previous);
        EXPECT_EQ(w.host.lblRandom.caption(), totalCaption);
        EXPECT_EQ(w.host.List1.listCount(), 0);
        const MainWindowState &after = w.host.form.mainWindowState();
        EXPECT_EQ(after.strNumbers, before.strNumbers);
        EXPECT_EQ(after.strPassword, before.strPassword);
        if (row.lettersRenewed)
            EXPECT_TRUE(matches(after.strLetters, 2, 0)) << after.strLetters;
        else
            EXPECT_EQ(after.strLetters, before.strLetters);

        // The window carries on: with the counts put right, Create works again.
        w.host.type(w.host.txtLetters, "3");
        w.host.type(w.host.txtNumbers, "3");
        w.host.cmdCreate.press();
        EXPECT_TRUE(matches(w.host.lblPassword.caption(), 3, 3, row.mixed));
        EXPECT_EQ(w.host.warnings.size(), 1u);
    }
}

// Each tick composes with the counts and mode of that moment and appends the
// password; a change alone adds or alters nothing, earlier items stay.
TEST(Form1, ChangesTakeEffectOnTheNextTick)
{
    Loaded w;
    w.host.XPButton1.press();
    struct Step {
        const char *change;
        std::function<void()> apply;
        int letters, digits;
        bool mixed;
    };
    const std::vector<Step> steps{
        // clang-format off
        {"start-up counts", [] {}, 3, 3, false},
        {"5 letters", [&] { w.host.type(w.host.txtLetters, "5"); }, 5, 3, false},
        {"no digits", [&] { w.host.type(w.host.txtNumbers, "\b"); }, 5, 0, false},
        {"mixed mode", [&] { w.host.Check1.set(CheckBox::kChecked); }, 5, 0, true},
        {"12 digits, mixed", [&] { w.host.type(w.host.txtNumbers, "12"); }, 5, 12, true},
        {"separate again", [&] { w.host.Check1.set(CheckBox::kClear); }, 5, 12, false},
        {"nothing at all", [&] { w.host.type(w.host.txtLetters, "\b"); w.host.type(w.host.txtNumbers, "\b"); }, 0, 0, false},
        // clang-format on
    };
    std::vector<std::string> made;
    const auto items = [&w] {
        std::vector<std::string> all;
        for (std::int64_t i = 0; i < w.host.List1.listCount(); ++i)
            all.emplace_back(w.host.List1.item(i));
        return all;
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.change);
        step.apply();
        EXPECT_EQ(items(), made); // a change alone adds or alters nothing
        w.host.Timer1.tick();
        const std::string item = items().back();
        EXPECT_TRUE(matches(item, step.letters, step.digits, step.mixed)) << item;
        EXPECT_EQ(item, w.host.lblPassword.caption());
        made.push_back(item);
        EXPECT_EQ(items(), made); // earlier items stay as they were
    }
    EXPECT_TRUE(w.host.Timer1.enabled());
    EXPECT_TRUE(w.host.warnings.empty());
}

// Save writes every item in order, each followed by CR LF, to target.txt;
// saving again writes the same file, and the list stays.
TEST(Form1, SaveWritesTheListAsCrLfLines)
{
    struct Row {
        const char *letters, *numbers;
        bool mixed;
        int ticks;
        std::size_t expectedSize;
    };
    const Row rows[] = {{"3", "3", false, 3, 24},
                        {"3", "3", false, 0, 0},
                        {"0", "0", false, 2, 4}, // CR LF alone
                        {"8", "12", true, 40, 40 * 22}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.ticks);
        Loaded w;
        w.host.type(w.host.txtLetters, row.letters);
        w.host.type(w.host.txtNumbers, row.numbers);
        w.host.Check1.set(row.mixed ? CheckBox::kChecked : CheckBox::kClear);
        w.host.XPButton1.press();
        std::string expected;
        for (int i = 0; i < row.ticks; ++i) {
            w.host.Timer1.tick();
            expected += w.host.lblPassword.caption() + "\r\n";
        }
        w.host.XPButton2.press();
        w.host.XPButton3.press();
        EXPECT_TRUE(w.host.warnings.empty());
        EXPECT_EQ(w.host.folder.files.at("target.txt"), expected);
        EXPECT_EQ(expected.size(), row.expectedSize);
        w.host.XPButton3.press();
        EXPECT_EQ(w.host.folder.files.at("target.txt"), expected);
        EXPECT_EQ(w.host.List1.listCount(), row.ticks);
    }
}
