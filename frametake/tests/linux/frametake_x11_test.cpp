// libframetake.so on the X11 bench: a 1280x1024 monitor "left" of the 1920x1080 primary "main",
// under openbox. Pictures are put on the screen and read back through the PNG files.

#include <gtest/gtest.h>
#include <lodepng.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "hostkit/x11/desktop.h"
#include "screen_info.h"
#include "testkit/case_name.h"

namespace {

namespace fs = std::filesystem;
using frametake::ScreenInfo;
using hostkit::x11::Desktop;
using hostkit::x11::gradient;
using hostkit::x11::Rectangle;

struct Record {
    std::int32_t width;
    std::int32_t height;
    double x;
    double y;
    bool operator==(const Record&) const = default;
};

void PrintTo(const Record& r, std::ostream* out) {
    *out << r.width << "x" << r.height << "@" << r.x << "," << r.y;
}

// Every record of a count request in one mode, checking the fields that must agree.
std::vector<ScreenInfo> screens(std::uint8_t unaware) {
    std::vector<ScreenInfo> all(static_cast<std::size_t>(getScreenCountEx(unaware)));
    for (std::size_t i = 0; i < all.size(); ++i) {
        std::memset(&all[i], 0xAB, sizeof(ScreenInfo));
        getScreen(static_cast<std::int32_t>(i), &all[i]);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&all[i]);
        EXPECT_EQ((std::array{bytes[12], bytes[13], bytes[14], bytes[15]}),
                  (std::array<unsigned char, 4>{0xAB, 0xAB, 0xAB, 0xAB}));
        EXPECT_EQ(all[i].boundsWidth, all[i].width);
        EXPECT_EQ(all[i].boundsHeight, all[i].height);
    }
    return all;
}

std::vector<Record> records(const std::vector<ScreenInfo>& all) {
    std::vector<Record> out;
    for (const ScreenInfo& s : all) {
        out.push_back({s.width, s.height, s.boundsX, s.boundsY});
    }
    return out;
}

class Monitors : public ::testing::Test {
protected:
    void TearDown() override { desktop_.setResources(""); }
    Desktop desktop_;
};

TEST_F(Monitors, PrimaryFirstAndTheLeftOneNegative) {
    const std::vector<ScreenInfo> aware = screens(0);
    EXPECT_EQ(getScreenCount(), 2);
    EXPECT_EQ(records(aware), (std::vector<Record>{{1920, 1080, 0, 0}, {1280, 1024, -1280, 0}}));
    ASSERT_EQ(aware.size(), 2u);
    EXPECT_NE(aware[0].monitorHandle, aware[1].monitorHandle);
    // Without Xft.dpi the server runs at 96 DPI: both modes agree, handles too.
    const std::vector<ScreenInfo> unaware = screens(1);
    EXPECT_EQ(records(unaware), records(aware));
    EXPECT_EQ(unaware[1].monitorHandle, aware[1].monitorHandle);
}

TEST_F(Monitors, UnawareModeScalesByXftDpi) {
    desktop_.setResources("Xft.dpi:\t144\n");
    const std::vector<ScreenInfo> unaware = screens(1);
    EXPECT_EQ(records(unaware), (std::vector<Record>{{1280, 720, 0, 0}, {853, 683, -853, 0}}));
    const std::vector<ScreenInfo> aware = screens(0);
    EXPECT_EQ(records(aware), (std::vector<Record>{{1920, 1080, 0, 0}, {1280, 1024, -1280, 0}}));
    EXPECT_EQ(unaware[0].monitorHandle, aware[0].monitorHandle);
}

// A listing that fails at once (no such display) is not a late one: the table stays.
TEST_F(Monitors, MissingDisplayKeepsTheTable) {
    ASSERT_EQ(getScreenCount(), 2);
    const std::string display = std::getenv("DISPLAY");
    ::setenv("DISPLAY", ":65000", 1);
    const std::int32_t count = getScreenCount();
    ::setenv("DISPLAY", display.c_str(), 1);
    EXPECT_EQ(count, 2);
    ScreenInfo left{};
    getScreen(1, &left);
    EXPECT_EQ(records({left}), (std::vector<Record>{{1280, 1024, -1280, 0}}));
}

TEST_F(Monitors, IndexOutsideTheTableWritesNothing) {
    ASSERT_EQ(getScreenCount(), 2);
    for (const std::int32_t index : {-1, 2, 1000}) {
        ScreenInfo info;
        std::memset(&info, 0x5C, sizeof info);
        getScreen(index, &info);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&info);
        EXPECT_TRUE(
            std::all_of(bytes, bytes + sizeof info, [](unsigned char b) { return b == 0x5C; }))
            << "index " << index;
    }
}

