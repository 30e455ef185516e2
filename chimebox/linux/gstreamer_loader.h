#pragma once
// GStreamer, loaded at run time for the WMA decoder (wma_decoder.h): the functions a decode
// calls, resolved from "libgstreamer-1.0.so.0" and "libgstapp-1.0.so.0" and initialized once per
// process, on a thread of its own, since the first initialization may scan every installed plugin.
// The libraries are never unloaded.

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <chrono>

namespace chimebox::gstreamer {

struct Functions {
    decltype(&gst_init_check) initCheck = nullptr;
    decltype(&gst_element_factory_find) factoryFind = nullptr;
    decltype(&gst_parse_launch) parseLaunch = nullptr;
    decltype(&gst_bin_get_by_name) binGetByName = nullptr;
    decltype(&gst_object_unref) objectUnref = nullptr;
    decltype(&gst_mini_object_unref) miniObjectUnref = nullptr;
    decltype(&gst_element_set_state) setState = nullptr;
    decltype(&gst_element_get_bus) getBus = nullptr;
    decltype(&gst_bus_pop_filtered) busPopFiltered = nullptr;
    decltype(&gst_buffer_new_memdup) bufferNewMemdup = nullptr;
    decltype(&gst_buffer_map) bufferMap = nullptr;
    decltype(&gst_buffer_unmap) bufferUnmap = nullptr;
    decltype(&gst_sample_get_buffer) sampleGetBuffer = nullptr;
    decltype(&gst_app_src_push_buffer) pushBuffer = nullptr;
    decltype(&gst_app_src_end_of_stream) endOfStream = nullptr;
    decltype(&gst_app_sink_try_pull_sample) tryPullSample = nullptr;
    decltype(&gst_app_sink_is_eos) isEos = nullptr;
    decltype(&g_error_free) errorFree = nullptr;
};

enum class Readiness { kReady, kMissing, kTimedOut };

// Waits, until `deadline`, for GStreamer to be loaded and initialized (starting that the first
// time). On kReady, `functions` holds every function, valid for the rest of the process.
[[nodiscard]] Readiness load(std::chrono::steady_clock::time_point deadline,
                             const Functions*& functions);

}  // namespace chimebox::gstreamer
