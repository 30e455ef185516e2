// UTF-8 <-> UTF-16 for the unit tests of the WinHTTP rules on systems without the Windows
// converter: the kit's replacing conversions, which follow it (each maximal ill-formed UTF-8
// subpart and each unpaired surrogate becomes U+FFFD).

#include <textkit/unicode.h>

#include "text_convert.h"

namespace waypost {

std::u16string utf8ToWide(const char* text) {
    return text == nullptr ? std::u16string{} : textkit::utf8ToUtf16(text);
}

std::string wideToUtf8(const char16_t* text) {
    return text == nullptr ? std::string{} : textkit::utf16ToUtf8(text);
}

}  // namespace waypost
