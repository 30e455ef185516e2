#pragma once
// Which desktop session a call works on. HALVEX_DESKTOP_BACKEND set to "wayland" or "x11" takes
// that path alone (as GDK_BACKEND does for GTK); unset, or any other value, a Wayland
// compositor that libwayland-client can connect to means Wayland, and otherwise X11.

#include <cstdlib>
#include <string_view>

namespace sessionkit {

enum class Backend { automatic, wayland, x11 };

[[nodiscard]] inline Backend chosenBackend() {
    const char* chosen = std::getenv("HALVEX_DESKTOP_BACKEND");
    const std::string_view name = chosen != nullptr ? chosen : "";
    return name == "wayland" ? Backend::wayland : name == "x11" ? Backend::x11 : Backend::automatic;
}

}  // namespace sessionkit
