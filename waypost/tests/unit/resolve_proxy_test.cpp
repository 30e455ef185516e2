#include <gtest/gtest.h>
#include <testkit/case_name.h>

#include <string>
#include <vector>

#include "captured_stream.h"
#include "fake_proxy_platform.h"
#include "winhttp_resolve.h"

namespace waypost {
namespace {

using testing::CapturedStream;
using testing::FakeProxyPlatform;
using Calls = std::vector<std::string>;

struct FlowCase {
    const char* name;
    FakeProxyPlatform::AutomaticAnswer automatic;
    FakeProxyPlatform::UserAnswer user;
    bool direct;
    std::string host;
    std::int32_t port;
    Calls calls;
};

class ResolveProxyFlow : public ::testing::TestWithParam<FlowCase> {};

TEST_P(ResolveProxyFlow, AnswersAndReleasesEveryStringOnceInOrder) {
    const FlowCase& c = GetParam();
    FakeProxyPlatform platform;
    platform.automatic = c.automatic;
    platform.user = c.user;
    CapturedStream errors;
    ProxyResult result;

    ASSERT_TRUE(resolveProxy(platform, u"http://example.org/", result, errors.get()));

    EXPECT_EQ(result.direct, c.direct);
    EXPECT_EQ(result.host, c.host);
    EXPECT_EQ(result.port, c.port);
    EXPECT_EQ(platform.calls, c.calls);
    EXPECT_EQ(errors.text(), "");
}

constexpr std::uint32_t kNoProxy = kAccessTypeNoProxy;
constexpr std::uint32_t kNamed = kAccessTypeNamedProxy;

INSTANTIATE_TEST_SUITE_P(
    Table, ResolveProxyFlow,
    ::testing::Values(FlowCase{"DetectionAnswersProxy",
                               {true, kNamed, u"http=a:1;https=b:2", u"<local>"},
                               {},
                               false,
                               "a",
                               1,
                               {"open", "automatic", "release automatic.proxy",
                                "release automatic.bypass", "close"}},
                      FlowCase{"DetectionNoProxyTypeWithStringIsDirect",
                               {true, kNoProxy, u"gate:1", std::nullopt},
                               {},
                               true,
                               "",
                               0,
                               {"open", "automatic", "release automatic.proxy", "close"}},
                      FlowCase{"DetectionNamedTypeWithNullStringIsDirect",
                               {true, kNamed, std::nullopt, u"*.local"},
                               {},
                               true,
                               "",
                               0,
                               {"open", "automatic", "release automatic.bypass", "close"}},
                      FlowCase{"DetectionOtherTypeWithStringIsParsed",
                               {true, 4, u"gate", std::nullopt},
                               {},
                               false,
                               "gate",
                               8080,
                               {"open", "automatic", "release automatic.proxy", "close"}},
                      FlowCase{"SettingsUnreadableIsDirect",
                               {},
                               {false, {}, {}, {}},
                               true,
                               "",
                               0,
                               {"open", "automatic", "user", "close"}},
                      FlowCase{"SettingsNullProxyIsDirectAndAllReleased",
                               {},
                               {true, u"http://wpad/wpad.dat", std::nullopt, u"<local>"},
                               true,
                               "",
                               0,
                               {"open", "automatic", "user", "release user.autoConfigUrl",
                                "release user.bypass", "close"}},
                      FlowCase{"SettingsEmptyProxyIsDirectAndAllReleased",
                               {},
                               {true, u"http://wpad/wpad.dat", u"", u"<local>"},
                               true,
                               "",
                               0,
                               {"open", "automatic", "user", "release user.autoConfigUrl",
                                "release user.proxy", "release user.bypass", "close"}},
                      FlowCase{"SettingsProxyMovesIntoRecordAndIsReleasedLast",
                               {},
                               {true, u"http://wpad/wpad.dat", u"http=a:1;https=b:2", u"<local>"},
                               false,
                               "a",
                               1,
                               {"open", "automatic", "user", "release user.autoConfigUrl",
                                "release user.proxy", "release user.bypass", "close"}},
                      FlowCase{"SettingsProxyWithoutOtherStrings",
                               {},
                               {true, std::nullopt, u"gate:3128", std::nullopt},
                               false,
                               "gate",
                               3128,
                               {"open", "automatic", "user", "release user.proxy", "close"}}),
    testkit::CaseName{});

TEST(ResolveProxy, AsksWithTheFixedSessionAndDetectionValues) {
    FakeProxyPlatform platform;
    ProxyResult result;
    ASSERT_TRUE(resolveProxy(platform, u"https://example.org/path?q", result));
    EXPECT_EQ(platform.userAgent, u"resolve_proxy/1.0");
    EXPECT_EQ(platform.url, u"https://example.org/path?q");
    EXPECT_EQ(platform.options.flags, 1u);
    EXPECT_EQ(platform.options.autoDetectFlags, 3u);
    EXPECT_TRUE(platform.options.autoLogonIfChallenged);
}

TEST(ResolveProxy, SessionFailureReportsCodeAndLeavesResultUntouched) {
    FakeProxyPlatform platform;
    platform.sessionOpens = false;
    platform.openError = 4294967295u;
    CapturedStream errors;
    ProxyResult result;
    result.host = "kept";
    result.port = 7;

    EXPECT_FALSE(resolveProxy(platform, u"http://x/", result, errors.get()));

    EXPECT_EQ(errors.text(), "WinHttpOpen failed: 4294967295\n");
    EXPECT_EQ(platform.calls, (Calls{"open", "lastError"}));
    EXPECT_EQ(result.host, "kept");
    EXPECT_EQ(result.port, 7);
    EXPECT_FALSE(result.direct);
}

}  // namespace
}  // namespace waypost
