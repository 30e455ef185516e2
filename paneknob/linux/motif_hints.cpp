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
    if (items.size() < 5) {
        return std::nullopt;
    }
    return MotifHints{items[0], items[1], items[2], items[3], items[4]};
}

std::vector<std::uint32_t> itemsOf(const MotifHints& hints) {
    return {hints.flags, hints.functions, hints.decorations, hints.inputMode, hints.status};
}

Boxes boxesOf(const std::optional<MotifHints>& hints) {
    const std::uint32_t functions =
        hints ? allowed(hints, kHintFunctions, hints->functions, kFunctionAll, kFunctionsKnown)
              : kFunctionsKnown;
    return {(functions & kFunctionMinimize) != 0, (functions & kFunctionMaximize) != 0};
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
