// A call's Wayland connection (wayland_session.h).

#include "wayland_session.h"

#include <memory>

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

}  // namespace

Session::Session(Clock::time_point deadline) : connection_(deadline) {}

Session::~Session() {
    for (const auto& objects : outputs_) {
        if (objects->xdg != nullptr) {
            zxdg_output_v1_destroy(objects->xdg);
        }
        wl_output_destroy(objects->wl);
    }
    if (manager_ != nullptr) {
        zxdg_output_manager_v1_destroy(manager_);
    }
}

Reached Session::describeOutputs() {
    if (const Reached listed = connection_.listGlobals(); listed != Reached::done) {
        return listed;
    }
    for (const sessionkit::wayland::Global& global : connection_.globals()) {
        if (global.interface == wl_output_interface.name && global.version >= kOutputVersion) {
            auto objects = std::make_unique<OutputObjects>();
            objects->output.name = global.name;
            objects->wl = static_cast<wl_output*>(
                connection_.bind(global, wl_output_interface, kOutputVersion, false));
            wl_output_add_listener(objects->wl, &kOutputListener, objects.get());
            outputs_.push_back(std::move(objects));
        } else if (global.interface == zxdg_output_manager_v1_interface.name &&
                   manager_ == nullptr) {
            manager_ = static_cast<zxdg_output_manager_v1*>(connection_.bind(
                global, zxdg_output_manager_v1_interface, kXdgOutputVersion, false));
        }
    }
    if (manager_ == nullptr) {
        return Reached::failed;
    }
    for (const auto& objects : outputs_) {
        objects->xdg = zxdg_output_manager_v1_get_xdg_output(manager_, objects->wl);
        zxdg_output_v1_add_listener(objects->xdg, &kXdgOutputListener, objects.get());
    }
    return connection_.roundtrip();
}

}  // namespace frametake::wayland
