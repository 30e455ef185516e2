#pragma once
// Window titles on X11, apart from any connection: the title a client set, decoded from its
// property type, and the comparison of whole titles with letter case ignored.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace paneknob::x11 {

enum class TitleEncoding {
    utf8,          // UTF8_STRING, as _NET_WM_NAME is
    latin1,        // STRING, as ICCCM defines WM_NAME
    compoundText,  // COMPOUND_TEXT: read only when it is plain ASCII
};

// The title as code points; nothing when the bytes are not valid in their encoding.
[[nodiscard]] std::optional<std::u32string> decodeTitle(std::string_view bytes,
                                                        TitleEncoding encoding);

// Whole titles equal with letter case ignored, code point by code point (simple case folding
// of the C.UTF-8 locale; ASCII only where that locale is missing).
[[nodiscard]] bool sameTitle(std::u32string_view a, std::u32string_view b);

}  // namespace paneknob::x11
