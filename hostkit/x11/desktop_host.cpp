// Owns the windows and pictures that the X11 tests look at, in a process of its own, as the Java
// application's windows would be. Each argument makes one window, 320 x 200 unless it says:
//   normal:TITLE     a top-level window with _NET_WM_NAME and WM_NAME (UTF-8), mapped
//   latin1:TITLE     the same with only WM_NAME, as a Latin-1 STRING
//   badname:TITLE    the same, and a _NET_WM_NAME that is not valid UTF-8
//   withdrawn:TITLE  a top-level window that is never mapped
//   child:TITLE      a child of the window before it, with WM_NAME
//   nofocus:TITLE    a normal window that refuses the input focus (WM_HINTS input false)
//   picture:X,Y,W,H  hostkit::x11::gradient at that rectangle of the root window, out of the
//                    window manager's hands
// When the window manager holds every mapped window, it prints their ids in argument order on
// one line; then it keeps them until its standard input ends.

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "hostkit/x11/desktop.h"

namespace {

void setText(const x11kit::Connection& x, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
             const std::string& text) {
    xcb_change_property(x.get(), XCB_PROP_MODE_REPLACE, window, property, type, 8,
                        static_cast<std::uint32_t>(text.size()), text.data());
}

std::string toLatin1(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if ((byte & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
            out.push_back(static_cast<char>(((byte & 0x1F) << 6) | (utf8[++i] & 0x3F)));
        } else {
            out.push_back(static_cast<char>(byte));
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const x11kit::Connection x;
    if (!x.ok()) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    const xcb_atom_t netName = x.atom("_NET_WM_NAME");
    const xcb_atom_t utf8 = x.atom("UTF8_STRING");
    std::vector<xcb_window_t> windows;
    std::vector<xcb_window_t> mapped;
    hostkit::x11::Desktop desktop;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        const std::size_t colon = argument.find(':');
        const std::string kind(argument.substr(0, colon));
        const std::string title(colon == std::string_view::npos ? "" : argument.substr(colon + 1));
        if (kind == "picture") {
            hostkit::x11::Rectangle area;
            if (std::sscanf(title.c_str(), "%d,%d,%d,%d", &area.x, &area.y, &area.width,
                            &area.height) != 4) {
                std::fprintf(stderr, "bad picture: %s\n", title.c_str());
                return 2;
            }
            desktop.showPicture(area, &hostkit::x11::gradient);
            windows.push_back(0);
            continue;
        }
        const bool child = kind == "child";
        const xcb_window_t parent = child && !windows.empty() ? windows.back() : x.root();
        const xcb_window_t window = xcb_generate_id(x.get());
        const std::uint32_t values[] = {x.screen().white_pixel};
        const auto offset = static_cast<std::int16_t>(child ? 10 : 100 + 60 * i);
        xcb_create_window(x.get(), XCB_COPY_FROM_PARENT, window, parent, offset, offset, 320, 200,
                          0, XCB_WINDOW_CLASS_INPUT_OUTPUT, x.screen().root_visual,
                          XCB_CW_BACK_PIXEL, values);
        if (kind == "latin1" || kind == "badname") {
            setText(x, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, toLatin1(title));
            if (kind == "badname") {
                setText(x, window, netName, utf8, "\xC3(\xFF");
            }
        } else {
            setText(x, window, XCB_ATOM_WM_NAME, utf8, title);
            if (!child) {
                setText(x, window, netName, utf8, title);
            }
        }
        // WM_HINTS: the input hint, so the window takes focus when activated (or never).
        const std::uint32_t hints[9] = {1, kind == "nofocus" ? 0u : 1u, 0, 0, 0, 0, 0, 0, 0};
        xcb_change_property(x.get(), XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS,
                            XCB_ATOM_WM_HINTS, 32, 9, hints);
        if (kind != "withdrawn") {
            xcb_map_window(x.get(), window);
            if (!child) {
                mapped.push_back(window);
            }
        }
        windows.push_back(window);
    }
    if (!x.sync()) {
        return 1;
    }
    for (const xcb_window_t window : mapped) {
        // Managed means listed too: a framed window is no longer a child of the root, so until
        // the client list names it, a search by title could not find it.
        const auto listed = [&] {
            const std::vector<std::uint32_t> clients = desktop.stacking();
            return std::find(clients.begin(), clients.end(), window) != clients.end();
        };
        if (!hostkit::x11::eventually([&] { return desktop.wmState(window) == 1 && listed(); })) {
            std::fprintf(stderr, "the window manager did not take window %u\n", window);
            return 1;
        }
    }
    for (std::size_t i = 0; i < windows.size(); ++i) {
        std::printf(i == 0 ? "%u" : " %u", windows[i]);
    }
    std::printf("\n");
    std::fflush(stdout);
    char rest[64];
    while (::read(STDIN_FILENO, rest, sizeof rest) > 0) {
    }
    return 0;
}
