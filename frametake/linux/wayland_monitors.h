#pragma once
// The outputs of a Wayland compositor: wl_output (current mode, transform) and xdg-output
// (logical position and size), read over a connection of the call's own.

#include <chrono>
#include <vector>

#include "wayland_geometry.h"

namespace frametake::wayland {

enum class Reached {
    notConnected,  // no compositor to connect to (not a Wayland session)
    listed,        // `outputs` holds every output the compositor described fully
    failed,        // the compositor broke the connection, or described no output fully
    unanswered,    // no answer within the limit (a compositor that stalls)
};

// Connects to the compositor libwayland-client finds ($WAYLAND_DISPLAY, else "wayland-0", in
// $XDG_RUNTIME_DIR) and lists its outputs; every wait ends by `limit` after the call began.
// Running out of memory may throw std::bad_alloc.
[[nodiscard]] Reached listOutputs(std::chrono::milliseconds limit, std::vector<Output>& outputs);

}  // namespace frametake::wayland
