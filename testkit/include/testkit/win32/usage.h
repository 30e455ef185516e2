#pragma once
// What the test process holds right now, for checks that repeated work leaves nothing behind.

#include <cstddef>

namespace testkit::win32 {

// Committed private memory of this process, in bytes.
[[nodiscard]] std::size_t privateBytes();

// Open handles of this process. Counted from the system's handle table, because Wine's
// GetProcessHandleCount always answers 0.
[[nodiscard]] std::size_t handleCount();

}  // namespace testkit::win32

namespace testkit::win32 {

// GDI objects of this process. GetGuiResources answers 0 on Wine 8; there the live slots of the
// process's GDI handle table are counted instead.
[[nodiscard]] std::size_t gdiObjects();

}  // namespace testkit::win32
