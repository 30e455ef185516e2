#pragma once
// The system's own GDI and temporary-file calls under the capture, for the benchmark that times
// them one by one.

#include "capture_file_calls.h"
#include "gdi_grab.h"

namespace frametake {

[[nodiscard]] gdi::Gdi& systemGdi();
[[nodiscard]] CaptureFileCalls& systemCaptureFileCalls();

}  // namespace frametake
