#include "winhttp_resolve.h"

#include <ownkit/owned.h>

#include <string>

#include "text_convert.h"
#include "winhttp_proxy_list.h"

namespace waypost {
namespace {

// Owners of what the platform handed out; each goes back exactly once.
using PlatformString = ownkit::Owned<char16_t*, &WinHttpCalls::releaseString>;
using SessionOwner = ownkit::Owned<WinHttpCalls::Session, &WinHttpCalls::closeSession>;

PlatformString adopt(WinHttpCalls& platform, char16_t* text) {
    return PlatformString(&platform, text);
}

// The proxy record the decision is made from, with its strings owned.
struct ProxyRecord {
    std::uint32_t accessType;
    PlatformString proxy;
    PlatformString bypass;
};

// Fallback when automatic detection gave no answer: the user's configured proxy, if any.
// The configuration's other strings are released here, script address first.
void applyUserSettings(WinHttpCalls& platform, ProxyRecord& record) {
    UserProxySettings settings{};
    if (!platform.queryUserSettings(settings)) {
        record.accessType = kAccessTypeNoProxy;
        return;
    }
    PlatformString autoConfigUrl = adopt(platform, settings.autoConfigUrl);
    PlatformString proxy = adopt(platform, settings.proxy);
    PlatformString bypass = adopt(platform, settings.bypass);

    if (proxy && proxy.get()[0] != u'\0') {
        record.accessType = kAccessTypeNamedProxy;
        record.proxy = std::move(proxy);
        record.bypass = std::move(bypass);
    } else {
        record.accessType = kAccessTypeNoProxy;
    }
    autoConfigUrl.reset();
    proxy.reset();
    bypass.reset();
}

}  // namespace

bool resolveProxy(WinHttpCalls& platform, const char16_t* url, ProxyResult& result,
                  std::FILE* errors) {
    WinHttpCalls::Session opened = platform.openSession(kUserAgent);
    if (opened == nullptr) {
        std::fprintf(errors, "WinHttpOpen failed: %lu\n",
                     static_cast<unsigned long>(platform.lastError()));
        return false;
    }
    SessionOwner session(&platform, opened);

    ProxyInfo info{};
    const bool detected =
        platform.queryAutomaticProxy(session.get(), url, kAutoDetectOptions, info);
    // Adopted whatever the answer, so that nothing a failed query left behind can leak.
    ProxyRecord record{info.accessType, adopt(platform, info.proxy), adopt(platform, info.bypass)};
    if (!detected) {
        applyUserSettings(platform, record);
    }

    if (record.accessType == kAccessTypeNoProxy || !record.proxy) {
        result.direct = true;
    } else {
        parseProxyList(record.proxy.get(), result);
    }

    record.proxy.reset();
    record.bypass.reset();
    session.reset();
    return true;
}

bool WinHttpSource::proxyFor(const char* url, ProxyResult& result, std::FILE* errors) {
    const std::u16string wideUrl = utf8ToWide(url);
    return resolveProxy(calls_, wideUrl.c_str(), result, errors);
}

}  // namespace waypost
