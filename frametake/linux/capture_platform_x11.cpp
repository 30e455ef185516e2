// CapturePlatform over the X server's root window, and POSIX temporary files.
//
// The GDI-shaped steps map onto X like this: the screen context is a connection with the
// virtual desktop's origin; the memory context and the bitmap are plain objects of this file;
// the copy is one GetImage of the root window, kept as the server sent it; reading the pixels
// converts that image into the DIB rows. Coordinates are device pixels, as in the per-monitor
// records. Any part of the rectangle beyond the root window reads as black, as the screen copy
// does on Windows.
//
// The capture's file is created at once under its final name, "scr" + six random characters +
// ".png", with mkstemps (O_EXCL, mode 0600) in $TMPDIR, else /tmp: no other process can take or
// swap the name between choosing it and writing the PNG.

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <tuple>
#include <utility>

#include "../core/pixels.h"
#include "../core/platforms.h"
#include "randr_monitors.h"

namespace frametake {
namespace {

using x11kit::Reply;

struct ScreenSource {
    x11kit::Connection connection;
    x11::Point origin;
};

struct Picture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    // What the copy got: the part of the rectangle on the root window, as the server sent it.
    Reply<xcb_get_image_reply_t> image;
    x11::PixelLayout layout;
    std::uint32_t scanlinePad = 0;
    x11::Span columns;
    x11::Span rows;
    std::int64_t offsetX = 0;  // of that part within the rectangle
    std::int64_t offsetY = 0;
};

struct MemorySurface {
    Picture* selected = nullptr;
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

class X11CapturePlatform final : public CapturePlatform {
public:
    Context screenContext() override {
        auto source = std::unique_ptr<ScreenSource>(new (std::nothrow) ScreenSource());
        if (!source || !source->connection.ok()) {
            return nullptr;
        }
        const auto monitors = x11::listMonitors(source->connection);
        if (!monitors) {
            return nullptr;
        }
        source->origin = x11::desktopOrigin(*monitors);
        return source.release();
    }
    void releaseScreenContext(Context screen) override {
        delete static_cast<ScreenSource*>(screen);
    }
    Context createMemoryContext(Context) override { return new (std::nothrow) MemorySurface(); }
    void deleteContext(Context memory) override { delete static_cast<MemorySurface*>(memory); }
    Bitmap createBitmap(Context, std::int32_t width, std::int32_t height) override {
        auto* picture = new (std::nothrow) Picture();
        if (picture != nullptr) {
            picture->width = width;
            picture->height = height;
        }
        return picture;
    }
    void deleteBitmap(Bitmap bitmap) override { delete static_cast<Picture*>(bitmap); }
    Object select(Context memory, Object object) override {
        auto& surface = *static_cast<MemorySurface*>(memory);
        return std::exchange(surface.selected, static_cast<Picture*>(object));
    }

    bool copyFromScreen(Context memory, std::int32_t width, std::int32_t height, Context screen,
                        std::int32_t sourceX, std::int32_t sourceY) override {
        Picture* picture = static_cast<MemorySurface*>(memory)->selected;
        const auto& source = *static_cast<ScreenSource*>(screen);
        if (picture == nullptr || width > picture->width || height > picture->height) {
            return false;
        }
        const xcb_screen_t& root = source.connection.screen();
        const std::int64_t rootX = std::int64_t{sourceX} + source.origin.x;
        const std::int64_t rootY = std::int64_t{sourceY} + source.origin.y;
        picture->columns = x11::clip(rootX, width, root.width_in_pixels);
        picture->rows = x11::clip(rootY, height, root.height_in_pixels);
        picture->offsetX = picture->columns.first - rootX;
        picture->offsetY = picture->rows.first - rootY;
        picture->image.reset();
        if (picture->columns.count == 0 || picture->rows.count == 0) {
            return true;  // wholly off the screen: black
        }
        xcb_generic_error_t* error = nullptr;
        picture->image.reset(xcb_get_image_reply(
            source.connection.get(),
            xcb_get_image(source.connection.get(), XCB_IMAGE_FORMAT_Z_PIXMAP, root.root,
                          static_cast<std::int16_t>(picture->columns.first),
                          static_cast<std::int16_t>(picture->rows.first),
                          static_cast<std::uint16_t>(picture->columns.count),
                          static_cast<std::uint16_t>(picture->rows.count), ~0u),
            &error));
        const Reply<xcb_generic_error_t> failure(error);
        if (!picture->image) {
            return false;
        }
        const auto layout = layoutOf(source.connection, *picture->image);
        if (!layout) {
            return false;
        }
        std::tie(picture->layout, picture->scanlinePad) = *layout;
        return true;
    }

