#include <gtest/gtest.h>
#include <testkit/case_name.h>
#include <testkit/failing_allocations.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "captured_stream.h"
#include "console.h"
#include "detect_proxy.h"
#include "fake_proxy_platform.h"
#include "winhttp_resolve.h"

namespace waypost {
namespace {

using testing::CapturedStream;
using testing::FakeProxyPlatform;

// detectProxyWith over WinHTTP's sequence on the scripted WinHTTP.
const char* detectOver(FakeProxyPlatform& winHttp, ProxyTextBuffer& buffer, const char* url,
                       std::FILE* errors = stderr) {
    WinHttpSource source(winHttp);
    return detectProxyWith(source, buffer, url, errors);
}

void answerProxy(FakeProxyPlatform& platform, std::u16string list) {
    platform.automatic = {true, kAccessTypeNamedProxy, std::move(list), std::nullopt};
}

void answerDirect(FakeProxyPlatform& platform) {
    platform.automatic = {true, kAccessTypeNoProxy, std::nullopt, std::nullopt};
}

struct AnswerCase {
    const char* name;
    std::u16string list;
    std::string text;
};

class DetectProxyAnswer : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(DetectProxyAnswer, FormatsTheWholePort) {
    const AnswerCase& c = GetParam();
    FakeProxyPlatform platform;
    answerProxy(platform, c.list);
    ProxyTextBuffer buffer;

    const char* answer = detectOver(platform, buffer, "http://example.org/");

