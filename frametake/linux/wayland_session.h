#pragma once
// One call's connection to a Wayland compositor: its globals, its outputs described by
// wl_output (current mode, transform) and xdg-output (logical position and size), and dispatch
// that waits on the socket at most until the call's deadline (libwayland's own roundtrip would
// wait for a stalled compositor forever). Every object is destroyed with the session, before
// the connection closes.

#include <wayland-client.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "wayland_geometry.h"

struct zxdg_output_manager_v1;
struct zxdg_output_v1;

namespace frametake::wayland {

using Clock = std::chrono::steady_clock;

enum class Reached {
    notConnected,  // no compositor to connect to (not a Wayland session)
    done,          // what was asked for arrived
    failed,        // the compositor broke the connection, or refused
    unanswered,    // no answer by the deadline (a compositor that stalls)
    refused,       // this way is not offered to this client here: another may be
};

struct OutputObjects {
    Output output;
    wl_output* wl = nullptr;
    zxdg_output_v1* xdg = nullptr;
};

class Session {
public:
    // Connects to the compositor libwayland-client finds ($WAYLAND_DISPLAY, else "wayland-0",
    // in $XDG_RUNTIME_DIR).
    explicit Session(Clock::time_point deadline);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session();

    // Lists the globals, then describes every output: Reached::done when each has its mode and
    // its logical rectangle asked for and answered (outputs() then holds them all, complete or
    // not). Failed without an xdg-output manager: there is no layout to place outputs by.
    [[nodiscard]] Reached describeOutputs();
    [[nodiscard]] const std::vector<std::unique_ptr<OutputObjects>>& outputs() const {
        return outputs_;
    }
    // A global of another interface the compositor offers, bound at `version` (at most what it
    // offers; the first of several); null when it offers none. Valid after describeOutputs, and
    // destroyed with the session.
    [[nodiscard]] void* bind(const wl_interface& interface, std::uint32_t version);
    // Dispatches events until `done` holds, at most until the deadline.
    [[nodiscard]] Reached dispatchUntil(const std::function<bool()>& done);
    // Waits until the compositor has handled every request sent so far.
    [[nodiscard]] Reached roundtrip();
    [[nodiscard]] wl_display* display() const { return display_; }

private:
    struct Global {
        std::string interface;
        std::uint32_t name = 0;
        std::uint32_t version = 0;
    };
    static void announced(void* data, wl_registry* registry, std::uint32_t name,
                          const char* interface, std::uint32_t version);

    Clock::time_point deadline_;
    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    zxdg_output_manager_v1* manager_ = nullptr;
    std::vector<Global> globals_;
    std::vector<std::unique_ptr<OutputObjects>> outputs_;
    std::vector<wl_proxy*> bound_;  // the other globals bound
};

}  // namespace frametake::wayland
