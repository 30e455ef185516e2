#include "wma_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <algorithm>
#include <memory>

namespace xwma {
namespace {

struct ContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using Context = std::unique_ptr<AVCodecContext, ContextFree>;

Context openDecoder(const StreamFormat& format, const std::vector<std::uint8_t>& options,
                    std::size_t packetBytes) {
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_WMAV2);
    Context context(codec != nullptr ? avcodec_alloc_context3(codec) : nullptr);
    if (!context) {
        return {};
    }
    context->sample_rate = format.rate;
    av_channel_layout_default(&context->ch_layout, format.channels);
    context->bit_rate = format.bitRate;
    context->block_align = static_cast<int>(packetBytes);
    context->extradata =
        static_cast<std::uint8_t*>(av_mallocz(options.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (context->extradata == nullptr) {
        return {};
    }
    std::copy(options.begin(), options.end(), context->extradata);
    context->extradata_size = static_cast<int>(options.size());
    if (avcodec_open2(context.get(), codec, nullptr) < 0) {
        return {};
    }
    return context;
}

// Appends the frames the decoder has ready, interleaved; their count, or -1.
int drain(AVCodecContext* context, AVFrame* frame, std::vector<float>& samples) {
    int frames = 0;
    for (;;) {
        const int received = avcodec_receive_frame(context, frame);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) {
            return frames;
        }
        if (received < 0 || frame->format != AV_SAMPLE_FMT_FLTP) {
            return -1;
        }
        const int channels = frame->ch_layout.nb_channels;
        for (int i = 0; i < frame->nb_samples; ++i) {
            for (int channel = 0; channel < channels; ++channel) {
                samples.push_back(reinterpret_cast<const float*>(frame->extended_data[channel])[i]);
            }
        }
        frames += frame->nb_samples;
    }
}

}  // namespace

std::optional<Decoded> decodeWma(const StreamFormat& format,
                                 const std::vector<std::uint8_t>& options,
                                 const std::vector<std::uint8_t>& packets,
                                 std::size_t packetBytes) {
    const Context context = openDecoder(format, options, packetBytes);
    const std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    const std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    if (!context || !packet || !frame) {
        return std::nullopt;
    }
    Decoded decoded;
    for (std::size_t at = 0; at + packetBytes <= packets.size(); at += packetBytes) {
        if (av_new_packet(packet.get(), static_cast<int>(packetBytes)) < 0) {
            return std::nullopt;
        }
        std::copy_n(packets.begin() + static_cast<std::ptrdiff_t>(at), packetBytes, packet->data);
        const int sent = avcodec_send_packet(context.get(), packet.get());
        av_packet_unref(packet.get());
        const int frames = sent < 0 ? -1 : drain(context.get(), frame.get(), decoded.samples);
        if (frames < 0) {
            return std::nullopt;
        }
        decoded.frames += static_cast<std::size_t>(frames);
    }
    // The decoder holds packets back: the end of the stream lets the last ones out.
    const int last = avcodec_send_packet(context.get(), nullptr) < 0
                         ? -1
                         : drain(context.get(), frame.get(), decoded.samples);
    if (last < 0) {
        return std::nullopt;
    }
    decoded.frames += static_cast<std::size_t>(last);
    return decoded;
}

std::vector<std::uint8_t> xwmaOptions() {
    std::vector<std::uint8_t> options(10, 0);
    options[4] = 0x1F;
    return options;
}

}  // namespace xwma
