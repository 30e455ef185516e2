#pragma once
// The caller's text in the character set of the locale that the environment names (LC_ALL,
// LC_CTYPE, LANG), whatever locale the process set: the stand-in for the ANSI code page.

#include <iconv.h>
#include <ownkit/owned.h>

#include <optional>
#include <string>

namespace paneknob::x11 {

using Conversion = ownkit::Owned<iconv_t, &::iconv_close>;

// A converter between two character sets; empty when the system has none (iconv_open's -1).
[[nodiscard]] Conversion openConversion(const char* to, const char* from);

// The character set of the locale that the environment names.
[[nodiscard]] std::string environmentCharset();

// The NUL-terminated `text`, in the environment's character set, as code points; nothing when it
// is not valid in that set or the system has no converter for it.
[[nodiscard]] std::optional<std::u32string> fromEnvironmentCharset(const char* text);

}  // namespace paneknob::x11
