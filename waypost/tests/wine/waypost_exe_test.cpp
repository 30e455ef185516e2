// waypost.exe for real: started as a process and loaded in-process, with the user's proxy
// settings written into the bench's private Wine prefix, where WinHTTP reads them.
#include <gtest/gtest.h>
#include <testkit/case_name.h>
#include <testkit/win32/process.h>
#include <waypost.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using testkit::win32::moduleDirectory;
using testkit::win32::ProcessOutcome;
using testkit::win32::runProcess;

constexpr wchar_t kConnectionsKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
constexpr DWORD kDirectFlag = 1;
constexpr DWORD kManualProxyFlag = 2;

void appendDword(std::vector<BYTE>& blob, DWORD value) {
    for (int shift = 0; shift < 32; shift += 8) {
        blob.push_back(static_cast<BYTE>(value >> shift));
    }
}

void appendText(std::vector<BYTE>& blob, const std::string& text) {
    appendDword(blob, static_cast<DWORD>(text.size()));
    blob.insert(blob.end(), text.begin(), text.end());
}

// The user's connection settings as the system stores them: version, counter, flags, then the
// proxy list, the bypass list and the script address, each with its length.
void writeUserProxySettings(DWORD flags, const std::string& proxy, const std::string& bypass = "") {
    static DWORD counter = 1;
    std::vector<BYTE> blob;
    appendDword(blob, 0x46);
    appendDword(blob, counter++);
    appendDword(blob, flags);
    appendText(blob, proxy);
    appendText(blob, bypass);
    appendText(blob, "");
    blob.resize(blob.size() + 32, 0);

    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kConnectionsKey, 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const LONG status = ::RegSetValueExW(key, L"DefaultConnectionSettings", 0, REG_BINARY,
                                         blob.data(), static_cast<DWORD>(blob.size()));
    ::RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

void removeUserProxySettings() {
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kConnectionsKey, L"DefaultConnectionSettings");
}

// Every test leaves the prefix without proxy settings, as a fresh user has.
class WithUserSettings : public ::testing::Test {
protected:
    void TearDown() override { removeUserProxySettings(); }
};

ProcessOutcome runWaypost(const std::vector<std::wstring>& arguments) {
    return runProcess(moduleDirectory() / L"waypost.exe", arguments);
}

struct SettingsCase {
    const char* name;
    DWORD flags;
    std::string proxy;
    std::string line;
};

class WaypostWithUserSettings : public WithUserSettings,
                                public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(WaypostWithUserSettings, PrintsOneAnswerLine) {
    const SettingsCase& c = GetParam();
    writeUserProxySettings(c.flags, c.proxy, "<local>;*.example.com");

    const ProcessOutcome outcome = runWaypost({L"http://www.example.org/"});

    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(outcome.out, c.line + "\r\n");
    EXPECT_EQ(outcome.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, WaypostWithUserSettings,
    ::testing::Values(
        SettingsCase{"HostAndPort", kManualProxyFlag, "gate:3128", "gate:3128"},
        SettingsCase{"FirstEntryOnly", kManualProxyFlag, "gate:3128;spare:8000", "gate:3128"},
        SettingsCase{"HttpEntryWins", kManualProxyFlag, "https=b:2;http=a:1", "a:1"},
        SettingsCase{"HttpsWithoutHttp", kManualProxyFlag, "https=b:2;ftp=c:3", "b:2"},
        SettingsCase{"NoPortGives8080", kManualProxyFlag, "gate", "gate:8080"},
        SettingsCase{"BracketedIpv6", kManualProxyFlag, "[::1]:3128", "[::1]:3128"},
        SettingsCase{"EmptyHost", kManualProxyFlag, "ftp=c:3;http=", ":8080"},
        SettingsCase{"LongPortPrintedWhole", kManualProxyFlag, "h:123456", "h:123456"},
        SettingsCase{"EmptyProxyIsDirect", kManualProxyFlag, "", "DIRECT"},
        SettingsCase{"ProxyNotEnabledIsDirect", kDirectFlag, "gate:3128", "DIRECT"}),
    testkit::CaseName{});

TEST(Waypost, NoSettingsAtAllIsDirect) {
    removeUserProxySettings();
    const ProcessOutcome outcome = runWaypost({L"http://www.example.org/"});
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(outcome.out, "DIRECT\r\n");
    EXPECT_EQ(outcome.err, "");
}

struct ArgumentsCase {
    const char* name;
    std::vector<std::wstring> arguments;
    DWORD exitCode;
    std::string out;
};

class WaypostArguments : public WithUserSettings,
                         public ::testing::WithParamInterface<ArgumentsCase> {};

TEST_P(WaypostArguments, OnlyTheFirstArgumentCounts) {
    const ArgumentsCase& c = GetParam();
    writeUserProxySettings(kManualProxyFlag, "gate:3128");

    const ProcessOutcome outcome = runWaypost(c.arguments);

    EXPECT_EQ(outcome.exitCode, c.exitCode);
    EXPECT_EQ(outcome.out, c.out);
    EXPECT_EQ(outcome.err, "");
}

// Arguments reach the program as bytes of the ANSI code page; these are not valid UTF-8.
const std::wstring kIllFormedUtf8 = L"http://\u00ff\u00fe\u00c3(/\u00e9";

INSTANTIATE_TEST_SUITE_P(
    Table, WaypostArguments,
    ::testing::Values(
        ArgumentsCase{"NoArgumentPrintsNothing", {}, 1, ""},
        ArgumentsCase{"EmptyArgumentIsResolved", {L""}, 0, "gate:3128\r\n"},
        ArgumentsCase{"ExtraArgumentsIgnored", {L"http://a/", L"--help", L"x"}, 0, "gate:3128\r\n"},
        ArgumentsCase{"IllFormedUtf8", {kIllFormedUtf8}, 0, "gate:3128\r\n"},
        ArgumentsCase{
            "LongUrl", {L"http://example.org/" + std::wstring(20000, L'a')}, 0, "gate:3128\r\n"}),
    testkit::CaseName{});

// The same answers in-process, through the export of the loaded EXE.
class DetectProxyExport : public WithUserSettings {
protected:
    using DetectProxy = decltype(&::detectProxy);

    void SetUp() override {
        WithUserSettings::SetUp();
        module_ = testkit::win32::loadExecutableAsLibrary(moduleDirectory() / L"waypost.exe");
        ASSERT_NE(module_, nullptr);
        detectProxy_ = reinterpret_cast<DetectProxy>(
            reinterpret_cast<void*>(::GetProcAddress(module_, "detectProxy")));
        ASSERT_NE(detectProxy_, nullptr);
    }
    // The module stays loaded: its last proxy text is meant to outlive every call.

    HMODULE module_ = nullptr;
    DetectProxy detectProxy_ = nullptr;
};

TEST_F(DetectProxyExport, AnswersProxyThenDirectKeepingTheProxyText) {
    writeUserProxySettings(kManualProxyFlag, "http=relay:8118");
    const char* proxy = detectProxy_("http://www.example.org/");
    ASSERT_STREQ(proxy, "relay:8118");

    writeUserProxySettings(kDirectFlag, "");
    EXPECT_STREQ(detectProxy_(nullptr), "DIRECT");
    EXPECT_STREQ(detectProxy_(""), "DIRECT");
    EXPECT_STREQ(proxy, "relay:8118");

    writeUserProxySettings(kManualProxyFlag, "h:123456");
    EXPECT_STREQ(detectProxy_("\xff\xfe"), "h:123456");  // the whole port, as the program prints it
}

}  // namespace
