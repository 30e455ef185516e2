// Rewrites the WMA v2 stream of an ASF file made by ffmpeg's encoder into an xWMA file.
//
// An xWMA file carries no codec options, so its readers decode WMA v2 packets as if the encoder
// had used options 0x001F (a bit reservoir and variable block lengths; wma_bits.h), while
// ffmpeg's encoder writes options 0x0001: one frame a packet, padded to the packet's end. Copied
// as they are, the packets decode to nothing. So each frame is moved into the 0x001F layout.
//
// A frame's exact length in bits is written nowhere: the encoder pads it to whole bytes and then
// with 'N' bytes. It is found by trial with libavcodec's decoder: the length at which the next
// frame decodes to the very samples it gives in the encoder's own stream. The header widths the
// decoder derives from the format are found the same way, on the first two frames.
//
// Usage: xwma_from_asf IN.asf OUT.xwma
// The result is checked before it is written: its packets decode to exactly the samples of the
// ASF's packets, and its packet table counts what each packet gives.

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "wma_bits.h"
#include "wma_decoder.h"

namespace xwma {
namespace {

struct AsfStream {
    StreamFormat format;
    std::size_t packetBytes = 0;
    std::vector<std::uint8_t> options;  // the encoder's codec data
    std::vector<std::uint8_t> packets;
};

std::optional<AsfStream> readAsf(const char* path) {
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path, nullptr, nullptr) < 0) {
        return std::nullopt;
    }
    const std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> input(
        opened, [](AVFormatContext* context) { avformat_close_input(&context); });
    if (avformat_find_stream_info(opened, nullptr) < 0 || opened->nb_streams != 1 ||
        opened->streams[0]->codecpar->codec_id != AV_CODEC_ID_WMAV2) {
        return std::nullopt;
    }
    const AVCodecParameters& codec = *opened->streams[0]->codecpar;
    AsfStream stream;
    stream.format = {codec.sample_rate, codec.ch_layout.nb_channels, codec.bit_rate};
    stream.packetBytes = static_cast<std::size_t>(codec.block_align);
    stream.options.assign(codec.extradata, codec.extradata + codec.extradata_size);
    AVPacket packet{};
    while (av_read_frame(opened, &packet) >= 0) {
        const bool whole = static_cast<std::size_t>(packet.size) == stream.packetBytes;
        stream.packets.insert(stream.packets.end(), packet.data, packet.data + packet.size);
        av_packet_unref(&packet);
        if (!whole) {
            return std::nullopt;
        }
    }
    return stream;
}

// The frame in packet `index` of the encoder's stream, its 'N' padding cut and `extra` bytes of
// it put back (a frame may end in an 'N' of its own).
Frame encodedFrame(const AsfStream& stream, std::size_t index, std::size_t extra) {
    const auto begin =
        stream.packets.begin() + static_cast<std::ptrdiff_t>(index * stream.packetBytes);
    std::size_t used = stream.packetBytes;
    while (used > 0 && begin[static_cast<std::ptrdiff_t>(used - 1)] == 'N') {
        --used;
    }
    used = std::min(stream.packetBytes, used + extra);
    Frame frame{{begin, begin + static_cast<std::ptrdiff_t>(used)}, used * 8};
    return frame;
}

// Whether frame `first`, cut to `bits`, followed by the next frame, decodes in `layout` to the
// samples the two give in the encoder's stream.
bool decodesAlike(const AsfStream& stream, std::size_t first, std::size_t bits, Layout layout,
                  const std::vector<float>& expected) {
    Frame cut = encodedFrame(stream, first, stream.packetBytes);
    cut.bits = bits;
    const Packed packed = pack({cut, encodedFrame(stream, first + 1, 0)}, layout);
    if (!packed.error.empty()) {
        return false;
    }
    const auto decoded =
        decodeWma(stream.format, xwmaOptions(), packed.packets, layout.packetBytes);
    return decoded && decoded->samples == expected;
}

// The exact length in bits of frame `index` (not the last), or nothing.
std::optional<std::size_t> frameBits(const AsfStream& stream, std::size_t index,
                                     const Layout& layout) {
    const std::vector<std::uint8_t> pair(
        stream.packets.begin() + static_cast<std::ptrdiff_t>(index * stream.packetBytes),
        stream.packets.begin() + static_cast<std::ptrdiff_t>((index + 2) * stream.packetBytes));
    const auto expected = decodeWma(stream.format, stream.options, pair, stream.packetBytes);
    if (!expected) {
        return std::nullopt;
    }
    for (std::size_t extra = 0; extra < 4; ++extra) {
        const std::size_t padded = encodedFrame(stream, index, extra).bits;
        // The alignment bits are zeros: only lengths whose cut bits are all zero are tried.
        const Frame frame = encodedFrame(stream, index, extra);
        for (std::size_t bits = padded; bits + 8 > padded && bits > 0; --bits) {
            if (decodesAlike(stream, index, bits, layout, expected->samples)) {
                return bits;
            }
            if ((frame.bytes[(bits - 1) / 8] >> (7 - (bits - 1) % 8)) & 1u) {
                break;
            }
        }
    }
    return std::nullopt;
}

