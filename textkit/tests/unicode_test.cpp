// The kit's decoders at the edges of well-formedness, and what each rule makes of the same
// ill-formed text.

#include <gtest/gtest.h>

#include <string>

#include "testkit/case_name.h"
#include "textkit/unicode.h"

namespace textkit {
namespace {

struct Utf8Case {
    const char* name;
    std::string bytes;
    std::u16string replaced;  // utf8ToUtf16
    bool wellFormed;          // utf8ToCodePoints gives a value
};

class Utf8 : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8, ReplacesEachMaximalSubpartOrRefusesTheWhole) {
    const Utf8Case& c = GetParam();
    EXPECT_EQ(utf8ToUtf16(c.bytes), c.replaced);
    EXPECT_EQ(utf8ToCodePoints(c.bytes).has_value(), c.wellFormed);
    EXPECT_EQ(utf8Replacing(c.bytes), utf16ToUtf8(c.replaced));
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, Utf8,
    ::testing::Values(Utf8Case{"AsciiAndFourBytes", "a\xF0\x9F\x98\x80", u"a\U0001F600", true},
                      Utf8Case{"LargestPoint", "\xF4\x8F\xBF\xBF", u"\U0010FFFF", true},
                      Utf8Case{"CutOffAtTheEnd", "\xE1\x80", u"\uFFFD", false},
                      Utf8Case{"OverlongTwoBytes",
                               "a\xC0\xAF"
                               "b",
                               u"a\uFFFD\uFFFDb", false},
                      Utf8Case{"OverlongFourBytes", "\xF0\x80\x80", u"\uFFFD\uFFFD\uFFFD", false},
                      Utf8Case{"Surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", false},
                      Utf8Case{"BeyondUnicode", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD",
                               false},
                      Utf8Case{"StrayContinuation", "\x80x", u"\uFFFDx", false},
                      Utf8Case{"ThreeBytesBrokenLate",
                               "\xE2\x82"
                               "A",
                               u"\uFFFDA", false}),
    testkit::CaseName{});

struct Utf16Case {
    const char* name;
    std::u16string units;
    std::string replaced;  // utf16ToUtf8
    std::string unitWise;  // utf16UnitsToUtf8
    bool wellFormed;       // utf16ToCodePoints gives a value
};

class Utf16 : public ::testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16, EachRuleForUnpairedHalves) {
    const Utf16Case& c = GetParam();
    EXPECT_EQ(utf16ToUtf8(c.units), c.replaced);
    EXPECT_EQ(utf16UnitsToUtf8(c.units), c.unitWise);
    EXPECT_EQ(utf16ToCodePoints(c.units).has_value(), c.wellFormed);
}

INSTANTIATE_TEST_SUITE_P(
    Units, Utf16,
    ::testing::Values(
        Utf16Case{"Pair", u"\U0001F600", "\xF0\x9F\x98\x80", "\xED\xA0\xBD\xED\xB8\x80", true},
        Utf16Case{"NulAndTwoBytes", std::u16string(u"\0\u00E9", 2), std::string("\0\xC3\xA9", 3),
                  std::string("\0\xC3\xA9", 3), true},
        Utf16Case{"HighAtTheEnd", u"a\xD83D", "a\xEF\xBF\xBD", "a\xED\xA0\xBD", false},
        Utf16Case{"LowAlone",
                  u"\xDE00"
                  "b",
                  "\xEF\xBF\xBD"
                  "b",
                  "\xED\xB8\x80"
                  "b",
                  false},
        Utf16Case{"HighsInARow", u"\xD83D\xD83D\xDE00", "\xEF\xBF\xBD\xF0\x9F\x98\x80",
                  "\xED\xA0\xBD\xED\xA0\xBD\xED\xB8\x80", false}),
    testkit::CaseName{});

}  // namespace
}  // namespace textkit
