#pragma once
// Access to the WavPlayer object's handle fields and the Java exception, through JNI.
// Class references and field IDs are looked up afresh on every access; the local references
// are left for the JVM to drop when the native method returns.

#include <jni.h>

#include <string>

namespace chimebox {

inline constexpr char kEngineField[] = "xAudioRef";
inline constexpr char kMasteringVoiceField[] = "xAudioMasteringVoiceRef";
inline constexpr char kExceptionClass[] = "org/halvex/xaudio/AudioPlayerException";

// The `long` field `name` of `object` (declared in its class or a superclass). A missing field
// raises "Cannot find long JNI field: <name>" and reads as 0.
[[nodiscard]] jlong getNativeHandle(JNIEnv* env, jobject object, const char* name);
// Writes the field; a missing field raises the same message and writes nothing.
void setNativeHandle(JNIEnv* env, jobject object, const char* name, jlong value);
// Raises AudioPlayerException with `message` (modified UTF-8). If the class cannot be found its
// lookup error stays pending and nothing is thrown. Returns ThrowNew's result (or JNI_ERR).
jint throwAudioPlayerException(JNIEnv* env, const std::string& message);

}  // namespace chimebox
