// The export of waypost.exe: detectProxy, callable in-process by a program that loads the EXE.

#include <waypost.h>

#include "../core/detect_proxy.h"
#include "winhttp_resolve.h"
#include "winhttp_system_calls.h"

extern "C" const char* detectProxy(const char* url) {
    waypost::SystemWinHttpCalls winHttp;
    waypost::WinHttpSource source(winHttp);
    return waypost::detectProxyForProcess(source, url);
}
