#include "x11_windows.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <ownkit/owned.h>

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
constexpr std::uint32_t kSourcePager = 2;

xcb_window_t xid(WindowSystem::Window window) {
    return static_cast<xcb_window_t>(reinterpret_cast<std::uintptr_t>(window));
}

WindowSystem::Window handle(xcb_window_t window) {
    return reinterpret_cast<WindowSystem::Window>(static_cast<std::uintptr_t>(window));
}

using Conversion = ownkit::Owned<iconv_t, &::iconv_close>;
using Locale = ownkit::Owned<locale_t, &::freelocale>;

// A converter between two character sets; empty when the system has none (iconv_open's -1).
Conversion openConversion(const char* to, const char* from) {
    const iconv_t conversion = ::iconv_open(to, from);
    return Conversion(conversion == reinterpret_cast<iconv_t>(-1) ? nullptr : conversion);
}

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

std::uint32_t activeWindow(const x11kit::Connection& connection) {
    const std::vector<std::uint32_t> active =
        cardinals(connection, connection.root(), "_NET_ACTIVE_WINDOW");
    return active.empty() ? 0 : active.front();
}

// Polls `holds` every 10 ms until it is true or `bound` has passed, ending kRestoreTime before
// the connection's limit at the latest; whether it came true.
template <typename Condition>
bool await(const x11kit::Connection& connection, Condition holds, std::chrono::milliseconds bound) {
    const auto end =
        std::min(std::chrono::steady_clock::now() + bound, connection.deadline() - kRestoreTime);
    while (!holds()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool awaitIconic(const x11kit::Connection& connection, xcb_window_t window, bool iconic,
                 std::chrono::milliseconds bound) {
    return await(
        connection,
        [&] {
            const WindowState state = stateOf(connection, window);
            return state.managed && state.iconic == iconic;
        },
        bound);
}

// A 32-bit property of another program's window, put back as it was when this goes.
class BorrowedProperty {
public:
    BorrowedProperty(const x11kit::Connection& connection, xcb_window_t window, xcb_atom_t name)
        : connection_(connection), window_(window), name_(name) {
        if (const auto value = x11kit::readProperty(connection, window, name);
            value && value->format == 32) {
            original_ = *value;
        }
    }
    BorrowedProperty(const BorrowedProperty&) = delete;
    BorrowedProperty& operator=(const BorrowedProperty&) = delete;
    ~BorrowedProperty() {
        xcb_connection_t* c = connection_.get();
        if (!original_) {
            xcb_delete_property(c, window_, name_);
        } else {
            const std::vector<std::uint32_t> items = original_->cardinals();
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, name_, original_->type, 32,
                                static_cast<std::uint32_t>(items.size()), items.data());
        }
        (void)connection_.sync();
    }

    [[nodiscard]] std::vector<std::uint32_t> items() const {
        return original_ ? original_->cardinals() : std::vector<std::uint32_t>{};
    }
    void set(xcb_atom_t type, const std::vector<std::uint32_t>& items) const {
        xcb_change_property(connection_.get(), XCB_PROP_MODE_REPLACE, window_, name_, type, 32,
                            static_cast<std::uint32_t>(items.size()), items.data());
    }

private:
    const x11kit::Connection& connection_;
    xcb_window_t window_;
    xcb_atom_t name_;
    std::optional<x11kit::Property> original_;
};

// The window that carries `window`'s user time: its _NET_WM_USER_TIME_WINDOW, else itself.
xcb_window_t userTimeWindow(const x11kit::Connection& connection, xcb_window_t window) {
    const std::vector<std::uint32_t> named =
        cardinals(connection, window, "_NET_WM_USER_TIME_WINDOW");
    return named.empty() || named.front() == 0 ? window : named.front();
}

// Asks for `window` to be mapped with a user time of 0 (focus-stealing prevention: do not focus
// it), and optionally in the iconic state; waits until the window manager holds it in the
// state asked for. The program's own properties are put back afterwards, so its later maps
// are as it asked.
bool mapAndConfirm(const x11kit::Connection& connection, xcb_window_t window, bool iconic,
                   bool activate) {
    const BorrowedProperty hints(connection, window, XCB_ATOM_WM_HINTS);
    const BorrowedProperty userTime(connection, userTimeWindow(connection, window),
                                    connection.atom("_NET_WM_USER_TIME"));
    if (iconic) {
        // WM_HINTS: flags, input, initial_state, then six more items; StateHint is bit 1.
        std::vector<std::uint32_t> items = hints.items();
        items.resize(std::max<std::size_t>(items.size(), 9), 0);
        items[0] |= 2;
        items[2] = kIconicState;
        hints.set(XCB_ATOM_WM_HINTS, items);
    }
    if (!activate) {
        userTime.set(XCB_ATOM_CARDINAL, {0});
    }
    xcb_map_window(connection.get(), window);
    return connection.sync() && awaitIconic(connection, window, iconic, kStateWait);
}

// A time stamp of the server's clock: the time of a property change on a window of our own.
std::uint32_t serverTime(const x11kit::Connection& connection) {
    xcb_connection_t* c = connection.get();
    const xcb_window_t probe = xcb_generate_id(c);
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, 0, probe, connection.root(), -1, -1, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    xcb_change_property(c, XCB_PROP_MODE_APPEND, probe, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0,
                        nullptr);
    xcb_flush(c);
    std::uint32_t time = XCB_CURRENT_TIME;
    (void)await(
        connection,
        [&] {
            while (const x11kit::Reply<xcb_generic_event_t> event{xcb_poll_for_event(c)}) {
                if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
                    const auto* change =
                        reinterpret_cast<xcb_property_notify_event_t*>(event.get());
                    if (change->window == probe) {
                        time = change->time;
                        return true;
                    }
                }
            }
            return xcb_connection_has_error(c) != 0;
        },
        kStateWait);
    xcb_destroy_window(c, probe);
    return time;
}

}  // namespace

