#include "proxy_source.h"

namespace waypost {

void writeCannotAsk(std::FILE* errors, unsigned long code) {
    std::fprintf(errors, "WinHttpOpen failed: %lu\n", code);
}

}  // namespace waypost
