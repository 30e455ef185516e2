// Playback latency benchmark (not a test): for a 1 MB and a 50 MB PCM file, the time from the
// play call to the voice's Start (reading, parsing, voice creation) and from the end of the
// sound (the first poll that finds no buffer queued) to play returning. Runs the real pipeline
// on the system's XAudio2 through a timing layer around the platform adapter.

#include <hostkit/jni_host.h>
#include <hostkit/riff_writer.h>
#include <objbase.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "java_object.h"
#include "player.h"

namespace {

using Clock = std::chrono::steady_clock;

// Delegates to the real platform and notes when the voice starts and when it runs dry.
class TimedPlatform final : public chimebox::AudioPlatform {
public:
    explicit TimedPlatform(AudioPlatform& real) : real_(real) {}
    Clock::time_point started{};
    Clock::time_point drained{};

    chimebox::HRESULT readyThread() override { return real_.readyThread(); }
    void releaseThread() override { real_.releaseThread(); }
    chimebox::HRESULT createEngine(Engine& e) override { return real_.createEngine(e); }
    chimebox::HRESULT createMasteringVoice(Engine e, Voice& v) override {
        return real_.createMasteringVoice(e, v);
    }
    void releaseEngine(Engine e) override { real_.releaseEngine(e); }
    void destroyVoice(Voice v) override { real_.destroyVoice(v); }
    chimebox::HRESULT createSourceVoice(Engine e, Voice& v, const void* format) override {
        return real_.createSourceVoice(e, v, format);
    }
    chimebox::HRESULT submitSourceBuffer(Voice v, const chimebox::AudioBuffer& b,
                                         const chimebox::PacketTable* p) override {
        return real_.submitSourceBuffer(v, b, p);
    }
    chimebox::HRESULT start(Voice v) override {
        const chimebox::HRESULT result = real_.start(v);
        started = Clock::now();
        return result;
    }
    std::uint32_t buffersQueued(Voice v) override {
        const std::uint32_t queued = real_.buffersQueued(v);
        if (queued == 0 && drained == Clock::time_point{}) {
            drained = Clock::now();
        }
        return queued;
    }
    void sleepMilliseconds(std::uint32_t ms) override { real_.sleepMilliseconds(ms); }

private:
    AudioPlatform& real_;
};

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// 8 channels of 32-bit float at 192 kHz: 6 MB per second, so 50 MB lasts about 8.5 s.
std::filesystem::path writePcm(const std::filesystem::path& folder, std::uint32_t megabytes) {
    using namespace hostkit::riff;
    constexpr std::uint16_t kChannels = 8;
    constexpr std::uint32_t kRate = 192000;
    const std::uint32_t bytes = megabytes * 1024 * 1024 / (kChannels * 4) * (kChannels * 4);
    Bytes data(bytes, 0);
    for (std::size_t i = 0; i + 4 <= data.size(); i += 4) {
        const float value = (i / 4 / kChannels) % 200 < 100 ? 0.25f : -0.25f;
        std::memcpy(&data[i], &value, 4);
    }
    const Bytes file = riff(
        "WAVE", cat({chunk("fmt ", formatEx(3, kChannels, kRate, 32, {})), chunk("data", data)}));
    const auto path = folder / ("bench-" + std::to_string(megabytes) + "mb.wav");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    return path;
}

}  // namespace

int main() {
    wchar_t folder[MAX_PATH + 1];
    ::GetTempPathW(MAX_PATH + 1, folder);
    hostkit::JniHost jvm;
    jvm.defineClass(chimebox::kExceptionClass, {});
    const jobject player = jvm.newObject(jvm.defineClass(
        "org/halvex/xaudio/WavPlayer", {chimebox::kEngineField, chimebox::kMasteringVoiceField}));
    chimebox::initializePlayer(jvm.env(), player, chimebox::systemAudioPlatform());
    if (jvm.takeException()) {
        std::fprintf(stderr, "initialize failed\n");
        return 1;
    }
    std::printf("%-8s %22s %26s %14s\n", "file", "play -> Start (ms)",
                "end of sound -> return (ms)", "play (s)");
    for (const std::uint32_t megabytes : {1u, 50u}) {
        const auto path = writePcm(folder, megabytes);
        for (int run = 0; run < 3; ++run) {
            TimedPlatform timed(chimebox::systemAudioPlatform());
            const std::wstring wide = path.wstring();
            const auto begin = Clock::now();
            chimebox::playFile(jvm.env(), player,
                               jvm.newString(std::u16string(wide.begin(), wide.end())), timed,
                               chimebox::systemFileSystem());
            const auto end = Clock::now();
            if (const auto thrown = jvm.takeException()) {
                std::fprintf(stderr, "play failed: %s\n", thrown->message.c_str());
                return 1;
            }
            std::printf("%5u MB %22.1f %26.1f %14.2f\n", megabytes,
                        milliseconds(timed.started - begin), milliseconds(end - timed.drained),
                        std::chrono::duration<double>(end - begin).count());
        }
        std::filesystem::remove(path);
    }
    chimebox::releasePlayer(jvm.env(), player, chimebox::systemAudioPlatform());
    return 0;
}
