#pragma once
// _MOTIF_WM_HINTS, the property through which a client asks the window manager to leave out
// functions and decorations: five 32-bit items (flags, functions, decorations, input mode,
// status). A set field with the ALL bit means "all but the bits listed".

#include <cstdint>
#include <optional>
#include <vector>

namespace paneknob::x11 {

inline constexpr std::uint32_t kHintFunctions = 1;
inline constexpr std::uint32_t kHintDecorations = 2;

inline constexpr std::uint32_t kFunctionAll = 1;
inline constexpr std::uint32_t kFunctionMinimize = 8;
inline constexpr std::uint32_t kFunctionMaximize = 16;
inline constexpr std::uint32_t kFunctionsKnown = 0x3E;  // resize, move, minimize, maximize, close

inline constexpr std::uint32_t kDecorationAll = 1;
inline constexpr std::uint32_t kDecorationMinimize = 32;
inline constexpr std::uint32_t kDecorationMaximize = 64;
inline constexpr std::uint32_t kDecorationsKnown = 0x7E;  // border, resize handle, title, menu,
                                                          // minimize, maximize

struct MotifHints {
    std::uint32_t flags = 0;
    std::uint32_t functions = 0;
    std::uint32_t decorations = 0;
    std::uint32_t inputMode = 0;
    std::uint32_t status = 0;
};

// The hints in a property's 32-bit items; three or four items are hints with the missing items
// 0, fewer are no usable hints.
[[nodiscard]] std::optional<MotifHints> parseHints(const std::vector<std::uint32_t>& items);
[[nodiscard]] std::vector<std::uint32_t> itemsOf(const MotifHints& hints);

struct Boxes {
    bool minimize = true;
    bool maximize = true;
};

// The boxes the window has as far as the hints go (no hints: both): a box is there while its
// function or its decoration is allowed.
[[nodiscard]] Boxes boxesOf(const std::optional<MotifHints>& hints);

// The hints with the boxes of `keep` only: the functions and decorations that `hints` allow,
// listed one by one, less the minimize and maximize ones that `keep` drops; the input mode and
// status stay as they were.
[[nodiscard]] MotifHints restrictBoxes(const std::optional<MotifHints>& hints, Boxes keep);

}  // namespace paneknob::x11
