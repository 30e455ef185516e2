#include "winhttp_system_calls.h"

#include <windows.h>
#include <winhttp.h>

namespace waypost {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");
static_assert(kAccessTypeNoProxy == WINHTTP_ACCESS_TYPE_NO_PROXY);
static_assert(kAccessTypeNamedProxy == WINHTTP_ACCESS_TYPE_NAMED_PROXY);

const wchar_t* wide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}
char16_t* utf16(wchar_t* text) {
    return reinterpret_cast<char16_t*>(text);
}

}  // namespace

WinHttpCalls::Session SystemWinHttpCalls::openSession(const char16_t* userAgent) {
    // Synchronous session (flags 0) without a proxy of its own.
    return reinterpret_cast<Session>(::WinHttpOpen(wide(userAgent), WINHTTP_ACCESS_TYPE_NO_PROXY,
                                                   WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS,
                                                   0));
}

std::uint32_t SystemWinHttpCalls::lastError() {
    return ::GetLastError();
}

bool SystemWinHttpCalls::queryAutomaticProxy(Session session, const char16_t* url,
                                             const AutoDetectOptions& options, ProxyInfo& info) {
    WINHTTP_AUTOPROXY_OPTIONS autoProxy{};
    autoProxy.dwFlags = options.flags;
    autoProxy.dwAutoDetectFlags = options.autoDetectFlags;
    autoProxy.lpszAutoConfigUrl = nullptr;
    autoProxy.lpvReserved = nullptr;
    autoProxy.dwReserved = 0;
    autoProxy.fAutoLogonIfChallenged = options.autoLogonIfChallenged ? TRUE : FALSE;

    WINHTTP_PROXY_INFO proxyInfo{};
    const BOOL ok = ::WinHttpGetProxyForUrl(reinterpret_cast<HINTERNET>(session), wide(url),
                                            &autoProxy, &proxyInfo);
    info.accessType = proxyInfo.dwAccessType;
    info.proxy = utf16(proxyInfo.lpszProxy);
    info.bypass = utf16(proxyInfo.lpszProxyBypass);
    return ok != FALSE;
}

bool SystemWinHttpCalls::queryUserSettings(UserProxySettings& settings) {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    const BOOL ok = ::WinHttpGetIEProxyConfigForCurrentUser(&config);
    settings.autoDetect = config.fAutoDetect != FALSE;
    settings.autoConfigUrl = utf16(config.lpszAutoConfigUrl);
    settings.proxy = utf16(config.lpszProxy);
    settings.bypass = utf16(config.lpszProxyBypass);
    return ok != FALSE;
}

void SystemWinHttpCalls::releaseString(char16_t* text) {
    if (text != nullptr) {
        ::GlobalFree(text);
    }
}

void SystemWinHttpCalls::closeSession(Session session) {
    ::WinHttpCloseHandle(reinterpret_cast<HINTERNET>(session));
}

}  // namespace waypost
