#include "chimebox_harness.h"

#include <gtest/gtest.h>
#include <testkit/win32/process.h>

#include "little_endian.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace chimebox::wine {
namespace {

template <typename Function>
Function entry(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// The sink lives in the bench folder, a Unix path that Wine shows on drive Z:.
std::filesystem::path sinkPath() {
    const char* bench = std::getenv("WINE_BENCH_DIR");
    return bench != nullptr ? std::filesystem::path(std::string("Z:") + bench) / "sound-sink.wav"
                            : std::filesystem::path();
}

}  // namespace

const Natives& natives() {
    static const Natives loaded = [] {
        Natives n;
        n.module = ::LoadLibraryW((testkit::win32::moduleDirectory() / L"chimebox.dll").c_str());
        if (n.module != nullptr) {
            n.initialize = entry<Native>(n.module, "Java_org_halvex_xaudio_WavPlayer_initialize");
            n.play = entry<PlayNative>(n.module, "Java_org_halvex_xaudio_WavPlayer_play");
            n.release = entry<Native>(n.module, "Java_org_halvex_xaudio_WavPlayer_release");
        }
        return n;
    }();
    if (loaded.initialize == nullptr || loaded.play == nullptr || loaded.release == nullptr) {
        ADD_FAILURE() << "chimebox.dll or one of its natives is missing";
        std::abort();
    }
    return loaded;
}

JavaSide::JavaSide() {
    jvm.defineClass("org/halvex/xaudio/AudioPlayerException", {});
    playerClass =
        jvm.defineClass("org/halvex/xaudio/WavPlayer", {"xAudioRef", "xAudioMasteringVoiceRef"});
    player = jvm.newObject(playerClass);
}

void JavaSide::play(const std::filesystem::path& path) {
    const std::wstring wide = path.wstring();
    natives().play(jvm.env(), player, jvm.newString(std::u16string(wide.begin(), wide.end())));
}

std::optional<std::string> JavaSide::thrown() {
    const auto exception = jvm.takeException();
    if (!exception) {
        return std::nullopt;
    }
    EXPECT_EQ(exception->className, "org/halvex/xaudio/AudioPlayerException");
    return exception->message;
}

TempSoundFile::TempSoundFile(const hostkit::riff::Bytes& bytes, const wchar_t* suffix) {
    static int counter = 0;
    wchar_t folder[MAX_PATH + 1];
    ::GetTempPathW(MAX_PATH + 1, folder);
    path_ = std::filesystem::path(folder) /
            (L"chimebox-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
             std::to_wstring(++counter) + suffix);
    std::ofstream out(path_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

TempSoundFile::~TempSoundFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

void clearSoundSink() {
    std::error_code ignored;
    std::filesystem::remove(sinkPath(), ignored);
}

SinkReport readSoundSink() {
    SinkReport report;
    std::ifstream in(sinkPath(), std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes.size() < 44 || std::memcmp(bytes.data(), "RIFF", 4) != 0) {
        return report;
    }
    report.found = true;
    report.channels = read16(&bytes[22]);
    report.rate = read32(&bytes[24]);
    report.bits = read16(&bytes[34]);
    const unsigned frameBytes = report.channels * report.bits / 8;
    if (frameBytes == 0 || report.rate == 0) {
        return report;
    }
    const std::size_t frames = (bytes.size() - 44) / frameBytes;
    report.totalSeconds = static_cast<double>(frames) / report.rate;

    // One sample as a fraction of full scale.
    auto sample = [&](std::size_t frame, unsigned channel) {
        const std::size_t at = 44 + frame * frameBytes + channel * report.bits / 8;
        if (report.bits == 16) {
            return static_cast<std::int16_t>(bytes[at] | (bytes[at + 1] << 8)) / 32768.0;
        }
        float value = 0;
        if (report.bits == 32) {
            std::memcpy(&value, &bytes[at], 4);
        }
        return static_cast<double>(value);
    };
    // Loudness of one frame: the largest magnitude of its channels.
    auto level = [&](std::size_t frame) {
        double loudest = 0;
        for (unsigned c = 0; c < report.channels; ++c) {
            loudest = std::max(loudest, std::fabs(sample(frame, c)));
        }
        return loudest;
    };
    constexpr double kNoiseFloor = 0.01;
    std::size_t first = frames;
    std::size_t last = 0;
    std::size_t rises = 0;
    std::size_t quiet = 0;
    std::size_t longestQuiet = 0;
    for (std::size_t frame = 0; frame < frames; ++frame) {
        if (level(frame) > kNoiseFloor) {
            first = std::min(first, frame);
            last = frame;
            longestQuiet = std::max(longestQuiet, quiet);
            quiet = 0;
        } else if (first < frames) {
            ++quiet;  // counted once the sound has begun; the run after its end is never taken
        }
        const bool rising =
            first < frames && frame > 0 && sample(frame - 1, 0) < 0 && sample(frame, 0) >= 0;
        rises += rising ? 1u : 0u;
    }
    if (first < frames) {
        report.audibleSeconds = static_cast<double>(last - first + 1) / report.rate;
        report.frequency = static_cast<double>(rises) / report.audibleSeconds;
        report.longestQuiet = static_cast<double>(longestQuiet) / report.rate;
    }
    return report;
}

}  // namespace chimebox::wine
