#pragma once
// The in-process answer: detectProxy's text forms and the buffer that holds a proxy answer.

#include <ownkit/published.h>

#include <cstddef>
#include <cstdio>

#include "proxy_result.h"
#include "proxy_source.h"

namespace waypost {

inline constexpr char kDirectAnswer[] = "DIRECT";
inline constexpr char kFailedAnswer[] = "";

// The size of the block that holds "host:port": the host, ':', the longest text of a 32-bit
// port ("-2147483648", 11 characters) and the NUL, so that no port is ever cut.
inline constexpr std::size_t kPortTextRoom = 1 + 11 + 1;

// Holds the text of the last answer that named a proxy. A new proxy answer frees the previous
// block once its own block exists, so a pointer from an earlier proxy answer is invalid after
// the next one; direct answers and failures (out of memory included) leave the block alone.
// Answers are asked for one at a time; overlapping ones may find their text replaced, never
// freed (ownkit/published.h).
class ProxyTextBuffer {
public:
    // Formats "host:port" into a new block of host length + kPortTextRoom bytes. Returns the
    // text, or null when the block cannot be allocated (the previous block is kept then).
    const char* store(const ProxyResult& result);

    [[nodiscard]] const char* text() const noexcept { return block_.get(); }

private:
    ownkit::Published<char> block_;
};

// Resolves `url` (NUL-terminated UTF-8; null means empty) and answers "DIRECT", "host:port"
// (inside `buffer`) or "" when resolution failed, in which case
// "Failed to resolve proxy for: <url>\n" follows the platform's message on `errors`.
// The result is never null. Out of memory answers "" as well.
[[nodiscard]] const char* detectProxyWith(ProxySource& source, ProxyTextBuffer& buffer,
                                          const char* url, std::FILE* errors = stderr) noexcept;

// detectProxyWith over the process-wide answer buffer, which is deliberately never destroyed:
// callers may hold the last proxy answer until the process ends. Calls must not overlap.
[[nodiscard]] const char* detectProxyForProcess(ProxySource& source, const char* url) noexcept;

}  // namespace waypost
