// paneknob.dll for real under Wine with Xvfb, against top-level windows of a second process and
// of the test process itself. The windows' state is read back through the system.
#include <gtest/gtest.h>
#include <hostkit/win32/messages.h>
#include <paneknob.h>
#include <testkit/case_name.h>
#include <testkit/win32/process.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace {

using Export = decltype(&::minimize);  // every export has this type

struct Exports {
    Export setWindowFlags = nullptr;
    Export minimize = nullptr;
    Export restore = nullptr;
    Export restoreAndActivate = nullptr;
};

const Exports& exports() {
    static const Exports loaded = [] {
        Exports e;
        const HMODULE module =
            ::LoadLibraryW((testkit::win32::moduleDirectory() / L"paneknob.dll").c_str());
        auto get = [module](const char* name) {
            return module != nullptr ? reinterpret_cast<Export>(
                                           reinterpret_cast<void*>(::GetProcAddress(module, name)))
                                     : nullptr;
        };
        e.setWindowFlags = get("setWindowFlags");
        e.minimize = get("minimize");
        e.restore = get("restore");
        e.restoreAndActivate = get("restoreAndActivate");
        return e;
    }();
    if (!loaded.setWindowFlags || !loaded.minimize || !loaded.restore ||
        !loaded.restoreAndActivate) {
        ADD_FAILURE() << "paneknob.dll or one of its exports is missing";
        std::abort();
    }
    return loaded;
}

// The host's windows, in the system's Z order (topmost first).
std::vector<HWND> zOrder(std::initializer_list<HWND> windows) {
    std::vector<HWND> order;
    for (HWND at = ::GetTopWindow(nullptr); at != nullptr; at = ::GetWindow(at, GW_HWNDNEXT)) {
        for (const HWND window : windows) {
            if (at == window) {
                order.push_back(at);
            }
        }
    }
    return order;
}

// Waits until the foreground window has stayed the same for a while: new windows are
// activated one after the other as the window system catches up.
void waitForQuietForeground() {
    HWND last = ::GetForegroundWindow();
    DWORD since = ::GetTickCount();
    const DWORD until = since + 5000;
    while (::GetTickCount() - since < 500 && static_cast<LONG>(until - ::GetTickCount()) > 0) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        }
        ::Sleep(20);
        if (const HWND now = ::GetForegroundWindow(); now != last) {
            last = now;
            since = ::GetTickCount();
        }
    }
}

void settle() {
    hostkit::win32::pumpMessages(150);
}

const std::wstring kLongTitle(4095, L'w');  // 4096 units with the terminator: just fits

// The second process and its windows, for each test.
class HostedWindows : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring id =
            std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(::GetTickCount());
        const std::wstring readyName = L"paneknob-ready-" + id;
        const std::wstring quitName = L"paneknob-quit-" + id;
        ready_.reset(::CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));
        quit_.reset(::CreateEventW(nullptr, TRUE, FALSE, quitName.c_str()));
        host_ = testkit::win32::startProcess(
            testkit::win32::moduleDirectory() / L"paneknob_window_host.exe",
            {readyName, quitName, L"--child", L"Paneknob Child Text", L"Paneknob Alpha",
             L"10CF0000",                     // WS_OVERLAPPEDWINDOW | WS_VISIBLE: both boxes
             L"Paneknob Plain", L"90C80000",  // WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE
             L"Caf\u00e9", L"10CF0000", kLongTitle, L"10CF0000"});
        ASSERT_TRUE(host_);
        ASSERT_EQ(::WaitForSingleObject(ready_.get(), 20000), WAIT_OBJECT_0)
            << "the window host did not start";
        settle();
        alpha_ = ::FindWindowW(nullptr, L"Paneknob Alpha");
        plain_ = ::FindWindowW(nullptr, L"Paneknob Plain");
        cafe_ = ::FindWindowW(nullptr, L"Caf\u00e9");
        long_ = ::FindWindowW(nullptr, kLongTitle.c_str());
        ASSERT_TRUE(alpha_ && plain_ && cafe_ && long_);
        waitForQuietForeground();
    }

    void TearDown() override {
        if (host_) {
            ::SetEvent(quit_.get());
            ::WaitForSingleObject(host_.get(), 10000);
        }
    }

    HWND alpha_ = nullptr;
    HWND plain_ = nullptr;
    HWND cafe_ = nullptr;
    HWND long_ = nullptr;

