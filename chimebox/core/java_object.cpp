#include "java_object.h"

#include "messages.h"

namespace chimebox {
namespace {

jfieldID findLongField(JNIEnv* env, jobject object, const char* name) {
    const jclass type = env->GetObjectClass(object);
    const jfieldID field = env->GetFieldID(type, name, "J");
    if (field == nullptr) {
        throwAudioPlayerException(env, messages::missingLongField(name));
    }
    return field;
}

}  // namespace

jlong getNativeHandle(JNIEnv* env, jobject object, const char* name) {
    const jfieldID field = findLongField(env, object, name);
    return field != nullptr ? env->GetLongField(object, field) : 0;
}

void setNativeHandle(JNIEnv* env, jobject object, const char* name, jlong value) {
    if (const jfieldID field = findLongField(env, object, name)) {
        env->SetLongField(object, field, value);
    }
}

jint throwAudioPlayerException(JNIEnv* env, const std::string& message) {
    const jclass type = env->FindClass(kExceptionClass);
    if (type == nullptr) {
        return JNI_ERR;
    }
    return env->ThrowNew(type, message.c_str());
}

}  // namespace chimebox
