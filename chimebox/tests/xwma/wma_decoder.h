#pragma once
// libavcodec's WMA v2 decoder over whole packets, for the xWMA maker's checks.

#include <cstdint>
#include <optional>
#include <vector>

namespace xwma {

struct StreamFormat {
    int rate = 0;
    int channels = 0;
    std::int64_t bitRate = 0;
};

// What a run of packets decodes to: interleaved samples, and how many frames of samples.
struct Decoded {
    std::vector<float> samples;
    std::size_t frames = 0;
};

// Decodes `packets`, each `packetBytes` long, with a fresh decoder given `options` as its codec
// data. Nothing when the decoder cannot be opened or refuses a packet.
[[nodiscard]] std::optional<Decoded> decodeWma(const StreamFormat& format,
                                               const std::vector<std::uint8_t>& options,
                                               const std::vector<std::uint8_t>& packets,
                                               std::size_t packetBytes);

// The codec data an xWMA reader assumes for WMA v2: encoder options 0x001F.
[[nodiscard]] std::vector<std::uint8_t> xwmaOptions();

}  // namespace xwma
