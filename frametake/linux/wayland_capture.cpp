// A rectangle of a Wayland desktop (wayland_capture.h). With wlr-screencopy each output the
// rectangle meets is copied whole, in device pixels, into a shared-memory buffer of the call's
// own, and its part of the rectangle is converted into the RGB rows; without it, KWin's
// ScreenShot2 or the Screenshot portal over the session bus, on the same deadline.

#include "wayland_capture.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include <sessionkit/session_bus.h>
#include "kwin_screenshot.h"
#include "picture_placement.h"
#include "screenshot_portal.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"

namespace frametake::wayland {
namespace {

constexpr std::uint32_t kScreencopyVersion = 1;
constexpr std::uint32_t kShmVersion = 1;
constexpr std::uint64_t kMaxBufferBytes = std::uint64_t{1} << 30;

// 32-bit formats, little-endian in memory: where red, green and blue lie in each pixel.
std::optional<PixelOrder> orderOf(std::uint32_t format) {
    switch (format) {
        case WL_SHM_FORMAT_ARGB8888:
        case WL_SHM_FORMAT_XRGB8888:
            return kBgrx;
        case WL_SHM_FORMAT_ABGR8888:
        case WL_SHM_FORMAT_XBGR8888:
            return kRgbx;
        default:
            return std::nullopt;
    }
}

// What the compositor says of one copy.
struct FrameState {
    bool described = false;
    bool ready = false;
    bool failed = false;
    bool yInvert = false;
    std::uint32_t format = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t stride = 0;
};
FrameState& stateOf(void* data) {
    return *static_cast<FrameState*>(data);
}
void buffer(void* data, zwlr_screencopy_frame_v1*, std::uint32_t format, std::uint32_t width,
            std::uint32_t height, std::uint32_t stride) {
    stateOf(data) = {true, false, false, false, format, width, height, stride};
}
void flags(void* data, zwlr_screencopy_frame_v1*, std::uint32_t value) {
    stateOf(data).yInvert = (value & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT) != 0;
}
void ready(void* data, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t) {
    stateOf(data).ready = true;
}
void failed(void* data, zwlr_screencopy_frame_v1*) {
    stateOf(data).failed = true;
}
void damage(void*, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t,
            std::uint32_t) {}
void dmabuf(void*, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t) {}
void bufferDone(void*, zwlr_screencopy_frame_v1*) {}
constexpr zwlr_screencopy_frame_v1_listener kFrameListener{buffer, flags,  ready,     failed,
                                                           damage, dmabuf, bufferDone};

// The objects of one copy, released in reverse order of creation.
struct Copy {
    zwlr_screencopy_frame_v1* frame = nullptr;
    int memory = -1;
    void* pixels = MAP_FAILED;
    std::size_t size = 0;
    wl_shm_pool* pool = nullptr;
    wl_buffer* buffer = nullptr;

