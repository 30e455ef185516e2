#include "console.h"

#include <string>

#include "proxy_source.h"
#include "text_convert.h"

namespace waypost {

int runConsole(int argc, const char* const* argv, ProxySource& source, std::FILE* out,
               std::FILE* errors) noexcept {
    if (argc < 2) {
        return 1;
    }
    try {
        const std::u16string url = utf8ToWide(argv[1]);
        ProxyResult result;
        if (!source.proxyFor(url.c_str(), result, errors)) {
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
