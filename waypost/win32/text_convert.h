#pragma once
// UTF-8 <-> UTF-16 between the caller's text and WinHTTP's: the URL going in, the proxy host
// coming out.
//
// Both take NUL-terminated text; a null pointer or empty text gives an empty string. Ill-formed
// input is never refused: each ill-formed part becomes U+FFFD, as the system converter does
// without flags. Windows links the system converter (text_convert_win32.cpp); the unit tests of
// the WinHTTP rules on other systems link text_convert_portable.cpp, which follows it. Exhausted
// memory throws std::bad_alloc; the exported entry points turn that into their failure answer.

#include <string>

namespace waypost {

[[nodiscard]] std::u16string utf8ToWide(const char* text);
[[nodiscard]] std::string wideToUtf8(const char16_t* text);

}  // namespace waypost
