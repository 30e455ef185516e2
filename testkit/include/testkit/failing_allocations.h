#pragma once
// Allocation failures on demand, for tests of what code does when memory runs out.
//
// While a FailingAllocations lives, every allocation through operator new on the calling thread
// fails: the throwing forms throw std::bad_alloc, the nothrow forms return null (or only the
// nothrow forms fail, when asked). Test stand-ins mark their own work with SparedAllocations,
// so that only the code under test sees the failures. It takes effect only in a program linked
// with testkit_failing_allocations, which replaces the global operator new; elsewhere both
// guards do nothing.

namespace testkit {

namespace allocations {
inline thread_local int failing = 0;
inline thread_local bool nothrowOnly = false;
inline thread_local int spared = 0;
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

// Windows test programs never link the failing operator new, so the guard that the JNI stand-in
// takes in every call touches no thread-local there: Debian's arm64 Wine returns from its own
// functions with x18, the register through which ARM64 Windows code reaches its thread-local
// storage, overwritten.
inline void spare([[maybe_unused]] int change) {
#ifndef _WIN32
    allocations::spared += change;
#endif
}

class SparedAllocations {
public:
    SparedAllocations() { spare(1); }
    ~SparedAllocations() { spare(-1); }
    SparedAllocations(const SparedAllocations&) = delete;
    SparedAllocations& operator=(const SparedAllocations&) = delete;
};

}  // namespace testkit
