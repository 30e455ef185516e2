#include "motif_hints.h"

namespace paneknob::x11 {
namespace {

// The bits a field allows: all of `known` when the field is not set, all but the listed ones
// with the ALL bit, else just the listed ones.
std::uint32_t allowed(const std::optional<MotifHints>& hints, std::uint32_t flag,
                      std::uint32_t value, std::uint32_t all, std::uint32_t known) {
    if (!hints || (hints->flags & flag) == 0) {
        return known;
    }
    return (value & all) != 0 ? known & ~value : value & known;
}

}  // namespace

std::optional<MotifHints> parseHints(const std::vector<std::uint32_t>& items) {
    if (items.size() < 3) {
        return std::nullopt;
    }
    // Some clients write only the three items up to the decorations.
    auto item = [&](std::size_t i) { return i < items.size() ? items[i] : 0u; };
    return MotifHints{item(0), item(1), item(2), item(3), item(4)};
}

std::vector<std::uint32_t> itemsOf(const MotifHints& hints) {
    return {hints.flags, hints.functions, hints.decorations, hints.inputMode, hints.status};
}

Boxes boxesOf(const std::optional<MotifHints>& hints) {
    const MotifHints h = hints.value_or(MotifHints{});
    const std::uint32_t functions =
        allowed(hints, kHintFunctions, h.functions, kFunctionAll, kFunctionsKnown);
    const std::uint32_t decorations =
        allowed(hints, kHintDecorations, h.decorations, kDecorationAll, kDecorationsKnown);
    // A box is there while either its function or its decoration is.
    return {(functions & kFunctionMinimize) != 0 || (decorations & kDecorationMinimize) != 0,
            (functions & kFunctionMaximize) != 0 || (decorations & kDecorationMaximize) != 0};
}

MotifHints restrictBoxes(const std::optional<MotifHints>& hints, Boxes keep) {
    MotifHints out = hints.value_or(MotifHints{});
    std::uint32_t functions =
        allowed(hints, kHintFunctions, out.functions, kFunctionAll, kFunctionsKnown);
    std::uint32_t decorations =
        allowed(hints, kHintDecorations, out.decorations, kDecorationAll, kDecorationsKnown);
    if (!keep.minimize) {
        functions &= ~kFunctionMinimize;
        decorations &= ~kDecorationMinimize;
    }
    if (!keep.maximize) {
        functions &= ~kFunctionMaximize;
        decorations &= ~kDecorationMaximize;
    }
    out.flags |= kHintFunctions | kHintDecorations;
    out.functions = functions;
    out.decorations = decorations;
    return out;
}

}  // namespace paneknob::x11