// The header and code widths the decoder derives from the format, found on the first frames.
std::optional<Layout> findLayout(const AsfStream& stream) {
    for (unsigned codeBits = 1; codeBits <= 4; ++codeBits) {
        for (unsigned offsetBits = 1; offsetBits <= 24; ++offsetBits) {
            const Layout layout{stream.packetBytes, offsetBits, codeBits};
            if (frameBits(stream, 0, layout)) {
                return layout;
            }
        }
    }
    return std::nullopt;
}

void put(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.put(static_cast<char>((value >> (8 * i)) & 0xFFu));
    }
}

bool writeXwma(const char* path, const AsfStream& stream, const std::vector<std::uint8_t>& packets,
               const std::vector<std::uint32_t>& table) {
    const auto dataBytes = static_cast<std::uint32_t>(packets.size());
    const auto tableBytes = static_cast<std::uint32_t>(table.size() * 4);
    const std::uint32_t fmtBytes = 18;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    put(out, 4 + (8 + fmtBytes) + (8 + dataBytes + dataBytes % 2) + (8 + tableBytes), 4);
    out.write("XWMAfmt ", 8);
    put(out, fmtBytes, 4);
    put(out, 0x0161, 2);  // WMA v2
    put(out, static_cast<std::uint32_t>(stream.format.channels), 2);
    put(out, static_cast<std::uint32_t>(stream.format.rate), 4);
    put(out, static_cast<std::uint32_t>(stream.format.bitRate / 8), 4);
    put(out, static_cast<std::uint32_t>(stream.packetBytes), 2);
    put(out, 16, 2);  // the decoder's output
    put(out, 0, 2);
    out.write("data", 4);
    put(out, dataBytes, 4);
    out.write(reinterpret_cast<const char*>(packets.data()), dataBytes);
    if (dataBytes % 2 != 0) {
        out.put(0);
    }
    out.write("dpds", 4);
    put(out, tableBytes, 4);
    for (const std::uint32_t total : table) {
        put(out, total, 4);
    }
    return static_cast<bool>(out);
}

int fail(const std::string& why) {
    std::fprintf(stderr, "xwma_from_asf: %s\n", why.c_str());
    return 1;
}

int run(const char* in, const char* out) {
    const std::optional<AsfStream> stream = readAsf(in);
    if (!stream || stream->packets.size() < 2 * stream->packetBytes ||
        stream->format.bitRate % 8 != 0) {
        return fail("not an ASF file with one WMA v2 stream of two packets or more");
    }
    const std::optional<Layout> layout = findLayout(*stream);
    if (!layout) {
        return fail("no packet layout decodes the first frames alike");
    }
    const std::size_t count = stream->packets.size() / stream->packetBytes;
    std::vector<Frame> frames;
    for (std::size_t index = 0; index < count; ++index) {
        Frame frame = encodedFrame(*stream, index, 0);
        if (index + 1 < count) {
            const std::optional<std::size_t> bits = frameBits(*stream, index, *layout);
            if (!bits) {
                return fail("no length of frame " + std::to_string(index) + " decodes alike");
            }
            frame = encodedFrame(*stream, index, stream->packetBytes);
            frame.bits = *bits;
        }
        frames.push_back(frame);
    }
    const Packed packed = pack(frames, *layout);
    if (!packed.error.empty()) {
        return fail(packed.error);
    }
    const auto expected =
        decodeWma(stream->format, stream->options, stream->packets, stream->packetBytes);
    const auto decoded =
        decodeWma(stream->format, xwmaOptions(), packed.packets, stream->packetBytes);
    if (!expected || !decoded || decoded->samples != expected->samples) {
        return fail("the rewritten packets do not decode to the encoder's samples");
    }
    // One frame a packet, each of the same length; the decoder keeps the first frame back (its
    // samples only prime the transform), so packet k completes k frames of output.
    const std::size_t packetFrames = decoded->frames / (count - 1);
    if (decoded->frames % (count - 1) != 0) {
        return fail("the packets decode to frames of different lengths");
    }
    const auto frameBytes = static_cast<std::uint32_t>(packetFrames) *
                            static_cast<std::uint32_t>(stream->format.channels) * 2;
    std::vector<std::uint32_t> table;
    for (std::uint32_t packet = 0; packet < count; ++packet) {
        table.push_back(packet * frameBytes);
    }
    return writeXwma(out, *stream, packed.packets, table) ? 0 : fail("cannot write the file");
}

}  // namespace
}  // namespace xwma

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: xwma_from_asf IN.asf OUT.xwma\n");
        return 2;
    }
    av_log_set_level(AV_LOG_QUIET);
    return xwma::run(argv[1], argv[2]);
}
