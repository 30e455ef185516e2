#pragma once
// A process-wide heap block that each call publishes for its caller to read until a later call
// replaces it: the last capture path, the last proxy text.
//
// Callers make such calls one at a time (each library's header says so). A caller that
// overlaps them may read a text
// that a later call has already replaced, but never memory that was freed, and the library's
// own memory stays sound: a replaced block is not freed at once but kept until kKept further
// blocks have been published, each slot is taken by exactly one call (an atomic counter) and
// emptied in one atomic exchange, so every block is freed exactly once. No lock.

#include <array>
#include <atomic>
#include <cstddef>
#include <memory>

namespace ownkit {

template <typename T>
class Published {
public:
    static constexpr std::size_t kKept = 64;

    constexpr Published() noexcept = default;
    Published(const Published&) = delete;
    Published& operator=(const Published&) = delete;
    ~Published() {
        for (std::atomic<T*>& slot : kept_) {
            delete[] slot.exchange(nullptr);
        }
    }

    // Publishes `block` and returns its address; it stays readable for kKept publications.
    T* replace(std::unique_ptr<T[]> block) noexcept {
        T* published = block.release();
        const std::size_t slot = next_.fetch_add(1, std::memory_order_relaxed) % kKept;
        delete[] kept_[slot].exchange(published, std::memory_order_acq_rel);
        latest_.store(published, std::memory_order_release);
        return published;
    }
    // Nothing is published any more; the last block goes when its slot is next taken.
    void clear() noexcept { latest_.store(nullptr, std::memory_order_release); }
    [[nodiscard]] T* get() const noexcept { return latest_.load(std::memory_order_acquire); }

private:
    std::array<std::atomic<T*>, kKept> kept_{};
    std::atomic<std::size_t> next_{0};
    std::atomic<T*> latest_{nullptr};
};

}  // namespace ownkit
