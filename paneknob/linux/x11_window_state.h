#pragma once
// What the window actions read of one window and ask of the window manager: 32-bit properties,
// the state the window manager holds a window in, client messages to the root, bounded waits
// for a state, and map requests that borrow another program's properties and put them back.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <thread>
#include <vector>

#include "x11_limits.h"
#include "x11kit/connection.h"

namespace paneknob::x11 {

inline constexpr std::uint32_t kIconicState = 3;  // ICCCM WM_STATE and WM_CHANGE_STATE
inline constexpr std::uint32_t kStateRemove = 0;  // _NET_WM_STATE actions
inline constexpr std::uint32_t kSourceApplication = 1;
inline constexpr std::uint32_t kSourcePager = 2;

[[nodiscard]] std::vector<std::uint32_t> cardinals(const x11kit::Connection& connection,
                                                   xcb_window_t window, const char* property);

void sendToRoot(const x11kit::Connection& connection, xcb_window_t window, xcb_atom_t type,
                std::initializer_list<std::uint32_t> data);

struct WindowState {
    bool managed = false;  // has WM_STATE: the window manager holds it, iconic or not
    bool iconic = false;
    bool maximized = false;
};

[[nodiscard]] WindowState stateOf(const x11kit::Connection& connection, xcb_window_t window);
[[nodiscard]] std::uint32_t activeWindow(const x11kit::Connection& connection);

// Polls `holds` every 10 ms until it is true or `bound` has passed, ending kRestoreTime before
// the connection's limit at the latest; whether it came true.
template <typename Condition>
bool await(const x11kit::Connection& connection, Condition holds, std::chrono::milliseconds bound) {
    const auto end =
        std::min(std::chrono::steady_clock::now() + bound, connection.deadline() - kRestoreTime);
    while (!holds()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Waits until the window manager holds `window` iconic (or not), at most `bound`.
bool awaitIconic(const x11kit::Connection& connection, xcb_window_t window, bool iconic,
                 std::chrono::milliseconds bound);

// Asks for `window` to be mapped with a user time of 0 (focus-stealing prevention: do not focus
// it), and optionally in the iconic state; waits until the window manager holds it in the
// state asked for. The program's own properties are put back afterwards, so its later maps
// are as it asked.
bool mapAndConfirm(const x11kit::Connection& connection, xcb_window_t window, bool iconic,
                   bool activate);

// A time stamp of the server's clock: the time of a property change on a window of our own.
[[nodiscard]] std::uint32_t serverTime(const x11kit::Connection& connection);

// A window manager announces itself by the ICCCM WM_Sn selection and by EWMH's check window,
// which names itself.
[[nodiscard]] bool windowManagerRunning(const x11kit::Connection& connection);

}  // namespace paneknob::x11
