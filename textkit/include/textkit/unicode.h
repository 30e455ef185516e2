#pragma once
// The Unicode encodings the components convert between, in one place. Each component compiles
// this kit in (nothing is shared at run time) and keeps its own rule for ill-formed text by the
// function it picks:
//   - replacing: each ill-formed part becomes U+FFFD (UTF-8: each maximal ill-formed subpart,
//     the Unicode recommendation that the Windows converter follows; UTF-16: each unpaired
//     surrogate);
//   - strict: ill-formed text gives nothing;
//   - unit by unit: JNI's message form, where each UTF-16 unit, a surrogate half too, is
//     encoded on its own.
// Exhausted memory throws std::bad_alloc.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace textkit {

inline constexpr char32_t kReplacement = 0xFFFD;

// One step of a decoder: the code point at a position and how many units it took. An
// ill-formed part is `valid == false` with the units it spans (at least one).
struct Step {
    char32_t point = 0;
    std::size_t length = 1;
    bool valid = true;
};

// The UTF-8 sequence at `text[at]` (at < text.size()): overlong forms, surrogates, values above
// U+10FFFF and cut-off sequences are ill-formed, ending at the first byte that does not fit.
[[nodiscard]] Step decodeUtf8At(std::string_view text, std::size_t at);
// The UTF-16 code point at `text[at]`: a surrogate pair is one; an unpaired half is ill-formed.
[[nodiscard]] Step decodeUtf16At(std::u16string_view text, std::size_t at);

// `point` (at most U+10FFFF) appended in UTF-8 or UTF-16.
void appendUtf8(std::string& out, char32_t point);
void appendUtf16(std::u16string& out, char32_t point);

// Replacing conversions.
[[nodiscard]] std::u16string utf8ToUtf16(std::string_view text);
[[nodiscard]] std::string utf16ToUtf8(std::u16string_view text);
// UTF-8 made well-formed: each ill-formed part becomes U+FFFD, as utf8ToUtf16 would read it.
[[nodiscard]] std::string utf8Replacing(std::string_view text);

// Strict decoding into code points.
[[nodiscard]] std::optional<std::u32string> utf8ToCodePoints(std::string_view text);
[[nodiscard]] std::optional<std::u32string> utf16ToCodePoints(std::u16string_view text);

// Unit by unit: every UTF-16 unit as one, two or three bytes (U+0000 as one byte 0).
[[nodiscard]] std::string utf16UnitsToUtf8(std::u16string_view text);

}  // namespace textkit
