// Demo: loads chimebox.dll the way the JVM does, generates a short tone and plays it through the
// three natives, printing what it played.

#include <hostkit/jni_host.h>
#include <hostkit/wave_files.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using Native = void(JNICALL*)(JNIEnv*, jobject);
using PlayNative = void(JNICALL*)(JNIEnv*, jobject, jstring);

template <typename Function>
Function entry(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

bool reportException(hostkit::JniHost& jvm, const char* step) {
    if (const auto thrown = jvm.takeException()) {
        std::printf("   %s raised AudioPlayerException: %s\n", step, thrown->message.c_str());
        return true;
    }
    return false;
}

}  // namespace

int main() {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const HMODULE library =
        ::LoadLibraryW((std::filesystem::path(self).parent_path() / L"chimebox.dll").c_str());
    if (library == nullptr) {
        std::printf("   cannot load chimebox.dll (error %lu)\n", ::GetLastError());
        return 1;
    }
    const auto initialize = entry<Native>(library, "Java_org_halvex_xaudio_WavPlayer_initialize");
    const auto play = entry<PlayNative>(library, "Java_org_halvex_xaudio_WavPlayer_play");
    const auto release = entry<Native>(library, "Java_org_halvex_xaudio_WavPlayer_release");

    const hostkit::wave::Tone tone{22050, 1, 1.5, 440.0};
    wchar_t folder[MAX_PATH + 1];
    ::GetTempPathW(MAX_PATH + 1, folder);
    const std::filesystem::path path = std::filesystem::path(folder) / L"chimebox-demo.wav";
    const auto bytes = hostkit::wave::pcm(tone, 16);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));

    hostkit::JniHost jvm;
    jvm.defineClass("org/halvex/xaudio/AudioPlayerException", {});
    const jobject player = jvm.newObject(
        jvm.defineClass("org/halvex/xaudio/WavPlayer", {"xAudioRef", "xAudioMasteringVoiceRef"}));

    initialize(jvm.env(), player);
    if (reportException(jvm, "initialize")) {
        return 1;
    }
    std::printf("   playing %s: PCM 16-bit, %u channel, %u Hz, %.2f s, %.0f Hz tone\n",
                path.string().c_str(), tone.channels, tone.rate, tone.seconds, tone.frequency);
    const std::wstring wide = path.wstring();
    const auto start = std::chrono::steady_clock::now();
    play(jvm.env(), player, jvm.newString(std::u16string(wide.begin(), wide.end())));
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const bool failed = reportException(jvm, "play");
    release(jvm.env(), player);
    std::filesystem::remove(path);
    if (!failed) {
        std::printf("   play returned after %.2f s\n", took);
    }
    return failed ? 1 : 0;
}
