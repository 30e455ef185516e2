#pragma once
// The file a desktop portal names by URI: the local path it stands for.

#include <optional>
#include <string>
#include <string_view>

namespace frametake::wayland {

// The absolute path of a "file://" URI (empty or "localhost" host), its %XX escapes decoded;
// nothing for another scheme or host, a malformed escape, a NUL, or a path with "." or ".."
// steps.
[[nodiscard]] std::optional<std::string> localPathOfUri(std::string_view uri);

}  // namespace frametake::wayland
