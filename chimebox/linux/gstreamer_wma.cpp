// The WMA decode over a GStreamer pipeline: packets pushed into an appsrc, float samples pulled
// from an appsink, every wait bounded by one deadline.

#include <ownkit/owned.h>

#include <algorithm>
#include <atomic>
#include <new>

#include "../core/format_tags.h"
#include "gstreamer_loader.h"
#include "wma_decoder.h"

namespace chimebox {
namespace {

using Clock = std::chrono::steady_clock;
using gstreamer::Functions;

// The loaded functions, for the owners' release functions: stored by every decode before it
// makes an owner, always the same value.
std::atomic<const Functions*> loadedFunctions{nullptr};
const Functions& gst() {
    return *loadedFunctions.load(std::memory_order_relaxed);
}
void unrefObject(GstElement* element) {
    gst().objectUnref(element);
}
void unrefBus(GstBus* bus) {
    gst().objectUnref(bus);
}
void unrefSample(GstSample* sample) {
    gst().miniObjectUnref(GST_MINI_OBJECT_CAST(sample));
}
void unrefMessage(GstMessage* message) {
    gst().miniObjectUnref(GST_MINI_OBJECT_CAST(message));
}
void stopPipeline(GstElement* pipeline) {
    gst().setState(pipeline, GST_STATE_NULL);
    gst().objectUnref(pipeline);
}
using Element = ownkit::Owned<GstElement*, &unrefObject>;
using Pipeline = ownkit::Owned<GstElement*, &stopPipeline>;
using Bus = ownkit::Owned<GstBus*, &unrefBus>;
using Sample = ownkit::Owned<GstSample*, &unrefSample>;
using Message = ownkit::Owned<GstMessage*, &unrefMessage>;

bool installed(const char* element) {
    GstElementFactory* factory = gst().factoryFind(element);
    if (factory != nullptr) {
        gst().objectUnref(factory);
    }
    return factory != nullptr;
}

bool push(GstElement* source, std::span<const std::uint8_t> packets, std::size_t packetBytes) {
    auto* app = reinterpret_cast<GstAppSrc*>(source);
    for (std::size_t at = 0; at < packets.size(); at += packetBytes) {
        GstBuffer* buffer = gst().bufferNewMemdup(packets.data() + at, packetBytes);
        if (buffer == nullptr || gst().pushBuffer(app, buffer) != GST_FLOW_OK) {
            return false;
        }
    }
    return gst().endOfStream(app) == GST_FLOW_OK;
}

// Appends the sample's floats to `samples`, up to `wanted` in all.
void append(GstSample* sample, std::size_t wanted, std::vector<float>& samples) {
    GstBuffer* buffer = gst().sampleGetBuffer(sample);
    GstMapInfo map{};
    if (buffer == nullptr || gst().bufferMap(buffer, &map, GST_MAP_READ) != TRUE) {
        return;
    }
    const std::size_t floats = std::min(map.size / sizeof(float), wanted - samples.size());
    const std::size_t at = samples.size();
    samples.resize(at + floats);
    std::copy_n(map.data, floats * sizeof(float),
                reinterpret_cast<std::uint8_t*>(samples.data() + at));
    gst().bufferUnmap(buffer, &map);
}

// Pulls samples until `wanted` floats, the end of the stream, an error or the deadline.
HRESULT pull(GstElement* pipeline, GstElement* sink, std::size_t wanted, Clock::time_point deadline,
             std::vector<float>& samples) {
    constexpr auto kSlice = std::chrono::milliseconds(50);
    auto* app = reinterpret_cast<GstAppSink*>(sink);
    const Bus bus(gst().getBus(pipeline));
    while (samples.size() < wanted) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) {
            return kTimedOut;
        }
        const auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::min<Clock::duration>(left, kSlice));
        if (const Sample sample(gst().tryPullSample(app, static_cast<GstClockTime>(wait.count())));
            sample) {
            append(sample.get(), wanted, samples);
            continue;
        }
        if (const Message error(bus ? gst().busPopFiltered(bus.get(), GST_MESSAGE_ERROR) : nullptr);
            error || gst().isEos(app) == TRUE) {
            return kInvalidData;  // fewer samples than the table counts
        }
    }
    return kOk;
}

HRESULT decodeInPipeline(const WmaStream& stream, std::span<const std::uint8_t> packets,
                         std::uint32_t frames, std::vector<float>& samples) {
    const std::string description = decodePipeline(stream);
    if (description.empty() || packets.empty() || packets.size() % stream.packetBytes != 0) {
        return kInvalidCall;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(kDecodeMilliseconds);
    const Functions* loaded = nullptr;
    switch (gstreamer::load(deadline, loaded)) {
        case gstreamer::Readiness::kReady:
            loadedFunctions.store(loaded, std::memory_order_relaxed);
            break;
        case gstreamer::Readiness::kMissing:
            return kNoWmaDecoder;
        case gstreamer::Readiness::kTimedOut:
            return kTimedOut;
    }
    const bool pro = stream.tag == tags::kWmaudio3;
    if (!installed(pro ? "avdec_wmapro" : "avdec_wmav2") || !installed("appsrc") ||
        !installed("audioconvert")) {
        return kNoWmaDecoder;
    }
    GError* error = nullptr;
    const Pipeline pipeline(gst().parseLaunch(description.c_str(), &error));
    if (error != nullptr) {
        gst().errorFree(error);
        return kNoWmaDecoder;
    }
    const Element source(pipeline ? gst().binGetByName(GST_BIN_CAST(pipeline.get()), "packets")
                                  : nullptr);
    const Element sink(pipeline ? gst().binGetByName(GST_BIN_CAST(pipeline.get()), "samples")
                                : nullptr);
    if (!source || !sink ||
        gst().setState(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE ||
        !push(source.get(), packets, stream.packetBytes)) {
        return kInvalidData;
    }
    const std::size_t wanted = std::size_t{frames} * stream.channels;
    samples.clear();  // grown as the decoder gives samples: the table's count is not trusted
    return pull(pipeline.get(), sink.get(), wanted, deadline, samples);
}

}  // namespace

HRESULT decodeWma(const WmaStream& stream, std::span<const std::uint8_t> packets,
                  std::uint32_t frames, std::vector<float>& samples) {
    try {
        return decodeInPipeline(stream, packets, frames, samples);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
}

}  // namespace chimebox
