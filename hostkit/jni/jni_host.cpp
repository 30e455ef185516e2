#include "hostkit/jni_host.h"

#include "hostkit/host_work.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace hostkit {

namespace {

enum class Kind { type, object, string };

struct Node {
    Kind kind;
    // Classes: name, fields, superclass. Objects: their class and field values.
    std::string name;
    std::vector<std::string> fields;
    Node* superclass = nullptr;
    Node* type = nullptr;
    std::map<std::string, jlong> values;
    std::u16string text;  // strings
};

struct FieldKey {
    Node* owner;
    std::string name;
};

}  // namespace

struct JniHost::State {
    // The environment handed to natives; first member so that the JNIEnv* leads back here.
    JNIEnv env{};
    JNINativeInterface_ table{};
    mutable std::mutex lock;
    std::deque<Node> nodes;
    std::deque<FieldKey> fieldKeys;
    std::map<std::thread::id, Thrown> pending;
    std::map<const jchar*, std::unique_ptr<jchar[]>> pinned;
    std::vector<std::string> calls;

    static State& of(JNIEnv* env) { return *reinterpret_cast<State*>(env); }

    Node* find(const std::string& name) {
        for (Node& node : nodes) {
            if (node.kind == Kind::type && node.name == name) {
                return &node;
            }
        }
        return nullptr;
    }

    static const FieldKey* lookup(std::deque<FieldKey>& keys, Node* type, const std::string& name) {
        for (Node* at = type; at != nullptr; at = at->superclass) {
            for (const std::string& field : at->fields) {
                if (field == name) {
                    for (const FieldKey& key : keys) {
                        if (key.owner == at && key.name == name) {
                            return &key;
                        }
                    }
                    return &keys.emplace_back(FieldKey{at, name});
                }
            }
        }
        return nullptr;
    }

    void raise(std::string className, std::string message) {
        pending[std::this_thread::get_id()] = Thrown{std::move(className), std::move(message)};
    }
};