    std::int32_t readPixels(Context memory, Bitmap bitmap, std::int32_t width, std::int32_t height,
                            std::uint8_t* dib) override {
        const auto* picture = static_cast<const Picture*>(bitmap);
        if (static_cast<MemorySurface*>(memory)->selected != picture || width != picture->width ||
            height != picture->height) {
            return 0;
        }
        const auto stride = static_cast<std::size_t>(dibStride(width));
        std::memset(dib, 0, stride * static_cast<std::size_t>(height));
        if (!picture->image) {
            return height;
        }
        const xcb_get_image_reply_t& image = *picture->image;
        const x11::PixelLayout& pixels = picture->layout;
        const std::uint32_t pad = picture->scanlinePad;
        const auto columns = static_cast<std::size_t>(picture->columns.count);
        const auto rows = static_cast<std::size_t>(picture->rows.count);
        const std::size_t rowBits = columns * pixels.bitsPerPixel;
        const std::size_t sourceStride = (rowBits + pad - 1) / pad * pad / 8;
        if (std::uint64_t{image.length} * 4 < std::uint64_t{sourceStride} * rows) {
            return 0;
        }
        const std::uint8_t* data = xcb_get_image_data(&image);
        for (std::size_t row = 0; row < rows; ++row) {
            std::uint8_t* out = dib + stride * (static_cast<std::size_t>(picture->offsetY) + row) +
                                3 * static_cast<std::size_t>(picture->offsetX);
            x11::convertPixels(pixels, data + sourceStride * row, columns, out);
        }
        return height;
    }

    std::uint32_t temporaryDirectory(char* buffer, std::uint32_t size) override {
        const char* variable = std::getenv("TMPDIR");
        std::string directory = variable != nullptr && variable[0] == '/' ? variable : "/tmp";
        if (directory.back() != '/') {
            directory += '/';
        }
        const auto length = static_cast<std::uint32_t>(directory.size());
        if (length + 1 > size) {
            return length + 1;
        }
        std::memcpy(buffer, directory.c_str(), length + 1);
        return length;
    }
    // mkstemps creates the file new (O_EXCL), mode 0600; it is written through that
    // descriptor, never reopened by name.
    File createCaptureFile(const char* directory, const char* prefix, char* name) override {
        std::string path =
            std::string(directory) + std::string(prefix, strnlen(prefix, 3)) + "XXXXXX.png";
        if (path.size() + 1 > kMaxPath) {
            return nullptr;
        }
        const int descriptor = ::mkstemps(path.data(), 4);
        if (descriptor < 0) {
            return nullptr;
        }
        std::memcpy(name, path.c_str(), path.size() + 1);
        return fileOf(descriptor);
    }
    bool writeAndCloseCaptureFile(File file, const std::uint8_t* bytes, std::size_t size) override {
        const int descriptor = descriptorOf(file);
        bool written = true;
        while (written && size > 0) {
            const ssize_t done = ::write(descriptor, bytes, size);
            if (done < 0 && errno == EINTR) {
                continue;
            }
            written = done > 0;
            if (written) {
                bytes += done;
                size -= static_cast<std::size_t>(done);
            }
        }
        const bool closed = ::close(descriptor) == 0;
        return written && closed;
    }
    void removeCaptureFile(const char* name) override { ::unlink(name); }

private:
    // A descriptor carried in the opaque file handle, offset by one so that null stays failure.
    static File fileOf(int descriptor) {
        return reinterpret_cast<File>(static_cast<std::intptr_t>(descriptor) + 1);
    }
    static int descriptorOf(File file) {
        return static_cast<int>(reinterpret_cast<std::intptr_t>(file) - 1);
    }
};

}  // namespace

CapturePlatform& systemCapturePlatform() {
    static X11CapturePlatform platform;
    return platform;
}

}  // namespace frametake
