#pragma once
// The Windows grab: the screen's device context, a compatible memory context with a compatible
// bitmap selected into it, a BitBlt of the rectangle, the bitmap read back as a top-down 24-bit
// DIB, and its rows rewritten as packed RGB. The GDI calls come through a table (Gdi), so the
// sequence and its cleanup on every failure are unit-tested without Windows; the adapter's
// table is the real GDI.
//
// The grab holds every object until it goes, then frees the RGB and DIB buffers, selects the
// kept object back, deletes the bitmap and the memory context and releases the screen's
// context: the capture's file stage runs while they are still held, and the release order is
// the reverse of creation.

#include <ownkit/owned.h>

#include <cstdint>
#include <memory>

#include "../core/capture_platform.h"

namespace frametake::gdi {

// GDI's handles, each a type of its own (a bitmap cannot be passed as a context).
using Dc = ownkit::OpaqueHandle<struct DcTag>;
using Bitmap = ownkit::OpaqueHandle<struct BitmapTag>;
using Object = ownkit::OpaqueHandle<struct ObjectTag>;

class Gdi {
public:
    virtual ~Gdi() = default;
    [[nodiscard]] virtual Dc getScreenDc() = 0;   // GetDC(NULL)
    virtual void releaseScreenDc(Dc screen) = 0;  // ReleaseDC(NULL, screen)
    [[nodiscard]] virtual Dc createCompatibleDc(Dc screen) = 0;
    virtual void deleteDc(Dc memory) = 0;
    [[nodiscard]] virtual Bitmap createCompatibleBitmap(Dc screen, std::int32_t width,
                                                        std::int32_t height) = 0;
    virtual void deleteBitmap(Bitmap bitmap) = 0;  // DeleteObject
    // SelectObject: selects `object` into `memory` and returns the object it replaced.
    virtual Object selectObject(Dc memory, Object object) = 0;
    [[nodiscard]] virtual Object asObject(Bitmap bitmap) = 0;
    // BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY).
    [[nodiscard]] virtual bool bitBlt(Dc memory, std::int32_t width, std::int32_t height, Dc screen,
                                      std::int32_t x, std::int32_t y) = 0;
    // GetDIBits of `height` rows into `dib` as a top-down 24-bit DIB of `width` pixels; the rows
    // read, 0 on failure.
    [[nodiscard]] virtual std::int32_t getDiBits(Dc memory, Bitmap bitmap, std::int32_t width,
                                                 std::int32_t height, std::uint8_t* dib) = 0;
};

// The grab of (x, y, width, height) through `gdi`; null on failure, with what was made
// released in the reverse order.
[[nodiscard]] std::unique_ptr<Grab> grabWithGdi(Gdi& gdi, std::int32_t x, std::int32_t y,
                                                std::int32_t width, std::int32_t height);

}  // namespace frametake::gdi
