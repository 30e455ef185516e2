#include <gtest/gtest.h>
#include <sanitizer/asan_interface.h>
#include <testkit/case_name.h>

#include <functional>
#include <string>
#include <vector>

#include "user32_windows.h"
#include "window_control.h"

namespace paneknob {
namespace {

using Calls = std::vector<std::string>;

// user32 with one window, "Target" (matched without regard to case), that records every call.
// Each call after the lookup checks that the title buffer is already released. The actions run
// over it through User32Windows, as on Windows.
class FakeWindows final : public User32Calls {
public:
    operator WindowSystem&() { return windows_; }

    std::int64_t windowStyle = 0x14CF0000;  // an overlapped window with both boxes, visible
    bool conversionFails = false;
    bool foregroundWorks = true;
    bool activationWorks = true;
    bool answering = true;  // false: the window's thread no longer handles messages

    Calls calls;
    std::int64_t styleSet = 0;
    std::uint32_t refreshFlags = 0;

    int convertTitle(const char* title, char16_t* buffer, int capacity) override {
        EXPECT_EQ(capacity, 4096);
        calls.emplace_back("convert");
        if (conversionFails) {
            return 0;
        }
        int units = 0;
        for (const char* c = title;; ++c) {
            if (units == capacity) {
                return 0;  // does not fit
            }
            buffer[units++] = static_cast<unsigned char>(*c);
            if (*c == '\0') {
                return units;
            }
        }
    }
    Window findTopLevelWindow(const char16_t* title) override {
        calls.emplace_back("find");
        buffer_ = title;
        std::u16string lowered(title);
        for (char16_t& c : lowered) {
            c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
        }
        return lowered == u"target" ? reinterpret_cast<Window>(&window_) : nullptr;
    }
    bool answers(Window window, std::uint32_t milliseconds) override {
        EXPECT_LE(milliseconds, 2000u);
        act("answers", window);
        return answering;
    }
    std::int64_t style(Window window) override {
        act("style", window);
        return windowStyle;
    }
    void setStyle(Window window, std::int64_t style) override {
        act("setStyle", window);
        styleSet = style;
    }
    void refreshFrame(Window window, std::uint32_t flags) override {
        act("refreshFrame", window);
        refreshFlags = flags;
    }
    void show(Window window, int command) override {
        act("show " + std::to_string(command), window);
    }
    bool bringToForeground(Window window) override {
        act("foreground", window);
        return foregroundWorks;
    }
    Window activate(Window window) override {
        act("activate", window);
        return activationWorks ? reinterpret_cast<Window>(&previous_) : nullptr;
    }

private:
    void act(std::string call, Window window) {
        EXPECT_EQ(window, reinterpret_cast<Window>(&window_));
        EXPECT_TRUE(__asan_address_is_poisoned(buffer_))
            << call << " before the title buffer was released";
        calls.push_back(std::move(call));
    }

