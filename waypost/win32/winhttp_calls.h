#pragma once
// The WinHTTP calls that proxy resolution on Windows makes, as a table: winhttp_system_calls.cpp
// fills it with WinHTTP itself, the unit tests with a scripted fake.
//
// Ownership: every string pointer that queryAutomaticProxy or queryUserSettings hands out
// belongs to the caller from then on and is given back exactly once through releaseString.
// Threads: an implementation is used by one thread at a time.
// Out of memory: a query may throw std::bad_alloc rather than answer; the resolution then fails
// (an unanswered query would mean "no proxy found").

#include <ownkit/owned.h>

#include <cstdint>

namespace waypost {

// Access types as WinHTTP reports them.
inline constexpr std::uint32_t kAccessTypeNoProxy = 1;
inline constexpr std::uint32_t kAccessTypeNamedProxy = 3;

// How automatic detection is asked: through DHCP and DNS, no configured script address,
// logon allowed when the script server asks for it.
struct AutoDetectOptions {
    std::uint32_t flags = 0;            // 1: automatic detection
    std::uint32_t autoDetectFlags = 0;  // 1 | 2: DHCP and DNS A records
    bool autoLogonIfChallenged = false;
};

// The platform's answer for one URL; strings are NUL-terminated UTF-16 or null.
struct ProxyInfo {
    std::uint32_t accessType = 0;
    char16_t* proxy = nullptr;
    char16_t* bypass = nullptr;
};

// The current user's configured settings; strings are NUL-terminated UTF-16 or null.
struct UserProxySettings {
    bool autoDetect = false;
    char16_t* autoConfigUrl = nullptr;
    char16_t* proxy = nullptr;
    char16_t* bypass = nullptr;
};

class WinHttpCalls {
public:
    using Session = ownkit::OpaqueHandle<struct SessionTag>;

    virtual ~WinHttpCalls() = default;

    // A session for the given user agent, or null; then lastError() tells why.
    [[nodiscard]] virtual Session openSession(const char16_t* userAgent) = 0;
    [[nodiscard]] virtual std::uint32_t lastError() = 0;
    // Automatic detection for `url`. `info` arrives zeroed; on true it is filled.
    [[nodiscard]] virtual bool queryAutomaticProxy(Session session, const char16_t* url,
                                                   const AutoDetectOptions& options,
                                                   ProxyInfo& info) = 0;
    // The user's configured settings. `settings` arrives zeroed; on true it is filled.
    [[nodiscard]] virtual bool queryUserSettings(UserProxySettings& settings) = 0;
    virtual void releaseString(char16_t* text) = 0;
    virtual void closeSession(Session session) = 0;
};

}  // namespace waypost
