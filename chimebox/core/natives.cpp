// The JNI entry points of org.halvex.xaudio.WavPlayer. No C++ exception leaves them: the only
// one possible is exhausted memory while building a message or copying the path, reported as
// the exception below with a fixed text.

#include <jni.h>
#include <org_halvex_xaudio_WavPlayer.h>

#include "java_object.h"
#include "player.h"

namespace {

template <typename Body>
void guarded(JNIEnv* env, Body body) noexcept {
    try {
        body();
    } catch (...) {
        // An exception raised before is the one Java sees; no JNI call may follow it.
        if (env->ExceptionCheck() == JNI_TRUE) {
            return;
        }
        if (const jclass type = env->FindClass(chimebox::kExceptionClass)) {
            env->ThrowNew(type, "Out of memory");
        }
    }
}

}  // namespace

extern "C" {

JNIEXPORT void JNICALL Java_org_halvex_xaudio_WavPlayer_initialize(JNIEnv* env, jobject self) {
    guarded(env, [&] { chimebox::initializePlayer(env, self, chimebox::systemAudioPlatform()); });
}

JNIEXPORT void JNICALL Java_org_halvex_xaudio_WavPlayer_play(JNIEnv* env, jobject self,
                                                             jstring path) {
    guarded(env, [&] {
        chimebox::playFile(env, self, path, chimebox::systemAudioPlatform(),
                           chimebox::systemFileSystem());
    });
}

JNIEXPORT void JNICALL Java_org_halvex_xaudio_WavPlayer_release(JNIEnv* env, jobject self) {
    guarded(env, [&] { chimebox::releasePlayer(env, self, chimebox::systemAudioPlatform()); });
}

}  // extern "C"
