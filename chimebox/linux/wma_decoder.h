#pragma once
// xWMA packets decoded to 32-bit float samples, for an engine that cannot decode WMA itself.
//
// The decoders are GStreamer's WMA elements (avdec_wmav2, avdec_wmapro, from gst-libav), found at
// run time: GStreamer is loaded on the first decode ("libgstreamer-1.0.so.0",
// "libgstapp-1.0.so.0") and never unloaded, so nothing here links their code. xWMA files carry
// no codec options; the decoders are given the ones xWMA readers assume.
//
// Threads: decodes may run on several threads at once; each has a pipeline of its own.
// Bounds: a decode gives up after kDecodeMilliseconds, the first one's plugin loading included.
// Failures: kNoWmaDecoder when GStreamer or its WMA decoder is not installed; kInvalidCall for a
// stream no decoder can take (no packet size, no bit rate, packets that do not fill the data);
// kTimedOut; kInvalidData when the packets decode to fewer samples than the table counts or the
// decoder reports an error.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "../core/hresult.h"
#include "../core/source_format.h"

namespace chimebox {

inline constexpr HRESULT kTimedOut = hresultFromWin32(Win32Error{1460});  // ERROR_TIMEOUT
inline constexpr std::uint32_t kDecodeMilliseconds = 10000;

// What a decoder needs of an xWMA format block (plain or extensible).
struct WmaStream {
    std::uint16_t tag = 0;  // WMA v2 or WMA Pro
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;
    std::uint32_t bytesPerSecond = 0;
    std::uint16_t packetBytes = 0;  // the block alignment
};

// The stream of `waveFormat` (a format block that passed the source format check), or nothing
// when its tag is not WMA.
[[nodiscard]] std::optional<WmaStream> wmaStreamOf(const void* waveFormat) noexcept;

// The GStreamer pipeline that decodes the stream's packets, pushed into "packets", into
// interleaved float samples taken from "samples"; "" for a stream no decoder can take.
[[nodiscard]] std::string decodePipeline(const WmaStream& stream);

// Decodes `packets` into exactly `frames` frames of interleaved float samples in `samples`
// (extra decoded frames are dropped).
[[nodiscard]] HRESULT decodeWma(const WmaStream& stream, std::span<const std::uint8_t> packets,
                                std::uint32_t frames, std::vector<float>& samples);

}  // namespace chimebox
