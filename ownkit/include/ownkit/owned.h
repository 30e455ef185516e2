#pragma once
// One owner type for every handle, heap block and platform object: Owned<Handle, Release>
// holds one handle and gives it back through Release when it goes, unless the handle is Null.
// Move-only; get() lends the handle, release() gives up ownership, reset() gives it back early.
//
// Release is either a function taking the handle (Owned<char*, &std::free>) or a member
// function of the platform object that made the handle
// (Owned<Engine, &AudioPlatform::releaseEngine>, constructed with that object). Each kind of
// handle should be a type of its own (OpaqueHandle below), so one kind cannot be passed where
// another is expected.

#include <cstdlib>
#include <type_traits>
#include <utility>

namespace ownkit {
namespace detail {

template <auto Release>
struct ReleaseOf {
    struct NoOwner {};
    using Owner = NoOwner;  // a plain function needs no object
    template <typename Handle>
    static void call(Owner, Handle handle) noexcept {
        (void)Release(handle);
    }
};

template <typename Result, typename Class, typename Argument, Result (Class::*Release)(Argument)>
struct ReleaseOf<Release> {
    using Owner = Class*;
    template <typename Handle>
    static void call(Owner owner, Handle handle) noexcept {
        (void)(owner->*Release)(handle);
    }
};

}  // namespace detail

template <typename Handle, auto Release, Handle Null = Handle{}>
class Owned {
    using Rule = detail::ReleaseOf<Release>;
    static constexpr bool kNeedsOwner = !std::is_empty_v<typename Rule::Owner>;

public:
    using Owner = typename Rule::Owner;

    Owned() noexcept = default;
    explicit Owned(Handle handle) noexcept requires(!kNeedsOwner) : handle_(handle) {}
    Owned(Owner owner, Handle handle) noexcept requires kNeedsOwner : owner_(owner),
                                                                      handle_(handle) {}
    Owned(Owned&& other) noexcept
        : owner_(other.owner_), handle_(std::exchange(other.handle_, Null)) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            reset();
            owner_ = other.owner_;
            handle_ = std::exchange(other.handle_, Null);
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }

    // Gives the handle back now (if any) and holds `handle` instead.
    void reset(Handle handle = Null) noexcept {
        const Handle old = std::exchange(handle_, handle);
        if (old != Null) {
            Rule::call(owner_, old);
        }
    }
    // No longer owns the handle; the caller does.
    [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, Null); }
    [[nodiscard]] Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Null; }
    // Members of a block the handle points to (a reply, a record).
    Handle operator->() const noexcept requires std::is_pointer_v<Handle> { return handle_; }
    auto& operator*() const noexcept requires std::is_pointer_v<Handle> { return *handle_; }

private:
    [[no_unique_address]] Owner owner_{};
    Handle handle_ = Null;
};

// The release function of blocks from malloc (C libraries' results).
inline void freeBlock(void* block) noexcept {
    std::free(block);
}

// A pointer type of its own for one kind of opaque handle: `using Engine =
// ownkit::OpaqueHandle<struct EngineTag>;` cannot be passed where a Voice is expected.
template <typename Tag>
using OpaqueHandle = Tag*;

}  // namespace ownkit
