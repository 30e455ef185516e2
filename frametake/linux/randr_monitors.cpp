#include "randr_monitors.h"

#include <xcb/randr.h>

#include <string_view>

namespace frametake::x11 {
namespace {

using x11kit::Reply;

bool hasMonitors(const x11kit::Connection& connection) {
    const xcb_query_extension_reply_t* extension =
        xcb_get_extension_data(connection.get(), &xcb_randr_id);
    if (extension == nullptr || extension->present == 0) {
        return false;
    }
    xcb_generic_error_t* error = nullptr;
    const Reply<xcb_randr_query_version_reply_t> version(xcb_randr_query_version_reply(
        connection.get(), xcb_randr_query_version(connection.get(), 1, 5), &error));
    const Reply<xcb_generic_error_t> failure(error);
    return version && (version->major_version > 1 ||
                       (version->major_version == 1 && version->minor_version >= 5));
}

}  // namespace

std::optional<std::vector<RootMonitor>> listMonitors(const x11kit::Connection& connection) {
    std::vector<RootMonitor> monitors;
    if (!hasMonitors(connection)) {
        const xcb_screen_t& screen = connection.screen();
        monitors.push_back(
            {screen.root, 0, 0, screen.width_in_pixels, screen.height_in_pixels, true});
        return monitors;
    }
    xcb_generic_error_t* error = nullptr;
    const Reply<xcb_randr_get_monitors_reply_t> reply(xcb_randr_get_monitors_reply(
        connection.get(), xcb_randr_get_monitors(connection.get(), connection.root(), 1), &error));
    const Reply<xcb_generic_error_t> failure(error);
    if (!reply) {
        return std::nullopt;
    }
    for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem > 0;
         xcb_randr_monitor_info_next(&it)) {
        const xcb_randr_monitor_info_t& info = *it.data;
        monitors.push_back({info.name, info.x, info.y, info.width, info.height, info.primary != 0});
    }
    return monitors;
}

double serverDpi(const x11kit::Connection& connection) {
    const auto resources =
        x11kit::readProperty(connection, connection.root(), XCB_ATOM_RESOURCE_MANAGER);
    if (!resources || resources->format != 8) {
        return kLogicalDpi;
    }
    return xftDpi(std::string_view(reinterpret_cast<const char*>(resources->bytes.data()),
                                   resources->bytes.size()));
}

}  // namespace frametake::x11