// A private temporary directory for the captures of one test.
class Captures : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = fs::temp_directory_path() / ("frametake-x11-" + std::to_string(::getpid()));
        fs::remove_all(directory_);
        fs::create_directories(directory_);
        ::setenv("TMPDIR", directory_.c_str(), 1);
        ASSERT_EQ(getScreenCount(), 2);
        getScreen(0, &main_);
        getScreen(1, &left_);
    }
    void TearDown() override {
        ::unsetenv("TMPDIR");
        fs::remove_all(directory_);
    }

    // The PNG at `path`, decoded to 8-bit RGB.
    static std::vector<std::uint8_t> decode(const char* path, unsigned width, unsigned height) {
        unsigned char* pixels = nullptr;
        unsigned w = 0;
        unsigned h = 0;
        EXPECT_EQ(lodepng_decode24_file(&pixels, &w, &h, path), 0u) << path;
        const std::unique_ptr<unsigned char, decltype(&std::free)> owner(pixels, &std::free);
        EXPECT_EQ(w, width);
        EXPECT_EQ(h, height);
        return pixels == nullptr ? std::vector<std::uint8_t>{}
                                 : std::vector<std::uint8_t>(pixels, pixels + 3 * w * h);
    }

    fs::path directory_;
    ScreenInfo main_{};
    ScreenInfo left_{};
    Desktop desktop_;
};

struct PictureCase {
    const char* name;
    bool onLeftMonitor;
    Rectangle onRoot;  // where the picture lies in root-window coordinates
    std::int32_t x;    // the capture, relative to the monitor
    std::int32_t y;
};

class CapturePicture : public Captures, public ::testing::WithParamInterface<PictureCase> {};

TEST_P(CapturePicture, GivesThePicturePixelForPixelTopRowFirst) {
    const PictureCase& c = GetParam();
    desktop_.showPicture(c.onRoot, &gradient);
    const char* path =
        captureScreen(c.onLeftMonitor ? &left_ : &main_, c.x, c.y, c.onRoot.width, c.onRoot.height);
    ASSERT_STRNE(path, "");
    const std::vector<std::uint8_t> png =
        decode(path, static_cast<unsigned>(c.onRoot.width), static_cast<unsigned>(c.onRoot.height));
    ASSERT_EQ(png.size(), 3u * static_cast<std::size_t>(c.onRoot.width * c.onRoot.height));
    for (std::int32_t y = 0; y < c.onRoot.height; ++y) {
        for (std::int32_t x = 0; x < c.onRoot.width; ++x) {
            const std::uint8_t* p = &png[3 * static_cast<std::size_t>(y * c.onRoot.width + x)];
            const std::uint32_t got = std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
            ASSERT_EQ(got, gradient(x, y)) << "pixel " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Monitors, CapturePicture,
    ::testing::Values(PictureCase{"OnThePrimary", false, {1280 + 100, 50, 64, 48}, 100, 50},
                      PictureCase{"OnTheLeftMonitor", true, {10, 20, 33, 17}, 10, 20},
                      PictureCase{"AcrossBothMonitors", true, {1250, 300, 60, 40}, 1250, 300}),
    testkit::CaseName{});

TEST_F(Captures, BeyondTheScreenIsBlack) {
    desktop_.showPicture({3200 - 16, 0, 16, 8},
                         [](std::int32_t, std::int32_t) { return 0xFFFFFFu; });
    const char* path = captureScreen(&main_, 1920 - 16, 0, 32, 8);
    ASSERT_STRNE(path, "");
    const std::vector<std::uint8_t> png = decode(path, 32, 8);
    ASSERT_EQ(png.size(), 3u * 32 * 8);
    for (std::size_t x = 0; x < 32; ++x) {
        EXPECT_EQ(png[3 * x], x < 16 ? 255 : 0) << "column " << x;
    }
}

TEST_F(Captures, NamesANewPrivateFileScrSomethingPngPerCapture) {
    const std::string first = captureScreen(&main_, 0, 0, 8, 8);
    const char* second = captureScreen(&main_, 0, 0, 8, 8);
    ASSERT_NE(first, "");
    ASSERT_STRNE(second, "");
    EXPECT_NE(first, second);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory_)) {
        names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 2u) << "only the two PNG files are left";
    for (const std::string& name : names) {
        EXPECT_EQ(name.substr(0, 3), "scr");
        EXPECT_EQ(name.substr(name.size() - 4), ".png");
        const std::string path = (directory_ / name).string();
        EXPECT_TRUE(path == first || path == second) << path;
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
    }
    EXPECT_EQ(decode(first.c_str(), 8, 8).size(), 3u * 64) << "the first file is untouched";
}

TEST_F(Captures, FileStageFailureReleasesThePathAndKeepsTheFile) {
    const std::string kept = captureScreen(&main_, 0, 0, 4, 4);
    ASSERT_NE(kept, "");
    ::setenv("TMPDIR", (directory_ / "missing").c_str(), 1);
    EXPECT_STREQ(captureScreen(&main_, 0, 0, 4, 4), "");
    EXPECT_TRUE(fs::exists(kept)) << "the library never deletes a capture";
    // A name that cannot fit 260 bytes fails the same way.
    const fs::path deep = directory_ / std::string(250, 'd');
    fs::create_directories(deep);
    ::setenv("TMPDIR", deep.c_str(), 1);
    EXPECT_STREQ(captureScreen(&main_, 0, 0, 4, 4), "");
    EXPECT_TRUE(fs::is_empty(deep));
}

