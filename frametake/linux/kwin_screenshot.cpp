// KWin's ScreenShot2 (kwin_screenshot.h). CaptureArea takes the output's rectangle in KWin's
// logical coordinates and, asked for its native resolution, writes the output's pixels into
// the pipe the call passes, after replying with their layout.

#include "kwin_screenshot.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <new>
#include <string_view>

namespace frametake::wayland {
namespace {

using dbus::Message;
using Descriptor = ownkit::Owned<int, &::close, -1>;

constexpr std::uint64_t kMaxPictureBytes = std::uint64_t{1} << 30;

// QImage's formats KWin hands out that hold 8-bit red, green and blue.
std::optional<PixelOrder> orderOfQtFormat(std::uint64_t format) {
    switch (format) {
        case 4:  // RGB32
        case 5:  // ARGB32
        case 6:  // ARGB32_Premultiplied
            return kBgrx;
        case 16:  // RGBX8888
        case 17:  // RGBA8888
        case 18:  // RGBA8888_Premultiplied
            return kRgbx;
        case 13:  // RGB888
            return kRgb;
        default:
            return std::nullopt;
    }
}

struct Layout {
    std::string type;
    std::uint64_t width = 0, height = 0, stride = 0, format = 0;
};

// Whether `layout` is the raw picture of a `width` x `height` output in a format read here.
bool acceptable(const Layout& layout, std::int64_t width, std::int64_t height) {
    const auto order = orderOfQtFormat(layout.format);
    return layout.type == "raw" && order && layout.width == static_cast<std::uint64_t>(width) &&
           layout.height == static_cast<std::uint64_t>(height) &&
           layout.stride >= layout.width * order->bytesPerPixel &&
           layout.stride * layout.height <= kMaxPictureBytes;
}

Reached reachedOnError(std::string_view error) {
    if (error == "org.freedesktop.DBus.Error.NoReply") {
        return Reached::unanswered;
    }
    const bool notServed = error == "org.kde.KWin.ScreenShot2.Error.NoAuthorized" ||
                           error == "org.freedesktop.DBus.Error.ServiceUnknown" ||
                           error == "org.freedesktop.DBus.Error.UnknownObject" ||
                           error == "org.freedesktop.DBus.Error.UnknownInterface" ||
                           error == "org.freedesktop.DBus.Error.UnknownMethod";
    return notServed ? Reached::refused : Reached::failed;
}

// Asks for the output's logical rectangle at native resolution, the picture to go into `sink`.
Message askForArea(const Output& output, int sink) {
    Message ask(dbus_message_new_method_call("org.kde.KWin", "/org/kde/KWin/ScreenShot2",
                                             "org.kde.KWin.ScreenShot2", "CaptureArea"));
    if (!ask) {
        return {};
    }
    const auto width = static_cast<dbus_uint32_t>(output.logicalWidth);
    const auto height = static_cast<dbus_uint32_t>(output.logicalHeight);
    DBusMessageIter arguments;
    DBusMessageIter options;
    const dbus_bool_t yes = TRUE;
    const dbus_bool_t no = FALSE;
    dbus_message_iter_init_append(ask.get(), &arguments);
    dbus_message_iter_append_basic(&arguments, DBUS_TYPE_INT32, &output.logicalX);
    dbus_message_iter_append_basic(&arguments, DBUS_TYPE_INT32, &output.logicalY);
    dbus_message_iter_append_basic(&arguments, DBUS_TYPE_UINT32, &width);
    dbus_message_iter_append_basic(&arguments, DBUS_TYPE_UINT32, &height);
    dbus_message_iter_open_container(&arguments, DBUS_TYPE_ARRAY, "{sv}", &options);
    dbus::appendEntry(options, "native-resolution", DBUS_TYPE_BOOLEAN, &yes);
    dbus::appendEntry(options, "include-cursor", DBUS_TYPE_BOOLEAN, &no);
    dbus_message_iter_close_container(&arguments, &options);
    if (!dbus_message_iter_append_basic(&arguments, DBUS_TYPE_UNIX_FD, &sink)) {
        return {};
    }
    return ask;
}

std::optional<Layout> layoutOf(DBusMessage* reply) {
    DBusMessageIter arguments;
    Layout layout;
    if (!dbus_message_iter_init(reply, &arguments) ||
        !dbus::readDictionary(arguments, [&](const std::string& key, const dbus::Variant& value) {
            if (key == "type") {
                layout.type = value.text;
            } else if (key == "width" || key == "height" || key == "stride" || key == "format") {
                (key == "width"    ? layout.width
                 : key == "height" ? layout.height
                 : key == "stride" ? layout.stride
                                   : layout.format) = value.number;
            }
        })) {
        return std::nullopt;
    }
    return layout;
}

// Reads exactly `size` bytes from `source` before the deadline, and then its end.
bool readAll(int source, std::uint8_t* bytes, std::size_t size, dbus::Clock::time_point deadline) {
    std::size_t done = 0;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - dbus::Clock::now())
                .count();
        pollfd ready{source, POLLIN, 0};
        const int polled = left > 0 ? ::poll(&ready, 1, static_cast<int>(left)) : 0;
        if (polled < 0 && errno == EINTR) {
            continue;
        }
        if (polled <= 0) {
            return false;
        }
        std::uint8_t spare = 0;
        const bool full = done == size;
        const ssize_t got = ::read(source, full ? &spare : bytes + done, full ? 1 : size - done);
        if (got == 0) {
            return full;
        }
        if (got < 0 && errno != EINTR && errno != EAGAIN) {
            return false;
        }
        if (got > 0 && full) {
            return false;  // more than the layout said
        }
        done += got > 0 ? static_cast<std::size_t>(got) : 0;
    }
}

