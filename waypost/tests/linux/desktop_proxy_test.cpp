// The desktops' manual proxies: which session reads which settings, what KDE's file says, and
// what manual settings answer.

#include <gtest/gtest.h>
#include <testkit/case_name.h>

#include "../../linux/desktop_proxy.h"

namespace waypost {
namespace {

TEST(DesktopProxy, SessionsAndTheirSettings) {
    struct Row {
        const char* current;
        const char* session;
        const char* gnomeId;
        DesktopFamily family;
    };
    for (const Row& row : {
             Row{"ubuntu:GNOME", "ubuntu", nullptr, DesktopFamily::gnome},
             Row{"Budgie:GNOME", nullptr, nullptr, DesktopFamily::gnome},
             Row{"X-Cinnamon", "cinnamon", nullptr, DesktopFamily::gnome},
             Row{"GNOME", "gnome", nullptr, DesktopFamily::gnome},
             Row{nullptr, "gnome", nullptr, DesktopFamily::gnome},
             Row{nullptr, nullptr, "this-is-deprecated", DesktopFamily::gnome},
             Row{"KDE", "plasma", nullptr, DesktopFamily::kde},
             Row{"GNOMEish", nullptr, nullptr, DesktopFamily::other},
             Row{"sway", nullptr, nullptr, DesktopFamily::other},
             Row{nullptr, nullptr, nullptr, DesktopFamily::other},
         }) {
        EXPECT_EQ(desktopFamily(row.current, row.session, row.gnomeId), row.family)
            << (row.current != nullptr ? row.current : "(unset)");
    }
}

TEST(DesktopProxy, KioslavercAsKConfigWritesIt) {
    const ManualProxySettings settings = parseKioslaverc(
        "[Proxy Settings][$i]\nProxyType=0\n"
        "[Proxy Settings]\n# a comment\nProxyType = 1\nhttpProxy=http://user:pw@gate 3128\n"
        "httpsProxy[$e]=http://sec:8443/\nftpProxy=ftp://[::1]:21\nsocksProxy=socks://sox\n"
        "NoProxyFor=localhost, .corp,,10.0.0.0/8\nReversedException=true\n"
        "[Other]\nhttpProxy=http://elsewhere 1\n");
    EXPECT_TRUE(settings.manual);
    EXPECT_TRUE(settings.reversed);
    EXPECT_EQ(settings.http.host + ":" + std::to_string(settings.http.port), "gate:3128");
    EXPECT_EQ(settings.https.host + ":" + std::to_string(settings.https.port), "sec:8443");
    EXPECT_EQ(settings.ftp.host + ":" + std::to_string(settings.ftp.port), "[::1]:21");
    EXPECT_EQ(settings.socks.host + ":" + std::to_string(settings.socks.port), "sox:8080");
    EXPECT_EQ(settings.exceptions, (std::vector<std::string>{"localhost", ".corp", "10.0.0.0/8"}));
    EXPECT_FALSE(parseKioslaverc("[Proxy Settings]\nProxyType=2\n").manual);  // a PAC script
}

struct AnswerCase {
    const char* name;
    const char* url;
    const char* host;  // null: direct
    std::int32_t port;
    bool reversed = false;
};

class ManualProxy : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(ManualProxy, AnswersAsGnomesResolver) {
    ManualProxySettings settings;
    settings.manual = true;
    settings.reversed = GetParam().reversed;
    settings.http = {"gate", 3128};
    settings.https = {"sec", 8443};
    settings.socks = {"sox", 1080};
    settings.exceptions = {"localhost", "*.internal", ".corp", "10.0.0.0/8", "[::1]"};
    const std::optional<ProxyResult> answer = manualAnswer(settings, GetParam().url);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->direct, GetParam().host == nullptr);
    EXPECT_EQ(answer->host, GetParam().host != nullptr ? GetParam().host : "");
    EXPECT_EQ(answer->port, GetParam().port);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, ManualProxy,
    ::testing::Values(AnswerCase{"Http", "http://user:pw@example.com:81/a", "gate", 3128},
                      AnswerCase{"Https", "https://example.com/", "sec", 8443},
                      AnswerCase{"FtpFallsToSocks", "ftp://example.com/", "socks=sox", 1080},
                      AnswerCase{"WildcardDomain", "http://a.b.internal/", nullptr, 0},
                      AnswerCase{"DomainItself", "http://corp/", nullptr, 0},
                      AnswerCase{"NotASuffixOfALabel", "http://notcorp/", "gate", 3128},
                      AnswerCase{"Ipv4Range", "http://10.9.8.7:8080/", nullptr, 0},
                      AnswerCase{"OutsideTheRange", "http://11.0.0.1/", "gate", 3128},
                      AnswerCase{"Ipv6Loopback", "http://[::1]:8080/", nullptr, 0},
                      AnswerCase{"UpperCaseHost", "HTTP://LocalHost/", nullptr, 0},
                      AnswerCase{"ReversedListedHost", "http://a.corp/", "gate", 3128, true},
                      AnswerCase{"ReversedOtherHost", "http://example.com/", nullptr, 0, true}),
    testkit::CaseName{});

TEST(DesktopProxy, OtherModesAreLibproxys) {
    EXPECT_FALSE(manualAnswer(ManualProxySettings{}, "http://example.com/"));
}

}  // namespace
}  // namespace waypost
