// waypost.exe: prints the proxy for the URL given as the only argument.

#include "../core/console.h"
#include "winhttp_resolve.h"
#include "winhttp_system_calls.h"

int main(int argc, char** argv) {
    waypost::SystemWinHttpCalls winHttp;
    waypost::WinHttpSource source(winHttp);
    return waypost::runConsole(argc, argv, source);
}
