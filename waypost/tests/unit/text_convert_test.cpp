// Runs against the portable converter on the host and against the system converter under Wine:
// both must agree on these answers.
#include <gtest/gtest.h>
#include <testkit/case_name.h>

#include <string>

#include "text_convert.h"

namespace waypost {
namespace {

struct Utf8Case {
    const char* name;
    const char* utf8;
    std::u16string wide;
};

class Utf8ToWide : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8ToWide, ConvertsAndReplacesIllFormedParts) {
    EXPECT_EQ(utf8ToWide(GetParam().utf8), GetParam().wide);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Utf8ToWide,
    ::testing::Values(Utf8Case{"Null", nullptr, u""}, Utf8Case{"Empty", "", u""},
                      Utf8Case{"Ascii", "http://example.org/", u"http://example.org/"},
                      Utf8Case{"TwoByte", "\xc3\xa9", u"\u00e9"},
                      Utf8Case{"ThreeByte", "\xe2\x82\xac", u"\u20ac"},
                      Utf8Case{"FourByteToSurrogatePair", "\xf0\x9f\x98\x80", u"\U0001F600"},
                      Utf8Case{"LoneContinuationByte", "a\x80z", u"a\ufffdz"},
                      Utf8Case{"InvalidLeadBytes", "\xff\xfe", u"\ufffd\ufffd"},
                      Utf8Case{"TruncatedAtEnd", "a\xe2\x82", u"a\ufffd"},
                      Utf8Case{"TruncatedBeforeAscii", "\xe2\x82z", u"\ufffdz"}),
    testkit::CaseName{});

struct WideCase {
    const char* name;
    std::u16string wide;
    std::string utf8;
};

class WideToUtf8 : public ::testing::TestWithParam<WideCase> {};

TEST_P(WideToUtf8, ConvertsAndReplacesUnpairedSurrogates) {
    EXPECT_EQ(wideToUtf8(GetParam().wide.c_str()), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WideToUtf8,
    ::testing::Values(WideCase{"Empty", u"", ""}, WideCase{"Ascii", u"gate", "gate"},
                      WideCase{"TwoByte", u"\u00e9", "\xc3\xa9"},
                      WideCase{"ThreeByte", u"\u20ac", "\xe2\x82\xac"},
                      WideCase{"SurrogatePairToFourBytes", u"\U0001F600", "\xf0\x9f\x98\x80"},
                      WideCase{"LoneHighAtEnd", u"a\xd83d", "a\xef\xbf\xbd"},
                      WideCase{"LoneLow", u"\xde00z", "\xef\xbf\xbdz"},
                      WideCase{"HighBeforeNonLow", u"\xd83dz", "\xef\xbf\xbdz"}),
    testkit::CaseName{});

TEST(WideToUtf8, NullGivesEmpty) {
    EXPECT_EQ(wideToUtf8(nullptr), "");
}

}  // namespace
}  // namespace waypost
