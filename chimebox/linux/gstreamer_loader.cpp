#include "gstreamer_loader.h"

#include <dlfcn.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace chimebox::gstreamer {
namespace {

template <typename Function>
bool resolve(void* module, const char* name, Function& function) {
    void* found = ::dlsym(module, name);
    std::memcpy(&function, &found, sizeof(function));
    return found != nullptr;
}

bool resolveAll(void* core, void* app, Functions& f) {
    // dlsym on a library also searches what it depends on: GLib's g_error_free comes that way.
    return resolve(core, "gst_init_check", f.initCheck) &&
           resolve(core, "gst_element_factory_find", f.factoryFind) &&
           resolve(core, "gst_parse_launch", f.parseLaunch) &&
           resolve(core, "gst_bin_get_by_name", f.binGetByName) &&
           resolve(core, "gst_object_unref", f.objectUnref) &&
           resolve(core, "gst_mini_object_unref", f.miniObjectUnref) &&
           resolve(core, "gst_element_set_state", f.setState) &&
           resolve(core, "gst_element_get_bus", f.getBus) &&
           resolve(core, "gst_bus_pop_filtered", f.busPopFiltered) &&
           resolve(core, "gst_buffer_new_memdup", f.bufferNewMemdup) &&
           resolve(core, "gst_buffer_map", f.bufferMap) &&
           resolve(core, "gst_buffer_unmap", f.bufferUnmap) &&
           resolve(core, "gst_sample_get_buffer", f.sampleGetBuffer) &&
           resolve(core, "g_error_free", f.errorFree) &&
           resolve(app, "gst_app_src_push_buffer", f.pushBuffer) &&
           resolve(app, "gst_app_src_end_of_stream", f.endOfStream) &&
           resolve(app, "gst_app_sink_try_pull_sample", f.tryPullSample) &&
           resolve(app, "gst_app_sink_is_eos", f.isEos);
}

enum class State { kIdle, kLoading, kReady, kMissing };

struct Loader {
    std::mutex lock;
    std::condition_variable changed;
    State state = State::kIdle;
    Functions functions;
};

Loader& loader() {
    static Loader* const instance = new Loader;  // outlives every thread that waits on it
    return *instance;
}

void loadOnce(Loader& shared) {
    Functions loaded;
    void* core = ::dlopen("libgstreamer-1.0.so.0", RTLD_NOW | RTLD_LOCAL);
    void* app = core != nullptr ? ::dlopen("libgstapp-1.0.so.0", RTLD_NOW | RTLD_LOCAL) : nullptr;
    GError* error = nullptr;
    bool ready = app != nullptr && resolveAll(core, app, loaded) &&
                 loaded.initCheck(nullptr, nullptr, &error) == TRUE;
    if (error != nullptr) {
        loaded.errorFree(error);
    }
    const std::lock_guard hold(shared.lock);
    shared.functions = loaded;
    shared.state = ready ? State::kReady : State::kMissing;
    shared.changed.notify_all();
}

}  // namespace

Readiness load(std::chrono::steady_clock::time_point deadline, const Functions*& functions) {
    Loader& shared = loader();
    std::unique_lock hold(shared.lock);
    if (shared.state == State::kIdle) {
        try {
            std::thread(loadOnce, std::ref(shared)).detach();
        } catch (const std::system_error&) {
            return Readiness::kMissing;
        }
        shared.state = State::kLoading;
    }
    if (!shared.changed.wait_until(hold, deadline,
                                   [&] { return shared.state != State::kLoading; })) {
        return Readiness::kTimedOut;
    }
    if (shared.state == State::kMissing) {
        return Readiness::kMissing;
    }
    functions = &shared.functions;
    return Readiness::kReady;
}

}  // namespace chimebox::gstreamer
