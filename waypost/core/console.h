#pragma once
// The console front end: one URL argument in, one answer line out.

#include <cstdio>

#include "proxy_source.h"

namespace waypost {

// argv[1] is the URL (UTF-8 bytes); further arguments are ignored. Prints "DIRECT\n" or
// "host:port\n" to `out` and returns 0; returns 1 with nothing printed when there is no
// argument or no session could be opened (the session message is then on `errors`).
[[nodiscard]] int runConsole(int argc, const char* const* argv, ProxySource& source,
                             std::FILE* out = stdout, std::FILE* errors = stderr) noexcept;

}  // namespace waypost
