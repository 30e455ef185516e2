#include "proxy_address.h"

#include <textkit/unicode.h>

#include "../core/port_text.h"

namespace waypost {

std::string_view proxyAddressOf(std::string_view afterScheme) {
    std::string_view address = afterScheme;
    if (const std::size_t at = address.rfind('@'); at != std::string_view::npos) {
        address = address.substr(at + 1);
    }
    return address.substr(0, address.find_first_of("/?#"));
}

HostPort splitHostPort(std::string_view address) {
    // The answer is text for the caller: each ill-formed part becomes U+FFFD.
    const std::string text = textkit::utf8Replacing(address);
    // The port's colon comes after an IPv6 address's closing bracket.
    std::size_t colon = text.rfind(':');
    if (const std::size_t bracket = text.rfind(']');
        bracket != std::string::npos && colon != std::string::npos && colon < bracket) {
        colon = std::string::npos;
    }
    return {text.substr(0, colon),
            colon == std::string::npos
                ? kPortWithoutColon
                : readLeadingInteger(std::string_view(text).substr(colon + 1))};
}

}  // namespace waypost
