#include "xaudio2_engine.h"

namespace chimebox {
namespace {

// Loads the engine library and looks up its entry points into the cache, module last. A
// library without either entry point is cached too: later calls find it and call nothing.
HRESULT loadIntoCache(XAudio2Calls& calls, EngineLibraryCache& cache,
                      XAudio2Calls::Module& module) {
    module = calls.loadEngineLibrary();
    if (module == nullptr) {
        return orFailure(hresultFromWin32(calls.lastError()), nullptr);
    }
    XAudio2Calls::EntryPoint plain = nullptr;
    const XAudio2Calls::EntryPoint versioned =
        calls.findEntryPoint(module, "XAudio2CreateWithVersionInfo");
    HRESULT result = kOk;
    if (versioned == nullptr) {
        plain = calls.findEntryPoint(module, "XAudio2Create");
        if (plain == nullptr) {
            result = orFailure(hresultFromWin32(calls.lastError()), nullptr);
        }
    }
    cache.versioned.store(versioned, std::memory_order_relaxed);
    cache.plain.store(plain, std::memory_order_relaxed);
    cache.module.store(module, std::memory_order_release);
    return result;
}

}  // namespace

HRESULT createEngine(XAudio2Calls& calls, EngineLibraryCache& cache,
                     AudioPlatform::Engine& engine) {
    if (XAudio2Calls::Module module = cache.module.load(std::memory_order_acquire);
        module == nullptr) {
        if (const HRESULT loaded = loadIntoCache(calls, cache, module); failed(loaded)) {
            return loaded;
        }
    }
    if (const auto versioned = cache.versioned.load(std::memory_order_relaxed)) {
        return calls.callVersionedFactory(versioned, engine, 0, kProcessor1, kNtddiWin10Fe);
    }
    if (const auto plain = cache.plain.load(std::memory_order_relaxed)) {
        return calls.callFactory(plain, engine, 0, kProcessor1);
    }
    // An earlier call loaded a library that has neither entry point.
    return kProcNotFound;
}

}  // namespace chimebox
