#pragma once
// Access to the WavPlayer object's handle fields and the Java exception, through JNI.
// Class references and field IDs are looked up afresh on every access; the local references
// are left for the JVM to drop when the native method returns.
//
// Once an exception is pending, a native makes no further JNI call: every routine here that
// raises tells its caller so, and the caller finishes its own clean-up without JNI and returns.

#include <jni.h>

#include <optional>
#include <string>

namespace chimebox {

inline constexpr char kEngineField[] = "xAudioRef";
inline constexpr char kMasteringVoiceField[] = "xAudioMasteringVoiceRef";
inline constexpr char kExceptionClass[] = "org/halvex/xaudio/AudioPlayerException";

// The ID of the `long` field `name` of `object` (declared in its class or a superclass), or
// null. The lookup's own NoSuchFieldError is cleared: the caller raises ours instead.
[[nodiscard]] jfieldID findLongField(JNIEnv* env, jobject object, const char* name);
// Raises "Cannot find long JNI field: <name>".
void raiseMissingField(JNIEnv* env, const char* name);

// The field's value; nothing when the field is missing, after raising the message above.
[[nodiscard]] std::optional<jlong> getNativeHandle(JNIEnv* env, jobject object, const char* name);
// Writes the field; false when it is missing, after raising the message above.
[[nodiscard]] bool setNativeHandle(JNIEnv* env, jobject object, const char* name, jlong value);
// Raises AudioPlayerException with `message` (modified UTF-8). If the class cannot be found its
// lookup error stays pending and nothing is thrown. Returns ThrowNew's result (or JNI_ERR).
jint throwAudioPlayerException(JNIEnv* env, const std::string& message);

}  // namespace chimebox
