#include "hostkit/x11/desktop.h"

#include <algorithm>
#include <stdexcept>
#include <thread>

namespace hostkit::x11 {

using x11kit::Reply;

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

namespace {

// A desktop that cannot do what it is asked ends the caller's run: a test fails with the text.
void require(bool condition, const char* what) {
    if (!condition) {
        throw std::runtime_error(what);
    }
}

}  // namespace

Desktop::Desktop() {
    require(connection_.ok(), "no X display: run through the x11 bench");
}

Desktop::~Desktop() {
    if (!connection_.ok()) {
        return;
    }
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
        xcb_destroy_window(connection_.get(), *it);
    }
    (void)connection_.sync();
}

void Desktop::showPicture(const Rectangle& area, const Pattern& pattern) {
    require(connection_.ok(), "no X display");
    xcb_connection_t* c = connection_.get();
    const xcb_screen_t& screen = connection_.screen();
    require(screen.root_depth == 24, "the bench's screen is not 24 bits deep");
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, 24, pixmap, screen.root, static_cast<std::uint16_t>(area.width),
                      static_cast<std::uint16_t>(area.height));
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, pixmap, 0, nullptr);
    // Depth 24 travels as 32 bits a pixel, in the byte order the server asked for.
    const bool msbFirst = xcb_get_setup(c)->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    constexpr std::int32_t kRowsAPut = 32;
    for (std::int32_t top = 0; top < area.height; top += kRowsAPut) {
        const std::int32_t rows = std::min(kRowsAPut, area.height - top);
        std::vector<std::uint8_t> data(static_cast<std::size_t>(area.width * rows) * 4);
        for (std::int32_t y = 0; y < rows; ++y) {
            for (std::int32_t x = 0; x < area.width; ++x) {
                const std::uint32_t rgb = pattern(x, top + y) & 0xFFFFFF;
                std::uint8_t* p = &data[static_cast<std::size_t>(y * area.width + x) * 4];
                for (int b = 0; b < 4; ++b) {
                    p[msbFirst ? 3 - b : b] = static_cast<std::uint8_t>(rgb >> (8 * b));
                }
            }
        }
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc,
                      static_cast<std::uint16_t>(area.width), static_cast<std::uint16_t>(rows), 0,
                      static_cast<std::int16_t>(top), 0, 24,
                      static_cast<std::uint32_t>(data.size()), data.data());
    }
    xcb_free_gc(c, gc);
    const xcb_window_t window = xcb_generate_id(c);
    const std::uint32_t values[] = {pixmap, 1};
    xcb_create_window(c, 24, window, screen.root, static_cast<std::int16_t>(area.x),
                      static_cast<std::int16_t>(area.y), static_cast<std::uint16_t>(area.width),
                      static_cast<std::uint16_t>(area.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen.root_visual, XCB_CW_BACK_PIXMAP | XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_free_pixmap(c, pixmap);  // the window keeps it as its background
    xcb_map_window(c, window);
    created_.push_back(window);
    require(connection_.sync(), "the X server did not answer");
}

void Desktop::setResources(const std::string& text) {
    if (text.empty()) {
        xcb_delete_property(connection_.get(), connection_.root(), XCB_ATOM_RESOURCE_MANAGER);
    } else {
        xcb_change_property(connection_.get(), XCB_PROP_MODE_REPLACE, connection_.root(),
                            XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(text.size()), text.data());
    }
    require(connection_.sync(), "the X server did not answer");
}

std::vector<std::string> Desktop::atomNames(std::uint32_t window, const char* property) {
    std::vector<std::string> names;
    const auto value = x11kit::readProperty(connection_, window, connection_.atom(property));
    if (!value) {
        return names;
    }
    for (const std::uint32_t atom : value->cardinals()) {
        const Reply<xcb_get_atom_name_reply_t> name(xcb_get_atom_name_reply(
            connection_.get(), xcb_get_atom_name(connection_.get(), atom), nullptr));
        if (name) {
            names.emplace_back(xcb_get_atom_name_name(name.get()),
                               static_cast<std::size_t>(xcb_get_atom_name_name_length(name.get())));
        }
    }
    return names;
}

std::uint32_t Desktop::activeWindow() {
    const auto value = x11kit::readProperty(connection_, connection_.root(),
                                            connection_.atom("_NET_ACTIVE_WINDOW"));
    const auto items = value ? value->cardinals() : std::vector<std::uint32_t>{};
    return items.empty() ? 0 : items.front();
}

std::uint32_t Desktop::wmState(std::uint32_t window) {
    const auto value = x11kit::readProperty(connection_, window, connection_.atom("WM_STATE"));
    const auto items = value ? value->cardinals() : std::vector<std::uint32_t>{};
    return items.empty() ? 0 : items.front();
}

Rectangle Desktop::geometry(std::uint32_t window) {
    xcb_connection_t* c = connection_.get();
    const Reply<xcb_get_geometry_reply_t> size(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    const Reply<xcb_translate_coordinates_reply_t> place(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, window, connection_.root(), 0, 0), nullptr));
    if (!size || !place) {
        return {};
    }
    return {place->dst_x, place->dst_y, size->width, size->height};
}

Rectangle Desktop::settledGeometry(std::uint32_t window) {
    Rectangle last = geometry(window);
    for (int i = 0; i < 50; ++i) {
        std::this_thread::sleep_for(50ms);
        const Rectangle now = geometry(window);
        if (now == last) {
            break;
        }
        last = now;
    }
    return last;
}

std::vector<std::uint32_t> Desktop::stacking() {
    const auto value = x11kit::readProperty(connection_, connection_.root(),
                                            connection_.atom("_NET_CLIENT_LIST_STACKING"));
    return value ? value->cardinals() : std::vector<std::uint32_t>{};
}

}  // namespace hostkit::x11
