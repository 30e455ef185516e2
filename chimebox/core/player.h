#pragma once
// The three natives of org.halvex.xaudio.WavPlayer over a platform: engine lifecycle and
// blocking playback. Every failure is raised as AudioPlayerException; the natives then finish
// their own clean-up and return normally.

#include <jni.h>

#include "audio_platform.h"
#include "file_system.h"

namespace chimebox {

// Readies the calling thread for the engine, creates the engine and its mastering voice and
// stores both in the object's fields. On failure nothing is stored and nothing is left behind.
void initializePlayer(JNIEnv* env, jobject self, AudioPlatform& audio);

// Destroys the mastering voice, releases the engine, stores 0 in both fields and releases the
// thread (always, even when both fields were 0).
void releasePlayer(JNIEnv* env, jobject self, AudioPlatform& audio);

// Plays the file at `path` from start to end on the object's engine and returns when the engine
// has used it up (a loop region is heard twice). Nothing of the call outlives it.
void playFile(JNIEnv* env, jobject self, jstring path, AudioPlatform& audio, FileSystem& files);

// The running platform's file system, defined by its adapter (systemAudioPlatform: see
// audio_platform.h).
[[nodiscard]] FileSystem& systemFileSystem();

}  // namespace chimebox
