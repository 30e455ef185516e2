// libwaypost.so's export: detectProxy, for programs that ask in-process (an executable cannot be
// loaded as a library on Linux).

#include "../core/detect_proxy.h"
#include "libproxy_platform.h"

extern "C" __attribute__((visibility("default"))) const char* detectProxy(const char* url) {
    waypost::LibproxyPlatform platform;
    return waypost::detectProxyForProcess(platform, url);
}