private:
    testkit::win32::UniqueHandle ready_;
    testkit::win32::UniqueHandle quit_;
    testkit::win32::UniqueHandle host_;
};

TEST_F(HostedWindows, TitlesThatMatchNoTopLevelWindowGiveMinusOne) {
    const std::string tooLong(5000, 'w');
    for (const char* title :
         {"Paneknob Nobody", "Paneknob Child Text", static_cast<const char*>(nullptr),
          tooLong.c_str(), "Paneknob Alph"}) {
        EXPECT_EQ(exports().setWindowFlags(title), -1);
        EXPECT_EQ(exports().minimize(title), -1);
        EXPECT_EQ(exports().restore(title), -1);
        EXPECT_EQ(exports().restoreAndActivate(title), -1);
    }
    EXPECT_FALSE(::IsIconic(alpha_));
}

TEST_F(HostedWindows, SetWindowFlagsClearsOnlyTheBoxes) {
    const LONG_PTR before = ::GetWindowLongPtrW(alpha_, GWL_STYLE);
    RECT placeBefore;
    ::GetWindowRect(alpha_, &placeBefore);
    const std::vector<HWND> orderBefore = zOrder({alpha_, plain_, cafe_, long_});
    ASSERT_EQ(before & 0x30000, 0x30000);

    EXPECT_EQ(exports().setWindowFlags("Paneknob Alpha"), 0);
    settle();
    const LONG_PTR after = ::GetWindowLongPtrW(alpha_, GWL_STYLE);
    EXPECT_EQ(after, before & ~LONG_PTR{0x30000});
    RECT placeAfter;
    ::GetWindowRect(alpha_, &placeAfter);
    EXPECT_TRUE(::EqualRect(&placeBefore, &placeAfter));
    EXPECT_EQ(zOrder({alpha_, plain_, cafe_, long_}), orderBefore);
    EXPECT_NE(::GetForegroundWindow(), alpha_);

    EXPECT_EQ(exports().setWindowFlags("Paneknob Alpha"), 0);
    settle();
    EXPECT_EQ(::GetWindowLongPtrW(alpha_, GWL_STYLE), after);
}

TEST_F(HostedWindows, SetWindowFlagsOnAWindowWithoutBoxesChangesNothing) {
    const LONG_PTR before = ::GetWindowLongPtrW(plain_, GWL_STYLE);
    ASSERT_EQ(before & 0x30000, 0);
    EXPECT_EQ(exports().setWindowFlags("Paneknob Plain"), 0);
    settle();
    EXPECT_EQ(::GetWindowLongPtrW(plain_, GWL_STYLE), before);
}

TEST_F(HostedWindows, MinimizeRestoreAndActivate) {
    EXPECT_EQ(exports().minimize("PANEKNOB ALPHA"), 0);  // letter case does not matter
    settle();
    EXPECT_TRUE(::IsIconic(alpha_));

    // restore shows the window without asking for activation (the host test checks the call).
    // Wine 8 activates any minimized window that SW_SHOWNOACTIVATE restores, a plain ShowWindow
    // included, so the foreground window is not compared here.
    EXPECT_EQ(exports().restore("Paneknob Alpha"), 0);
    settle();
    EXPECT_FALSE(::IsIconic(alpha_));
    EXPECT_TRUE(::IsWindowVisible(alpha_));

    EXPECT_EQ(exports().minimize("Paneknob Alpha"), 0);
    settle();
    ASSERT_TRUE(::IsIconic(alpha_));
    EXPECT_EQ(exports().restoreAndActivate("paneknob alpha"), 0);
    settle();
    EXPECT_FALSE(::IsIconic(alpha_));
    EXPECT_EQ(::GetForegroundWindow(), alpha_);
}

