// A call's Wayland connection (wayland_session.h).

#include "wayland_session.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "xdg-output-unstable-v1-client-protocol.h"

namespace frametake::wayland {
namespace {

constexpr std::uint32_t kOutputVersion = 2;     // mode, geometry, scale, done
constexpr std::uint32_t kXdgOutputVersion = 1;  // logical position and size

OutputObjects& objectsOf(void* data) {
    return *static_cast<OutputObjects*>(data);
}

void ignoreText(void*, wl_output*, const char*) {}
void outputGeometry(void* data, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                    std::int32_t, const char*, const char*, std::int32_t transform) {
    objectsOf(data).output.transform = transform;
}
void outputMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width,
                std::int32_t height, std::int32_t) {
    if ((flags & WL_OUTPUT_MODE_CURRENT) != 0) {
        objectsOf(data).output.modeWidth = width;
        objectsOf(data).output.modeHeight = height;
    }
}
void outputDone(void*, wl_output*) {}
void outputScale(void* data, wl_output*, std::int32_t factor) {
    objectsOf(data).output.scale = factor;
}
constexpr wl_output_listener kOutputListener{outputGeometry, outputMode, outputDone,
                                             outputScale,    ignoreText, ignoreText};

void logicalPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
    objectsOf(data).output.logicalX = x;
    objectsOf(data).output.logicalY = y;
}
void logicalSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
    objectsOf(data).output.logicalWidth = width;
    objectsOf(data).output.logicalHeight = height;
}
void xdgDone(void*, zxdg_output_v1*) {}
void xdgText(void*, zxdg_output_v1*, const char*) {}
constexpr zxdg_output_v1_listener kXdgOutputListener{logicalPosition, logicalSize, xdgDone, xdgText,
                                                     xdgText};

void removed(void*, wl_registry*, std::uint32_t) {}

void synced(void* data, wl_callback* callback, std::uint32_t) {
    *static_cast<bool*>(data) = true;
    wl_callback_destroy(callback);
}
constexpr wl_callback_listener kSyncListener{synced};

}  // namespace

Session::Session(Clock::time_point deadline)
    : deadline_(deadline), display_(wl_display_connect(nullptr)) {}

Session::~Session() {
    for (const auto& objects : outputs_) {
        if (objects->xdg != nullptr) {
            zxdg_output_v1_destroy(objects->xdg);
        }
        wl_output_destroy(objects->wl);
    }
    for (wl_proxy* proxy : bound_) {
        wl_proxy_destroy(proxy);
    }
    if (manager_ != nullptr) {
        zxdg_output_manager_v1_destroy(manager_);
    }
    if (registry_ != nullptr) {
        wl_registry_destroy(registry_);
    }
    if (display_ != nullptr) {
        wl_display_disconnect(display_);
    }
}

void Session::announced(void* data, wl_registry* registry, std::uint32_t name,
                        const char* interface, std::uint32_t version) {
    auto& session = *static_cast<Session*>(data);
    if (std::strcmp(interface, wl_output_interface.name) == 0 && version >= kOutputVersion) {
        auto objects = std::make_unique<OutputObjects>();
        objects->output.name = name;
        objects->wl = static_cast<wl_output*>(
            wl_registry_bind(registry, name, &wl_output_interface, kOutputVersion));
        wl_output_add_listener(objects->wl, &kOutputListener, objects.get());
        session.outputs_.push_back(std::move(objects));
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        if (session.manager_ == nullptr) {
            session.manager_ = static_cast<zxdg_output_manager_v1*>(wl_registry_bind(
                registry, name, &zxdg_output_manager_v1_interface, kXdgOutputVersion));
        }
    } else {
        session.globals_.push_back({interface, name, version});
    }
}

Reached Session::describeOutputs() {
    static constexpr wl_registry_listener kRegistryListener{announced, removed};
    if (display_ == nullptr) {
        return Reached::notConnected;
    }
    registry_ = wl_display_get_registry(display_);
    if (registry_ == nullptr) {
        return Reached::failed;
    }
    wl_registry_add_listener(registry_, &kRegistryListener, this);
    if (const Reached globals = roundtrip(); globals != Reached::done) {
        return globals;
    }
    if (manager_ == nullptr) {
        return Reached::failed;
    }
    for (const auto& objects : outputs_) {
        objects->xdg = zxdg_output_manager_v1_get_xdg_output(manager_, objects->wl);
        zxdg_output_v1_add_listener(objects->xdg, &kXdgOutputListener, objects.get());
    }
    return roundtrip();
}

Reached Session::roundtrip() {
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

void* Session::bind(const wl_interface& interface, std::uint32_t version) {
    const auto global = std::find_if(globals_.begin(), globals_.end(), [&](const Global& g) {
        return g.interface == interface.name;
    });
    if (global == globals_.end()) {
        return nullptr;
    }
    void* proxy =
        wl_registry_bind(registry_, global->name, &interface, std::min(version, global->version));
    if (proxy != nullptr) {
        bound_.push_back(static_cast<wl_proxy*>(proxy));
    }
    return proxy;
}

Reached Session::dispatchUntil(const std::function<bool()>& done) {
    while (!done()) {
        if (wl_display_dispatch_pending(display_) < 0) {
            return Reached::failed;
        }
        if (done() || wl_display_prepare_read(display_) != 0) {
            continue;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now());
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

}  // namespace frametake::wayland
