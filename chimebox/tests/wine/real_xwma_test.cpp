// Real xWMA files (ffmpeg's WMA v2 encoder, a 1 kHz sine, made on the host when the tests are
// built) played through Wine's XAudio2, which decodes WMA with GStreamer's avdec_wmav2: each is
// heard at 1 kHz for the length its packet table counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "chimebox_harness.h"
#include "little_endian.h"

namespace chimebox::wine {
namespace {

// The seconds the file's packet table counts: its last entry, in bytes of 16-bit samples.
double tableSeconds(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    const unsigned channels = read16(&bytes[22]);
    const std::uint32_t rate = read32(&bytes[24]);
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::uint32_t size = read32(&bytes[at + 4]);
        if (std::memcmp(&bytes[at], "dpds", 4) == 0 && size >= 4) {
            return read32(&bytes[at + 8 + size - 4]) / 2.0 / channels / rate;
        }
        at += 8 + size + size % 2;
    }
    return 0;
}

TEST(ChimeboxRealXwma, EachFileIsHeardAtOneKilohertzForItsLength) {
    const char* folder = std::getenv("REAL_XWMA");
    ASSERT_NE(folder, nullptr);
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(std::string("Z:") + folder)) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), 12u);
    for (const auto& file : files) {
        const double expected = tableSeconds(file);
        JavaSide java;
        clearSoundSink();
        java.initialize();
        java.play(file);
        EXPECT_EQ(java.thrown(), std::nullopt) << file;
        java.release();
        const SinkReport sink = readSoundSink();
        EXPECT_NEAR(sink.audibleSeconds, expected, 0.1) << file;
        EXPECT_NEAR(sink.frequency, 1000, 10) << file;
        EXPECT_LT(sink.longestQuiet, 0.002) << file;  // a 1 kHz sine is quiet only at its zeros
    }
}

}  // namespace
}  // namespace chimebox::wine
