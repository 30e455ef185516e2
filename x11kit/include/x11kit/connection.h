#pragma once
// Owners and small helpers over XCB for the X11 adapters.
//
// XCB hands back a failed request as a value; Xlib would route it through a process-wide error
// handler whose default ends the process, which a library loaded into somebody else's process
// must not risk. Every call here reports failure as an empty result. A Connection is used by
// one thread at a time; each adapter call opens its own.
//
// The server is somebody else's code that a call waits on, so every connection has a time
// limit: connecting happens on a short-lived thread of the connection's own, which the
// constructor waits for at most until the limit, and once connected that thread shuts the
// socket down when the limit passes, so that every wait on the server then fails at once (the
// connection reads as broken). A stalled server can hold at most kMaxLateConnects connecting
// threads at a time; while that many wait, new connections fail without trying.

#include <ownkit/owned.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace x11kit {

// A reply, event or error that XCB allocated with malloc.
template <typename T>
using Reply = ownkit::Owned<T*, &ownkit::freeBlock>;

inline constexpr int kMaxLateConnects = 2;

class Connection {
public:
    struct Watch;  // the connecting thread's state, shared with it

    // Connects to the display named by $DISPLAY; check ok() before anything else. Every wait on
    // the server through this connection ends by `limit` after construction.
    explicit Connection(std::chrono::milliseconds limit);
    // Without a limit, for test programs that hold a display for their whole run.
    Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    // True while the connection works: connected, and no request has broken it since.
    [[nodiscard]] bool ok() const;
    [[nodiscard]] xcb_connection_t* get() const { return connection_; }
    [[nodiscard]] const xcb_screen_t& screen() const { return *screen_; }
    [[nodiscard]] xcb_window_t root() const { return screen_->root; }
    // The number of the display's screen this connection works on (as in WM_S<n>).
    [[nodiscard]] int screenNumber() const { return screenNumber_; }

    // The atom of `name`, created when missing; XCB_ATOM_NONE on failure.
    [[nodiscard]] xcb_atom_t atom(const char* name) const;
    // When the connection's limit passes (time_point::max() without a limit).
    [[nodiscard]] std::chrono::steady_clock::time_point deadline() const { return deadline_; }
    // Sends what is queued and waits until the server has handled it; false on failure.
    [[nodiscard]] bool sync() const;

private:
    void findScreen(int screenNumber);

    std::shared_ptr<Watch> watch_;
    std::thread watcher_;
    std::chrono::steady_clock::time_point deadline_ = std::chrono::steady_clock::time_point::max();
    xcb_connection_t* connection_ = nullptr;
    const xcb_screen_t* screen_ = nullptr;
    int screenNumber_ = 0;
};

struct Property {
    xcb_atom_t type = XCB_ATOM_NONE;
    std::uint8_t format = 0;  // 8, 16 or 32 bits an item
    std::vector<std::uint8_t> bytes;

    // The items of a 32-bit property; empty for any other format.
    [[nodiscard]] std::vector<std::uint32_t> cardinals() const;
};

// Reads up to `maxBytes` of `property` of `window`, of any type; nothing when the window or the
// property does not exist or the request failed.
[[nodiscard]] std::optional<Property> readProperty(const Connection& connection,
                                                   xcb_window_t window, xcb_atom_t property,
                                                   std::uint32_t maxBytes = 1u << 20);

}  // namespace x11kit
