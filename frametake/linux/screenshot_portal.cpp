// The Screenshot portal (screenshot_portal.h). The request's object path is known before the
// call (the portal derives it from the caller's bus name and a token of the call's own), so
// the answer is listened for before it is asked: it cannot come unheard. The portal is started
// by the bus when it is installed but not yet running.

#include "screenshot_portal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <random>

#include "portal_file.h"

namespace frametake::wayland {
namespace {

using dbus::Message;
using Descriptor = ownkit::Owned<int, &::close, -1>;

constexpr const char* kPortal = "org.freedesktop.portal.Desktop";
constexpr const char* kRequest = "org.freedesktop.portal.Request";
constexpr off_t kMaxFileBytes = off_t{1} << 29;

std::string requestToken() {
    std::random_device random;
    constexpr char kDigits[] = "0123456789abcdef";
    std::string token = "frametake_";
    for (int i = 0; i < 16; ++i) {
        token += kDigits[random() % 16];
    }
    return token;
}

// The path the portal gives the request: its caller's bus name without ':' and with '_' for
// '.', then the token.
std::string requestPath(const std::string& uniqueName, const std::string& token) {
    std::string sender = uniqueName.substr(uniqueName.starts_with(':') ? 1 : 0);
    std::replace(sender.begin(), sender.end(), '.', '_');
    return "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
}

Message askForScreenshot(const std::string& token) {
    Message ask(dbus_message_new_method_call(kPortal, "/org/freedesktop/portal/desktop",
                                             "org.freedesktop.portal.Screenshot", "Screenshot"));
    if (!ask) {
        return {};
    }
    const char* parent = "";
    const char* handleToken = token.c_str();
    const dbus_bool_t no = FALSE;
    DBusMessageIter arguments;
    DBusMessageIter options;
    dbus_message_iter_init_append(ask.get(), &arguments);
    dbus_message_iter_append_basic(&arguments, DBUS_TYPE_STRING, &parent);
    dbus_message_iter_open_container(&arguments, DBUS_TYPE_ARRAY, "{sv}", &options);
    dbus::appendEntry(options, "handle_token", DBUS_TYPE_STRING, &handleToken);
    dbus::appendEntry(options, "modal", DBUS_TYPE_BOOLEAN, &no);
    dbus::appendEntry(options, "interactive", DBUS_TYPE_BOOLEAN, &no);
    if (!dbus_message_iter_close_container(&arguments, &options)) {
        return {};
    }
    return ask;
}

std::string matchRule(const std::string& path) {
    return "type='signal',sender='" + std::string(kPortal) + "',interface='" + kRequest +
           "',member='Response',path='" + path + "'";
}

// Withdraws a request whose answer is no longer waited for.
void closeRequest(dbus::SessionBus& bus, const std::string& path) {
    const Message close(dbus_message_new_method_call(kPortal, path.c_str(), kRequest, "Close"));
    if (close) {
        dbus_message_set_no_reply(close.get(), TRUE);
        bus.send(close.get());
    }
}

// The answer's URI when the request was granted (response 0), else "".
std::string grantedUri(DBusMessage* response) {
    DBusMessageIter arguments;
    dbus_uint32_t code = 1;
    if (!dbus_message_iter_init(response, &arguments) ||
        dbus_message_iter_get_arg_type(&arguments) != DBUS_TYPE_UINT32) {
        return {};
    }
    dbus_message_iter_get_basic(&arguments, &code);
    std::string uri;
    if (code != 0 || !dbus_message_iter_next(&arguments)) {
        return {};
    }
    (void)dbus::readDictionary(arguments, [&](const std::string& key, const dbus::Variant& value) {
        if (key == "uri" && value.type == DBUS_TYPE_STRING) {
            uri = value.text;
        }
    });
    return uri;
}

// The outputs' device rectangles together.
MonitorArea desktopExtent(const std::vector<Output>& outputs) {
    const Output& origin = originOutput(outputs);
    MonitorArea extent = monitorArea(outputs.front(), origin, DpiMode::perMonitorAware);
    for (const Output& output : outputs) {
        const MonitorArea area = monitorArea(output, origin, DpiMode::perMonitorAware);
        extent.left = std::min(extent.left, area.left);
        extent.top = std::min(extent.top, area.top);
        extent.right = std::max(extent.right, area.right);
        extent.bottom = std::max(extent.bottom, area.bottom);
    }
    return extent;
}

// Reads the portal's file when it was made for this call (a plain file of this user's, with
// one link, written since `since`), and deletes it; empty otherwise, the file left alone.
std::vector<std::uint8_t> takeFile(const std::string& path, const timespec& since) {
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    struct stat status {};
    if (!file || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_uid != ::geteuid() || status.st_nlink != 1 ||
        status.st_mtim.tv_sec < since.tv_sec) {
        return {};
    }
    struct stat named {};
    if (::lstat(path.c_str(), &named) == 0 && named.st_dev == status.st_dev &&
        named.st_ino == status.st_ino) {
        ::unlink(path.c_str());
    }
    std::vector<std::uint8_t> bytes;
    if (status.st_size <= 0 || status.st_size > kMaxFileBytes) {
        return {};
    }
    bytes.resize(static_cast<std::size_t>(status.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(file.get(), bytes.data() + done, bytes.size() - done);
        if (got <= 0) {
            return {};
        }
        done += static_cast<std::size_t>(got);
    }
    return bytes;
}

}  // namespace

Reached grabThroughPortal(dbus::SessionBus& bus, const std::vector<Output>& outputs,
                          const Rectangle& wanted, std::uint8_t* rgb) {
    const std::string token = requestToken();
    std::string path = requestPath(bus.uniqueName(), token);
    timespec since{};
    ::clock_gettime(CLOCK_REALTIME, &since);
    const Message ask = askForScreenshot(token);
    if (!ask || !bus.listen(matchRule(path))) {
        return Reached::failed;
    }
    std::string error;
    const Message handle = bus.call(ask.get(), &error);
    const char* given = nullptr;
    if (!handle || !dbus_message_get_args(handle.get(), nullptr, DBUS_TYPE_OBJECT_PATH, &given,
                                          DBUS_TYPE_INVALID)) {
        return error == "org.freedesktop.DBus.Error.NoReply"          ? Reached::unanswered
               : error == "org.freedesktop.DBus.Error.ServiceUnknown" ? Reached::refused
                                                                      : Reached::failed;
    }
    if (path != given) {  // a portal older than handle tokens
        path = given;
        (void)bus.listen(matchRule(path));
    }
    const Message response = bus.waitForSignal(kRequest, "Response", path);
    if (!response) {
        closeRequest(bus, path);
        return Reached::unanswered;
    }
    const auto file = localPathOfUri(grantedUri(response.get()));
    if (!file) {
        return Reached::failed;
    }
    const std::vector<std::uint8_t> png = takeFile(*file, since);
    return !png.empty() && cutFromPng(png.data(), png.size(), desktopExtent(outputs), wanted, rgb)
               ? Reached::done
               : Reached::failed;
}

}  // namespace frametake::wayland
