#include "libproxy_platform.h"

#include <dlfcn.h>
#include <link.h>
#include <ownkit/owned.h>
#include <proxy.h>

#include <cstring>
#include <string_view>

#include "../core/port_text.h"
#include "../core/text_convert.h"

namespace waypost {
namespace {

constexpr unsigned long kNotEnoughMemory = 8;  // the only way a factory fails to appear

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

// Freeing a factory unloads the PAC runner it loaded, while JavaScriptCore's collector thread
// may still be running in that code: the process would crash now and then (libproxy issue 209).
// Whatever a PAC script loaded stays loaded for the life of the process.
void freeFactory(pxProxyFactory* factory) {
    ::dl_iterate_phdr(&pinScriptEngine, nullptr);
    px_proxy_factory_free(factory);
}

using Factory = ownkit::Owned<pxProxyFactory*, &freeFactory>;
using ProxyList = ownkit::Owned<char**, &px_proxy_factory_free_proxies>;

}  // namespace

void readLibproxyAnswer(const char* const* proxies, ProxyResult& result) {
    for (const char* const* entry = proxies; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view proxy(*entry);
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
            break;
        }
        // Through UTF-16 and back, as the Windows answer is: ill-formed bytes become U+FFFD.
        const std::u16string wide = utf8ToWide(std::string(address).c_str());
        const std::size_t colon = wide.rfind(u':');
        result.host = name.substr(0, 5) == "socks" ? "socks=" : "";
        result.host += wideToUtf8(wide.substr(0, colon).c_str());
        result.port = colon == std::u16string::npos
                          ? kPortWithoutColon
                          : readLeadingInteger(std::u16string_view(wide).substr(colon + 1));
        return;
    }
    result.direct = true;
}

bool LibproxySource::proxyFor(const char16_t* url, ProxyResult& result, std::FILE* errors) {
    const Factory factory(px_proxy_factory_new());
    if (!factory) {
        std::fprintf(errors, "WinHttpOpen failed: %lu\n", kNotEnoughMemory);
        return false;
    }
    const std::string address = wideToUtf8(url);
    const ProxyList proxies(px_proxy_factory_get_proxies(factory.get(), address.c_str()));
    readLibproxyAnswer(proxies.get(), result);  // no answer at all: no proxy
    return true;
}

}  // namespace waypost
