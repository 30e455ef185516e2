#pragma once
// Percent-encoded text (%XX escapes, as in URIs and JavaScript's encodeURIComponent) decoded.

#include <optional>
#include <string>
#include <string_view>

namespace textkit {

// `text` with each %XX replaced by its byte; nothing for a malformed or cut escape, or a NUL
// (escaped or not), which no path or title may hold.
[[nodiscard]] std::optional<std::string> decodePercent(std::string_view text);

}  // namespace textkit
