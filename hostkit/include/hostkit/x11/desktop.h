#pragma once
// What the X11 tests and the desktop host see of the bench's desktop: pictures put on the screen,
// the root window's resources, and the state that the X server and the window manager keep of
// a window. What the desktop cannot do throws std::runtime_error with the reason.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "x11kit/connection.h"

namespace hostkit::x11 {

using namespace std::chrono_literals;

// Polls `condition` every 10 ms until it holds or `timeout` passed; whether it held.
bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 3s);

struct Rectangle {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const Rectangle&) const = default;
};

// A 0xRRGGBB colour for each pixel of a picture.
using Pattern = std::function<std::uint32_t(std::int32_t x, std::int32_t y)>;

// The test picture: no two neighbours alike, every channel in use.
[[nodiscard]] inline std::uint32_t gradient(std::int32_t x, std::int32_t y) {
    return static_cast<std::uint32_t>(((x * 5) & 0xFF) << 16 | ((y * 3) & 0xFF) << 8 |
                                      ((x + y) & 0xFF));
}

class Desktop {
public:
    Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;
    ~Desktop();

    [[nodiscard]] const x11kit::Connection& connection() const { return connection_; }

    // Shows `pattern` in a window of its own at `area` of the root window, above everything
    // and out of the window manager's hands; it stays until the Desktop ends.
    void showPicture(const Rectangle& area, const Pattern& pattern);

    // Replaces the root window's resource text (RESOURCE_MANAGER); empty removes it.
    void setResources(const std::string& text);

    // The names of the atoms in a window's ATOM-list property (_NET_WM_STATE and the like).
    [[nodiscard]] std::vector<std::string> atomNames(std::uint32_t window, const char* property);
    [[nodiscard]] std::uint32_t activeWindow();
    // ICCCM WM_STATE: 1 normal, 3 iconic, 0 withdrawn or not managed.
    [[nodiscard]] std::uint32_t wmState(std::uint32_t window);
    // Position in root coordinates and size of the window.
    [[nodiscard]] Rectangle geometry(std::uint32_t window);
    // The geometry once it stopped changing (the window manager places and frames a window a
    // moment after it maps).
    [[nodiscard]] Rectangle settledGeometry(std::uint32_t window);
    // The managed windows, bottom to top (_NET_CLIENT_LIST_STACKING).
    [[nodiscard]] std::vector<std::uint32_t> stacking();

private:
    x11kit::Connection connection_;
    std::vector<std::uint32_t> created_;  // windows and pixmaps to free
};

}  // namespace hostkit::x11
