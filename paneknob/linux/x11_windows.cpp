// The window actions over an EWMH window manager (x11_windows.h): the window system of a call
// and the order of the steps; what each step reads and asks is in x11_titles and x11_window_state.

#include "x11_windows.h"

#include <memory>

#include "../core/platforms.h"
#include "motif_hints.h"
#include "title_match.h"
#include "x11_titles.h"
#include "x11_window_state.h"

namespace paneknob {

using namespace x11;

namespace {

xcb_window_t xid(WindowSystem::Window window) {
    return static_cast<xcb_window_t>(reinterpret_cast<std::uintptr_t>(window));
}

WindowSystem::Window handle(xcb_window_t window) {
    return reinterpret_cast<WindowSystem::Window>(static_cast<std::uintptr_t>(window));
}

}  // namespace

std::optional<WindowSystem::Window> X11Windows::findTopLevelWindow(const char* title) {
    const std::optional<std::u32string> wanted = x11::fromEnvironmentCharset(title);
    if (!wanted) {
        return Window{nullptr};
    }
    if (!connection_.ok()) {
        return std::nullopt;
    }
    const xcb_atom_t netName = connection_.atom("_NET_WM_NAME");
    const xcb_atom_t utf8 = connection_.atom("UTF8_STRING");
    const xcb_atom_t compound = connection_.atom("COMPOUND_TEXT");
    for (const xcb_window_t window : topLevelWindows(connection_)) {
        const auto name = titleOf(connection_, window, netName, utf8, compound);
        if (name && x11::sameTitle(*name, *wanted)) {
            return handle(window);
        }
    }
    // A listing cut short by a broken connection proves no window absent.
    if (!connection_.sync()) {
        return std::nullopt;
    }
    return Window{nullptr};
}

bool X11Windows::removeBoxes(Window window) {
    const xcb_atom_t property = connection_.atom("_MOTIF_WM_HINTS");
    const auto hints = x11::parseHints(cardinals(connection_, xid(window), "_MOTIF_WM_HINTS"));
    const x11::Boxes boxes = x11::boxesOf(hints);
    if (!boxes.minimize && !boxes.maximize) {
        return connection_.ok();  // nothing to take away: the property stays as it is
    }
    const std::vector<std::uint32_t> items =
        x11::itemsOf(x11::restrictBoxes(hints, {false, false}));
    xcb_change_property(connection_.get(), XCB_PROP_MODE_REPLACE, xid(window), property, property,
                        32, static_cast<std::uint32_t>(items.size()), items.data());
    // The window manager re-reads the hints when they change: the change only has to reach the
    // server.
    return connection_.sync();
}

bool X11Windows::minimize(Window window) {
    return windowManagerRunning(connection_) && show(xid(window), Showing::minimized);
}

bool X11Windows::showWithoutActivating(Window window) {
    return show(xid(window), Showing::shown);
}

// Activation is tried even when the restore was not confirmed: a window manager may activate a
// window it restores in the same step.
bool X11Windows::restoreAndActivate(Window window) {
    (void)show(xid(window), Showing::restored);
    return bringToForeground(xid(window));
}

bool X11Windows::show(xcb_window_t target, Showing showing) {
    const WindowState state = stateOf(connection_, target);
    if (!state.managed) {
        return mapAndConfirm(connection_, target, showing == Showing::minimized,
                             showing == Showing::restored);
    }
    if (showing == Showing::minimized) {
        sendToRoot(connection_, target, connection_.atom("WM_CHANGE_STATE"), {kIconicState});
        return connection_.sync() && awaitIconic(connection_, target, true, kStateWait);
    }
    const std::uint32_t active = activeWindow(connection_);
    bool shown = true;
    if (state.iconic) {
        shown = deiconify(target, showing == Showing::restored);
    } else if (showing == Showing::restored && state.maximized) {
        sendToRoot(connection_, target, connection_.atom("_NET_WM_STATE"),
                   {kStateRemove, connection_.atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                    connection_.atom("_NET_WM_STATE_MAXIMIZED_HORZ"), kSourceApplication});
    }
    if (shown && showing == Showing::shown && active != target) {
        keepActive(active, target);
    }
    return connection_.sync() && shown;
}

// Out of the iconic state: first by dropping _NET_WM_STATE_HIDDEN (some window managers honour
// it, and then do not activate the window), else by a map request, which ICCCM makes the way
// out of the iconic state for every window manager.
bool X11Windows::deiconify(xcb_window_t target, bool activate) {
    sendToRoot(connection_, target, connection_.atom("_NET_WM_STATE"),
               {kStateRemove, connection_.atom("_NET_WM_STATE_HIDDEN"), 0, kSourceApplication});
    if (connection_.sync() && awaitIconic(connection_, target, false, kDeiconifyWait)) {
        return true;
    }
    return mapAndConfirm(connection_, target, false, activate);
}

// A window manager that activated the shown window anyway gives the focus back to the window
// that had it, as a pager would ask, or to nothing when nothing had it.
void X11Windows::keepActive(std::uint32_t previous, xcb_window_t shown) {
    const auto isActive = [&](std::uint32_t window) {
        return [&, window] { return activeWindow(connection_) == window; };
    };
    if (!await(connection_, isActive(shown), kSettleTime)) {
        return;
    }
    if (previous == 0) {
        // X's focus when no window holds it: the root, following the pointer.
        xcb_set_input_focus(connection_.get(), XCB_INPUT_FOCUS_POINTER_ROOT,
                            XCB_INPUT_FOCUS_POINTER_ROOT, serverTime(connection_));
    } else {
        sendToRoot(connection_, previous, connection_.atom("_NET_ACTIVE_WINDOW"),
                   {kSourcePager, serverTime(connection_), 0});
    }
    (void)(connection_.sync() && await(connection_, isActive(previous), kActivationWait));
}

// The request as an application first, subject to focus-stealing prevention; when that did not
// take, once more as a pager acting for the user. Activation counts only when the window is
// still the active one after a short settle: some window managers name it only in passing.
bool X11Windows::bringToForeground(xcb_window_t target) {
    const xcb_atom_t request = connection_.atom("_NET_ACTIVE_WINDOW");
    const std::uint32_t time = serverTime(connection_);
    for (const std::uint32_t source : {kSourceApplication, kSourcePager}) {
        sendToRoot(connection_, target, request, {source, time, activeWindow(connection_)});
        if (!connection_.sync()) {
            return false;
        }
        const auto isActive = [&] { return activeWindow(connection_) == target; };
        if (await(connection_, isActive, kActivationWait)) {
            // Still active a settle later (a wait for the opposite that runs out).
            if (!await(
                    connection_, [&] { return !isActive(); }, kSettleTime)) {
                return true;
            }
        }
    }
    return false;
}

bool removeBoxesOfXWaylandWindow(const char* title) {
    X11Windows xwayland;
    const std::optional<WindowSystem::Window> window = xwayland.findTopLevelWindow(title);
    return window && *window != nullptr && xwayland.removeBoxes(*window);
}

}  // namespace paneknob
