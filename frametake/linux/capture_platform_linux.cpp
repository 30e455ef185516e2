// The capture of a Linux desktop: a wlroots compositor's screencopy on a Wayland session
// (wayland_capture.h; the session as desktop_session.h chooses it), else the X server's root
// window; and POSIX temporary files.
//
// A grab reads the part of the rectangle that lies on the root window with GetImage, in bands of
// rows all asked for at once, and converts each band as it arrives into its place in the RGB
// rows the encoder takes (one buffer). Coordinates are
// device pixels, as in the per-monitor records, relative to the virtual desktop's origin (the
// primary monitor's corner). Any part of the rectangle beyond the root window reads as black,
// as the screen copy does on Windows.
//
// The capture's file is created at once under its final name, "scr" + six random characters +
// ".png", with mkstemps (O_EXCL, mode 0600) in $TMPDIR, else /tmp: no other process can take or
// swap the name between choosing it and writing the PNG.

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include <sessionkit/desktop_session.h>
#include "../core/platforms.h"
#include "../png/png_bytes.h"
#include "png_libdeflate.h"
#include "randr_monitors.h"
#include "wayland_capture.h"

namespace frametake {
using sessionkit::Backend;
using sessionkit::chosenBackend;

namespace {

using x11kit::Reply;

using Buffer = std::unique_ptr<std::uint8_t[]>;

class RgbGrab final : public Grab {
public:
    explicit RgbGrab(Buffer rgb) : rgb_(std::move(rgb)) {}
    [[nodiscard]] const std::uint8_t* rgb() const override { return rgb_.get(); }

private:
    Buffer rgb_;
};

// The part of a grab that lies on the root window.
struct RootPart {
    x11::Span columns;
    x11::Span rows;
    std::int64_t offsetX = 0;  // of that part within the rectangle
    std::int64_t offsetY = 0;
};

// The layout of `image` from the connection's setup: its depth's pixmap format and its
// visual's colour masks.
std::optional<std::pair<x11::PixelLayout, std::uint32_t>> layoutOf(
    const x11kit::Connection& connection, const xcb_get_image_reply_t& image) {
    const xcb_setup_t* setup = xcb_get_setup(connection.get());
    x11::PixelLayout layout;
    std::uint32_t scanlinePad = 0;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it)) {
        if (it.data->depth == image.depth) {
            layout.bitsPerPixel = it.data->bits_per_pixel;
            scanlinePad = it.data->scanline_pad;
        }
    }
    layout.mostSignificantFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    bool found = false;
    for (auto depths = xcb_screen_allowed_depths_iterator(&connection.screen());
         depths.rem > 0 && !found; xcb_depth_next(&depths)) {
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem > 0;
             xcb_visualtype_next(&visuals)) {
            if (visuals.data->visual_id == image.visual) {
                layout.redMask = visuals.data->red_mask;
                layout.greenMask = visuals.data->green_mask;
                layout.blueMask = visuals.data->blue_mask;
                found = visuals.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR ||
                        visuals.data->_class == XCB_VISUAL_CLASS_DIRECT_COLOR;
                break;
            }
        }
    }
    if (!found || scanlinePad == 0 || !x11::supported(layout)) {
        return std::nullopt;
    }
    return std::pair{layout, scanlinePad};
}

// Converts the image of `part` into its place in `rgb` (width pixels a row); false when the
// image is not one this file reads or is shorter than its rows.
bool convertImageToRgb(const x11kit::Connection& connection, const xcb_get_image_reply_t& image,
                       const RootPart& part, std::int32_t width, std::uint8_t* rgb) {
    const auto layout = layoutOf(connection, image);
    if (!layout) {
        return false;
    }
    const auto& [pixels, pad] = *layout;
    const auto columns = static_cast<std::size_t>(part.columns.count);
    const auto rows = static_cast<std::size_t>(part.rows.count);
    const std::size_t sourceStride = (columns * pixels.bitsPerPixel + pad - 1) / pad * pad / 8;
    if (std::uint64_t{image.length} * 4 < std::uint64_t{sourceStride} * rows) {
        return false;
    }
    const std::uint8_t* data = xcb_get_image_data(&image);
    const std::size_t stride = 3 * static_cast<std::size_t>(width);
    for (std::size_t row = 0; row < rows; ++row) {
        std::uint8_t* out = rgb + stride * (static_cast<std::size_t>(part.offsetY) + row) +
                            3 * static_cast<std::size_t>(part.offsetX);
        x11::convertPixels(pixels, data + sourceStride * row, columns, out);
    }
    return true;
}

// GetImage of `part` in bands of rows, all asked for at once: the server reads out the next
// band while this one is converted. False when a band fails.
bool readBandsToRgb(const x11kit::Connection& connection, const RootPart& part, std::int32_t width,
                    std::uint8_t* rgb) {
    constexpr std::int64_t kBandRows = 64;
    std::vector<xcb_get_image_cookie_t> cookies;
    for (std::int64_t first = 0; first < part.rows.count; first += kBandRows) {
        cookies.push_back(xcb_get_image(
            connection.get(), XCB_IMAGE_FORMAT_Z_PIXMAP, connection.root(),
            static_cast<std::int16_t>(part.columns.first),
            static_cast<std::int16_t>(part.rows.first + first),
            static_cast<std::uint16_t>(part.columns.count),
            static_cast<std::uint16_t>(std::min(kBandRows, part.rows.count - first)), ~0u));
    }
    bool converted = true;
    for (std::size_t band = 0; band < cookies.size(); ++band) {
        xcb_generic_error_t* error = nullptr;
        const Reply<xcb_get_image_reply_t> image(
            xcb_get_image_reply(connection.get(), cookies[band], &error));
        const Reply<xcb_generic_error_t> failure(error);
        const std::int64_t first = static_cast<std::int64_t>(band) * kBandRows;
        RootPart rows = part;
        rows.rows = {part.rows.first + first, std::min(kBandRows, part.rows.count - first)};
        rows.offsetY = part.offsetY + first;
        // Every reply is collected, even after a failure: none is left in the connection.
        converted = converted && image && convertImageToRgb(connection, *image, rows, width, rgb);
    }
    return converted;
}

