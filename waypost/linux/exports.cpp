// libwaypost.so's export: detectProxy, for programs that ask in-process (an executable cannot be
// loaded as a library on Linux).

#include <waypost.h>

#include "../core/detect_proxy.h"
#include "libproxy_platform.h"

extern "C" const char* detectProxy(const char* url) {
    waypost::LibproxySource source;
    return waypost::detectProxyForProcess(source, url);
}
