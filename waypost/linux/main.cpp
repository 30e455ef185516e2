// waypost on Linux: prints the proxy for the URL given as the only argument.

#include "../core/console.h"
#include "libproxy_platform.h"

int main(int argc, char** argv) {
    waypost::LibproxySource source;
    return waypost::runConsole(argc, argv, source);
}