int X11Windows::convertTitle(const char* title, char16_t* buffer, int capacity) {
    if (capacity <= 0) {
        return 0;
    }
    constexpr const char* kUtf16 =
        std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
    const Conversion conversion = openConversion(kUtf16, environmentCharset().c_str());
    if (!conversion) {
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

WindowSystem::Window X11Windows::findTopLevelWindow(const char16_t* title) {
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

void X11Windows::removeBoxes(Window window) {
    const xcb_atom_t property = connection_.atom("_MOTIF_WM_HINTS");
    const auto hints = x11::parseHints(cardinals(connection_, xid(window), "_MOTIF_WM_HINTS"));
    const x11::Boxes boxes = x11::boxesOf(hints);
    if (!boxes.minimize && !boxes.maximize) {
        return;  // nothing to take away: the property stays as it is
    }
    const std::vector<std::uint32_t> items =
        x11::itemsOf(x11::restrictBoxes(hints, {false, false}));
    xcb_change_property(connection_.get(), XCB_PROP_MODE_REPLACE, xid(window), property, property,
                        32, static_cast<std::uint32_t>(items.size()), items.data());
    // The window manager re-reads the hints when they change: the change only has to reach the
    // server.
    (void)connection_.sync();
}

namespace {

// A window manager announces itself by the ICCCM WM_Sn selection and by EWMH's check window,
// which names itself.
bool windowManagerRunning(const x11kit::Connection& connection) {
    xcb_connection_t* c = connection.get();
    const std::string selection = "WM_S" + std::to_string(connection.screenNumber());
    const x11kit::Reply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        c, xcb_get_selection_owner(c, connection.atom(selection.c_str())), nullptr));
    if (owner && owner->owner != XCB_WINDOW_NONE) {
        return true;
    }
    const std::vector<std::uint32_t> check =
        cardinals(connection, connection.root(), "_NET_SUPPORTING_WM_CHECK");
    return !check.empty() && check.front() != 0 &&
           cardinals(connection, check.front(), "_NET_SUPPORTING_WM_CHECK") == check;
}

}  // namespace

bool X11Windows::minimize(Window window) {
    if (!windowManagerRunning(connection_)) {
        return false;
    }
    show(xid(window), Showing::minimized);
    return true;
}

void X11Windows::showWithoutActivating(Window window) {
    show(xid(window), Showing::shown);
}

bool X11Windows::restoreAndActivate(Window window) {
    show(xid(window), Showing::restored);
    return bringToForeground(xid(window));
}

void X11Windows::show(xcb_window_t target, Showing showing) {
    const WindowState state = stateOf(connection_, target);
    if (!state.managed) {
        (void)mapAndConfirm(connection_, target, showing == Showing::minimized,
                            showing == Showing::restored);
        return;
    }
    if (showing == Showing::minimized) {
        sendToRoot(connection_, target, connection_.atom("WM_CHANGE_STATE"), {kIconicState});
        (void)(connection_.sync() && awaitIconic(connection_, target, true, kStateWait));
        return;
    }
    const std::uint32_t active = activeWindow(connection_);
    if (state.iconic) {
        deiconify(target, showing == Showing::restored);
    } else if (showing == Showing::restored && state.maximized) {
        sendToRoot(connection_, target, connection_.atom("_NET_WM_STATE"),
                   {kStateRemove, connection_.atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                    connection_.atom("_NET_WM_STATE_MAXIMIZED_HORZ"), kSourceApplication});
    }
    if (showing == Showing::shown && active != target) {
        keepActive(active, target);
    }
    (void)connection_.sync();
}

// Out of the iconic state: first by dropping _NET_WM_STATE_HIDDEN (some window managers honour
// it, and then do not activate the window), else by a map request, which ICCCM makes the way
// out of the iconic state for every window manager.
void X11Windows::deiconify(xcb_window_t target, bool activate) {
    sendToRoot(connection_, target, connection_.atom("_NET_WM_STATE"),
               {kStateRemove, connection_.atom("_NET_WM_STATE_HIDDEN"), 0, kSourceApplication});
    if (connection_.sync() && awaitIconic(connection_, target, false, kDeiconifyWait)) {
        return;
    }
    (void)mapAndConfirm(connection_, target, false, activate);
}

// A window manager that activated the shown window anyway gives the focus back to the window
// that had it, as a pager would ask, or to nothing when nothing had it.
void X11Windows::keepActive(std::uint32_t previous, xcb_window_t shown) {
    const auto isActive = [&](std::uint32_t window) {
        return [&, window] { return activeWindow(connection_) == window; };
    };
    if (!await(connection_, isActive(shown), kSettleTime)) {
        return;
    }
    if (previous == 0) {
        // X's focus when no window holds it: the root, following the pointer.
        xcb_set_input_focus(connection_.get(), XCB_INPUT_FOCUS_POINTER_ROOT,
                            XCB_INPUT_FOCUS_POINTER_ROOT, serverTime(connection_));
    } else {
        sendToRoot(connection_, previous, connection_.atom("_NET_ACTIVE_WINDOW"),
                   {kSourcePager, serverTime(connection_), 0});
    }
    (void)(connection_.sync() && await(connection_, isActive(previous), kActivationWait));
}

// The request as an application first, subject to focus-stealing prevention; when that did not
// take, once more as a pager acting for the user. Activation counts only when the window is
// still the active one after a short settle: some window managers name it only in passing.
bool X11Windows::bringToForeground(xcb_window_t target) {
    const xcb_atom_t request = connection_.atom("_NET_ACTIVE_WINDOW");
    const std::uint32_t time = serverTime(connection_);
    for (const std::uint32_t source : {kSourceApplication, kSourcePager}) {
        sendToRoot(connection_, target, request, {source, time, activeWindow(connection_)});
        if (!connection_.sync()) {
            return false;
        }
        const auto isActive = [&] { return activeWindow(connection_) == target; };
        if (await(connection_, isActive, kActivationWait)) {
            // Still active a settle later (a wait for the opposite that runs out).
            if (!await(
                    connection_, [&] { return !isActive(); }, kSettleTime)) {
                return true;
            }
        }
    }
    return false;
}

std::int32_t runWithSystemPlatform(WindowAction action, const char* title) noexcept {
    try {
        X11Windows windows;
        return action(windows, title);
    } catch (...) {
        return kNoWindow;  // out of memory in a lookup: no window found
    }
}

}  // namespace paneknob
