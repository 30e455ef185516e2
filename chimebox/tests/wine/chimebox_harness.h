#pragma once
// chimebox.dll loaded the way a JVM loads it, its three natives called through the JVM
// stand-in, sound files written to the temporary folder, and the bench's sound sink read back.

#include <hostkit/jni_host.h>
#include <hostkit/riff_writer.h>
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

namespace chimebox::wine {

using Native = void(JNICALL*)(JNIEnv*, jobject);
using PlayNative = void(JNICALL*)(JNIEnv*, jobject, jstring);

struct Natives {
    HMODULE module = nullptr;
    Native initialize = nullptr;
    PlayNative play = nullptr;
    Native release = nullptr;
};

// Loads chimebox.dll from beside the test program (once per process).
[[nodiscard]] const Natives& natives();

// A JVM with the two classes the library expects and one WavPlayer object.
struct JavaSide {
    JavaSide();
    hostkit::JniHost jvm;
    jclass playerClass;
    jobject player;

    void initialize() { natives().initialize(jvm.env(), player); }
    void release() { natives().release(jvm.env(), player); }
    void play(const std::filesystem::path& path);
    // The pending exception's message, if any (cleared).
    [[nodiscard]] std::optional<std::string> thrown();
    [[nodiscard]] jlong field(const char* name) const { return jvm.longField(player, name); }
};

// Writes `bytes` to a new file in the temporary folder; removed again by the destructor.
class TempSoundFile {
public:
    explicit TempSoundFile(const hostkit::riff::Bytes& bytes, const wchar_t* suffix = L".wav");
    ~TempSoundFile();
    TempSoundFile(const TempSoundFile&) = delete;
    TempSoundFile& operator=(const TempSoundFile&) = delete;
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// What the bench's ALSA file sink holds: its format and where the sound in it starts and ends.
struct SinkReport {
    bool found = false;
    unsigned channels = 0;
    unsigned rate = 0;
    unsigned bits = 0;
    double totalSeconds = 0;
    double audibleSeconds = 0;  // from the first to the last sample above the noise floor
    double frequency = 0;       // the first channel's rises through zero per audible second
    double longestQuiet = 0;    // seconds, the longest run below the noise floor inside the sound
};
[[nodiscard]] SinkReport readSoundSink();
// Empties the sink before a measured play.
void clearSoundSink();

}  // namespace chimebox::wine