    EXPECT_EQ(std::string(answer), c.text);
    EXPECT_EQ(answer, buffer.text());
}

INSTANTIATE_TEST_SUITE_P(
    Table, DetectProxyAnswer,
    ::testing::Values(AnswerCase{"HostAndPort", u"gate:3128", "gate:3128"},
                      AnswerCase{"FiveDigitPortFits", u"h:65535", "h:65535"},
                      AnswerCase{"LongPortWhole", u"h:123456", "h:123456"},
                      AnswerCase{"NegativePortWhole", u"h:-123456", "h:-123456"},
                      AnswerCase{"PortSaturatesAsTheProgramPrintsIt", u"gate:99999999999999",
                                 "gate:2147483647"},
                      AnswerCase{"LowestPortWhole", u"h:-99999999999", "h:-2147483648"},
                      AnswerCase{"EmptyHostDefaultPort", u"", ":8080"},
                      AnswerCase{"Utf8HostCountsBytes", u"caf\u00e9:1", "caf\xc3\xa9:1"}),
    testkit::CaseName{});

TEST(DetectProxy, DirectAnswerIsStaticAndLeavesLastProxyTextReadable) {
    FakeProxyPlatform first;
    answerProxy(first, u"a:1");
    ProxyTextBuffer buffer;
    const char* proxyText = detectOver(first, buffer, "u");

    FakeProxyPlatform second;
    answerDirect(second);
    const char* direct = detectOver(second, buffer, "u");

    EXPECT_STREQ(direct, "DIRECT");
    EXPECT_EQ(buffer.text(), proxyText);
    EXPECT_STREQ(proxyText, "a:1");
}

TEST(DetectProxy, NextProxyAnswerReplacesTheBlock) {
    ProxyTextBuffer buffer;
    FakeProxyPlatform first;
    answerProxy(first, u"first-host:1");
    ASSERT_STREQ(detectOver(first, buffer, "u"), "first-host:1");

    FakeProxyPlatform second;
    answerProxy(second, u"b:2");
    const char* answer = detectOver(second, buffer, "u");

    // The first block was freed (LeakSanitizer would report it otherwise) and a block sized
    // for the new host holds the answer.
    EXPECT_STREQ(answer, "b:2");
    EXPECT_EQ(answer, buffer.text());
}

// Answers "gate:<n>" with a port that each call counts up; safe to ask from several threads.
class CountingSource final : public ProxySource {
public:
    bool proxyFor(const char*, ProxyResult& result, std::FILE*) override {
        result.host = "gate";
        result.port = ++calls_;
        return true;
    }

private:
    std::atomic<std::int32_t> calls_{0};
};

// Callers that break the one-at-a-time rule may find their text replaced, but never make the
// library free a block twice (ASan watches this run). The answers are not read here: a caller
// that overlaps calls has no promise of how long its text lives.
TEST(DetectProxy, OverlappingAnswersKeepTheLibrarysMemorySound) {
    CountingSource source;
    ProxyTextBuffer buffer;
    std::atomic<int> failed{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 500; ++i) {
                failed += detectProxyWith(source, buffer, "http://a/") == kFailedAnswer;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failed.load(), 0);
    EXPECT_STREQ(detectProxyWith(source, buffer, "http://a/"), "gate:4001");
}

TEST(DetectProxy, NoMemoryForTheNextAnswerKeepsTheLastOne) {
    ProxyTextBuffer buffer;
    const char* kept = buffer.store(ProxyResult{"a", 1, false});
    {
        const testkit::FailingAllocations failing(testkit::FailingAllocations::Forms::nothrowOnly);
        EXPECT_EQ(buffer.store(ProxyResult{"second", 2, false}), nullptr);
    }
    EXPECT_EQ(buffer.text(), kept);
    EXPECT_STREQ(kept, "a:1");
}

TEST(DetectProxy, NullUrlIsAskedAsEmptyText) {
    FakeProxyPlatform platform;
    ProxyTextBuffer buffer;
    platform.url = u"not asked";
    EXPECT_STREQ(detectOver(platform, buffer, nullptr), "DIRECT");
    EXPECT_EQ(platform.url, u"");
}

TEST(DetectProxy, UrlIsConvertedFromUtf8) {
    FakeProxyPlatform platform;
    ProxyTextBuffer buffer;
    (void)detectOver(platform, buffer, "http://b\xc3\xbc\x63her.example/\xff");
    EXPECT_EQ(platform.url, u"http://b\u00fccher.example/\ufffd");
}

TEST(DetectProxy, SessionFailureAnswersEmptyAndWritesTwoLines) {
    FakeProxyPlatform platform;
    platform.sessionOpens = false;
    platform.openError = 8;
    ProxyTextBuffer buffer;
    CapturedStream errors;

    const char* answer = detectOver(platform, buffer, "http://\xc3\xa9/", errors.get());

    EXPECT_STREQ(answer, "");
    EXPECT_EQ(buffer.text(), nullptr);
    EXPECT_EQ(errors.text(),
              "WinHttpOpen failed: 8\nFailed to resolve proxy for: http://\xc3\xa9/\n");
}

struct ConsoleCase {
    const char* name;
    std::vector<const char*> args;
    FakeProxyPlatform::AutomaticAnswer automatic;
    bool sessionOpens;
    int status;
    std::string out;
    std::string err;
};

class ConsoleRun : public ::testing::TestWithParam<ConsoleCase> {};

TEST_P(ConsoleRun, PrintsOneLineAndExitStatus) {
    const ConsoleCase& c = GetParam();
    FakeProxyPlatform platform;
    platform.automatic = c.automatic;
    platform.sessionOpens = c.sessionOpens;
    platform.openError = 12;
    CapturedStream out;
    CapturedStream err;

    WinHttpSource source(platform);
    const int status =
        runConsole(static_cast<int>(c.args.size()), c.args.data(), source, out.get(), err.get());

    EXPECT_EQ(status, c.status);
    EXPECT_EQ(out.text(), c.out);
    EXPECT_EQ(err.text(), c.err);
}

const FakeProxyPlatform::AutomaticAnswer kProxyGate{true, kAccessTypeNamedProxy, u"gate", {}};
const FakeProxyPlatform::AutomaticAnswer kProxyEmptyHost{
    true, kAccessTypeNamedProxy, u"ftp=c:3;http=", {}};
const FakeProxyPlatform::AutomaticAnswer kDirect{true, kAccessTypeNoProxy, {}, {}};

INSTANTIATE_TEST_SUITE_P(
    Table, ConsoleRun,
    ::testing::Values(
        ConsoleCase{"NoArgumentPrintsNothing", {"waypost"}, kProxyGate, true, 1, "", ""},
        ConsoleCase{
            "ProxyWithoutPort", {"waypost", "http://x/"}, kProxyGate, true, 0, "gate:8080\n", ""},
        ConsoleCase{"EmptyHost", {"waypost", "http://x/"}, kProxyEmptyHost, true, 0, ":8080\n", ""},
        ConsoleCase{"Direct", {"waypost", "http://x/"}, kDirect, true, 0, "DIRECT\n", ""},
        ConsoleCase{"EmptyArgumentIsResolved", {"waypost", ""}, kDirect, true, 0, "DIRECT\n", ""},
        ConsoleCase{"ExtraArgumentsIgnored",
                    {"waypost", "a", "b", "c"},
                    kProxyGate,
                    true,
                    0,
                    "gate:8080\n",
                    ""},
        ConsoleCase{"SessionFailureOnlyTheSessionLine",
                    {"waypost", "http://x/"},
                    kDirect,
                    false,
                    1,
                    "",
                    "WinHttpOpen failed: 12\n"}),
    testkit::CaseName{});

}  // namespace
}  // namespace waypost
