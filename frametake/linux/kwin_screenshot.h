#pragma once
// A rectangle of a KDE Plasma desktop through KWin's org.kde.KWin.ScreenShot2 D-Bus interface.
// KWin serves it only to an executable that an installed .desktop file grants it
// (X-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2; KWin finds the file by the
// caller's executable path), and only when it composites with OpenGL.

#include <cstdint>
#include <vector>

#include <sessionkit/session_bus.h>

#include "picture_placement.h"
#include "wayland_geometry.h"
#include "wayland_session.h"

namespace frametake::wayland {

// Fills the parts of `wanted` (device pixels, rgb black on entry) that lie on `outputs`: each
// output the rectangle meets is asked for whole, at its native resolution, and must come back
// at its device size. Reached::refused when KWin runs no ScreenShot2 or does not grant it to
// this process (another way may serve), failed when a copy is refused or not in a layout read
// here, unanswered at the bus's deadline.
[[nodiscard]] Reached grabThroughKWin(dbus::SessionBus& bus, const std::vector<Output>& outputs,
                                      const Rectangle& wanted, std::uint8_t* rgb);

}  // namespace frametake::wayland
