// waypost.exe: prints the proxy for the URL given as the only argument.

#include "../core/console.h"
#include "winhttp_platform.h"
#include "winhttp_resolve.h"

int main(int argc, char** argv) {
    waypost::WinHttpPlatform winHttp;
    waypost::WinHttpSource source(winHttp);
    return waypost::runConsole(argc, argv, source);
}
