#pragma once
// A stand-in for a Java virtual machine, for calling JNI natives from C++: the tests, the demo
// and the benchmark host the natives in it.
//
// It offers a JNIEnv whose function table implements the functions a native library of ours may
// call - FindClass, ThrowNew, GetObjectClass, GetFieldID, GetLongField, SetLongField,
// GetStringLength, GetStringChars, ReleaseStringChars, ExceptionCheck, ExceptionClear - over a
// tiny object model: classes with `long` fields and an optional superclass, objects, Java
// strings, and one pending exception per thread. Any other JNI function aborts the process with
// its table slot number, and so does a call that JNI forbids while an exception is pending (all
// but ReleaseStringChars and the two exception functions), as the real JVM's checks warn of it.
//
// Threads: every function may be called from several threads at once (one lock).
// Lifetime: handles stay valid until the JniHost is destroyed.

#include <jni.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace hostkit {

class JniHost {
public:
    struct Thrown {
        std::string className;
        std::string message;  // as the native passed it (modified UTF-8)
    };

    JniHost();
    ~JniHost();
    JniHost(const JniHost&) = delete;
    JniHost& operator=(const JniHost&) = delete;

    [[nodiscard]] JNIEnv* env();

    // A class with the given `long` fields, optionally extending `superclass`. FindClass finds
    // it by `name` (slashes, as in "org/halvex/xaudio/WavPlayer").
    jclass defineClass(const std::string& name, const std::vector<std::string>& longFields,
                       jclass superclass = nullptr);
    [[nodiscard]] jobject newObject(jclass type);
    [[nodiscard]] jstring newString(const std::u16string& text);

    // The value of a `long` field of `object`, looked up through the class chain; 0 if never set.
    [[nodiscard]] jlong longField(jobject object, const std::string& name) const;
    void setLongField(jobject object, const std::string& name, jlong value);

    // The calling thread's pending exception, which is cleared.
    [[nodiscard]] std::optional<Thrown> takeException();
    // GetStringChars results not yet given back.
    [[nodiscard]] std::size_t pinnedStrings() const;
    // Names of the JNI functions called so far, in order.
    [[nodiscard]] std::vector<std::string> calls() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace hostkit