Reached copyOutput(dbus::SessionBus& bus, const Output& output, const MonitorArea& area,
                   const Rectangle& wanted, std::uint8_t* rgb) {
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return Reached::failed;
    }
    const Descriptor source(ends[0]);
    Descriptor sink(ends[1]);
    std::string error;
    Message reply;
    {
        const Message ask = askForArea(output, sink.get());
        sink.reset();  // the message holds its own copy, gone with it
        if (!ask) {
            return Reached::failed;
        }
        reply = bus.call(ask.get(), &error);
    }
    if (!reply) {
        return reachedOnError(error);
    }
    const auto layout = layoutOf(reply.get());
    if (!layout || !acceptable(*layout, std::int64_t{area.right} - area.left,
                               std::int64_t{area.bottom} - area.top)) {
        return Reached::failed;
    }
    const std::size_t size = layout->stride * layout->height;
    const std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[size]);
    if (!pixels || !readAll(source.get(), pixels.get(), size, bus.deadline())) {
        return dbus::Clock::now() >= bus.deadline() ? Reached::unanswered : Reached::failed;
    }
    PictureView picture;
    picture.pixels = pixels.get();
    picture.width = layout->width;
    picture.height = layout->height;
    picture.stride = layout->stride;
    picture.order = *orderOfQtFormat(layout->format);
    placeInto(picture, area, wanted, rgb);
    return Reached::done;
}

}  // namespace

Reached grabThroughKWin(dbus::SessionBus& bus, const std::vector<Output>& outputs,
                        const Rectangle& wanted, std::uint8_t* rgb) {
    if (!bus.passesDescriptors() || !bus.hasOwner("org.kde.KWin")) {
        return Reached::refused;
    }
    const Output& origin = originOutput(outputs);
    for (const Output& output : outputs) {
        const MonitorArea area = monitorArea(output, origin, DpiMode::perMonitorAware);
        if (!meets(area, wanted)) {
            continue;
        }
        if (const Reached copied = copyOutput(bus, output, area, wanted, rgb);
            copied != Reached::done) {
            return copied;
        }
    }
    return Reached::done;
}

}  // namespace frametake::wayland
