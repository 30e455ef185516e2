#include "console.h"

#include "proxy_source.h"

namespace waypost {

int runConsole(int argc, const char* const* argv, ProxySource& source, std::FILE* out,
               std::FILE* errors) noexcept {
    if (argc < 2) {
        return 1;
    }
    try {
        ProxyResult result;
        if (!source.proxyFor(argv[1], result, errors)) {
            return 1;
        }
        if (result.direct) {
            std::fprintf(out, "DIRECT\n");
        } else {
            std::fprintf(out, "%s:%d\n", result.host.c_str(), static_cast<int>(result.port));
        }
        return 0;
    } catch (...) {
        // Out of memory: no answer to print.
        return 1;
    }
}

}  // namespace waypost
