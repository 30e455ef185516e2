#include "libproxy_platform.h"

#include <dlfcn.h>
#include <link.h>
#include <ownkit/owned.h>
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

// Marks a loaded object that belongs to JavaScriptCore or to a libproxy PAC runner as never to
// be unloaded.
int pinScriptEngine(dl_phdr_info* object, std::size_t, void*) {
    const std::string_view name = object->dlpi_name != nullptr ? object->dlpi_name : "";
    if (name.find("javascriptcore") != std::string_view::npos ||
        name.find("pacrunner_") != std::string_view::npos) {
        if (void* pinned = ::dlopen(object->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE)) {
            ::dlclose(pinned);  // the handle goes; the object stays
        }
    }
    return 0;
}

using ProxyAnswer = ownkit::Owned<char**, &px_proxy_factory_free_proxies>;

pxProxyFactory* factoryOf(ProxyPlatform::Session session) {
    return reinterpret_cast<pxProxyFactory*>(session);
}

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
        // User information ("user:password@") names no host and never reaches an answer.
        if (const std::size_t at = address.rfind('@'); at != std::string_view::npos) {
            address = address.substr(at + 1);
        }
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
    return reinterpret_cast<Session>(px_proxy_factory_new());
}

std::uint32_t LibproxyPlatform::lastError() {
    return kNotEnoughMemory;
}

bool LibproxyPlatform::queryAutomaticProxy(Session session, const char16_t* url,
                                           const AutoDetectOptions&, ProxyInfo& info) {
    const std::string address = wideToUtf8(url);
    const ProxyAnswer proxies(px_proxy_factory_get_proxies(factoryOf(session), address.c_str()));
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
    if (info.proxy == nullptr) {
        throw std::bad_alloc();  // not "no answer": that would fall back to a direct connection
    }
    return true;
}

bool LibproxyPlatform::queryUserSettings(UserProxySettings&) {
    return false;
}

void LibproxyPlatform::releaseString(char16_t* text) {
    delete[] text;
}

void LibproxyPlatform::closeSession(Session session) {
    // Freeing the factory unloads the PAC runner it loaded, while JavaScriptCore's collector
    // thread may still be running in that code: the process would crash now and then (libproxy
    // issue 209). Whatever a PAC script loaded stays loaded for the life of the process.
    ::dl_iterate_phdr(&pinScriptEngine, nullptr);
    px_proxy_factory_free(factoryOf(session));
}

}  // namespace waypost
