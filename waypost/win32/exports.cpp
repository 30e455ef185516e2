// The export of waypost.exe: detectProxy, callable in-process by a program that loads the EXE.

#include <waypost.h>

#include "../core/detect_proxy.h"
#include "winhttp_platform.h"

extern "C" const char* detectProxy(const char* url) {
    waypost::WinHttpPlatform platform;
    return waypost::detectProxyForProcess(platform, url);
}
