#pragma once
// Titles and the windows that carry them: the title a client set in whichever of its types, and
// the top-level windows in the order they are searched.

#include <ownkit/owned.h>

#include <optional>
#include <string>
#include <vector>

#include "locale_text.h"
#include "x11kit/connection.h"

namespace paneknob::x11 {

// The title a client set: _NET_WM_NAME in UTF-8, else WM_NAME in its own type.
[[nodiscard]] std::optional<std::u32string> titleOf(const x11kit::Connection& connection,
                                                    xcb_window_t window, xcb_atom_t netName,
                                                    xcb_atom_t utf8, xcb_atom_t compound);

// The windows a title is looked for in: the window manager's clients first, then the root's
// other children that are neither override-redirect nor the manager's own check window.
[[nodiscard]] std::vector<xcb_window_t> topLevelWindows(const x11kit::Connection& connection);

}  // namespace paneknob::x11