// The rectangle (x, y, width, height) of the virtual desktop as RGB rows: GetImage of the part
// on the root window, black around it.
Buffer grabRectangle(const x11kit::Connection& connection, x11::Point origin, std::int32_t x,
                     std::int32_t y, std::int32_t width, std::int32_t height) {
    const xcb_screen_t& root = connection.screen();
    const std::int64_t rootX = std::int64_t{x} + origin.x;
    const std::int64_t rootY = std::int64_t{y} + origin.y;
    RootPart part;
    part.columns = x11::clip(rootX, width, root.width_in_pixels);
    part.rows = x11::clip(rootY, height, root.height_in_pixels);
    part.offsetX = part.columns.first - rootX;
    part.offsetY = part.rows.first - rootY;
    const std::size_t size = 3 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    Buffer rgb(new (std::nothrow) std::uint8_t[size]);
    if (!rgb) {
        return nullptr;
    }
    if (part.columns.count < width || part.rows.count < height) {
        std::memset(rgb.get(), 0, size);  // beyond the root window: black
    }
    if (part.columns.count == 0 || part.rows.count == 0) {
        return rgb;
    }
    if (!readBandsToRgb(connection, part, width, rgb.get())) {
        return nullptr;
    }
    return rgb;
}

// The most a capture waits on the X server, connecting included: a stalled server fails the
// capture after this long instead of holding the caller.
constexpr std::chrono::milliseconds kCaptureLimit{10000};

class X11CapturePlatform final : public CapturePlatform {
public:
    std::unique_ptr<Grab> grab(std::int32_t x, std::int32_t y, std::int32_t width,
                               std::int32_t height) override {
        const Backend backend = chosenBackend();
        if (backend != Backend::x11) {
            const std::size_t bytes =
                std::size_t{3} * static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
            Buffer rgb(new (std::nothrow) std::uint8_t[bytes]());
            if (!rgb) {
                return nullptr;
            }
            const wayland::Reached grabbed =
                wayland::grabRectangle(kCaptureLimit, x, y, width, height, rgb.get());
            if (grabbed == wayland::Reached::done) {
                return std::unique_ptr<Grab>(new (std::nothrow) RgbGrab(std::move(rgb)));
            }
            if (grabbed != wayland::Reached::notConnected || backend == Backend::wayland) {
                return nullptr;
            }
        }
        const x11kit::Connection connection(kCaptureLimit);
        if (!connection.ok()) {
            return nullptr;
        }
        const auto monitors = x11::listMonitors(connection);
        if (!monitors) {
            return nullptr;
        }
        Buffer rgb = grabRectangle(connection, x11::desktopOrigin(*monitors), x, y, width, height);
        if (!rgb) {
            return nullptr;
        }
        return std::unique_ptr<Grab>(new (std::nothrow) RgbGrab(std::move(rgb)));
    }

    // The PNG is encoded first (LodePNG's choices, libdeflate's compression), so that a failed
    // encoding makes no file. mkstemps creates the file new (O_EXCL), mode 0600; it is written
    // through that descriptor, never reopened by name, and unlinked when the write fails.
    bool saveCapture(const std::uint8_t* rgb, std::int32_t width, std::int32_t height,
                     char* path) override {
        PngBytes png;
        if (encodePngBytes(rgb, width, height, png, &libdeflateZlib) != 0) {
            return false;
        }
        std::string name = temporaryDirectory() + "scrXXXXXX.png";
        if (name.size() + 1 > kCapturePathRoom) {
            return false;
        }
        const int descriptor = ::mkstemps(name.data(), 4);
        if (descriptor < 0) {
            return false;
        }
        const bool written = writeAll(descriptor, png.data.get(), png.size);
        if (::close(descriptor) != 0 || !written) {
            ::unlink(name.c_str());
            return false;
        }
        std::memcpy(path, name.c_str(), name.size() + 1);
        return true;
    }
    void removeCapture(const char* path) override { ::unlink(path); }

private:
    // $TMPDIR when it is an absolute path, else /tmp; ending in '/'.
    static std::string temporaryDirectory() {
        const char* variable = std::getenv("TMPDIR");
        std::string directory = variable != nullptr && variable[0] == '/' ? variable : "/tmp";
        if (directory.back() != '/') {
            directory += '/';
        }
        return directory;
    }
    static bool writeAll(int descriptor, const std::uint8_t* bytes, std::size_t size) {
        while (size > 0) {
            const ssize_t done = ::write(descriptor, bytes, size);
            if (done < 0 && errno == EINTR) {
                continue;
            }
            if (done <= 0) {
                return false;
            }
            bytes += done;
            size -= static_cast<std::size_t>(done);
        }
        return true;
    }
};

}  // namespace

CapturePlatform& systemCapturePlatform() {
    static X11CapturePlatform platform;
    return platform;
}

}  // namespace frametake
