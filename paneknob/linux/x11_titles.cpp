// Titles and top-level windows (x11_titles.h).

#include "x11_titles.h"

#include <algorithm>
#include <string_view>

#include "title_match.h"
#include "x11_window_state.h"

namespace paneknob::x11 {

std::optional<std::u32string> titleOf(const x11kit::Connection& connection, xcb_window_t window,
                                      xcb_atom_t netName, xcb_atom_t utf8, xcb_atom_t compound) {
    if (const auto name = x11kit::readProperty(connection, window, netName);
        name && name->type == utf8 && name->format == 8) {
        // One that is not valid UTF-8 is passed over: WM_NAME may still name the window.
        if (auto title =
                x11::decodeTitle(std::string_view(reinterpret_cast<const char*>(name->bytes.data()),
                                                  name->bytes.size()),
                                 x11::TitleEncoding::utf8)) {
            return title;
        }
    }
    const auto name = x11kit::readProperty(connection, window, XCB_ATOM_WM_NAME);
    if (!name || name->format != 8) {
        return std::nullopt;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(name->bytes.data()),
                                 name->bytes.size());
    if (name->type == XCB_ATOM_STRING) {
        return x11::decodeTitle(bytes, x11::TitleEncoding::latin1);
    }
    if (name->type == utf8) {
        return x11::decodeTitle(bytes, x11::TitleEncoding::utf8);
    }
    if (name->type == compound) {
        return x11::decodeTitle(bytes, x11::TitleEncoding::compoundText);
    }
    return std::nullopt;
}

std::vector<xcb_window_t> topLevelWindows(const x11kit::Connection& connection) {
    std::vector<xcb_window_t> windows =
        cardinals(connection, connection.root(), "_NET_CLIENT_LIST");
    const std::vector<std::uint32_t> check =
        cardinals(connection, connection.root(), "_NET_SUPPORTING_WM_CHECK");
    xcb_connection_t* c = connection.get();
    const x11kit::Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, connection.root()), nullptr));
    if (!tree) {
        return windows;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    std::vector<xcb_get_window_attributes_cookie_t> cookies;
    for (int i = 0; i < count; ++i) {
        cookies.push_back(xcb_get_window_attributes(c, children[i]));
    }
    for (int i = 0; i < count; ++i) {
        const x11kit::Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, cookies[static_cast<std::size_t>(i)], nullptr));
        const xcb_window_t child = children[i];
        if (!attributes || attributes->override_redirect != 0 ||
            std::find(windows.begin(), windows.end(), child) != windows.end() ||
            std::find(check.begin(), check.end(), child) != check.end()) {
            continue;
        }
        windows.push_back(child);
    }
    return windows;
}

}  // namespace paneknob::x11
