// frametake.dll for real under Wine with Xvfb (one 1920x1080x24 screen): the monitor records in
// both DPI modes, and captures of a window showing a known picture, compared pixel by pixel.
#include <gtest/gtest.h>
#include <testkit/case_name.h>
#include <testkit/win32/process.h>
#include <testkit/win32/usage.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <string>

#include "frametake_harness.h"

namespace frametake::wine {
namespace {

// A count request's worker that misses its 500 ms wait (an emulated machine under load) makes
// the request answer 0 with an empty table, as documented: such a request is asked again, a
// few times, instead of failing the test by the machine's load.
template <typename Request>
std::int32_t count(Request request) {
    std::int32_t answer = 0;
    for (int attempt = 0; attempt < 5 && answer == 0; ++attempt) {
        answer = request();
    }
    return answer;
}

ScreenInfo primaryRecord() {
    EXPECT_GE(count([] { return exports().getScreenCount(); }), 1);
    ScreenInfo info{};
    exports().getScreen(0, &info);
    return info;
}

std::filesystem::path temporaryFolder() {
    char folder[MAX_PATH + 1];
    ::GetTempPathA(sizeof(folder), folder);
    return folder;
}

TEST(FrametakeScreens, OneScreenOf1920By1080InBothModes) {
    const std::function<std::int32_t()> requests[] = {[] { return exports().getScreenCount(); },
                                                      [] { return exports().getScreenCountEx(0); },
                                                      [] { return exports().getScreenCountEx(1); }};
    for (const auto& request : requests) {
        EXPECT_EQ(count(request), 1);
        std::array<unsigned char, 48> record;
        record.fill(0x5A);
        exports().getScreen(0, reinterpret_cast<ScreenInfo*>(record.data()));
        ScreenInfo info;
        std::memcpy(&info, record.data(), sizeof(info));
        EXPECT_EQ(info.width, 1920);
        EXPECT_EQ(info.height, 1080);
        EXPECT_EQ(info.boundsX, 0.0);
        EXPECT_EQ(info.boundsY, 0.0);
        EXPECT_EQ(info.boundsWidth, 1920.0);
        EXPECT_EQ(info.boundsHeight, 1080.0);
        EXPECT_NE(info.monitorHandle, 0);
        EXPECT_EQ(info.reserved, 0x5A5A5A5A) << "bytes 12 to 15 were written";
    }
}

TEST(FrametakeScreens, IndexOutsideTheTableLeavesTheRecordAlone) {
    ASSERT_EQ(count([] { return exports().getScreenCountEx(1); }), 1);
    for (const std::int32_t index : {-1, 1}) {
        std::array<unsigned char, 48> record;
        record.fill(0x33);
        exports().getScreen(index, reinterpret_cast<ScreenInfo*>(record.data()));
        for (const unsigned char b : record) {
            ASSERT_EQ(b, 0x33) << "index " << index;
        }
    }
}

// The system's DPI is read when a process starts, so a second process lists the monitors.
class SystemDpi : public ::testing::Test {
protected:
    static constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

