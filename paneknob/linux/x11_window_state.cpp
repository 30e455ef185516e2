// The window state and the requests of the window actions (x11_window_state.h).

#include "x11_window_state.h"

#include <optional>
#include <string>

namespace paneknob::x11 {

std::vector<std::uint32_t> cardinals(const x11kit::Connection& connection, xcb_window_t window,
                                     const char* property) {
    const auto value = x11kit::readProperty(connection, window, connection.atom(property));
    return value ? value->cardinals() : std::vector<std::uint32_t>{};
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

namespace {

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

}  // namespace

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

}  // namespace paneknob::x11
