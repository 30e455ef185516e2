#pragma once
// ProxyPlatform over libproxy, which answers from the desktop's proxy settings, the proxy
// environment variables and, where configured, a PAC script, all in its one query. That query
// stands for automatic detection; the user's settings are then already part of its answer, so
// the settings query reports them unreadable and the decision rests on the first answer.
// Its list ("http://host:port", "socks5://host:port", "direct://") is turned into the platform
// list form ("host:port;socks=host:port") that parseProxyList reads; user information in a
// proxy URL is dropped. Running out of memory throws std::bad_alloc, which the core's callers
// turn into a failed resolution.

#include <string>

#include "../core/proxy_platform.h"

namespace waypost {

class LibproxyPlatform final : public ProxyPlatform {
public:
    Session openSession(const char16_t* userAgent) override;
    std::uint32_t lastError() override;
    bool queryAutomaticProxy(Session session, const char16_t* url, const AutoDetectOptions& options,
                             ProxyInfo& info) override;
    bool queryUserSettings(UserProxySettings& settings) override;
    void releaseString(char16_t* text) override;
    void closeSession(Session session) override;
};

// libproxy's answer in the platform list form; empty when every entry is "direct://".
[[nodiscard]] std::string toProxyList(const char* const* proxies);

}  // namespace waypost
