// libpaneknob.so on the X11 bench (openbox), acting on the windows of another process; the
// state is read back from the X server and the window manager.

#include <gtest/gtest.h>
#include <paneknob.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "hostkit/x11/desktop.h"
#include "testkit/case_name.h"

extern char** environ;

namespace {

using hostkit::x11::Desktop;
using hostkit::x11::eventually;
using namespace std::chrono_literals;

// The window host in a process of its own, for as long as the object lives.
class WindowHost {
public:
    explicit WindowHost(std::vector<std::string> arguments) {
        int input[2];
        int output[2];
        EXPECT_EQ(::pipe(input), 0);
        EXPECT_EQ(::pipe(output), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, input[1]);
        posix_spawn_file_actions_addclose(&actions, output[0]);
        std::vector<char*> argv{const_cast<char*>(WINDOW_HOST)};
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        EXPECT_EQ(::posix_spawn(&pid_, WINDOW_HOST, &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(input[0]);
        ::close(output[1]);
        stdin_ = input[1];
        FILE* out = ::fdopen(output[0], "r");
        char line[512] = {};
        if (out != nullptr && std::fgets(line, sizeof line, out) != nullptr) {
            std::istringstream ids(line);
            for (std::uint32_t id = 0; ids >> id;) {
                windows_.push_back(id);
            }
        }
        if (out != nullptr) {
            std::fclose(out);
        }
        EXPECT_EQ(windows_.size(), arguments.size()) << "the window host did not start";
    }
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;
    ~WindowHost() {
        ::close(stdin_);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }

    [[nodiscard]] std::uint32_t operator[](std::size_t i) const {
        return i < windows_.size() ? windows_[i] : 0;
    }

private:
    pid_t pid_ = 0;
    int stdin_ = -1;
    std::vector<std::uint32_t> windows_;
};

bool has(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

class WindowControl : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("LC_ALL", "C.UTF-8", 1); }
    void TearDown() override { ::unsetenv("LC_ALL"); }

    bool hidden(std::uint32_t window) {
        return desktop_.wmState(window) == 3 &&
               has(desktop_.atomNames(window, "_NET_WM_STATE"), "_NET_WM_STATE_HIDDEN");
    }
    bool shown(std::uint32_t window) {
        return desktop_.wmState(window) == 1 &&
               !has(desktop_.atomNames(window, "_NET_WM_STATE"), "_NET_WM_STATE_HIDDEN");
    }

    Desktop desktop_;
};

using Export = std::int32_t (*)(const char*);
const Export kExports[] = {&setWindowFlags, &minimize, &restore, &restoreAndActivate};

TEST_F(WindowControl, TitlesThatNameNoTopLevelWindowFindNothing) {
    const WindowHost host({"normal:Paneknob Frame", "child:Paneknob Inner Pane"});
    for (const Export action : kExports) {
        EXPECT_EQ(action("Paneknob No Such Window"), -1);
        EXPECT_EQ(action("Paneknob Inner Pane"), -1) << "a child window is not top-level";
        EXPECT_EQ(action("Paneknob Frame "), -1) << "the whole title must match";
        EXPECT_EQ(action(""), -1);
        EXPECT_EQ(action(nullptr), -1);
        EXPECT_EQ(action("Openbox"), -1) << "the window manager's own check window";
    }
    EXPECT_TRUE(shown(host[0]));
}

struct TitleCase {
    const char* name;
    const char* kind;     // how the window host sets the title
    const char* title;    // the window's title
    const char* locale;   // the caller's environment
    const char* request;  // the title asked for, in that locale's character set
    std::int32_t found;
};

class TitleLookup : public WindowControl, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(TitleLookup, MatchesTheWholeTitleIgnoringCase) {
    const TitleCase& c = GetParam();
    const WindowHost host({std::string(c.kind) + ":" + c.title});
    ::setenv("LC_ALL", c.locale, 1);
    EXPECT_EQ(minimize(c.request), c.found);
    EXPECT_EQ(hidden(host[0]) || eventually([&] { return hidden(host[0]); }, 500ms), c.found == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, TitleLookup,
    ::testing::Values(
        TitleCase{"Exact", "normal", "Paneknob Plain", "C.UTF-8", "Paneknob Plain", 0},
        TitleCase{"OtherCase", "normal", "Paneknob Plain", "C.UTF-8", "PANEKNOB plain", 0},
        TitleCase{"NonAsciiOtherCase", "normal", "Fenêtre Ünïcode Ωmega", "C.UTF-8",
                  "FENÊTRE üNÏCODE ωMEGA", 0},
        TitleCase{"OnlyLatin1WmName", "latin1", "Pâté Fenster", "C.UTF-8", "PÂTÉ FENSTER", 0},
        TitleCase{"WmNameBehindInvalidNetWmName", "badname", "Pâté Fenster", "C.UTF-8",
                  "Pâté Fenster", 0},
        // In an ASCII locale the bytes of "é" cannot be converted: nothing is searched for.
        TitleCase{"NotInTheLocaleCharset", "normal", "Caf\xC3\xA9 Window", "C",
                  "Caf\xC3\xA9 Window", -1}),
    testkit::CaseName{});

TEST_F(WindowControl, MinimizeIconifiesAndRestoreShowsWithoutActivating) {
    const WindowHost host({"normal:Paneknob Restore", "normal:Paneknob Other"});
    ASSERT_EQ(restoreAndActivate("Paneknob Other"), 0);
    const hostkit::x11::Rectangle before = desktop_.settledGeometry(host[0]);
    ASSERT_EQ(minimize("Paneknob Restore"), 0);
    ASSERT_TRUE(eventually([&] { return hidden(host[0]); }));
    EXPECT_EQ(desktop_.activeWindow(), host[1]);

    EXPECT_EQ(restore("paneknob restore"), 0);
    ASSERT_TRUE(eventually([&] { return shown(host[0]); }));
    EXPECT_EQ(desktop_.settledGeometry(host[0]), before) << "its last normal size and position";
    EXPECT_EQ(desktop_.activeWindow(), host[1]) << "restore does not activate";
}

TEST_F(WindowControl, RestoreAndActivateBringsAMinimizedWindowToTheFront) {
    const WindowHost host({"normal:Paneknob Activate", "normal:Paneknob Other"});
    ASSERT_EQ(restoreAndActivate("Paneknob Other"), 0);
    ASSERT_EQ(minimize("Paneknob Activate"), 0);
    ASSERT_TRUE(eventually([&] { return hidden(host[0]); }));

    EXPECT_EQ(restoreAndActivate("Paneknob Activate"), 0);
    EXPECT_TRUE(shown(host[0]));
    EXPECT_EQ(desktop_.activeWindow(), host[0]);
    EXPECT_EQ(desktop_.stacking().back(), host[0]) << "on top";
}

TEST_F(WindowControl, RestoreAndActivateReportsAWindowThatDidNotBecomeActive) {
    const WindowHost host({"normal:Paneknob Other", "nofocus:Paneknob Refuses Focus"});
    ASSERT_EQ(restoreAndActivate("Paneknob Other"), 0);
    EXPECT_EQ(restoreAndActivate("Paneknob Refuses Focus"), -2);
    EXPECT_NE(desktop_.activeWindow(), host[1]);
    EXPECT_TRUE(shown(host[1])) << "restored all the same";
}

// Shown or minimized, a never-mapped window keeps the WM_HINTS and user time its program set,
// for its own later maps.
TEST_F(WindowControl, WithdrawnWindowIsShownOrMinimizedAndKeepsItsOwnHints) {
    const WindowHost host(
        {"normal:Paneknob Other", "withdrawn:Paneknob Hidden", "withdrawn:Paneknob Iconic"});
    const auto property = [&](std::uint32_t window, const char* name) {
        const auto value =
            x11kit::readProperty(desktop_.connection(), window, desktop_.connection().atom(name));
        return value ? value->cardinals() : std::vector<std::uint32_t>{};
    };
    const std::vector<std::uint32_t> hints = property(host[1], "WM_HINTS");
    ASSERT_EQ(restoreAndActivate("Paneknob Other"), 0);
    EXPECT_EQ(restore("Paneknob Hidden"), 0);
    EXPECT_TRUE(shown(host[1]));
    EXPECT_EQ(desktop_.activeWindow(), host[0]);
    EXPECT_EQ(minimize("Paneknob Iconic"), 0);
    EXPECT_TRUE(hidden(host[2]));
    for (const std::uint32_t window : {host[1], host[2]}) {
        EXPECT_EQ(property(window, "WM_HINTS"), hints);
        EXPECT_EQ(property(window, "_NET_WM_USER_TIME"), std::vector<std::uint32_t>{});
    }
}

// The request is the window's _MOTIF_WM_HINTS: every function and decoration but minimize and
// maximize. Openbox reads the hints again (and republishes _NET_WM_ALLOWED_ACTIONS) but never
// lets them take away those two buttons, so on this bench the allowed actions show
// only that nothing else was lost.
TEST_F(WindowControl, SetWindowFlagsAsksForNoMinimizeOrMaximizeAndKeepsTheRest) {
    const WindowHost host({"normal:Paneknob Boxes", "normal:Paneknob Other"});
    ASSERT_EQ(restoreAndActivate("Paneknob Other"), 0);
    const auto actions = [&] { return desktop_.atomNames(host[0], "_NET_WM_ALLOWED_ACTIONS"); };
    const auto hints = [&] {
        const auto value = x11kit::readProperty(desktop_.connection(), host[0],
                                                desktop_.connection().atom("_MOTIF_WM_HINTS"));
        return value ? value->cardinals() : std::vector<std::uint32_t>{};
    };
    const std::vector<std::string> before = actions();
    ASSERT_TRUE(has(before, "_NET_WM_ACTION_MINIMIZE"));
    const hostkit::x11::Rectangle place = desktop_.settledGeometry(host[0]);
    const std::vector<std::uint32_t> stacking = desktop_.stacking();

    EXPECT_EQ(setWindowFlags("Paneknob Boxes"), 0);
    // flags: functions and decorations; functions: resize, move, close; decorations: border,
    // resize handle, title, menu.
    EXPECT_EQ(hints(), (std::vector<std::uint32_t>{3, 0x26, 0x1E, 0, 0}));
    EXPECT_EQ(actions(), before);
    EXPECT_EQ(desktop_.settledGeometry(host[0]), place);
    EXPECT_EQ(desktop_.stacking(), stacking);
    EXPECT_EQ(desktop_.activeWindow(), host[1]);

    // A second call finds nothing left to remove and writes nothing.
    EXPECT_EQ(setWindowFlags("PANEKNOB BOXES"), 0);
    EXPECT_EQ(hints(), (std::vector<std::uint32_t>{3, 0x26, 0x1E, 0, 0}));
    EXPECT_EQ(desktop_.geometry(host[0]), place);
}

}  // namespace
