#pragma once
// The monitors of an X screen, from RandR 1.5, and the X server's Xft.dpi.

#include <optional>
#include <vector>

#include "x11_geometry.h"
#include "x11kit/connection.h"

namespace frametake::x11 {

// The active monitors of the connection's screen, in root-window coordinates. A server without
// RandR 1.5 counts as one monitor covering the root window (named by the root window's id).
// Nothing when a request failed.
[[nodiscard]] std::optional<std::vector<RootMonitor>> listMonitors(
    const x11kit::Connection& connection);

// The Xft.dpi resource of the screen's root window; 96 when it is not set.
[[nodiscard]] double serverDpi(const x11kit::Connection& connection);

}  // namespace frametake::x11
