#include <gtest/gtest.h>
#include <testkit/case_name.h>

#include <limits>
#include <string>

#include "port_text.h"
#include "winhttp_proxy_list.h"

namespace waypost {
namespace {

struct ListCase {
    const char* name;
    std::u16string list;
    std::string host;
    std::int32_t port;
};

class ParseProxyList : public ::testing::TestWithParam<ListCase> {};

TEST_P(ParseProxyList, ChoosesEntryAndSplitsAtLastColon) {
    const ListCase& c = GetParam();
    ProxyResult result;
    parseProxyList(c.list.c_str(), result);
    EXPECT_EQ(result.host, c.host);
    EXPECT_EQ(result.port, c.port);
    EXPECT_FALSE(result.direct);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseProxyList,
    ::testing::Values(ListCase{"HttpPrefixFirst", u"http=a:1;https=b:2", "a", 1},
                      ListCase{"HttpPrefixWinsWhereverItStands", u"https=b:2;http=a:1", "a", 1},
                      ListCase{"HttpsWhenNoHttp", u"https=b:2;ftp=c:3", "b", 2},
                      ListCase{"FirstEntryOnly", u"gate:3128;spare:8000", "gate", 3128},
                      ListCase{"NoColonGives8080", u"gate", "gate", 8080},
                      ListCase{"ColonWithoutDigitsGivesZero", u"gate:", "gate", 0},
                      ListCase{"PortStopsAtFirstNonDigit", u"gate:80abc", "gate", 80},
                      ListCase{"OtherSchemePrefixKept", u"socks=s:1080", "socks=s", 1080},
                      ListCase{"PrefixIsCaseSensitive", u"HTTP=a:1", "HTTP=a", 1},
                      ListCase{"BracketedIpv6WithPort", u"[::1]:3128", "[::1]", 3128},
                      ListCase{"BracketedIpv6SplitAtLastColon", u"[::1]", "[:", 1},
                      ListCase{"BlankDoesNotSeparate", u"a:1 b:2", "a:1 b", 2},
                      ListCase{"EmptyHttpEntry", u"ftp=c:3;http=", "", 8080},
                      ListCase{"EmptyList", u"", "", 8080},
                      ListCase{"HttpPrefixInsideAnotherEntry", u"xhttp=a:1;b:2", "a", 1},
                      ListCase{"HttpsPrefixMatchedInsideWord", u"gate;myhttps=c:9", "c", 9},
                      ListCase{"LeadingSeparator", u";gate:1", "", 8080},
                      ListCase{"PortWithLeadingBlanksAndSign", u"gate: +42", "gate", 42},
                      ListCase{"NegativePort", u"gate:-5", "gate", -5},
                      ListCase{"PortAboveRangeSaturates", u"gate:99999999999", "gate", 2147483647},
                      ListCase{"NonAsciiHostToUtf8", u"caf\u00e9:1", "caf\xc3\xa9", 1},
                      ListCase{"UnpairedSurrogateBecomesReplacement", u"a\xd800:1", "a\xef\xbf\xbd",
                               1}),
    testkit::CaseName{});

TEST(ParseProxyList, NullListReadsAsEmpty) {
    ProxyResult result;
    parseProxyList(nullptr, result);
    EXPECT_EQ(result.host, "");
    EXPECT_EQ(result.port, 8080);
}

struct IntegerCase {
    std::u16string text;
    std::int32_t value;
};

TEST(ReadLeadingInteger, ReadsLikeTheRuntimeConversion) {
    constexpr auto max = std::numeric_limits<std::int32_t>::max();
    constexpr auto min = std::numeric_limits<std::int32_t>::min();
    const IntegerCase cases[] = {
        {u"", 0},
        {u"abc", 0},
        {u"12", 12},
        {u"\t\n 7", 7},
        {u"-0", 0},
        {u"+", 0},
        {u"- 3", 0},
        {u"2147483647", max},
        {u"2147483648", max},
        {u"-2147483648", min},
        {u"-2147483649", min},
        {u"000000000000000000042", 42},
        {u"99999999999999999999999999", max},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(readLeadingInteger(cases[i].text), cases[i].value) << "case " << i;
        const std::string bytes(cases[i].text.begin(), cases[i].text.end());  // all ASCII
        EXPECT_EQ(readLeadingInteger(std::string_view(bytes)), cases[i].value) << "case " << i;
    }
}

}  // namespace
}  // namespace waypost
