// The GNOME-family fallback: which sessions take it, and what manual settings answer.

#include <gtest/gtest.h>
#include <testkit/case_name.h>

#include "../../linux/gnome_proxy.h"

namespace waypost {
namespace {

TEST(GnomeProxy, SessionsWhoseSettingsLibproxyMisses) {
    EXPECT_TRUE(gnomeSettingsMissedByLibproxy("ubuntu:GNOME", "ubuntu", nullptr));
    EXPECT_TRUE(gnomeSettingsMissedByLibproxy("Budgie:GNOME", nullptr, nullptr));
    EXPECT_TRUE(gnomeSettingsMissedByLibproxy("X-Cinnamon", "cinnamon", nullptr));
    EXPECT_FALSE(gnomeSettingsMissedByLibproxy("GNOME", "gnome", nullptr));  // libproxy reads it
    EXPECT_FALSE(gnomeSettingsMissedByLibproxy("ubuntu:GNOME", "ubuntu", "this-is-deprecated"));
    EXPECT_FALSE(gnomeSettingsMissedByLibproxy("KDE", "plasma", nullptr));
    EXPECT_FALSE(gnomeSettingsMissedByLibproxy("GNOMEish", nullptr, nullptr));
    EXPECT_FALSE(gnomeSettingsMissedByLibproxy(nullptr, nullptr, nullptr));
}

struct AnswerCase {
    const char* name;
    const char* url;
    const char* host;  // null: direct
    std::int32_t port;
};

class GnomeManual : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(GnomeManual, AnswersAsGnomesResolver) {
    GnomeProxySettings settings;
    settings.manual = true;
    settings.http = {"gate", 3128};
    settings.https = {"sec", 8443};
    settings.socks = {"sox", 1080};
    settings.ignoreHosts = {"localhost", "*.internal", ".corp", "10.0.0.0/8", "[::1]"};
    const std::optional<ProxyResult> answer = gnomeManualAnswer(settings, GetParam().url);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->direct, GetParam().host == nullptr);
    EXPECT_EQ(answer->host, GetParam().host != nullptr ? GetParam().host : "");
    EXPECT_EQ(answer->port, GetParam().port);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, GnomeManual,
    ::testing::Values(AnswerCase{"Http", "http://user:pw@example.com:81/a", "gate", 3128},
                      AnswerCase{"Https", "https://example.com/", "sec", 8443},
                      AnswerCase{"FtpFallsToSocks", "ftp://example.com/", "socks=sox", 1080},
                      AnswerCase{"WildcardDomain", "http://a.b.internal/", nullptr, 0},
                      AnswerCase{"DomainItself", "http://corp/", nullptr, 0},
                      AnswerCase{"NotASuffixOfALabel", "http://notcorp/", "gate", 3128},
                      AnswerCase{"Ipv4Range", "http://10.9.8.7:8080/", nullptr, 0},
                      AnswerCase{"OutsideTheRange", "http://11.0.0.1/", "gate", 3128},
                      AnswerCase{"Ipv6Loopback", "http://[::1]:8080/", nullptr, 0},
                      AnswerCase{"UpperCaseHost", "HTTP://LocalHost/", nullptr, 0}),
    testkit::CaseName{});

TEST(GnomeProxy, OtherModesAreLibproxys) {
    EXPECT_FALSE(gnomeManualAnswer(GnomeProxySettings{}, "http://example.com/"));
}

}  // namespace
}  // namespace waypost
