#include "messages.h"

#include <fmt/format.h>
#include <textkit/unicode.h>

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
    if (withPacketTable && result == kNoWmaDecoder) {
        return fmt::format(
            "Error {:#X} submitting source buffer (xWMA): no WMA decoder is installed "
            "(GStreamer's avdec_wmav2 and avdec_wmapro: on Debian and Ubuntu, the package "
            "gstreamer1.0-libav)",
            result);
    }
    return withPacketTable ? fmt::format("Error {:#X} submitting source buffer (xWMA)", result)
                           : fmt::format("Error {:#X} submitting source buffer", result);
}

std::string toModifiedUtf8(std::u16string_view text) {
    return textkit::utf16UnitsToUtf8(text);
}

}  // namespace chimebox::messages
