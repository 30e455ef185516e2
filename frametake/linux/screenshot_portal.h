#pragma once
// A rectangle of a Wayland desktop through the desktop portal's Screenshot interface, asked
// not to be interactive: GNOME's way for an ordinary client. The portal saves the whole
// desktop as a PNG file and answers with its URI; the rectangle is cut from it and the file,
// made for this call, is deleted. The first request asks the user in a dialog; once the
// answer is stored (permission store, table "screenshot") it is not asked again.

#include <cstdint>
#include <vector>

#include <sessionkit/session_bus.h>

#include "picture_placement.h"
#include "wayland_geometry.h"
#include "wayland_session.h"

namespace frametake::wayland {

// Fills `wanted` (device pixels, rgb black on entry) from the portal's picture of the desktop,
// which must be the size of the outputs' device rectangles together. Reached::refused when no
// portal runs, failed when the request is denied or cancelled or its picture is not of that
// size or not a PNG read here, unanswered when no answer comes by the bus's deadline (the
// request is then closed).
[[nodiscard]] Reached grabThroughPortal(dbus::SessionBus& bus, const std::vector<Output>& outputs,
                                        const Rectangle& wanted, std::uint8_t* rgb);

}  // namespace frametake::wayland
