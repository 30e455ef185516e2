// The exports where the window manager cannot help: none runs (X11_BENCH_WM=none), or it is
// stopped for the test (SIGSTOP to the bench's window manager). A window of this program's own
// stands for the application's.

#include <gtest/gtest.h>
#include <paneknob.h>
#include <signal.h>

#include <cstring>
#include <fstream>
#include <string>

#include "hostkit/x11/desktop.h"

namespace {

using hostkit::x11::Desktop;

constexpr char kTitle[] = "paneknob unmanaged check";

// A top-level window titled `title`, mapped or not.
std::uint32_t makeWindow(const x11kit::Connection& x, bool mapped, const char* title = kTitle) {
    const xcb_window_t window = xcb_generate_id(x.get());
    xcb_create_window(x.get(), XCB_COPY_FROM_PARENT, window, x.root(), 40, 40, 200, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_change_property(x.get(), XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING,
                        8, static_cast<std::uint32_t>(std::strlen(title)), title);
    if (mapped) {
        xcb_map_window(x.get(), window);
    }
    EXPECT_TRUE(x.sync());
    return window;
}

bool viewable(const x11kit::Connection& x, std::uint32_t window) {
    const x11kit::Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(x.get(), xcb_get_window_attributes(x.get(), window),
                                        nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

TEST(WithoutWindowManager, MinimizeAnswersTheFailureAndChangesNothing) {
    if (std::string(std::getenv("X11_BENCH_WM")) != "none") {
        GTEST_SKIP() << "for the bench without a window manager";
    }
    Desktop desktop;
    const x11kit::Connection& x = desktop.connection();
    for (const bool mapped : {false, true}) {
        const std::uint32_t window = makeWindow(x, mapped);
        EXPECT_EQ(minimize(kTitle), -2) << (mapped ? "shown" : "never mapped");
        EXPECT_EQ(viewable(x, window), mapped);
        EXPECT_EQ(desktop.wmState(window), 0u);
        xcb_destroy_window(x.get(), window);
        EXPECT_TRUE(x.sync());
    }
}

// One of the bench's processes (its process group, "wm" or "xvfb") stopped while the test
// runs, and continued afterwards.
class Stopped {
public:
    explicit Stopped(const char* which) {
        std::ifstream(std::string(std::getenv("X11_BENCH_DIR")) + "/" + which + ".pid") >> pid_;
        EXPECT_GT(pid_, 0);
        EXPECT_EQ(::kill(-pid_, SIGSTOP), 0);
    }
    Stopped(const Stopped&) = delete;
    Stopped& operator=(const Stopped&) = delete;
    ~Stopped() { ::kill(-pid_, SIGCONT); }

private:
    pid_t pid_ = 0;
};

// A window that exists, with the X server stopped: not "no such window", nor "not done", but
// "could not ask".
TEST(StoppedServer, EveryExportSaysItCouldNotAsk) {
    Desktop desktop;
    const std::uint32_t window = makeWindow(desktop.connection(), true);
    {
        const Stopped stopped("xvfb");
        EXPECT_EQ(minimize(kTitle), -3);
        EXPECT_EQ(restore(kTitle), -3);
        EXPECT_EQ(restoreAndActivate(kTitle), -3);
        EXPECT_EQ(setWindowFlags(kTitle), -3);
    }
    EXPECT_TRUE(desktop.connection().sync());
    // Shown still, once a window manager has taken in the window it may not have seen yet.
    EXPECT_TRUE(hostkit::x11::eventually([&] { return viewable(desktop.connection(), window); }));
}

// Each export ends by its limit (the test's timeout would catch one that does not) and says
// what it could not do.
TEST(StalledWindowManager, EveryExportEndsAndSaysWhatItCouldNotDo) {
    if (std::string(std::getenv("X11_BENCH_WM")) == "none") {
        GTEST_SKIP() << "for a bench with a window manager";
    }
    Desktop desktop;
    const std::uint32_t window = makeWindow(desktop.connection(), true);
    // Mapped last, so the window manager makes this one the active window.
    const std::uint32_t other = makeWindow(desktop.connection(), true, "paneknob other window");
    ASSERT_TRUE(hostkit::x11::eventually(
        [&] { return desktop.wmState(window) == 1 && desktop.activeWindow() == other; }));
    const Stopped stopped("wm");
    EXPECT_EQ(minimize(kTitle), -2);  // asked for; nobody confirms it
    EXPECT_EQ(desktop.wmState(window), 1u);
    EXPECT_EQ(restore(kTitle), 0);  // shown already
    EXPECT_EQ(restoreAndActivate(kTitle), -2);
    EXPECT_EQ(setWindowFlags(kTitle), 0);
}

}  // namespace
