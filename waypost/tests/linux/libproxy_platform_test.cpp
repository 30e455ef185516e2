// The libproxy adapter in this process, where memory can be made to run out.

#include <gtest/gtest.h>
#include <testkit/failing_allocations.h>

#include <cstdlib>

#include "../../linux/libproxy_platform.h"
#include "detect_proxy.h"

namespace waypost {
namespace {

// libproxy's answer arrives, but there is no memory to hand it on: that is a failure, not the
// absence of a proxy.
TEST(LibproxyPlatform, NoMemoryForTheAnswerFailsInsteadOfGoingDirect) {
    ::setenv("http_proxy", "http://gate:3128", 1);
    LibproxyPlatform platform;
    ProxyTextBuffer buffer;
    ASSERT_STREQ(detectProxyWith(platform, buffer, "http://example.org/"), "gate:3128");
    const char* answer = nullptr;
    {
        const testkit::FailingAllocations failing(testkit::FailingAllocations::Forms::nothrowOnly);
        answer = detectProxyWith(platform, buffer, "http://example.org/");
    }
    EXPECT_STREQ(answer, "");
    ::unsetenv("http_proxy");
}

}  // namespace
}  // namespace waypost
