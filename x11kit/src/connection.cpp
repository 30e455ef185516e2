#include "x11kit/connection.h"

#include <sys/socket.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace x11kit {
namespace {

std::atomic<int> lateConnectCount{0};

}  // namespace

struct Connection::Watch {
    std::mutex lock;
    std::condition_variable changed;
    std::chrono::steady_clock::time_point deadline;
    xcb_connection_t* connection = nullptr;
    int screenNumber = 0;
    bool connected = false;  // the thread has connected (or failed to)
    bool abandoned = false;  // the constructor gave up waiting; the thread cleans up
    bool closed = false;     // the owner is done with the connection

    // The connecting thread: connect, hand over, then shut the socket at the deadline.
    void run() {
        int screen = 0;
        xcb_connection_t* made = xcb_connect(nullptr, &screen);
        std::unique_lock hold(lock);
        if (abandoned) {
            hold.unlock();
            xcb_disconnect(made);
            --lateConnectCount;
            return;
        }
        connection = made;
        screenNumber = screen;
        connected = true;
        changed.notify_all();
        if (!changed.wait_until(hold, deadline, [&] { return closed; })) {
            // The owner still waits on the server past its limit: break the connection, which
            // ends every wait on it. The descriptor stays open until the owner disconnects.
            ::shutdown(xcb_get_file_descriptor(connection), SHUT_RDWR);
        }
    }
};

Connection::Connection(std::chrono::milliseconds limit) {
    if (lateConnectCount.load() >= kMaxLateConnects) {
        return;
    }
    std::thread thread;
    try {
        watch_ = std::make_shared<Watch>();
        watch_->deadline = std::chrono::steady_clock::now() + limit;
        thread = std::thread([watch = watch_] { watch->run(); });
    } catch (...) {
        watch_.reset();  // no memory or no thread: no connection
        return;
    }
    deadline_ = watch_->deadline;
    std::unique_lock hold(watch_->lock);
    if (!watch_->changed.wait_until(hold, deadline_, [&] { return watch_->connected; })) {
        watch_->abandoned = true;
        ++lateConnectCount;
        hold.unlock();
        thread.detach();
        watch_.reset();
        return;
    }
    connection_ = watch_->connection;
    const int screenNumber = watch_->screenNumber;
    hold.unlock();
    watcher_ = std::move(thread);
    findScreen(screenNumber);
}

Connection::Connection() {
    int screenNumber = 0;
    connection_ = xcb_connect(nullptr, &screenNumber);
    findScreen(screenNumber);
}

void Connection::findScreen(int screenNumber) {
    screenNumber_ = screenNumber;
    if (xcb_connection_has_error(connection_) != 0) {
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    if (screens.rem > 0) {
        screen_ = screens.data;
    }
}

Connection::~Connection() {
    if (watch_) {
        {
            const std::lock_guard hold(watch_->lock);
            watch_->closed = true;
            watch_->changed.notify_all();
        }
        watcher_.join();  // before the descriptor closes: the watcher never shuts a reused one
    }
    // Also for a connection that failed: XCB gives back an error object that must be released.
    if (connection_ != nullptr) {
        xcb_disconnect(connection_);
    }
}

bool Connection::ok() const {
    return connection_ != nullptr && screen_ != nullptr &&
           xcb_connection_has_error(connection_) == 0;
}

xcb_atom_t Connection::atom(const char* name) const {
    const auto length = static_cast<std::uint16_t>(std::strlen(name));
    xcb_generic_error_t* error = nullptr;
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, length, name), &error));
    const Reply<xcb_generic_error_t> failure(error);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

bool Connection::sync() const {
    xcb_generic_error_t* error = nullptr;
    const Reply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), &error));
    const Reply<xcb_generic_error_t> failure(error);
    return static_cast<bool>(reply);
}

std::vector<std::uint32_t> Property::cardinals() const {
    std::vector<std::uint32_t> items;
    if (format != 32 || bytes.size() < 4) {
        return items;
    }
    items.resize(bytes.size() / 4);
    std::memcpy(items.data(), bytes.data(), items.size() * 4);
    return items;
}

std::optional<Property> readProperty(const Connection& connection, xcb_window_t window,
                                     xcb_atom_t property, std::uint32_t maxBytes) {
    xcb_generic_error_t* error = nullptr;
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection.get(),
                               xcb_get_property(connection.get(), 0, window, property,
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, maxBytes / 4),
                               &error));
    const Reply<xcb_generic_error_t> failure(error);
    if (!reply || reply->type == XCB_ATOM_NONE) {
        return std::nullopt;
    }
    Property value;
    value.type = reply->type;
    value.format = reply->format;
    const auto* data = static_cast<const std::uint8_t*>(xcb_get_property_value(reply.get()));
    const int length = xcb_get_property_value_length(reply.get());
    if (length > 0) {
        value.bytes.assign(data, data + length);
    }
    return value;
}

}  // namespace x11kit
