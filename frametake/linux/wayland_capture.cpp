// A rectangle of a Wayland desktop from the compositor's wlr-screencopy (wayland_capture.h).
// Each output the rectangle meets is copied whole, in device pixels, into a shared-memory
// buffer of the call's own; its part of the rectangle is converted into the RGB rows.

#include "wayland_capture.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "wlr-screencopy-unstable-v1-client-protocol.h"

namespace frametake::wayland {
namespace {

constexpr std::uint32_t kScreencopyVersion = 1;
constexpr std::uint32_t kShmVersion = 1;
constexpr std::uint64_t kMaxBufferBytes = std::uint64_t{1} << 30;

// 32-bit formats, little-endian in memory: where red, green and blue lie in each pixel.
struct ByteOrder {
    std::size_t red, green, blue;
};
std::optional<ByteOrder> byteOrderOf(std::uint32_t format) {
    switch (format) {
        case WL_SHM_FORMAT_ARGB8888:
        case WL_SHM_FORMAT_XRGB8888:
            return ByteOrder{2, 1, 0};
        case WL_SHM_FORMAT_ABGR8888:
        case WL_SHM_FORMAT_XBGR8888:
            return ByteOrder{0, 1, 2};
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
           byteOrderOf(state.format).has_value();
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

struct Rectangle {
    std::int64_t left, top, right, bottom;
};

// The part of `wanted` on the output at `area` (desktop device pixels), converted from the
// copy's pixels into `rgb`, whose rows are `wanted`'s width.
void placeInto(const Copy& copy, const FrameState& state, const MonitorArea& area,
               const Rectangle& wanted, std::uint8_t* rgb) {
    const ByteOrder order = *byteOrderOf(state.format);
    const std::int64_t left = std::max<std::int64_t>(wanted.left, area.left);
    const std::int64_t right = std::min<std::int64_t>(wanted.right, area.right);
    const std::int64_t top = std::max<std::int64_t>(wanted.top, area.top);
    const std::int64_t bottom = std::min<std::int64_t>(wanted.bottom, area.bottom);
    const auto* pixels = static_cast<const std::uint8_t*>(copy.pixels);
    const auto width = static_cast<std::size_t>(wanted.right - wanted.left);
    for (std::int64_t y = top; y < bottom; ++y) {
        std::int64_t row = y - area.top;
        row = state.yInvert ? state.height - 1 - row : row;
        const std::uint8_t* source = pixels + static_cast<std::size_t>(row) * state.stride;
        std::uint8_t* target = rgb + static_cast<std::size_t>(y - wanted.top) * width * 3;
        for (std::int64_t x = left; x < right; ++x) {
            const std::uint8_t* pixel = source + static_cast<std::size_t>(x - area.left) * 4;
            std::uint8_t* out = target + static_cast<std::size_t>(x - wanted.left) * 3;
            out[0] = pixel[order.red];
            out[1] = pixel[order.green];
            out[2] = pixel[order.blue];
        }
    }
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
    placeInto(copy, state, area, wanted, rgb);
    return Reached::done;
}

}  // namespace

Reached grabRectangle(std::chrono::milliseconds limit, std::int32_t x, std::int32_t y,
                      std::int32_t width, std::int32_t height, std::uint8_t* rgb) {
    Session session(Clock::now() + limit);
    if (const Reached described = session.describeOutputs(); described != Reached::done) {
        return described;
    }
    auto* manager = static_cast<zwlr_screencopy_manager_v1*>(
        session.bind(zwlr_screencopy_manager_v1_interface, kScreencopyVersion));
    auto* shm = static_cast<wl_shm*>(session.bind(wl_shm_interface, kShmVersion));
    std::vector<Output> outputs;
    for (const auto& objects : session.outputs()) {
        if (complete(objects->output)) {
            outputs.push_back(objects->output);
        }
    }
    if (manager == nullptr || shm == nullptr || outputs.empty()) {
        return Reached::failed;
    }
    const Output& origin = originOutput(outputs);
    const Rectangle wanted{x, y, std::int64_t{x} + width, std::int64_t{y} + height};
    for (const auto& objects : session.outputs()) {
        if (!complete(objects->output)) {
            continue;
        }
        const MonitorArea area = monitorArea(objects->output, origin, DpiMode::perMonitorAware);
        if (area.right <= wanted.left || area.left >= wanted.right || area.bottom <= wanted.top ||
            area.top >= wanted.bottom) {
            continue;
        }
        if (const Reached copied = copyOutput(session, manager, shm, *objects, area, wanted, rgb);
            copied != Reached::done) {
            return copied;
        }
    }
    return Reached::done;
}

}  // namespace frametake::wayland
