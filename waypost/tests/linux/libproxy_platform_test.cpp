// The libproxy adapter in this process: how libproxy's lists become answers, and what it does
// when memory runs out.

#include <gtest/gtest.h>
#include <testkit/case_name.h>
#include <testkit/failing_allocations.h>

#include <cstdlib>
#include <vector>

#include "../../linux/libproxy_platform.h"
#include "detect_proxy.h"

namespace waypost {
namespace {

struct ListCase {
    const char* name;
    std::vector<const char*> proxies;  // without the terminating null
    const char* answer;                // "DIRECT" or "host:port"
};

class LibproxyList : public ::testing::TestWithParam<ListCase> {};

TEST_P(LibproxyList, FirstEntryWithASchemeDecides) {
    std::vector<const char*> list = GetParam().proxies;
    list.push_back(nullptr);
    ProxyResult result;
    readLibproxyAnswer(list.data(), result);
    const std::string answer =
        result.direct ? "DIRECT" : result.host + ":" + std::to_string(result.port);
    EXPECT_EQ(answer, GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, LibproxyList,
    ::testing::Values(ListCase{"DirectFirst", {"direct://", "http://gate:3128"}, "DIRECT"},
                      ListCase{"NoSchemeSkipped", {"gate:1", "http://gate:3128/x"}, "gate:3128"},
                      ListCase{"Socks", {"socks5://s:1080", "direct://"}, "socks=s:1080"},
                      ListCase{"IPv6AndUser", {"http://u:p@[::1]:8000"}, "[::1]:8000"},
                      ListCase{"NoPort", {"http://gate"}, "gate:8080"},
                      ListCase{"HugePort", {"http://gate:99999999999"}, "gate:2147483647"},
                      ListCase{"Empty", {}, "DIRECT"}),
    testkit::CaseName{});

// libproxy's answer arrives, but there is no memory to hand it on: that is a failure, not the
// absence of a proxy.
TEST(LibproxySource, NoMemoryForTheAnswerFailsInsteadOfGoingDirect) {
    ::setenv("http_proxy", "http://gate:3128", 1);
    LibproxySource source;
    ProxyTextBuffer buffer;
    ASSERT_STREQ(detectProxyWith(source, buffer, "http://example.org/"), "gate:3128");
    const char* answer = nullptr;
    {
        const testkit::FailingAllocations failing(testkit::FailingAllocations::Forms::all);
        answer = detectProxyWith(source, buffer, "http://example.org/");
    }
    EXPECT_STREQ(answer, "");
    ::unsetenv("http_proxy");
}

}  // namespace
}  // namespace waypost
