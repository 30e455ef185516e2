#pragma once
// Allocation failures on demand, for tests of what code does when memory runs out.
//
// While a FailingAllocations lives, every allocation through operator new on the calling thread
// fails: the throwing forms throw std::bad_alloc, the nothrow forms return null (or only the
// nothrow forms fail, when asked). The host's own work (hostkit::HostWork, which the JNI host
// marks) is spared, so that only the code under test sees the failures. It takes effect only in a
// program linked with testkit_failing_allocations, which replaces the global operator new;
// elsewhere the guard does nothing.

#include <hostkit/host_work.h>

namespace testkit {

namespace allocations {
inline thread_local int failing = 0;
inline thread_local bool nothrowOnly = false;
}  // namespace allocations

class FailingAllocations {
public:
    enum class Forms { all, nothrowOnly };
    explicit FailingAllocations(Forms forms = Forms::all) : previous_(allocations::nothrowOnly) {
        ++allocations::failing;
        allocations::nothrowOnly = forms == Forms::nothrowOnly;
    }
    ~FailingAllocations() {
        --allocations::failing;
        allocations::nothrowOnly = previous_;
    }
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;

private:
    bool previous_;
};

}  // namespace testkit