    int window_ = 0;
    int previous_ = 0;
    const char16_t* buffer_ = nullptr;
    User32Windows windows_{*this};
};

using Action = std::int32_t (*)(WindowSystem&, const char*);

struct ActionCase {
    const char* name;
    Action action;
    std::function<void(FakeWindows&)> script;
    const char* title;
    std::int32_t code;
    Calls calls;
};

class WindowAction : public ::testing::TestWithParam<ActionCase> {};

TEST_P(WindowAction, AnswersItsCodeAfterTheRightCalls) {
    const ActionCase& c = GetParam();
    FakeWindows windows;
    c.script(windows);
    EXPECT_EQ(c.action(windows, c.title), c.code);
    EXPECT_EQ(windows.calls, c.calls);
}

const auto kAsIs = [](FakeWindows&) {};
const auto kHung = [](FakeWindows& w) { w.answering = false; };
const Calls kLookup{"convert", "find"};

// The lookup, the question whether the window answers, then `more`.
Calls then(std::initializer_list<std::string> more) {
    Calls calls = kLookup;
    calls.emplace_back("answers");
    calls.insert(calls.end(), more);
    return calls;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowAction,
    ::testing::Values(
        ActionCase{"FlagsNoWindow", &setWindowFlags, kAsIs, "Other", -1, kLookup},
        ActionCase{"MinimizeNoWindow", &minimize, kAsIs, "Other", -1, kLookup},
        ActionCase{"RestoreNoWindow", &restore, kAsIs, "Other", -1, kLookup},
        ActionCase{"ActivateNoWindow", &restoreAndActivate, kAsIs, "Other", -1, kLookup},
        ActionCase{"FlagsStyleThenFrame", &setWindowFlags, kAsIs, "Target", 0,
                   then({"style", "setStyle", "refreshFrame"})},
        ActionCase{"LetterCaseIgnored", &minimize, kAsIs, "tARGET", 0, then({"show 6"})},
        ActionCase{"RestoreShowsWithoutActivating", &restore, kAsIs, "Target", 0, then({"show 4"})},
        ActionCase{"ActivateThroughForeground", &restoreAndActivate, kAsIs, "Target", 0,
                   then({"show 9", "foreground"})},
        ActionCase{"ActivateFallsBackToActiveWindow", &restoreAndActivate,
                   [](FakeWindows& w) { w.foregroundWorks = false; }, "Target", 0,
                   then({"show 9", "foreground", "activate"})},
        ActionCase{"ActivateFailsBothWays", &restoreAndActivate,
                   [](FakeWindows& w) { w.foregroundWorks = w.activationWorks = false; }, "Target",
                   -2, then({"show 9", "foreground", "activate"})},
        ActionCase{"HungWindowKeepsItsBoxes", &setWindowFlags, kHung, "Target", -2, then({})},
        ActionCase{"HungWindowIsNotMinimized", &minimize, kHung, "Target", -2, then({})},
        ActionCase{"HungWindowIsNotShown", &restore, kHung, "Target", -2, then({})},
        ActionCase{"HungWindowIsNotActivated", &restoreAndActivate, kHung, "Target", -2, then({})},
        ActionCase{"NullTitleIsNotSearched", &minimize, kAsIs, nullptr, -1, Calls{}},
        ActionCase{"FailedConversionIsNotSearched", &restoreAndActivate,
                   [](FakeWindows& w) { w.conversionFails = true; }, "Target", -1,
                   Calls{"convert"}}),
    testkit::CaseName{});

TEST(WindowFlags, ClearsOnlyTheTwoBoxesAndKeepsPositionSizeAndOrder) {
    const std::int64_t styles[] = {0x14CF0000, 0x00030000,         0x00000000,
                                   -1,         0x7FFFFFFFFFFFFFFF, 0x10000000};
    for (const std::int64_t style : styles) {
        FakeWindows windows;
        windows.windowStyle = style;
        ASSERT_EQ(setWindowFlags(windows, "Target"), 0);
        EXPECT_EQ(windows.styleSet, style & ~std::int64_t{0x30000}) << std::hex << style;
        EXPECT_EQ(windows.refreshFlags, 0x37u);  // no size, move, Z order or activation change
    }
}

TEST(FindWindowByTitle, TitleNeedingMoreThan4096UnitsIsNotSearched) {
    const std::string fits(4095, 'x');  // 4096 units with the terminator
    const std::string tooLong(4096, 'x');
    FakeWindows windows;
    (void)findWindowByTitle(windows, fits.c_str());
    EXPECT_EQ(windows.calls, kLookup);
    FakeWindows other;
    EXPECT_EQ(findWindowByTitle(other, tooLong.c_str()), nullptr);
    EXPECT_EQ(other.calls, Calls{"convert"});
}

// A window system that cannot be asked (no X server, a stalled compositor): each action answers
// -3, neither "no such window" nor "not done", and does nothing.
TEST(WindowControl, WindowSystemThatCannotBeAskedAnswersMinusThree) {
    struct Unreachable final : WindowSystem {
        std::optional<Window> findTopLevelWindow(const char*) override { return std::nullopt; }
        bool removeBoxes(Window) override { return acted(); }
        bool minimize(Window) override { return acted(); }
        bool showWithoutActivating(Window) override { return acted(); }
        bool restoreAndActivate(Window) override { return acted(); }
        static bool acted() {
            ADD_FAILURE() << "acted on a window that was never found";
            return true;
        }
    } system;
    for (auto action : {&setWindowFlags, &minimize, &restore, &restoreAndActivate}) {
        EXPECT_EQ(action(system, "Target"), kUnreachable);
    }
}

}  // namespace
}  // namespace paneknob
