#include "messages.h"

#include <fmt/format.h>

namespace chimebox::messages {

std::string comInitFailed(HRESULT result) {
    return fmt::format("Failed to init COM: {:#X}", result);
}

std::string engineInitFailed(HRESULT result) {
    return fmt::format("Failed to init XAudio2 engine: {:#X}", result);
}

std::string masteringVoiceFailed(HRESULT result) {
    return fmt::format("Failed creating mastering voice: {:#X}", result);
}

std::string missingLongField(std::string_view field) {
    return fmt::format("Cannot find long JNI field: {}", field);
}

std::string notInitialized(std::string_view field) {
    return fmt::format("Failed to play, {} not initialized", field);
}

std::string readFailed(HRESULT result, std::u16string_view path) {
    return fmt::format("Failed reading WAV file: {:#X} ({})", result, toModifiedUtf8(path));
}

std::string sourceVoiceFailed(HRESULT result) {
    return fmt::format("Error {:#X} creating source voice", result);
}

std::string submitFailed(HRESULT result, bool withPacketTable) {
    return withPacketTable ? fmt::format("Error {:#X} submitting source buffer (xWMA)", result)
                           : fmt::format("Error {:#X} submitting source buffer", result);
}

std::string toModifiedUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char16_t unit : text) {
        if (unit < 0x80) {
            out.push_back(static_cast<char>(unit));
        } else if (unit < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (unit >> 6)));
            out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
            out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        }
    }
    return out;
}

}  // namespace chimebox::messages
