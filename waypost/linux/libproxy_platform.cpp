#include "libproxy_platform.h"

#include <proxy.h>

#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include "../core/text_convert.h"

namespace waypost {
namespace {

constexpr std::uint32_t kNotEnoughMemory = 8;  // the only way a factory fails to appear

// A platform string: a copy that releaseString gives back.
char16_t* handOut(const std::u16string& text) {
    auto* copy = new (std::nothrow) char16_t[text.size() + 1];
    if (copy != nullptr) {
        std::memcpy(copy, text.c_str(), (text.size() + 1) * sizeof(char16_t));
    }
    return copy;
}

struct ProxiesRelease {
    void operator()(char** proxies) const noexcept { px_proxy_factory_free_proxies(proxies); }
};

}  // namespace

std::string toProxyList(const char* const* proxies) {
    std::string list;
    for (const char* const* entry = proxies; entry != nullptr && *entry != nullptr; ++entry) {
        std::string_view proxy(*entry);
        const std::size_t scheme = proxy.find("://");
        if (scheme == std::string_view::npos) {
            continue;
        }
        const std::string_view name = proxy.substr(0, scheme);
        std::string_view address = proxy.substr(scheme + 3);
        address = address.substr(0, address.find('/'));
        if (name == "direct" || address.empty()) {
            if (list.empty()) {
                return list;  // a direct connection comes first: no proxy
            }
            continue;
        }
        if (!list.empty()) {
            list += ';';
        }
        if (name.substr(0, 5) == "socks") {
            list += "socks=";
        }
        list += address;
    }
    return list;
}

ProxyPlatform::Session LibproxyPlatform::openSession(const char16_t*) {
    return px_proxy_factory_new();
}

std::uint32_t LibproxyPlatform::lastError() {
    return kNotEnoughMemory;
}

bool LibproxyPlatform::queryAutomaticProxy(Session session, const char16_t* url,
                                           const AutoDetectOptions&, ProxyInfo& info) {
    const std::string address = wideToUtf8(url);
    const std::unique_ptr<char*, ProxiesRelease> proxies(
        px_proxy_factory_get_proxies(static_cast<pxProxyFactory*>(session), address.c_str()));
    if (!proxies) {
        return false;
    }
    const std::string list = toProxyList(proxies.get());
    if (list.empty()) {
        info.accessType = kAccessTypeNoProxy;
        return true;
    }
    info.accessType = kAccessTypeNamedProxy;
    info.proxy = handOut(utf8ToWide(list.c_str()));
    return info.proxy != nullptr;
}

bool LibproxyPlatform::queryUserSettings(UserProxySettings&) {
    return false;
}

void LibproxyPlatform::releaseString(char16_t* text) {
    delete[] text;
}

void LibproxyPlatform::closeSession(Session session) {
    px_proxy_factory_free(static_cast<pxProxyFactory*>(session));
}

}  // namespace waypost
