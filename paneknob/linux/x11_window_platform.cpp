#include "x11_window_platform.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "../core/platforms.h"
#include "../core/window_control.h"
#include "motif_hints.h"
#include "title_match.h"

namespace paneknob {
namespace {

constexpr std::uint32_t kIconicState = 3;  // ICCCM WM_STATE and WM_CHANGE_STATE
constexpr std::uint32_t kStateRemove = 0;  // _NET_WM_STATE actions
constexpr std::uint32_t kSourceApplication = 1;

xcb_window_t xid(WindowPlatform::Window window) {
    return static_cast<xcb_window_t>(reinterpret_cast<std::uintptr_t>(window));
}

WindowPlatform::Window handle(xcb_window_t window) {
    return reinterpret_cast<WindowPlatform::Window>(static_cast<std::uintptr_t>(window));
}

struct IconvClose {
    void operator()(iconv_t conversion) const noexcept { ::iconv_close(conversion); }
};
using Conversion = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvClose>;

struct LocaleFree {
    void operator()(locale_t locale) const noexcept { ::freelocale(locale); }
};
using Locale = std::unique_ptr<std::remove_pointer_t<locale_t>, LocaleFree>;

// The character set of the locale that the environment names, whatever the process set.
std::string environmentCharset() {
    Locale locale(::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0)));
    if (!locale) {
        locale.reset(::newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0)));
    }
    return locale ? ::nl_langinfo_l(CODESET, locale.get()) : "ANSI_X3.4-1968";
}

std::vector<std::uint32_t> cardinals(const x11kit::Connection& connection, xcb_window_t window,
                                     const char* property) {
    const auto value = x11kit::readProperty(connection, window, connection.atom(property));
    return value ? value->cardinals() : std::vector<std::uint32_t>{};
}

// The title a client set: _NET_WM_NAME in UTF-8, else WM_NAME in its own type.
std::optional<std::u32string> titleOf(const x11kit::Connection& connection, xcb_window_t window,
                                      xcb_atom_t netName, xcb_atom_t utf8, xcb_atom_t compound) {
    if (const auto name = x11kit::readProperty(connection, window, netName);
        name && name->type == utf8 && name->format == 8) {
        return x11::decodeTitle(
            std::string_view(reinterpret_cast<const char*>(name->bytes.data()), name->bytes.size()),
            x11::TitleEncoding::utf8);
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

// The windows a title is looked for in: the window manager's clients first, then the root's
// other children that are neither override-redirect nor the manager's own check window.
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

void sendToRoot(const x11kit::Connection& connection, xcb_window_t window, xcb_atom_t type,
                std::initializer_list<std::uint32_t> data) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(connection.get(), 0, connection.root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}

struct WindowState {
    bool managed = false;  // has WM_STATE: the window manager holds it, iconic or not
    bool iconic = false;
    bool maximized = false;
};

WindowState stateOf(const x11kit::Connection& connection, xcb_window_t window) {
    WindowState state;
    const std::vector<std::uint32_t> wmState = cardinals(connection, window, "WM_STATE");
    state.managed = !wmState.empty() && wmState.front() != 0;
    state.iconic = !wmState.empty() && wmState.front() == kIconicState;
    const std::vector<std::uint32_t> netState = cardinals(connection, window, "_NET_WM_STATE");
    const xcb_atom_t vertical = connection.atom("_NET_WM_STATE_MAXIMIZED_VERT");
    const xcb_atom_t horizontal = connection.atom("_NET_WM_STATE_MAXIMIZED_HORZ");
    state.maximized = std::any_of(netState.begin(), netState.end(), [&](std::uint32_t atom) {
        return atom == vertical || atom == horizontal;
    });
    return state;
}

// Maps a window the window manager does not hold yet; `initialState` 3 asks for it iconic.
void mapWithdrawn(const x11kit::Connection& connection, xcb_window_t window,
                  std::uint32_t initialState, bool activate) {
    xcb_connection_t* c = connection.get();
    if (initialState == kIconicState) {
        // WM_HINTS: flags, input, initial_state, then six more items; StateHint is bit 1.
        std::vector<std::uint32_t> hints = cardinals(connection, window, "WM_HINTS");
        hints.resize(std::max<std::size_t>(hints.size(), 9), 0);
        hints[0] |= 2;
        hints[2] = kIconicState;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS,
                            32, static_cast<std::uint32_t>(hints.size()), hints.data());
    }
    if (!activate) {
        // A user time of 0 asks the window manager not to focus the window when it maps.
        const std::uint32_t never = 0;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, connection.atom("_NET_WM_USER_TIME"),
                            XCB_ATOM_CARDINAL, 32, 1, &never);
    }
    xcb_map_window(c, window);
}

}  // namespace