    Copy() = default;
    Copy(const Copy&) = delete;
    Copy& operator=(const Copy&) = delete;
    ~Copy() {
        if (buffer != nullptr) {
            wl_buffer_destroy(buffer);
        }
        if (pool != nullptr) {
            wl_shm_pool_destroy(pool);
        }
        if (pixels != MAP_FAILED) {
            ::munmap(pixels, size);
        }
        if (memory >= 0) {
            ::close(memory);
        }
        if (frame != nullptr) {
            zwlr_screencopy_frame_v1_destroy(frame);
        }
    }
};

// A frame buffer the output's own size in device pixels, in a format read here, whose rows
// the stride holds.
bool acceptable(const FrameState& state, const Output& output) {
    const bool turned = output.transform % 2 != 0;
    const auto width = static_cast<std::uint32_t>(turned ? output.modeHeight : output.modeWidth);
    const auto height = static_cast<std::uint32_t>(turned ? output.modeWidth : output.modeHeight);
    return state.described && output.transform == WL_OUTPUT_TRANSFORM_NORMAL &&
           state.width == width && state.height == height &&
           std::uint64_t{state.stride} >= std::uint64_t{state.width} * 4 &&
           std::uint64_t{state.stride} * state.height <= kMaxBufferBytes &&
           orderOf(state.format).has_value();
}

// Shared memory the compositor copies into, as a wl_buffer.
bool makeBuffer(wl_shm* shm, const FrameState& state, Copy& copy) {
    copy.size = std::size_t{state.stride} * state.height;
    copy.memory = ::memfd_create("frametake-capture", MFD_CLOEXEC);
    if (copy.memory < 0 || ::ftruncate(copy.memory, static_cast<off_t>(copy.size)) != 0) {
        return false;
    }
    copy.pixels = ::mmap(nullptr, copy.size, PROT_READ | PROT_WRITE, MAP_SHARED, copy.memory, 0);
    if (copy.pixels == MAP_FAILED) {
        return false;
    }
    copy.pool = wl_shm_create_pool(shm, copy.memory, static_cast<std::int32_t>(copy.size));
    copy.buffer = wl_shm_pool_create_buffer(copy.pool, 0, static_cast<std::int32_t>(state.width),
                                            static_cast<std::int32_t>(state.height),
                                            static_cast<std::int32_t>(state.stride), state.format);
    return copy.pool != nullptr && copy.buffer != nullptr;
}

Reached copyOutput(Session& session, zwlr_screencopy_manager_v1* manager, wl_shm* shm,
                   const OutputObjects& objects, const MonitorArea& area, const Rectangle& wanted,
                   std::uint8_t* rgb) {
    Copy copy;
    FrameState state;
    copy.frame = zwlr_screencopy_manager_v1_capture_output(manager, 0, objects.wl);
    zwlr_screencopy_frame_v1_add_listener(copy.frame, &kFrameListener, &state);
    if (const Reached described =
            session.dispatchUntil([&] { return state.described || state.failed; });
        described != Reached::done) {
        return described;
    }
    if (state.failed || !acceptable(state, objects.output) || !makeBuffer(shm, state, copy)) {
        return Reached::failed;
    }
    zwlr_screencopy_frame_v1_copy(copy.frame, copy.buffer);
    if (const Reached copied = session.dispatchUntil([&] { return state.ready || state.failed; });
        copied != Reached::done) {
        return copied;
    }
    if (state.failed) {
        return Reached::failed;
    }
    PictureView picture;
    picture.pixels = static_cast<const std::uint8_t*>(copy.pixels);
    picture.width = state.width;
    picture.height = state.height;
    picture.stride = state.stride;
    picture.order = *orderOf(state.format);
    picture.bottomUp = state.yInvert;
    placeInto(picture, area, wanted, rgb);
    return Reached::done;
}

// Copies every output `wanted` meets through wlr-screencopy.
Reached copyOutputs(Session& session, zwlr_screencopy_manager_v1* manager, wl_shm* shm,
                    const Output& origin, const Rectangle& wanted, std::uint8_t* rgb) {
    for (const auto& objects : session.outputs()) {
        if (!complete(objects->output)) {
            continue;
        }
        const MonitorArea area = monitorArea(objects->output, origin, DpiMode::perMonitorAware);
        if (!meets(area, wanted)) {
            continue;
        }
        if (const Reached copied = copyOutput(session, manager, shm, *objects, area, wanted, rgb);
            copied != Reached::done) {
            return copied;
        }
    }
    return Reached::done;
}

}  // namespace

Reached grabRectangle(std::chrono::milliseconds limit, std::int32_t x, std::int32_t y,
                      std::int32_t width, std::int32_t height, std::uint8_t* rgb) {
    const Clock::time_point deadline = Clock::now() + limit;
    Session session(deadline);
    if (const Reached described = session.describeOutputs(); described != Reached::done) {
        return described;
    }
    std::vector<Output> outputs;
    for (const auto& objects : session.outputs()) {
        if (complete(objects->output)) {
            outputs.push_back(objects->output);
        }
    }
    if (outputs.empty()) {
        return Reached::failed;
    }
    const Rectangle wanted{x, y, std::int64_t{x} + width, std::int64_t{y} + height};
    auto* manager = static_cast<zwlr_screencopy_manager_v1*>(
        session.bind(zwlr_screencopy_manager_v1_interface, kScreencopyVersion));
    auto* shm = static_cast<wl_shm*>(session.bind(wl_shm_interface, kShmVersion));
    if (manager != nullptr && shm != nullptr) {
        return copyOutputs(session, manager, shm, originOutput(outputs), wanted, rgb);
    }
    dbus::SessionBus bus(deadline);
    if (!bus.ok()) {
        return Reached::failed;
    }
    if (const Reached kwin = grabThroughKWin(bus, outputs, wanted, rgb); kwin != Reached::refused) {
        return kwin;
    }
    const Reached portal = grabThroughPortal(bus, outputs, wanted, rgb);
    return portal == Reached::refused ? Reached::failed : portal;
}

}  // namespace frametake::wayland