// A disk that fills up while the PNG is written: the capture fails and leaves no partial file.
TEST_F(Captures, FileThatCannotBeWrittenWholeIsRemoved) {
    const std::string kept = captureScreen(&main_, 0, 0, 4, 4);
    ASSERT_NE(kept, "");
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{40, limit.rlim_max};  // less than any PNG: signature and header are 33
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string failed = captureScreen(&main_, 0, 0, 64, 64);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(failed, "");
    std::vector<fs::path> left;
    for (const auto& entry : fs::directory_iterator(directory_)) {
        left.push_back(entry.path());
    }
    EXPECT_EQ(left, std::vector<fs::path>{kept}) << "only the earlier capture is left";
}

TEST_F(Captures, RefusedRequestsReturnEmpty) {
    EXPECT_STREQ(captureScreen(nullptr, 0, 0, 4, 4), "");
    EXPECT_STREQ(captureScreen(&main_, 0, 0, 0, 4), "");
    EXPECT_STREQ(captureScreen(&main_, 0, 0, 4, -1), "");
    EXPECT_TRUE(fs::is_empty(directory_));
}

TEST_F(Captures, NoDisplayFailsQuietly) {
    ASSERT_EQ(getScreenCount(), 2);
    const std::string display = std::getenv("DISPLAY");
    ::setenv("DISPLAY", ":65000", 1);
    EXPECT_EQ(getScreenCount(), 2) << "a failed enumeration keeps the table";
    EXPECT_STREQ(captureScreen(&main_, 0, 0, 4, 4), "");
    ::setenv("DISPLAY", display.c_str(), 1);
    EXPECT_TRUE(fs::is_empty(directory_));

    // A new process without a display counts nothing.
    const std::unique_ptr<FILE, decltype(&::pclose)> run(
        ::popen("env -u DISPLAY " LIST_SCREENS, "r"), &::pclose);
    ASSERT_NE(run, nullptr);
    std::array<char, 256> line{};
    ASSERT_NE(std::fgets(line.data(), line.size(), run.get()), nullptr);
    EXPECT_STREQ(line.data(), "aware count=0\n");
}

// Callers that break the one-capture-at-a-time rule may find their path replaced, but the
// library's own memory stays sound (the ASan build would report a double free). The paths are
// not read: a caller that overlaps captures has no promise of how long its path lives.
TEST_F(Captures, OverlappingCapturesKeepTheLibrarysMemorySound) {
    constexpr int kThreads = 8;
    constexpr int kEach = 25;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kEach; ++i) {
                static_cast<void>(captureScreen(&main_, 0, 0, 1, 1));  // not read: see above
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    // Every capture succeeded: one file each.
    const auto files = std::distance(fs::directory_iterator(directory_), fs::directory_iterator());
    EXPECT_EQ(files, kThreads * kEach);
    EXPECT_STRNE(captureScreen(&main_, 0, 0, 1, 1), "");
}

// A display whose server takes connections and never answers (the kernel completes them while
// nobody accepts): requests fail as without a display, and the threads a stalled server holds
// stay bounded.
class StalledServer : public Captures {
protected:
    void SetUp() override {
        Captures::SetUp();
        listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(listener_, 0);
        const int display = 6000 + ::getpid() % 1000;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = "/tmp/.X11-unix/X" + std::to_string(display);
        std::memcpy(address.sun_path + 1, path.c_str(), path.size());  // abstract name
        ASSERT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&address),
                         static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size())),
                  0);
        ASSERT_EQ(::listen(listener_, 128), 0);
        display_ = std::getenv("DISPLAY");
        ::setenv("DISPLAY", (":" + std::to_string(display)).c_str(), 1);
    }
    void TearDown() override {
        ::setenv("DISPLAY", display_.c_str(), 1);
        ::close(listener_);  // the connections nobody accepted are reset
        Captures::TearDown();
    }

    static int threadCount() {
        return static_cast<int>(
            std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator()));
    }
    static int descriptorCount() {
        return static_cast<int>(
            std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
    }

    int listener_ = -1;
    std::string display_;
};

TEST_F(StalledServer, RequestsFailAndLeaveFewThreadsBehind) {
    const int threads = threadCount();
    const int descriptors = descriptorCount();
    // A request whose worker fails within the wait keeps the earlier table (SetUp's two
    // monitors); one whose wait ends first clears it. Which comes first is the scheduler's
    // choice, but no request may see monitors of the stalled server.
    for (int i = 0; i < 30; ++i) {
        const int answer = getScreenCount();
        EXPECT_TRUE(answer == 0 || answer == 2) << answer;
    }
    EXPECT_STREQ(captureScreen(&main_, 0, 0, 4, 4), "");
    // At most the connecting threads the stalled server holds, and a worker that has not yet
    // noticed its connection failed.
    EXPECT_LE(threadCount(), threads + 3);
    EXPECT_LE(descriptorCount(), descriptors + 3);
    EXPECT_TRUE(fs::is_empty(directory_));
}

}  // namespace
