#pragma once
// One call's connection to a Wayland compositor: its globals, and dispatch that waits on the
// socket at most until the call's deadline (libwayland's own roundtrip would wait for a
// stalled compositor forever). Objects bound through it are destroyed with it, before the
// connection closes.

#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sessionkit::wayland {

using Clock = std::chrono::steady_clock;

enum class Reached {
    notConnected,  // no compositor to connect to (not a Wayland session)
    done,          // what was asked for arrived
    failed,        // the compositor broke the connection, or refused
    unanswered,    // no answer by the deadline (a compositor that stalls)
    refused,       // this way is not offered to this client here: another may be
};

struct Global {
    std::string interface;
    std::uint32_t name = 0;
    std::uint32_t version = 0;
};

class Connection {
public:
    // Connects to the compositor libwayland-client finds ($WAYLAND_SOCKET, or $WAYLAND_DISPLAY,
    // else "wayland-0", in $XDG_RUNTIME_DIR); not connected when none of these is set.
    explicit Connection(Clock::time_point deadline);
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    // Lists the compositor's globals: Reached::done when they have all been announced.
    [[nodiscard]] Reached listGlobals();
    [[nodiscard]] const std::vector<Global>& globals() const { return globals_; }
    // Binds the global `name` at `version` (at most what it offers); destroyed with the
    // connection unless `owned` is false (the caller then destroys it, before the connection).
    [[nodiscard]] void* bind(const Global& global, const wl_interface& interface,
                             std::uint32_t version, bool owned = true);
    // The first global of `interface`, bound as above; null when the compositor offers none.
    [[nodiscard]] void* bind(const wl_interface& interface, std::uint32_t version);
    // Dispatches events until `done` holds, at most until the deadline (or `until`, when that
    // comes first: Reached::unanswered then).
    [[nodiscard]] Reached dispatchUntil(const std::function<bool()>& done);
    [[nodiscard]] Reached dispatchUntil(const std::function<bool()>& done, Clock::time_point until);
    // Waits until the compositor has handled every request sent so far.
    [[nodiscard]] Reached roundtrip();
    [[nodiscard]] wl_display* display() const { return display_; }

private:
    Clock::time_point deadline_;
    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    std::vector<Global> globals_;
    std::vector<wl_proxy*> bound_;
};

}  // namespace sessionkit::wayland
