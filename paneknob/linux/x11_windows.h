#pragma once
// The window actions over an EWMH window manager on X11, one connection per export call.
//
// How each is done:
// - the title comes in the character set of the environment's locale (LC_ALL, LC_CTYPE, LANG),
//   the stand-in for the ANSI code page; a top-level window is a client the window manager
//   lists in _NET_CLIENT_LIST, or an unmanaged, not override-redirect child of the root; its
//   title is _NET_WM_NAME, else WM_NAME.
// - the minimize and maximize boxes are the MINIMIZE and MAXIMIZE functions and decorations
//   of _MOTIF_WM_HINTS, taken away there; the window manager re-reads the hints when they
//   change.
// - minimize is the ICCCM WM_CHANGE_STATE request for IconicState; showing without activating
//   takes the window out of the iconic state with _NET_WM_STATE (dropping _NET_WM_STATE_HIDDEN),
//   and where the window manager ignores that (EWMH lets it), with a map request, ICCCM's way
//   out of the iconic state, asking not to focus it through a user time of 0. Restore does the
//   same and also drops the maximized states of a window that was not iconic. A window manager
//   that activates a window shown without activation gives the focus back to the window that
//   had it, or to nothing (X's PointerRoot) when nothing had it. A never-mapped window is mapped
//   (iconic for minimize) and its WM_HINTS and user time are put back afterwards. Like the Windows
//   calls, each waits for the window manager to confirm the state, at most kStateWait.
// - activation is the _NET_ACTIVE_WINDOW request with a server time stamp, as an application,
//   then (our choice; Windows has no exact counterpart) once more as a pager acting for the
//   user; it succeeded when _NET_ACTIVE_WINDOW names the window within kActivationWait and still
//   does kSettleTime later.
// - without a window manager nothing could ever take a window out of the iconic state, so
//   minimize changes nothing and answers false.
// - an action counts as done only when the window manager confirmed the state it asked for
//   (minimize, show, restore) or the server handled the request (the boxes); a window manager
//   that does not answer in time (stopped, hung) makes the action answer false. An X server that
//   cannot be reached, or breaks the connection during the lookup, answers no lookup at all.
// - every wait is cut short by the call's limit (kCallLimit).

#include "../core/window_system.h"
#include "x11_limits.h"
#include "x11kit/connection.h"

namespace paneknob {

class X11Windows final : public WindowSystem {
public:
    X11Windows() : connection_(kCallLimit) {}

    std::optional<Window> findTopLevelWindow(const char* title) override;
    bool removeBoxes(Window window) override;
    bool minimize(Window window) override;
    bool showWithoutActivating(Window window) override;
    bool restoreAndActivate(Window window) override;

private:
    enum class Showing { minimized, shown, restored };

    bool show(xcb_window_t target, Showing showing);
    bool bringToForeground(xcb_window_t target);
    bool deiconify(xcb_window_t target, bool activate);
    void keepActive(std::uint32_t previous, xcb_window_t shown);

    x11kit::Connection connection_;
};

// On a Wayland session: takes the boxes away from the X11 window (under XWayland) whose title
// is `title` (the caller's text); false when there is none, as for a native window, whose
// boxes no protocol can take away.
[[nodiscard]] bool removeBoxesOfXWaylandWindow(const char* title);

}  // namespace paneknob