    void SetUp() override {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_SET_VALUE,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const DWORD dpi = 144;
        ::RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                         sizeof(dpi));
        ::RegCloseKey(key);
    }
    void TearDown() override { ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels"); }
};

TEST_F(SystemDpi, UnawareModeMeasuresIn96DpiUnits) {
    const auto outcome = testkit::win32::runProcess(
        testkit::win32::moduleDirectory() / L"frametake_list_screens.exe", {});
    ASSERT_EQ(outcome.exitCode, 0u) << outcome.out;
    std::istringstream lines(outcome.out);
    std::set<std::string> seen;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        seen.insert(
            line.substr(0, line.find(" handle=")) +
            line.substr(line.find(" x=") == std::string::npos ? line.size() : line.find(" x=")));
    }
    EXPECT_TRUE(seen.count("aware 0 x=0 y=0 width=1920 height=1080")) << outcome.out;
    EXPECT_TRUE(seen.count("unaware 0 x=0 y=0 width=1280 height=720")) << outcome.out;
}

struct Rectangle {
    const char* name;
    std::int32_t x;  // relative to the pattern window
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
};

constexpr std::int32_t kWindowLeft = 200;
constexpr std::int32_t kWindowTop = 150;
constexpr std::int32_t kWindowWidth = 301;
constexpr std::int32_t kWindowHeight = 203;

class FrametakeCapture : public ::testing::TestWithParam<Rectangle> {};

TEST_P(FrametakeCapture, PngHoldsTheScreenPixelsTopRowFirst) {
    const Rectangle& r = GetParam();
    PatternWindow window(kWindowLeft, kWindowTop, kWindowWidth, kWindowHeight);
    const ScreenInfo screen = primaryRecord();

    const std::string path =
        exports().captureScreen(&screen, kWindowLeft + r.x, kWindowTop + r.y, r.width, r.height);
    ASSERT_FALSE(path.empty());

    const Image image = readPng(path);
    std::filesystem::remove(path);
    ASSERT_EQ(image.width, static_cast<unsigned>(r.width));
    ASSERT_EQ(image.height, static_cast<unsigned>(r.height));
    int wrong = 0;
    for (std::int32_t y = 0; y < r.height; ++y) {
        for (std::int32_t x = 0; x < r.width; ++x) {
            const std::uint32_t want = patternPixel(r.x + x, r.y + y, kWindowWidth, kWindowHeight);
            const std::uint8_t* got = &image.rgb[3 * static_cast<std::size_t>(y * r.width + x)];
            const std::uint32_t have =
                (std::uint32_t{got[0]} << 16) | (std::uint32_t{got[1]} << 8) | got[2];
            if (have != want && ++wrong <= 5) {
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << have
                              << " instead of " << want;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rectangles, FrametakeCapture,
    ::testing::Values(Rectangle{"WholeWindow", 0, 0, kWindowWidth, kWindowHeight},
                      Rectangle{"OnePixel", 5, 5, 1, 1}, Rectangle{"OddWidth13", 97, 95, 13, 17},
                      Rectangle{"OddWidth101", 150, 80, 101, 77}, Rectangle{"Width4", 0, 100, 4, 3},
                      Rectangle{"Width5", 1, 100, 5, 3},
                      Rectangle{"BottomRight", 280, 190, 21, 13}),
    testkit::CaseName{});

TEST(FrametakeFiles, PathIsATemporaryScrPngAndNoTmpIsLeft) {
    const ScreenInfo screen = primaryRecord();
    const std::string first = exports().captureScreen(&screen, 0, 0, 16, 16);
    ::Sleep(5);
    const std::string firstCopy = first;
    const std::string second = exports().captureScreen(&screen, 0, 0, 16, 16);

    for (const std::string& path : {firstCopy, second}) {
        ASSERT_FALSE(path.empty());
        const std::filesystem::path file(path);
        EXPECT_EQ(file.parent_path(), temporaryFolder().parent_path());
        const std::string name = file.filename().string();
        EXPECT_EQ(name.substr(0, 3), "scr");
        EXPECT_EQ(file.extension(), ".png");
        EXPECT_LE(name.size(), 11u);  // scr, up to four hexadecimal digits, .png
        EXPECT_TRUE(std::filesystem::exists(file));
        EXPECT_FALSE(
            std::filesystem::exists(std::filesystem::path(file).replace_extension(".tmp")));
    }
    EXPECT_NE(firstCopy, second);
    std::filesystem::remove(firstCopy);
    std::filesystem::remove(second);
}

// Earlier files belong to the caller. The system numbers temporary files from its millisecond
// tick: files of earlier captures hold the names of a second that starts a little later, and a
// capture made at the start of that second moves on to a free name, leaving them as they were.
TEST(FrametakeFiles, EarlierFilesAreNeverOverwritten) {
    const ScreenInfo screen = primaryRecord();
    const std::string folder = temporaryFolder().string();
    std::set<std::string> earlier;
    auto prepare = [&](DWORD start) {
        for (DWORD tick = start; tick != start + 1000; ++tick) {
            char name[MAX_PATH];
            if (::GetTempFileNameA(folder.c_str(), "scr", tick & 0xFFFF, name) == 0) {
                return false;
            }
            const std::string png = std::filesystem::path(name).replace_extension(".png").string();
            const HANDLE file = ::CreateFileA(png.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                DWORD written = 0;
                ::WriteFile(file, "earlier", 7, &written, nullptr);
                ::CloseHandle(file);
                earlier.insert(png);
            }
        }
        return true;
    };
    // The files must be ready before their second starts; a slow machine (an emulated one under
    // load) gets a longer lead on the next try.
    DWORD start = 0;
    bool ready = false;
    for (const DWORD lead : {2500u, 8000u, 20000u}) {
        start = ::GetTickCount() + lead;
        ASSERT_TRUE(prepare(start));
        ready = static_cast<LONG>(::GetTickCount() - start) < 0;
        if (ready) {
            break;
        }
        for (const std::string& file : earlier) {
            std::filesystem::remove(file);
        }
        earlier.clear();
    }
    ASSERT_TRUE(ready) << "preparing took too long three times";
    while (static_cast<LONG>(::GetTickCount() - start) < 0) {
        ::Sleep(1);
    }

    const std::string first = exports().captureScreen(&screen, 0, 0, 3, 2);
    const std::string second = exports().captureScreen(&screen, 0, 0, 3, 2);

    for (const std::string& path : {first, second}) {
        ASSERT_NE(path, "");
        EXPECT_EQ(readPng(path).width, 3u);
        EXPECT_FALSE(
            std::filesystem::exists(std::filesystem::path(path).replace_extension(".tmp")));
        std::filesystem::remove(path);
    }
    EXPECT_NE(first, second);
    std::size_t changed = 0;
    for (const std::string& file : earlier) {
        changed += std::filesystem::file_size(file) != 7 ? 1u : 0u;
        std::filesystem::remove(file);
    }
    EXPECT_EQ(changed, 0u) << "earlier files were overwritten";
}

// TMP pointed at `folder` (made, with its parents) for the test's life; the folder and what
// is in it are removed afterwards.
class TemporaryFolderOf {
public:
    explicit TemporaryFolderOf(const std::filesystem::path& folder)
        : base_(temporaryFolder() / "frametake-odd"), folder_(base_ / folder) {
        std::filesystem::create_directories(folder_);
        ::SetEnvironmentVariableW(L"TMP", folder_.wstring().c_str());
    }
    TemporaryFolderOf(const TemporaryFolderOf&) = delete;
    TemporaryFolderOf& operator=(const TemporaryFolderOf&) = delete;
    ~TemporaryFolderOf() {
        ::SetEnvironmentVariableW(L"TMP", original_.wstring().c_str());
        std::filesystem::remove_all(base_);
    }
    [[nodiscard]] const std::filesystem::path& base() const { return base_; }
    [[nodiscard]] const std::filesystem::path& folder() const { return folder_; }

private:
    std::filesystem::path original_ = temporaryFolder();
    std::filesystem::path base_;
    std::filesystem::path folder_;
};

std::size_t filesIn(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        count += entry.is_regular_file() ? 1u : 0u;
    }
    return count;
}

// A folder too long for GetTempFileNameA's name, and one whose name the code page can only
// approximate (a fullwidth backslash, which a best-fit conversion makes a backslash into the
// folder "a\b" beside it): no capture, no file anywhere.
TEST(FrametakeFiles, TemporaryFoldersThatCannotHoldTheCaptureGiveNoPath) {
    const ScreenInfo screen = primaryRecord();
    for (const std::wstring& odd : {std::wstring(220 - temporaryFolder().wstring().size(), L'x') +
                                        L"\\" + std::wstring(20, L'y'),
                                    std::wstring(L"a\uFF3Cb")}) {
        const TemporaryFolderOf temporary{std::filesystem::path(odd)};
        std::filesystem::create_directories(temporary.base() / "a" / "b");
        EXPECT_EQ(std::string(exports().captureScreen(&screen, 0, 0, 4, 4)), "")
            << temporary.folder().string().size();
        EXPECT_EQ(filesIn(temporary.base()), 0u);
    }
}

TEST(FrametakeReliability, FiveHundredCapturesLeaveNothingBehind) {
    using namespace testkit::win32;
    const ScreenInfo screen = primaryRecord();
    auto captureAndDelete = [&] {
        const char* path = exports().captureScreen(&screen, 10, 10, 64, 48);
        ASSERT_STRNE(path, "");
        std::filesystem::remove(path);
    };
    for (int i = 0; i < 5; ++i) {
        captureAndDelete();
    }
    const std::size_t bytesBefore = privateBytes();
    const std::size_t gdiBefore = gdiObjects();
    const std::size_t handlesBefore = handleCount();
    for (int i = 0; i < 500; ++i) {
        captureAndDelete();
    }
    EXPECT_LT(static_cast<double>(privateBytes()) - static_cast<double>(bytesBefore),
              2.0 * 1024 * 1024);
    EXPECT_LE(static_cast<double>(gdiObjects()) - static_cast<double>(gdiBefore), 4);
    EXPECT_LE(static_cast<double>(handleCount()) - static_cast<double>(handlesBefore), 4);
}

}  // namespace
}  // namespace frametake::wine
