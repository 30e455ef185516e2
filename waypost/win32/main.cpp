// waypost.exe: prints the proxy for the URL given as the only argument.

#include "../core/console.h"
#include "winhttp_platform.h"

int main(int argc, char** argv) {
    waypost::WinHttpPlatform platform;
    return waypost::runConsole(argc, argv, platform);
}
