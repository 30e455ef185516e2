#pragma once
// One call's connection to a Wayland compositor (sessionkit's, every wait bounded by the call's
// deadline) with its outputs described by wl_output (current mode, transform, scale) and
// xdg-output (logical position and size). Every object is destroyed with the session, before
// the connection closes.

#include <sessionkit/session_bus.h>
#include <sessionkit/wayland_connection.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "wayland_geometry.h"

struct zxdg_output_manager_v1;
struct zxdg_output_v1;

namespace frametake::wayland {

using sessionkit::wayland::Clock;
using sessionkit::wayland::Reached;
namespace dbus = sessionkit::dbus;

struct OutputObjects {
    Output output;
    wl_output* wl = nullptr;
    zxdg_output_v1* xdg = nullptr;
};

class Session {
public:
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
    // A global of another interface the compositor offers (sessionkit's bind); valid after
    // describeOutputs, and destroyed with the session.
    [[nodiscard]] void* bind(const wl_interface& interface, std::uint32_t version) {
        return connection_.bind(interface, version);
    }
    [[nodiscard]] Reached dispatchUntil(const std::function<bool()>& done) {
        return connection_.dispatchUntil(done);
    }

private:
    // Declared first, destroyed last: the outputs go before the connection.
    sessionkit::wayland::Connection connection_;
    zxdg_output_manager_v1* manager_ = nullptr;
    std::vector<std::unique_ptr<OutputObjects>> outputs_;
};

}  // namespace frametake::wayland