namespace {

using State = JniHost::State;

Node* node(jobject handle) {
    return reinterpret_cast<Node*>(handle);
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "JniHost: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

enum class WhilePending { trapped, allowed };

// One JNI call: holds the lock and logs the call. The stand-in's own allocations are spared from
// a test's failure injection. A call that JNI forbids while an exception is pending is trapped,
// as the real JVM's checks warn of it.
class Call {
public:
    Call(JNIEnv* env, const char* name, WhilePending pending = WhilePending::trapped)
        : state_(State::of(env)), guard_(state_.lock) {
        state_.calls.emplace_back(name);
        if (pending == WhilePending::trapped &&
            state_.pending.count(std::this_thread::get_id()) != 0) {
            std::fprintf(stderr, "JniHost: JNI call made with exception pending: %s\n", name);
            fail("JNI call made with exception pending");
        }
    }
    [[nodiscard]] State& state() { return state_; }

private:
    HostWork work_;
    State& state_;
    std::lock_guard<std::mutex> guard_;
};

template <std::size_t Slot>
void JNICALL unexpected() {
    std::fprintf(stderr,
                 "JniHost: the native called JNI function table slot %zu, which this "
                 "stand-in does not offer\n",
                 Slot);
    std::fflush(stderr);
    std::abort();
}

using AnyFunction = void(JNICALL*)();
constexpr std::size_t kSlots = sizeof(JNINativeInterface_) / sizeof(AnyFunction);

template <std::size_t... Slot>
constexpr std::array<AnyFunction, kSlots> unexpectedTable(std::index_sequence<Slot...>) {
    return {&unexpected<Slot>...};
}

jclass JNICALL findClass(JNIEnv* env, const char* name) {
    Call call(env, "FindClass");
    State& s = call.state();
    if (Node* type = s.find(name)) {
        return reinterpret_cast<jclass>(type);
    }
    s.raise("java/lang/NoClassDefFoundError", name);
    return nullptr;
}

jint JNICALL throwNew(JNIEnv* env, jclass type, const char* message) {
    Call call(env, "ThrowNew");
    State& s = call.state();
    if (type == nullptr) {
        fail("ThrowNew with a null class");
    }
    s.raise(node(type)->name, message != nullptr ? message : "");
    return 0;
}

jclass JNICALL getObjectClass(JNIEnv* env, jobject object) {
    const Call call(env, "GetObjectClass");
    if (object == nullptr || node(object)->kind != Kind::object) {
        fail("GetObjectClass on something that is not an object");
    }
    return reinterpret_cast<jclass>(node(object)->type);
}

jfieldID JNICALL getFieldId(JNIEnv* env, jclass type, const char* name, const char* signature) {
    Call call(env, "GetFieldID");
    State& s = call.state();
    if (type == nullptr) {
        fail("GetFieldID on a null class");
    }
    const FieldKey* key =
        std::strcmp(signature, "J") == 0 ? State::lookup(s.fieldKeys, node(type), name) : nullptr;
    if (key == nullptr) {
        s.raise("java/lang/NoSuchFieldError", name);
        return nullptr;
    }
    return reinterpret_cast<jfieldID>(const_cast<FieldKey*>(key));
}

jlong JNICALL getLongField(JNIEnv* env, jobject object, jfieldID field) {
    const Call call(env, "GetLongField");
    if (object == nullptr || field == nullptr) {
        fail("GetLongField with a null object or field");
    }
    const auto& values = node(object)->values;
    const auto found = values.find(reinterpret_cast<FieldKey*>(field)->name);
    return found != values.end() ? found->second : 0;
}

void JNICALL jniSetLongField(JNIEnv* env, jobject object, jfieldID field, jlong value) {
    const Call call(env, "SetLongField");
    if (object == nullptr || field == nullptr) {
        fail("SetLongField with a null object or field");
    }
    node(object)->values[reinterpret_cast<FieldKey*>(field)->name] = value;
}

jsize JNICALL getStringLength(JNIEnv* env, jstring text) {
    const Call call(env, "GetStringLength");
    if (text == nullptr) {
        fail("GetStringLength on a null string");
    }
    return static_cast<jsize>(node(text)->text.size());
}

const jchar* JNICALL getStringChars(JNIEnv* env, jstring text, jboolean* isCopy) {
    Call call(env, "GetStringChars");
    State& s = call.state();
    if (text == nullptr) {
        fail("GetStringChars on a null string");
    }
    // A copy without a terminator, as JNI allows: reading past the end shows up at once.
    const std::u16string& chars = node(text)->text;
    auto copy = std::make_unique<jchar[]>(chars.size() + (chars.empty() ? 1 : 0));
    for (std::size_t i = 0; i < chars.size(); ++i) {
        copy[i] = chars[i];
    }
    if (isCopy != nullptr) {
        *isCopy = JNI_TRUE;
    }
    const jchar* handed = copy.get();
    s.pinned.emplace(handed, std::move(copy));
    return handed;
}

void JNICALL releaseStringChars(JNIEnv* env, jstring, const jchar* chars) {
    Call call(env, "ReleaseStringChars", WhilePending::allowed);
    State& s = call.state();
    if (s.pinned.erase(chars) != 1) {
        fail("ReleaseStringChars of characters that are not pinned");
    }
}

jboolean JNICALL exceptionCheck(JNIEnv* env) {
    Call call(env, "ExceptionCheck", WhilePending::allowed);
    State& s = call.state();
    return s.pending.count(std::this_thread::get_id()) != 0 ? JNI_TRUE : JNI_FALSE;
}

void JNICALL exceptionClear(JNIEnv* env) {
    Call call(env, "ExceptionClear", WhilePending::allowed);
    State& s = call.state();
    s.pending.erase(std::this_thread::get_id());
}

}  // namespace

JniHost::JniHost() : state_(std::make_unique<State>()) {
    static constexpr auto stubs = unexpectedTable(std::make_index_sequence<kSlots>{});
    static_assert(sizeof(stubs) == sizeof(JNINativeInterface_));
    std::memcpy(&state_->table, stubs.data(), sizeof(stubs));
    state_->table.FindClass = &findClass;
    state_->table.ThrowNew = &throwNew;
    state_->table.GetObjectClass = &getObjectClass;
    state_->table.GetFieldID = &getFieldId;
    state_->table.GetLongField = &getLongField;
    state_->table.SetLongField = &jniSetLongField;
    state_->table.GetStringLength = &getStringLength;
    state_->table.GetStringChars = &getStringChars;
    state_->table.ReleaseStringChars = &releaseStringChars;
    state_->table.ExceptionCheck = &exceptionCheck;
    state_->table.ExceptionClear = &exceptionClear;
    state_->env.functions = &state_->table;
}

JniHost::~JniHost() = default;

JNIEnv* JniHost::env() {
    return &state_->env;
}

jclass JniHost::defineClass(const std::string& name, const std::vector<std::string>& longFields,
                            jclass superclass) {
    const std::lock_guard guard(state_->lock);
    Node& type =
        state_->nodes.emplace_back(Node{Kind::type, name, longFields, nullptr, nullptr, {}, {}});
    type.superclass = node(superclass);
    return reinterpret_cast<jclass>(&type);
}

jobject JniHost::newObject(jclass type) {
    const std::lock_guard guard(state_->lock);
    Node& object = state_->nodes.emplace_back(Node{Kind::object, {}, {}, nullptr, nullptr, {}, {}});
    object.type = node(type);
    return reinterpret_cast<jobject>(&object);
}

jstring JniHost::newString(const std::u16string& text) {
    const std::lock_guard guard(state_->lock);
    Node& string = state_->nodes.emplace_back(Node{Kind::string, {}, {}, nullptr, nullptr, {}, {}});
    string.text = text;
    return reinterpret_cast<jstring>(&string);
}

jlong JniHost::longField(jobject object, const std::string& name) const {
    const std::lock_guard guard(state_->lock);
    const auto& values = node(object)->values;
    const auto found = values.find(name);
    return found != values.end() ? found->second : 0;
}

void JniHost::setLongField(jobject object, const std::string& name, jlong value) {
    const std::lock_guard guard(state_->lock);
    node(object)->values[name] = value;
}

std::optional<JniHost::Thrown> JniHost::takeException() {
    const std::lock_guard guard(state_->lock);
    const auto found = state_->pending.find(std::this_thread::get_id());
    if (found == state_->pending.end()) {
        return std::nullopt;
    }
    Thrown thrown = std::move(found->second);
    state_->pending.erase(found);
    return thrown;
}

std::size_t JniHost::pinnedStrings() const {
    const std::lock_guard guard(state_->lock);
    return state_->pinned.size();
}

std::vector<std::string> JniHost::calls() const {
    const std::lock_guard guard(state_->lock);
    return state_->calls;
}

}  // namespace hostkit
