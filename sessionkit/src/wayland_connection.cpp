#include "sessionkit/wayland_connection.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace sessionkit::wayland {
namespace {

void announced(void* data, wl_registry*, std::uint32_t name, const char* interface,
               std::uint32_t version) {
    static_cast<std::vector<Global>*>(data)->push_back({interface, name, version});
}
void removed(void*, wl_registry*, std::uint32_t) {}
constexpr wl_registry_listener kRegistryListener{announced, removed};

void synced(void* data, wl_callback* callback, std::uint32_t) {
    *static_cast<bool*>(data) = true;
    wl_callback_destroy(callback);
}
constexpr wl_callback_listener kSyncListener{synced};

// Whether libwayland-client has a socket to try: an inherited one, an absolute path, or a name
// under XDG_RUNTIME_DIR. Without XDG_RUNTIME_DIR it would print a complaint into the caller's
// standard error before failing.
bool socketNamed() {
    const char* inherited = std::getenv("WAYLAND_SOCKET");
    const char* name = std::getenv("WAYLAND_DISPLAY");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return (inherited != nullptr && *inherited != '\0') || (name != nullptr && *name == '/') ||
           (runtime != nullptr && *runtime != '\0');
}

}  // namespace

Connection::Connection(Clock::time_point deadline)
    : deadline_(deadline), display_(socketNamed() ? wl_display_connect(nullptr) : nullptr) {}

Connection::~Connection() {
    for (auto bound = bound_.rbegin(); bound != bound_.rend(); ++bound) {
        wl_proxy_destroy(*bound);
    }
    if (registry_ != nullptr) {
        wl_registry_destroy(registry_);
    }
    if (display_ != nullptr) {
        wl_display_disconnect(display_);
    }
}

Reached Connection::listGlobals() {
    if (display_ == nullptr) {
        return Reached::notConnected;
    }
    registry_ = wl_display_get_registry(display_);
    if (registry_ == nullptr) {
        return Reached::failed;
    }
    wl_registry_add_listener(registry_, &kRegistryListener, &globals_);
    return roundtrip();
}

void* Connection::bind(const Global& global, const wl_interface& interface, std::uint32_t version,
                       bool owned) {
    void* proxy =
        wl_registry_bind(registry_, global.name, &interface, std::min(version, global.version));
    if (proxy != nullptr && owned) {
        bound_.push_back(static_cast<wl_proxy*>(proxy));
    }
    return proxy;
}

void* Connection::bind(const wl_interface& interface, std::uint32_t version) {
    const auto global = std::find_if(globals_.begin(), globals_.end(), [&](const Global& g) {
        return g.interface == interface.name;
    });
    return global == globals_.end() ? nullptr : bind(*global, interface, version);
}

Reached Connection::roundtrip() {
    bool answered = false;
    wl_callback* sync = wl_display_sync(display_);
    if (sync == nullptr) {
        return Reached::failed;
    }
    wl_callback_add_listener(sync, &kSyncListener, &answered);
    const Reached reached = dispatchUntil([&] { return answered; });
    if (!answered) {
        wl_callback_destroy(sync);  // the handler destroys one that fired
    }
    return reached;
}

Reached Connection::dispatchUntil(const std::function<bool()>& done) {
    return dispatchUntil(done, deadline_);
}

Reached Connection::dispatchUntil(const std::function<bool()>& done, Clock::time_point until) {
    const Clock::time_point end = std::min(until, deadline_);
    while (!done()) {
        if (wl_display_dispatch_pending(display_) < 0) {
            return Reached::failed;
        }
        if (done() || wl_display_prepare_read(display_) != 0) {
            continue;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        pollfd socket{wl_display_get_fd(display_), POLLIN, 0};
        const bool flushed = wl_display_flush(display_) >= 0 || errno == EAGAIN;
        const int ready =
            flushed && left.count() > 0 ? ::poll(&socket, 1, static_cast<int>(left.count())) : 0;
        if (!flushed || ready <= 0) {
            wl_display_cancel_read(display_);
            return flushed && ready == 0 ? Reached::unanswered : Reached::failed;
        }
        if (wl_display_read_events(display_) < 0) {
            return Reached::failed;
        }
    }
    return Reached::done;
}

}  // namespace sessionkit::wayland
