#pragma once
// Scripted COM, loader and XAudio2 calls under the Windows engine, as the core sees it, that
// record every call, hands out distinct engine and voice
// handles, and checks that each one created is released or destroyed exactly once.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "../../win32/xaudio2_engine.h"

namespace chimebox::testing {

class FakeAudioPlatform final : public XAudio2Calls {
public:
    operator AudioPlatform&() { return engine_; }
    // The engine library cache of the fake's process.
    EngineLibraryCache cache;

    // The script.
    HRESULT apartmentResult = kOk;
    bool libraryLoads = true;
    std::uint32_t loadError = 126;  // ERROR_MOD_NOT_FOUND
    bool exportsVersioned = true;
    bool exportsPlain = true;
    std::uint32_t entryPointError = 127;  // ERROR_PROC_NOT_FOUND
    HRESULT factoryResult = kOk;
    HRESULT masteringResult = kOk;
    HRESULT sourceResult = kOk;
    HRESULT submitResult = kOk;
    HRESULT startResult = kOk;
    int pollsWhileQueued = 2;  // GetState answers 1 this many times per voice, then 0
    bool wine = false;         // the engine is Wine's XAudio2
    // Runs (without the fake's lock) at the start of every entry point lookup.
    std::function<void()> beforeEntryPointLookup;

    // What was seen.
    MasteringVoiceArgs masteringArgs;
    SourceVoiceArgs sourceArgs;
    AudioBuffer buffer;
    std::optional<PacketTable> packets;        // pointers inside are dangling after play returns
    std::vector<std::uint32_t> packetEntries;  // the table's values, copied at submission

    ~FakeAudioPlatform() override {
        EXPECT_TRUE(liveEngines_.empty()) << "an engine was never released";
        EXPECT_TRUE(liveVoices_.empty()) << "a voice was never destroyed";
    }

    std::vector<std::string> calls() const {
        const std::lock_guard guard(lock_);
        return calls_;
    }
    int apartmentDepth() const {
        const std::lock_guard guard(lock_);
        return apartmentDepth_;
    }
    // For tests that hand handles to the object themselves.
    Engine makeEngine() {
        const std::lock_guard guard(lock_);
        return newHandle<Engine>(liveEngines_);
    }
    Voice makeVoice() {
        const std::lock_guard guard(lock_);
        return newHandle<Voice>(liveVoices_);
    }

