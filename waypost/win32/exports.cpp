// The export of waypost.exe: detectProxy, callable in-process by a program that loads the EXE.

#include "../core/detect_proxy.h"
#include "winhttp_platform.h"

namespace {

// The last proxy answer stays readable until the next proxy answer, for as long as the process
// lives; it is deliberately never destroyed, so no unload can pull it from under a caller.
waypost::ProxyTextBuffer* proxyTextBuffer = nullptr;

}  // namespace

// Calls must not overlap: the answer buffer is process-wide and unguarded.
extern "C" __declspec(dllexport) const char* detectProxy(const char* url) {
    if (proxyTextBuffer == nullptr) {
        proxyTextBuffer = new (std::nothrow) waypost::ProxyTextBuffer();
        if (proxyTextBuffer == nullptr) {
            return waypost::kFailedAnswer;
        }
    }
    waypost::WinHttpPlatform platform;
    return waypost::detectProxyWith(platform, *proxyTextBuffer, url);
}
