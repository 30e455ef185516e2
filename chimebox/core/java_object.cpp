#include "java_object.h"

#include "messages.h"

namespace chimebox {

jfieldID findLongField(JNIEnv* env, jobject object, const char* name) {
    const jclass type = env->GetObjectClass(object);
    const jfieldID field = env->GetFieldID(type, name, "J");
    if (field == nullptr && env->ExceptionCheck() == JNI_TRUE) {
        env->ExceptionClear();
    }
    return field;
}

void raiseMissingField(JNIEnv* env, const char* name) {
    throwAudioPlayerException(env, messages::missingLongField(name));
}

std::optional<jlong> getNativeHandle(JNIEnv* env, jobject object, const char* name) {
    const jfieldID field = findLongField(env, object, name);
    if (field == nullptr) {
        raiseMissingField(env, name);
        return std::nullopt;
    }
    return env->GetLongField(object, field);
}

bool setNativeHandle(JNIEnv* env, jobject object, const char* name, jlong value) {
    const jfieldID field = findLongField(env, object, name);
    if (field == nullptr) {
        raiseMissingField(env, name);
        return false;
    }
    env->SetLongField(object, field, value);
    return true;
}

jint throwAudioPlayerException(JNIEnv* env, const std::string& message) {
    const jclass type = env->FindClass(kExceptionClass);
    if (type == nullptr) {
        return JNI_ERR;
    }
    return env->ThrowNew(type, message.c_str());
}

}  // namespace chimebox
