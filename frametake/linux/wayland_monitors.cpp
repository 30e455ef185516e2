// The output listing over libwayland-client (wayland_monitors.h). Every wait is a poll on the
// connection's socket with what is left of the call's limit: libwayland's own roundtrip would
// wait for a stalled compositor forever.

#include "wayland_monitors.h"

#include <poll.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "xdg-output-unstable-v1-client-protocol.h"

namespace frametake::wayland {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kOutputVersion = 2;     // mode, geometry, scale, done
constexpr std::uint32_t kXdgOutputVersion = 1;  // logical position and size

// One output's objects and what they told.
struct Entry {
    Output output;
    wl_output* wl = nullptr;
    zxdg_output_v1* xdg = nullptr;
};

// What one listing holds; every object is destroyed with it, before the connection closes.
struct Session {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    zxdg_output_manager_v1* manager = nullptr;
    std::vector<std::unique_ptr<Entry>> entries;

    ~Session() {
        for (const auto& entry : entries) {
            if (entry->xdg != nullptr) {
                zxdg_output_v1_destroy(entry->xdg);
            }
            wl_output_destroy(entry->wl);
        }
        if (manager != nullptr) {
            zxdg_output_manager_v1_destroy(manager);
        }
        if (registry != nullptr) {
            wl_registry_destroy(registry);
        }
        if (display != nullptr) {
            wl_display_disconnect(display);
        }
    }
};

void ignoreGeometryText(void*, wl_output*, const char*) {}
void outputGeometry(void* data, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                    std::int32_t, const char*, const char*, std::int32_t transform) {
    static_cast<Entry*>(data)->output.transform = transform;
}
void outputMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width,
                std::int32_t height, std::int32_t) {
    if ((flags & WL_OUTPUT_MODE_CURRENT) != 0) {
        static_cast<Entry*>(data)->output.modeWidth = width;
        static_cast<Entry*>(data)->output.modeHeight = height;
    }
}
void outputDone(void*, wl_output*) {}
void outputScale(void*, wl_output*, std::int32_t) {}
constexpr wl_output_listener kOutputListener{
    outputGeometry, outputMode, outputDone, outputScale, ignoreGeometryText, ignoreGeometryText};

void logicalPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
    static_cast<Entry*>(data)->output.logicalX = x;
    static_cast<Entry*>(data)->output.logicalY = y;
}
void logicalSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
    static_cast<Entry*>(data)->output.logicalWidth = width;
    static_cast<Entry*>(data)->output.logicalHeight = height;
}
void xdgDone(void*, zxdg_output_v1*) {}
void xdgText(void*, zxdg_output_v1*, const char*) {}
constexpr zxdg_output_v1_listener kXdgOutputListener{logicalPosition, logicalSize, xdgDone, xdgText,
                                                     xdgText};

void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t version) {
    auto* session = static_cast<Session*>(data);
    if (std::strcmp(interface, wl_output_interface.name) == 0 && version >= kOutputVersion) {
        auto entry = std::make_unique<Entry>();
        entry->output.name = name;
        entry->wl = static_cast<wl_output*>(
            wl_registry_bind(registry, name, &wl_output_interface, kOutputVersion));
        wl_output_add_listener(entry->wl, &kOutputListener, entry.get());
        session->entries.push_back(std::move(entry));
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0 &&
               session->manager == nullptr) {
        session->manager = static_cast<zxdg_output_manager_v1*>(
            wl_registry_bind(registry, name, &zxdg_output_manager_v1_interface, kXdgOutputVersion));
    }
}
void globalRemoved(void*, wl_registry*, std::uint32_t) {}
constexpr wl_registry_listener kRegistryListener{global, globalRemoved};

void synced(void* data, wl_callback* callback, std::uint32_t) {
    *static_cast<bool*>(data) = true;
    wl_callback_destroy(callback);
}
constexpr wl_callback_listener kSyncListener{synced};

// Waits until the compositor has handled every request sent so far (and its events are
// dispatched), at most until `deadline`.
Reached roundtrip(wl_display* display, Clock::time_point deadline) {
    bool done = false;
    wl_callback* callback = wl_display_sync(display);
    if (callback == nullptr) {
        return Reached::failed;
    }
    wl_callback_add_listener(callback, &kSyncListener, &done);
    while (!done) {
        if (wl_display_dispatch_pending(display) < 0) {
            return Reached::failed;
        }
        if (done || wl_display_prepare_read(display) != 0) {
            continue;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd socket{wl_display_get_fd(display), POLLIN, 0};
        const bool flushed = wl_display_flush(display) >= 0 || errno == EAGAIN;
        const int ready =
            flushed && left.count() > 0 ? ::poll(&socket, 1, static_cast<int>(left.count())) : 0;
        if (!flushed || ready <= 0) {
            wl_display_cancel_read(display);
            return flushed && ready == 0 ? Reached::unanswered : Reached::failed;
        }
        if (wl_display_read_events(display) < 0) {
            return Reached::failed;
        }
    }
    return Reached::listed;
}

}  // namespace

Reached listOutputs(std::chrono::milliseconds limit, std::vector<Output>& outputs) {
    const Clock::time_point deadline = Clock::now() + limit;
    Session session;
    session.display = wl_display_connect(nullptr);
    if (session.display == nullptr) {
        return Reached::notConnected;
    }
    session.registry = wl_display_get_registry(session.display);
    if (session.registry == nullptr) {
        return Reached::failed;
    }
    wl_registry_add_listener(session.registry, &kRegistryListener, &session);
    if (const Reached globals = roundtrip(session.display, deadline); globals != Reached::listed) {
        return globals;
    }
    if (session.manager == nullptr) {
        return Reached::failed;  // no logical layout to place the outputs by
    }
    for (const auto& entry : session.entries) {
        entry->xdg = zxdg_output_manager_v1_get_xdg_output(session.manager, entry->wl);
        zxdg_output_v1_add_listener(entry->xdg, &kXdgOutputListener, entry.get());
    }
    if (const Reached described = roundtrip(session.display, deadline);
        described != Reached::listed) {
        return described;
    }
    for (const auto& entry : session.entries) {
        if (complete(entry->output)) {
            outputs.push_back(entry->output);
        }
    }
    return outputs.empty() ? Reached::failed : Reached::listed;
}

}  // namespace frametake::wayland
