#pragma once
// The outputs of a Wayland compositor as monitors (wayland_session.h, wayland_geometry.h).

#include <chrono>
#include <vector>

#include "wayland_session.h"

namespace frametake::wayland {

// The outputs the compositor describes fully, over a connection of the call's own whose every
// wait ends by `limit` after the call began: Reached::done with at least one output, failed
// when it describes none. Running out of memory may throw std::bad_alloc.
[[nodiscard]] Reached listOutputs(std::chrono::milliseconds limit, std::vector<Output>& outputs);

}  // namespace frametake::wayland
