#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../win32/pinned_worker.h"

namespace frametake {
namespace {

using Calls = std::vector<std::string>;

// The kernel calls, logged; the thread's body runs when the test asks for it.
struct ScriptedKernel {
    bool pinFails = false;
    bool threadFails = false;
    Calls calls;
    PinnedWorkerStart* started = nullptr;
    int module = 0;
    int thread = 0;

    void* pinModule() {
        calls.emplace_back("pin");
        return pinFails ? nullptr : &module;
    }
    void unpinModule(void* pinned) {
        calls.emplace_back(pinned == &module ? "unpin" : "unpin another module");
    }
    void* createThread(PinnedWorkerStart* start) {
        calls.emplace_back("createThread");
        started = threadFails ? nullptr : start;
        return threadFails ? nullptr : &thread;
    }
    void exitThreadUnpinning(void* pinned) {
        calls.emplace_back(pinned == &module ? "exitThreadUnpinning" : "exit unpinning another");
    }
};

Calls* jobLog = nullptr;
void job(void* argument) {
    jobLog->emplace_back("job " + *static_cast<std::string*>(argument));
}

TEST(PinnedWorker, ModuleStaysLoadedUntilTheThreadHasRunItsJob) {
    ScriptedKernel kernel;
    std::string argument = "count";
    jobLog = &kernel.calls;
    ASSERT_EQ(startPinnedWorker(kernel, &job, &argument), &kernel.thread);
    EXPECT_EQ(kernel.calls, (Calls{"pin", "createThread"}));
    runPinnedWorker(kernel, kernel.started);
    EXPECT_EQ(kernel.calls, (Calls{"pin", "createThread", "job count", "exitThreadUnpinning"}));
}

TEST(PinnedWorker, NoThreadGivesTheReferenceBackAtOnce) {
    for (const bool pinFails : {false, true}) {
        ScriptedKernel kernel;
        kernel.pinFails = pinFails;
        kernel.threadFails = true;
        EXPECT_EQ(startPinnedWorker(kernel, &job, nullptr), nullptr);
        const Calls expected = pinFails ? Calls{"pin"} : Calls{"pin", "createThread", "unpin"};
        EXPECT_EQ(kernel.calls, expected);
    }
}

}  // namespace
}  // namespace frametake
