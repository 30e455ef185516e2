#include <gtest/gtest.h>
#include <lodepng.h>
#include <testkit/case_name.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "capture.h"
#include "fake_capture.h"
#include "pixels.h"

namespace frametake {
namespace {

using testing::FakeCapturePlatform;
using Calls = std::vector<std::string>;

ScreenInfo screenAt(double x, double y) {
    ScreenInfo info{};
    info.boundsX = x;
    info.boundsY = y;
    return info;
}

const ScreenInfo kPrimary = screenAt(0, 0);

const Calls kGdiStart{"GetDC", "CreateCompatibleDC", "CreateCompatibleBitmap",
                      "SelectObject(bitmap)", "BitBlt"};
const Calls kGdiEnd{"SelectObject(original)", "DeleteObject", "DeleteDC", "ReleaseDC"};

Calls join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// The .tmp that held the number goes once the .png exists.
const Calls kFileStage{"GetTempPath", "EncodePng", "CreateFile /tmp/frametake-fake/scr1A3.png",
                       "RemoveFile /tmp/frametake-fake/scr1A3.tmp", "CloseHandle"};

struct StepCase {
    const char* name;
    void (*script)(FakeCapturePlatform&);
    Calls calls;
    bool keepsLastPath;
};

class CaptureFailure : public ::testing::TestWithParam<StepCase> {};

TEST_P(CaptureFailure, ReleasesWhatItMadeAndReturnsEmpty) {
    const StepCase& c = GetParam();
    ScreenCapture capture;
    FakeCapturePlatform earlier;
    const char* previous = capture.capture(earlier, &kPrimary, 0, 0, 2, 2);
    ASSERT_STREQ(previous, "/tmp/frametake-fake/scr1A3.png");

    FakeCapturePlatform platform;
    c.script(platform);
    EXPECT_STREQ(capture.capture(platform, &kPrimary, 0, 0, 3, 2), "");

    EXPECT_EQ(platform.calls, c.calls);
    if (c.keepsLastPath) {
        EXPECT_EQ(capture.lastCapturePath(), previous);
        EXPECT_STREQ(previous, "/tmp/frametake-fake/scr1A3.png");
    } else {
        EXPECT_EQ(capture.lastCapturePath(), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, CaptureFailure,
    ::testing::Values(
        StepCase{
            "ScreenContext", [](FakeCapturePlatform& p) { p.screenFails = true; }, {"GetDC"}, true},
        StepCase{"MemoryContext",
                 [](FakeCapturePlatform& p) { p.memoryFails = true; },
                 {"GetDC", "CreateCompatibleDC", "ReleaseDC"},
                 true},
        StepCase{"Bitmap",
                 [](FakeCapturePlatform& p) { p.bitmapFails = true; },
                 {"GetDC", "CreateCompatibleDC", "CreateCompatibleBitmap", "DeleteDC", "ReleaseDC"},
                 true},
        StepCase{"Copy", [](FakeCapturePlatform& p) { p.copyFails = true; },
                 join({kGdiStart, kGdiEnd}), true},
        StepCase{"ReadPixels", [](FakeCapturePlatform& p) { p.readFails = true; },
                 join({kGdiStart, {"GetDIBits"}, kGdiEnd}), true},
        StepCase{"TempDirectoryZero", [](FakeCapturePlatform& p) { p.directoryLength = 0; },
                 join({kGdiStart, {"GetDIBits", "GetTempPath"}, kGdiEnd}), false},
        StepCase{"TempDirectoryTooLong", [](FakeCapturePlatform& p) { p.directoryLength = 261; },
                 join({kGdiStart, {"GetDIBits", "GetTempPath"}, kGdiEnd}), false},
        // GetTempFileNameA needs room for its file name after the folder.
        StepCase{"TempDirectoryWithoutRoomForAName",
                 [](FakeCapturePlatform& p) { p.directoryLength = 247; },
                 join({kGdiStart, {"GetDIBits", "GetTempPath"}, kGdiEnd}), false},
        StepCase{"PngEncoder", [](FakeCapturePlatform& p) { p.pngResult = 83; },
                 join({kGdiStart, {"GetDIBits", "GetTempPath", "EncodePng"}, kGdiEnd}), false},
        StepCase{"UniqueFile", [](FakeCapturePlatform& p) { p.uniqueFileFails = true; },
                 join({kGdiStart,
                       {"GetDIBits", "GetTempPath", "EncodePng",
                        "CreateFile /tmp/frametake-fake/scr1A3.png",
                        "RemoveFile /tmp/frametake-fake/scr1A3.tmp"},
                       kGdiEnd}),
                 false},
        StepCase{"FileWrite", [](FakeCapturePlatform& p) { p.writeFails = true; },
                 join({kGdiStart,
                       {"GetDIBits"},
                       kFileStage,
                       {"RemoveFile /tmp/frametake-fake/scr1A3.png"},
                       kGdiEnd}),
                 false},
        StepCase{"PathCopy", [](FakeCapturePlatform& p) { p.memoryRunsOutAfterWrite = true; },
                 join({kGdiStart,
                       {"GetDIBits"},
                       kFileStage,
                       kGdiEnd,
                       {"RemoveFile /tmp/frametake-fake/scr1A3.png"}}),
                 false}),
    testkit::CaseName{});

TEST(Capture, WritesThePixelsAsRgbTopRowFirst) {
    FakeCapturePlatform platform;
    ScreenCapture capture;
    const ScreenInfo left = screenAt(-1920, 0);

    const char* path = capture.capture(platform, &left, 10, 3, 5, 4);

    EXPECT_STREQ(path, "/tmp/frametake-fake/scr1A3.png");
    EXPECT_EQ(path, capture.lastCapturePath());
    EXPECT_EQ(platform.calls, join({kGdiStart, {"GetDIBits"}, kFileStage, kGdiEnd}));
    EXPECT_EQ(platform.sourceX, -1910);
    EXPECT_EQ(platform.sourceY, 3);
    EXPECT_EQ(std::string(platform.written.begin(), platform.written.end()),
              FakeCapturePlatform::kEncoded);
    ASSERT_EQ(platform.pngPixels.size(), 5u * 4 * 3);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            const std::uint32_t rgb = platform.pixel(-1910 + x, 3 + y);
            const std::uint8_t* out =
                &platform.pngPixels[static_cast<std::size_t>(3 * (y * 5 + x))];
            EXPECT_EQ(out[0], rgb >> 16) << x << "," << y;
            EXPECT_EQ(out[1], (rgb >> 8) & 0xFF) << x << "," << y;
            EXPECT_EQ(out[2], rgb & 0xFF) << x << "," << y;
        }
    }
}

TEST(Capture, SourcePositionTruncatesTowardZero) {
    FakeCapturePlatform platform;
    ScreenCapture capture;
    const ScreenInfo odd = screenAt(-100.75, 20.5);
    ASSERT_STRNE(capture.capture(platform, &odd, 0, 1, 1, 1), "");
    EXPECT_EQ(platform.sourceX, -100);
    EXPECT_EQ(platform.sourceY, 21);
}

TEST(Capture, SecondCaptureReplacesThePath) {
    FakeCapturePlatform platform;
    ScreenCapture capture;
    const std::string first = capture.capture(platform, &kPrimary, 0, 0, 1, 1);
    const std::string second = capture.capture(platform, &kPrimary, 0, 0, 1, 1);
    EXPECT_EQ(first, "/tmp/frametake-fake/scr1A3.png");
    EXPECT_EQ(second, "/tmp/frametake-fake/scr1A4.png");
    EXPECT_EQ(capture.lastCapturePath(), second);
}

struct RequestCase {
    const char* name;
    double boundsX;
    std::int32_t width;
    std::int32_t height;
    Calls calls;
};

class CaptureRequest : public ::testing::TestWithParam<RequestCase> {};

TEST_P(CaptureRequest, RefusedRequestsReturnEmpty) {
    const RequestCase& c = GetParam();
    FakeCapturePlatform platform;
    ScreenCapture capture;
    const ScreenInfo screen = screenAt(c.boundsX, 0);
    EXPECT_STREQ(capture.capture(platform, &screen, 0, 0, c.width, c.height), "");
    EXPECT_EQ(platform.calls, c.calls);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CaptureRequest,
    ::testing::Values(RequestCase{"ZeroWidth", 0, 0, 10, {}},
                      RequestCase{"NegativeHeight", 0, 10, -1, {}},
                      RequestCase{"OriginNotANumber", std::nan(""), 10, 10, {}},
                      RequestCase{"OriginBeyond32Bits", 3e9, 10, 10, {}},
                      RequestCase{"BufferBeyondInt32", 0, 30000, 30000, {}},
                      RequestCase{"WidestRowBeyondInt32", 0, 2147483647, 1, {}}),
    testkit::CaseName{});

TEST(Capture, NullScreenReturnsEmpty) {
    FakeCapturePlatform platform;
    ScreenCapture capture;
    EXPECT_STREQ(capture.capture(platform, nullptr, 0, 0, 1, 1), "");
    EXPECT_TRUE(platform.calls.empty());
}

TEST(Pixels, StrideRoundsRowsUpToFourBytes) {
    EXPECT_EQ(dibStride(1), 4);
    EXPECT_EQ(dibStride(4), 12);
    EXPECT_EQ(dibStride(5), 16);
    EXPECT_EQ(dibStride(1366), 4100);
    EXPECT_EQ(dibSize(1366, 768), std::size_t{4100} * 768);
    EXPECT_EQ(dibSize(0, 1), std::nullopt);
    EXPECT_EQ(dibSize(5, 134217728), std::nullopt);  // 16 x 2^27 = 2^31
    EXPECT_EQ(dibSize(5, 134217727), std::size_t{16} * 134217727);
}

class ConvertRows : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(ConvertRows, SwapsBlueAndRedAndDropsPadding) {
    const std::int32_t width = GetParam();
    constexpr std::int32_t kHeight = 3;
    const auto stride = static_cast<std::size_t>(dibStride(width));
    std::vector<std::uint8_t> dib(stride * kHeight, 0xEE);
    for (std::int32_t y = 0; y < kHeight; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint8_t* px =
                &dib[stride * static_cast<std::size_t>(y) + 3 * static_cast<std::size_t>(x)];
            px[0] = static_cast<std::uint8_t>(x);      // blue
            px[1] = static_cast<std::uint8_t>(y);      // green
            px[2] = static_cast<std::uint8_t>(x + y);  // red
        }
    }
    std::vector<std::uint8_t> rgb(3 * static_cast<std::size_t>(width) * kHeight);
    convertBgrRowsToRgb(dib.data(), stride, rgb.data(), width, kHeight);
    for (std::int32_t y = 0; y < kHeight; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint8_t* px = &rgb[3 * static_cast<std::size_t>(y * width + x)];
            ASSERT_EQ(px[0], static_cast<std::uint8_t>(x + y));
            ASSERT_EQ(px[1], static_cast<std::uint8_t>(y));
            ASSERT_EQ(px[2], static_cast<std::uint8_t>(x));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, ConvertRows, ::testing::Values(1, 4, 5, 1366));

// The bytes in memory are those LodePNG's own file writer would write, and decode back.
// The encoder built is LodePNG 20230410, the newest the package registry serves; a change of
// version is a choice to make, not an accident of the registry.
TEST(PngFile, EncoderIsTheVersionTheReadmeNames) {
    EXPECT_STREQ(LODEPNG_VERSION_STRING, "20230410");
}

TEST(PngFile, EncodesWhatTheFileWriterWouldWrite) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("frametake-unit-" + std::to_string(::getpid()) + ".png");
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < 7 * 3; ++i) {
        rgb.insert(rgb.end(),
                   {static_cast<std::uint8_t>(i * 11), static_cast<std::uint8_t>(255 - i), 42});
    }
    PngBytes png;
    ASSERT_EQ(encodePngBytes(rgb.data(), 7, 3, png), 0u);
    ASSERT_EQ(lodepng_encode24_file(file.c_str(), rgb.data(), 7, 3), 0u);
    std::ifstream written(file, std::ios::binary);
    const std::vector<char> expected{std::istreambuf_iterator<char>(written), {}};
    std::filesystem::remove(file);
    EXPECT_EQ(std::vector<char>(png.data.get(), png.data.get() + png.size), expected);

    unsigned char* decoded = nullptr;
    unsigned width = 0;
    unsigned height = 0;
    ASSERT_EQ(lodepng_decode24(&decoded, &width, &height, png.data.get(), png.size), 0u);
    EXPECT_EQ(std::vector<std::uint8_t>(decoded, decoded + rgb.size()), rgb);
    std::free(decoded);
}

}  // namespace
}  // namespace frametake