TEST_F(HostedWindows, TitlesInTheAnsiCodePageAndAtTheBufferLimit) {
    ASSERT_EQ(::GetACP(), 1252u);
    EXPECT_EQ(exports().minimize("Caf\xe9"), 0);
    EXPECT_EQ(exports().minimize("CAF\xc9"), 0);
    const std::string longTitle(kLongTitle.begin(), kLongTitle.end());
    EXPECT_EQ(exports().minimize(longTitle.c_str()), 0);
    settle();
    EXPECT_TRUE(::IsIconic(cafe_));
    EXPECT_TRUE(::IsIconic(long_));
}

TEST(EmptyTitle, FindsWhatTheSystemFindsForAnEmptyTitle) {
    const bool untitledExists = ::FindWindowW(nullptr, L"") != nullptr;
    EXPECT_EQ(exports().setWindowFlags(""), untitledExists ? 0 : -1);
}

TEST(OwnWindow, ActionsOnAWindowOfTheCallingThread) {
    WNDCLASSW type{};
    type.lpfnWndProc = &::DefWindowProcW;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.lpszClassName = L"PaneknobOwnWindow";
    ::RegisterClassW(&type);
    const HWND own =
        ::CreateWindowExW(0, type.lpszClassName, L"Paneknob Own", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                          500, 300, 300, 200, nullptr, nullptr, type.hInstance, nullptr);
    ASSERT_NE(own, nullptr);
    settle();
    EXPECT_EQ(exports().minimize("Paneknob Own"), 0);
    settle();
    EXPECT_TRUE(::IsIconic(own));
    EXPECT_EQ(exports().restoreAndActivate("Paneknob Own"), 0);
    settle();
    EXPECT_FALSE(::IsIconic(own));
    EXPECT_EQ(::GetForegroundWindow(), own);
    EXPECT_EQ(::GetActiveWindow(), own);
    ::DestroyWindow(own);
}

}  // namespace

// A window whose thread has stopped handling messages: each export answers -2 within its bound
// and leaves the window as it was, where the system's calls would wait for the thread forever.
TEST(HungWindow, EveryExportAnswersMinusTwoAndLeavesItAsItWas) {
    constexpr char kTitle[] = "Paneknob Hung";
    const HANDLE created = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HANDLE resume = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND window = nullptr;
    std::thread owner([&] {
        WNDCLASSW type{};
        type.lpfnWndProc = &::DefWindowProcW;
        type.hInstance = ::GetModuleHandleW(nullptr);
        type.lpszClassName = L"PaneknobHungWindow";
        ::RegisterClassW(&type);
        window = ::CreateWindowExW(0, type.lpszClassName, L"Paneknob Hung",
                                   WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                                   nullptr, type.hInstance, nullptr);
        hostkit::win32::pumpMessages(300);
        ::SetEvent(created);
        ::WaitForSingleObject(resume, INFINITE);  // no messages handled meanwhile
        ::DestroyWindow(window);
    });
    ASSERT_EQ(::WaitForSingleObject(created, 10000), WAIT_OBJECT_0);
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    for (const Export action : {exports().setWindowFlags, exports().minimize, exports().restore,
                                exports().restoreAndActivate}) {
        EXPECT_EQ(action(kTitle), -2);  // a call that waits for the window never returns
    }
    EXPECT_EQ(::GetWindowLongPtrW(window, GWL_STYLE), style);
    EXPECT_FALSE(::IsIconic(window));
    ::SetEvent(resume);
    owner.join();
    ::CloseHandle(created);
    ::CloseHandle(resume);
}
