#pragma once
// The WinHTTP calls of winhttp_calls.h over WinHTTP itself. Strings it hands out were allocated by
// WinHTTP and are released with GlobalFree.

#include "winhttp_calls.h"

namespace waypost {

class SystemWinHttpCalls final : public WinHttpCalls {
public:
    Session openSession(const char16_t* userAgent) override;
    std::uint32_t lastError() override;
    bool queryAutomaticProxy(Session session, const char16_t* url, const AutoDetectOptions& options,
                             ProxyInfo& info) override;
    bool queryUserSettings(UserProxySettings& settings) override;
    void releaseString(char16_t* text) override;
    void closeSession(Session session) override;
};

}  // namespace waypost
