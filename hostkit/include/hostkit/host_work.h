#pragma once
// Marks the host's own work (the JNI host's bookkeeping) on the calling thread, apart from the
// code it drives. A test program that makes allocations fail on purpose (testkit's
// failing_allocations) spares the allocations made inside host work, so that only the code
// being driven sees the failures; elsewhere the mark has no effect.

namespace hostkit {

namespace host_work {
inline thread_local int depth = 0;
}  // namespace host_work

// Windows programs never link the failing operator new, so the mark that the JNI host takes in
// every call touches no thread-local there: Debian's arm64 Wine returns from its own functions
// with x18, the register through which ARM64 Windows code reaches its thread-local storage,
// overwritten.
class HostWork {
public:
    HostWork() { change(1); }
    ~HostWork() { change(-1); }
    HostWork(const HostWork&) = delete;
    HostWork& operator=(const HostWork&) = delete;

private:
    static void change([[maybe_unused]] int by) {
#ifndef _WIN32
        host_work::depth += by;
#endif
    }
};

}  // namespace hostkit
