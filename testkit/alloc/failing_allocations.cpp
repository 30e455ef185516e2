// The global operator new and delete over malloc and free, failing on demand (see
// testkit/failing_allocations.h). The sanitizers still see every block through malloc and free.

#include <cstdlib>
#include <new>

#include "testkit/failing_allocations.h"

namespace {

bool shouldFail(bool nothrowForm) {
    using namespace testkit::allocations;
    return failing > 0 && hostkit::host_work::depth == 0 && (nothrowForm || !nothrowOnly);
}

void* allocate(std::size_t size) {
    if (shouldFail(false)) {
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

void* allocateOrNull(std::size_t size) noexcept {
    return shouldFail(true) ? nullptr : std::malloc(size == 0 ? 1 : size);
}

}  // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocateOrNull(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocateOrNull(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