int X11WindowPlatform::convertTitle(const char* title, char16_t* buffer, int capacity) {
    if (capacity <= 0) {
        return 0;
    }
    constexpr const char* kUtf16 =
        std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
    const Conversion conversion(::iconv_open(kUtf16, environmentCharset().c_str()));
    if (conversion.get() == reinterpret_cast<iconv_t>(-1)) {
        return 0;
    }
    char* in = const_cast<char*>(title);
    std::size_t inLeft = std::strlen(title) + 1;  // the terminator too
    char* out = reinterpret_cast<char*>(buffer);
    const std::size_t outSize = static_cast<std::size_t>(capacity) * sizeof(char16_t);
    std::size_t outLeft = outSize;
    if (::iconv(conversion.get(), &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
        ::iconv(conversion.get(), nullptr, nullptr, &out, &outLeft) ==
            static_cast<std::size_t>(-1)) {
        return 0;  // not in the character set, or more than `capacity` units
    }
    return static_cast<int>((outSize - outLeft) / sizeof(char16_t));
}

WindowPlatform::Window X11WindowPlatform::findTopLevelWindow(const char16_t* title) {
    const std::optional<std::u32string> wanted = x11::fromUtf16(title);
    if (!wanted || !connection_.ok()) {
        return nullptr;
    }
    const xcb_atom_t netName = connection_.atom("_NET_WM_NAME");
    const xcb_atom_t utf8 = connection_.atom("UTF8_STRING");
    const xcb_atom_t compound = connection_.atom("COMPOUND_TEXT");
    for (const xcb_window_t window : topLevelWindows(connection_)) {
        const auto name = titleOf(connection_, window, netName, utf8, compound);
        if (name && x11::sameTitle(*name, *wanted)) {
            return handle(window);
        }
    }
    return nullptr;
}

std::int64_t X11WindowPlatform::style(Window window) {
    const auto hints = x11::parseHints(cardinals(connection_, xid(window), "_MOTIF_WM_HINTS"));
    const x11::Boxes boxes = x11::boxesOf(hints);
    return (boxes.minimize ? kMinimizeBox : 0) | (boxes.maximize ? kMaximizeBox : 0);
}

void X11WindowPlatform::setStyle(Window window, std::int64_t style) {
    const xcb_atom_t property = connection_.atom("_MOTIF_WM_HINTS");
    const auto hints = x11::parseHints(cardinals(connection_, xid(window), "_MOTIF_WM_HINTS"));
    const x11::Boxes boxes = x11::boxesOf(hints);
    const x11::Boxes keep{boxes.minimize && (style & kMinimizeBox) != 0,
                          boxes.maximize && (style & kMaximizeBox) != 0};
    if (keep.minimize == boxes.minimize && keep.maximize == boxes.maximize) {
        return;  // nothing to take away: the property stays as it is
    }
    const std::vector<std::uint32_t> items = x11::itemsOf(x11::restrictBoxes(hints, keep));
    xcb_change_property(connection_.get(), XCB_PROP_MODE_REPLACE, xid(window), property, property,
                        32, static_cast<std::uint32_t>(items.size()), items.data());
}

void X11WindowPlatform::refreshFrame(Window, std::uint32_t) {
    (void)connection_.sync();
}

void X11WindowPlatform::show(Window window, int command) {
    const xcb_window_t target = xid(window);
    const WindowState state = stateOf(connection_, target);
    if (!state.managed) {
        mapWithdrawn(connection_, target, command == kShowMinimize ? kIconicState : 1,
                     command == kShowRestore);
    } else if (command == kShowMinimize) {
        sendToRoot(connection_, target, connection_.atom("WM_CHANGE_STATE"), {kIconicState});
    } else if (state.iconic) {
        sendToRoot(connection_, target, connection_.atom("_NET_WM_STATE"),
                   {kStateRemove, connection_.atom("_NET_WM_STATE_HIDDEN"), 0, kSourceApplication});
    } else if (command == kShowRestore && state.maximized) {
        sendToRoot(connection_, target, connection_.atom("_NET_WM_STATE"),
                   {kStateRemove, connection_.atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                    connection_.atom("_NET_WM_STATE_MAXIMIZED_HORZ"), kSourceApplication});
    }
    (void)connection_.sync();
}

bool X11WindowPlatform::bringToForeground(Window window) {
    const xcb_window_t target = xid(window);
    const xcb_atom_t active = connection_.atom("_NET_ACTIVE_WINDOW");
    const std::vector<std::uint32_t> current =
        cardinals(connection_, connection_.root(), "_NET_ACTIVE_WINDOW");
    sendToRoot(connection_, target, active,
               {kSourceApplication, XCB_CURRENT_TIME, current.empty() ? 0 : current.front()});
    if (!connection_.sync()) {
        return false;
    }
    const auto end = std::chrono::steady_clock::now() + kActivationWait;
    while (std::chrono::steady_clock::now() < end) {
        const std::vector<std::uint32_t> now =
            cardinals(connection_, connection_.root(), "_NET_ACTIVE_WINDOW");
        if (!now.empty() && now.front() == target) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

WindowPlatform::Window X11WindowPlatform::activate(Window) {
    return nullptr;
}

std::int32_t runWithSystemPlatform(WindowAction action, const char* title) noexcept {
    try {
        X11WindowPlatform platform;
        return action(platform, title);
    } catch (...) {
        return kNoWindow;  // out of memory in a lookup: no window found
    }
}

}  // namespace paneknob
