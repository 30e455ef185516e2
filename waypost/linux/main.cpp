// waypost on Linux: prints the proxy for the URL given as the only argument.

#include "../core/console.h"
#include "libproxy_platform.h"

#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    waypost::LibproxySource source;
    const int status = waypost::runConsole(argc, argv, source);
    if (waypost::lateQueries() > 0) {
        // A query that outlived its wait still runs inside libproxy: ending the process without
        // its exit handlers keeps them from tearing down what that thread uses.
        std::fflush(stdout);
        std::fflush(stderr);
        ::_exit(status);
    }
    return status;
}
