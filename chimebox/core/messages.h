#pragma once
// The exception messages, built from fixed patterns. Codes are written as signed 32-bit values
// in upper-case hexadecimal ("{:#X}"): 0x80070002 reads -0X7FF8FFFE.

#include <string>
#include <string_view>

#include "hresult.h"

namespace chimebox::messages {

[[nodiscard]] std::string comInitFailed(HRESULT result);
[[nodiscard]] std::string engineInitFailed(HRESULT result);
[[nodiscard]] std::string masteringVoiceFailed(HRESULT result);
[[nodiscard]] std::string missingLongField(std::string_view field);
[[nodiscard]] std::string notInitialized(std::string_view field);
[[nodiscard]] std::string readFailed(HRESULT result, std::u16string_view path);
[[nodiscard]] std::string sourceVoiceFailed(HRESULT result);
[[nodiscard]] std::string submitFailed(HRESULT result, bool withPacketTable);

// UTF-16 to 8-bit text one unit at a time in the UTF-8 bit pattern (1, 2 or 3 bytes), so a
// surrogate pair becomes two 3-byte sequences: the modified UTF-8 that JNI's ThrowNew reads.
[[nodiscard]] std::string toModifiedUtf8(std::u16string_view text);

}  // namespace chimebox::messages
