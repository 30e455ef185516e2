// The X11 adapter's rules without a server: the caller's title read in the locale's character
// set, titles decoded from their property types and compared without letter case, and the Motif
// hints that take away the two boxes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "locale_text.h"
#include "motif_hints.h"
#include "testkit/case_name.h"
#include "title_match.h"

namespace paneknob::x11 {
namespace {

struct CallerTitleCase {
    const char* name;
    const char* locale;  // LC_ALL while the title is read
    const char* title;
    std::optional<std::u32string> points;
};

class CallerTitle : public ::testing::TestWithParam<CallerTitleCase> {};

TEST_P(CallerTitle, IsReadInTheEnvironmentsCharacterSet) {
    const char* before = std::getenv("LC_ALL");
    const std::string kept = before != nullptr ? before : "";
    ::setenv("LC_ALL", GetParam().locale, 1);
    const std::optional<std::u32string> points = fromEnvironmentCharset(GetParam().title);
    before != nullptr ? ::setenv("LC_ALL", kept.c_str(), 1) : ::unsetenv("LC_ALL");
    EXPECT_EQ(points, GetParam().points);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, CallerTitle,
    ::testing::Values(CallerTitleCase{"Utf8", "C.UTF-8", "Fen\xC3\xAAtre", U"Fen\u00EAtre"},
                      CallerTitleCase{"FourBytesOnePoint", "C.UTF-8", "\xF0\x9F\x98\x80!",
                                      U"\U0001F600!"},
                      CallerTitleCase{"Empty", "C.UTF-8", "", U""},
                      CallerTitleCase{"CutOffUtf8", "C.UTF-8", "Caf\xC3", std::nullopt},
                      CallerTitleCase{"AsciiLocale", "C", "Plain", U"Plain"},
                      CallerTitleCase{"NotInAscii", "C", "Caf\xE9", std::nullopt}),
    testkit::CaseName{});

struct DecodeCase {
    const char* name;
    std::string bytes;
    TitleEncoding encoding;
    std::optional<std::u32string> title;
};

class DecodeTitle : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTitle, GivesCodePointsOrNothing) {
    EXPECT_EQ(decodeTitle(GetParam().bytes, GetParam().encoding), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, DecodeTitle,
    ::testing::Values(
        DecodeCase{"Utf8", "Fen\xC3\xAAtre \xE2\x82\xAC \xF0\x9F\x98\x80", TitleEncoding::utf8,
                   U"Fenêtre € 😀"},
        DecodeCase{"Utf8Empty", "", TitleEncoding::utf8, U""},
        DecodeCase{"Utf8Truncated", "Fen\xC3", TitleEncoding::utf8, std::nullopt},
        DecodeCase{"Utf8Overlong", "\xC0\xAF", TitleEncoding::utf8, std::nullopt},
        DecodeCase{"Utf8Surrogate", "\xED\xA0\x80", TitleEncoding::utf8, std::nullopt},
        DecodeCase{"Utf8BeyondUnicode", "\xF4\x90\x80\x80", TitleEncoding::utf8, std::nullopt},
        DecodeCase{"Utf8StrayContinuation", "a\x80", TitleEncoding::utf8, std::nullopt},
        DecodeCase{"Latin1", "P\xE2t\xE9", TitleEncoding::latin1, U"Pâté"},
        DecodeCase{"CompoundAscii", "Plain", TitleEncoding::compoundText, U"Plain"},
        DecodeCase{"CompoundWithEscape", "\x1B-A\xE9", TitleEncoding::compoundText, std::nullopt}),
    testkit::CaseName{});

struct SameCase {
    const char* name;
    std::u32string a;
    std::u32string b;
    bool same;
};

class SameTitle : public ::testing::TestWithParam<SameCase> {};

TEST_P(SameTitle, ComparesWholeTitlesWithoutCase) {
    EXPECT_EQ(sameTitle(GetParam().a, GetParam().b), GetParam().same);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, SameTitle,
    ::testing::Values(SameCase{"Equal", U"Main Window", U"Main Window", true},
                      SameCase{"AsciiCase", U"Main Window", U"MAIN window", true},
                      SameCase{"LatinCase", U"Fenêtre Ü", U"FENÊTRE ü", true},
                      SameCase{"GreekCase", U"Ωmega", U"ωMEGA", true},
                      SameCase{"Prefix", U"Main", U"Main Window", false},
                      SameCase{"TrailingSpace", U"Main ", U"Main", false},
                      SameCase{"DifferentLetter", U"Main Windoq", U"Main Window", false},
                      SameCase{"BothEmpty", U"", U"", true}),
    testkit::CaseName{});

struct HintsCase {
    const char* name;
    std::optional<MotifHints> before;
    Boxes boxes;             // what the window has by these hints
    MotifHints withoutBoth;  // after taking both boxes away
};

class RestrictBoxes : public ::testing::TestWithParam<HintsCase> {};

TEST_P(RestrictBoxes, ListsWhatIsLeftAndKeepsTheOtherFields) {
    const HintsCase& c = GetParam();
    const Boxes boxes = boxesOf(c.before);
    EXPECT_EQ(boxes.minimize, c.boxes.minimize);
    EXPECT_EQ(boxes.maximize, c.boxes.maximize);
    const MotifHints after = restrictBoxes(c.before, {false, false});
    EXPECT_EQ(itemsOf(after), itemsOf(c.withoutBoth));
    const Boxes left = boxesOf(after);
    EXPECT_FALSE(left.minimize);
    EXPECT_FALSE(left.maximize);
}

INSTANTIATE_TEST_SUITE_P(
    Hints, RestrictBoxes,
    ::testing::Values(
        HintsCase{"NoHints", std::nullopt, {true, true}, {3, 0x26, 0x1E, 0, 0}},
        // ALL with MOVE listed means everything but moving.
        HintsCase{"AllButMove", MotifHints{1, 0x05, 0, 0, 0}, {true, true}, {3, 0x22, 0x1E, 0, 0}},
        // The maximize decoration is still drawn without its function: the box is there.
        HintsCase{
            "ListedFunctions", MotifHints{1, 0x0E, 0, 0, 0}, {true, true}, {3, 0x06, 0x1E, 0, 0}},
        HintsCase{"BoxesDecoratedOnly",
                  MotifHints{3, 0x26, 0x7E, 0, 0},
                  {true, true},
                  {3, 0x26, 0x1E, 0, 0}},
        HintsCase{"BoxesGoneFromBoth",
                  MotifHints{3, 0x26, 0x1E, 0, 0},
                  {false, false},
                  {3, 0x26, 0x1E, 0, 0}},
        HintsCase{"NoDecorationsKept", MotifHints{2, 0, 0, 0, 0}, {true, true}, {3, 0x26, 0, 0, 0}},
        HintsCase{"InputModeAndStatusKept",
                  MotifHints{0xC, 0, 0, 2, 1},
                  {true, true},
                  {0xF, 0x26, 0x1E, 2, 1}}),
    testkit::CaseName{});

// Clients that write three or four items still ask for what they list (a window without
// decorations must not get them back).
TEST(MotifHints, ThreeItemsOrMoreAreHints) {
    using Items = std::vector<std::uint32_t>;
    EXPECT_EQ(parseHints({1, 2}), std::nullopt);
    for (const auto& [items, parsed] : {std::pair{Items{2, 0, 0}, Items{2, 0, 0, 0, 0}},
                                        std::pair{Items{1, 2, 3, 4}, Items{1, 2, 3, 4, 0}},
                                        std::pair{Items{1, 2, 3, 4, 5, 6}, Items{1, 2, 3, 4, 5}}}) {
        const auto hints = parseHints(items);
        ASSERT_TRUE(hints);
        EXPECT_EQ(itemsOf(*hints), parsed);
    }
}

}  // namespace
}  // namespace paneknob::x11
