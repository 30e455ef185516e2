// The xWMA stream's description, and the GStreamer pipeline that decodes it.

#include <string>

#include "../core/format_tags.h"
#include "../core/little_endian.h"
#include "../core/source_format.h"
#include "wma_decoder.h"

namespace chimebox {
namespace {

// An int in a GStreamer caps field: values that do not fit refuse the stream.
constexpr std::uint32_t kMaxCapsInt = 0x7FFFFFFFu;

// xWMA files carry no codec options. WMA v2 packets are decoded with options 0x001F (bit
// reservoir, variable block lengths) in the 10-byte form the decoder reads; WMA Pro packets as
// 16-bit samples with decode flags 0x00E0 in the 18-byte form, the channel mask left to the
// decoder's default for the channel count.
constexpr const char* kWmaV2Options = "000000001f0000000000";
constexpr const char* kWmaProOptions = "1000000000000000000000000000e0000000";

}  // namespace

std::optional<WmaStream> wmaStreamOf(const void* waveFormat) noexcept {
    const auto* format = static_cast<const std::uint8_t*>(waveFormat);
    const std::uint16_t tag = encodingTagOf(format);
    if (tag != tags::kWmaudio2 && tag != tags::kWmaudio3) {
        return std::nullopt;
    }
    return WmaStream{tag, read16(format + 2), read32(format + 4), read32(format + 8),
                     read16(format + 12)};
}

std::string decodePipeline(const WmaStream& stream) {
    if (stream.packetBytes == 0 || stream.bytesPerSecond == 0 ||
        stream.bytesPerSecond > kMaxCapsInt / 8) {
        return {};
    }
    const bool pro = stream.tag == tags::kWmaudio3;
    const std::string rate = std::to_string(stream.rate);
    const std::string channels = std::to_string(stream.channels);
    return "appsrc name=packets format=time caps=\"audio/x-wma,wmaversion=(int)" +
           std::string(pro ? "3" : "2") + ",rate=(int)" + rate + ",channels=(int)" + channels +
           ",bitrate=(int)" + std::to_string(stream.bytesPerSecond * 8) + ",block_align=(int)" +
           std::to_string(stream.packetBytes) + ",depth=(int)16,codec_data=(buffer)" +
           (pro ? kWmaProOptions : kWmaV2Options) + "\" ! " +
           (pro ? "avdec_wmapro" : "avdec_wmav2") +
           " ! audioconvert ! audio/x-raw,format=F32LE,layout=interleaved,rate=(int)" + rate +
           ",channels=(int)" + channels + " ! appsink name=samples sync=false";
}

}  // namespace chimebox