    HRESULT joinApartment() override {
        const std::lock_guard guard(lock_);
        log("CoInitializeEx");
        if (!failed(apartmentResult)) {
            ++apartmentDepth_;
        }
        return apartmentResult;
    }
    void leaveApartment() override {
        const std::lock_guard guard(lock_);
        log("CoUninitialize");
        --apartmentDepth_;
    }
    Module loadEngineLibrary() override {
        const std::lock_guard guard(lock_);
        log("LoadLibrary");
        error_ = loadError;
        return libraryLoads ? as<Module>(module_) : nullptr;
    }
    EntryPoint findEntryPoint(Module module, const char* name) override {
        if (beforeEntryPointLookup) {
            beforeEntryPointLookup();
        }
        const std::lock_guard guard(lock_);
        EXPECT_EQ(module, as<Module>(module_));
        log(std::string("GetProcAddress ") + name);
        error_ = entryPointError;
        const std::string wanted = name;
        if (wanted == "XAudio2CreateWithVersionInfo") {
            return exportsVersioned ? as<EntryPoint>(versioned_) : nullptr;
        }
        return wanted == "XAudio2Create" && exportsPlain ? as<EntryPoint>(plain_) : nullptr;
    }
    Win32Error lastError() override { return Win32Error{error_.load()}; }
    HRESULT callVersionedFactory(EntryPoint factory, Engine& engine, std::uint32_t flags,
                                 std::uint32_t processor, std::uint32_t ntddi) override {
        const std::lock_guard guard(lock_);
        if (factory != as<EntryPoint>(versioned_)) {
            ADD_FAILURE() << "called an entry point that the library does not have";
        }
        log("XAudio2CreateWithVersionInfo " + std::to_string(flags) + " " +
            std::to_string(processor) + " " + std::to_string(ntddi));
        return factoryResult_(engine);
    }
    HRESULT callFactory(EntryPoint factory, Engine& engine, std::uint32_t flags,
                        std::uint32_t processor) override {
        const std::lock_guard guard(lock_);
        if (factory != as<EntryPoint>(plain_)) {
            ADD_FAILURE() << "called an entry point that the library does not have";
        }
        log("XAudio2Create " + std::to_string(flags) + " " + std::to_string(processor));
        return factoryResult_(engine);
    }
    HRESULT createMasteringVoice(Engine engine, Voice& voice,
                                 const MasteringVoiceArgs& args) override {
        const std::lock_guard guard(lock_);
        expectLive(liveEngines_, engine);
        log("CreateMasteringVoice");
        masteringArgs = args;
        if (failed(masteringResult)) {
            return masteringResult;
        }
        voice = newHandle<Voice>(liveVoices_);
        return kOk;
    }
    void releaseEngine(Engine engine) override {
        const std::lock_guard guard(lock_);
        log("Release");
        retire(liveEngines_, engine);
    }
    void destroyVoice(Voice voice) override {
        const std::lock_guard guard(lock_);
        log("DestroyVoice");
        retire(liveVoices_, voice);
    }
    HRESULT createSourceVoice(Engine engine, Voice& voice, const SourceVoiceArgs& args) override {
        const std::lock_guard guard(lock_);
        expectLive(liveEngines_, engine);
        log("CreateSourceVoice");
        sourceArgs = args;
        if (failed(sourceResult)) {
            return sourceResult;
        }
        voice = newHandle<Voice>(liveVoices_);
        polls_[voice] = pollsWhileQueued;
        return kOk;
    }
    HRESULT submitSourceBuffer(Voice voice, const AudioBuffer& submitted,
                               const PacketTable* table) override {
        const std::lock_guard guard(lock_);
        expectLive(liveVoices_, voice);
        log(table != nullptr ? "SubmitSourceBuffer+packets" : "SubmitSourceBuffer");
        buffer = submitted;
        packets = table != nullptr ? std::optional<PacketTable>(*table) : std::nullopt;
        packetEntries.assign(table != nullptr ? table->packetCount : 0, 0);
        if (table != nullptr) {
            std::memcpy(packetEntries.data(), table->cumulativeBytes, 4 * packetEntries.size());
        }
        return submitResult;
    }
    HRESULT start(Voice voice, std::uint32_t flags, std::uint32_t operationSet) override {
        const std::lock_guard guard(lock_);
        expectLive(liveVoices_, voice);
        log("Start " + std::to_string(flags) + " " + std::to_string(operationSet));
        return startResult;
    }
    std::uint32_t buffersQueued(Voice voice) override {
        const std::lock_guard guard(lock_);
        expectLive(liveVoices_, voice);
        log("GetState");
        return polls_[voice]-- > 0 ? 1u : 0u;
    }
    bool runsOnWine() override { return wine; }
    void sleepMilliseconds(std::uint32_t milliseconds) override {
        const std::lock_guard guard(lock_);
        log("Sleep " + std::to_string(milliseconds));
    }

private:
    void log(std::string call) { calls_.push_back(std::move(call)); }

    HRESULT factoryResult_(Engine& engine) {
        if (failed(factoryResult)) {
            return factoryResult;
        }
        engine = newHandle<Engine>(liveEngines_);
        return factoryResult;
    }
    // The fake's objects behind the platform's handle types.
    template <typename Handle>
    static Handle as(int& object) {
        return reinterpret_cast<Handle>(&object);
    }
    template <typename Handle>
    Handle newHandle(std::set<const void*>& live) {
        void* handle = &handles_.emplace_back(0);
        live.insert(handle);
        return reinterpret_cast<Handle>(handle);
    }
    static void expectLive(const std::set<const void*>& live, const void* handle) {
        EXPECT_TRUE(live.count(handle) == 1) << "used a handle that is not alive";
    }
    static void retire(std::set<const void*>& live, const void* handle) {
        EXPECT_EQ(live.erase(handle), 1u) << "released a handle that is not alive";
    }

    mutable std::mutex lock_;
    std::vector<std::string> calls_;
    int apartmentDepth_ = 0;
    std::atomic<std::uint32_t> error_{0};
    int module_ = 0;
    int versioned_ = 0;
    int plain_ = 0;
    std::deque<int> handles_;
    std::set<const void*> liveEngines_;
    std::set<const void*> liveVoices_;
    std::map<const void*, int> polls_;
    XAudio2Engine engine_{*this, cache};
};

}  // namespace chimebox::testing
