#pragma once
// UTF-8 <-> UTF-16 conversions at the program's boundaries.
//
// Both take NUL-terminated text; a null pointer or empty text gives an empty string. Ill-formed
// input is never refused: each ill-formed part becomes U+FFFD, as the platform converters do
// without flags. Each platform links its own implementation (win32: the system converter;
// elsewhere: text_convert.cpp). Exhausted memory throws std::bad_alloc; the exported entry points
// turn that into their failure answer.

#include <string>

namespace waypost {

[[nodiscard]] std::u16string utf8ToWide(const char* text);
[[nodiscard]] std::string wideToUtf8(const char16_t* text);

}  // namespace waypost
