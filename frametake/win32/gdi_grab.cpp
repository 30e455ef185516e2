#include "gdi_grab.h"

#include <new>
#include <optional>

#include "../core/pixels.h"

namespace frametake::gdi {
namespace {

using ScreenDc = ownkit::Owned<Dc, &Gdi::releaseScreenDc>;
using MemoryDc = ownkit::Owned<Dc, &Gdi::deleteDc>;
using OwnedBitmap = ownkit::Owned<Bitmap, &Gdi::deleteBitmap>;
using Buffer = std::unique_ptr<std::uint8_t[]>;

// The bitmap's time selected into the memory context; the replaced object goes back at the end.
class Selection {
public:
    Selection(Gdi& gdi, Dc memory, Bitmap bitmap)
        : gdi_(&gdi), memory_(memory), kept_(gdi.selectObject(memory, gdi.asObject(bitmap))) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() { gdi_->selectObject(memory_, kept_); }

private:
    Gdi* gdi_;
    Dc memory_;
    Object kept_;
};

// Members in the order of creation, so that they go in the reverse order.
class GdiGrab final : public Grab {
public:
    GdiGrab(Gdi& gdi, ScreenDc screen, MemoryDc memory, OwnedBitmap bitmap)
        : screen_(std::move(screen)),
          memory_(std::move(memory)),
          bitmap_(std::move(bitmap)),
          selection_(gdi, memory_.get(), bitmap_.get()) {}

    [[nodiscard]] const std::uint8_t* rgb() const override { return rgb_.get(); }

    // The copy, the read-back and the conversion; false when one fails.
    bool fill(Gdi& gdi, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
        if (!gdi.bitBlt(memory_.get(), width, height, screen_.get(), x, y)) {
            return false;
        }
        const std::optional<std::size_t> size = dibSize(width, height);
        if (!size) {
            return false;
        }
        dib_.reset(new (std::nothrow) std::uint8_t[*size]);
        if (!dib_ || gdi.getDiBits(memory_.get(), bitmap_.get(), width, height, dib_.get()) == 0) {
            return false;
        }
        rgb_.reset(new (std::nothrow) std::uint8_t[*size]);
        if (!rgb_) {
            return false;
        }
        convertBgrRowsToRgb(dib_.get(), static_cast<std::size_t>(dibStride(width)), rgb_.get(),
                            width, height);
        return true;
    }

private:
    ScreenDc screen_;
    MemoryDc memory_;
    OwnedBitmap bitmap_;
    Selection selection_;
    Buffer dib_;
    Buffer rgb_;
};

}  // namespace

std::unique_ptr<Grab> grabWithGdi(Gdi& gdi, std::int32_t x, std::int32_t y, std::int32_t width,
                                  std::int32_t height) {
    ScreenDc screen(&gdi, gdi.getScreenDc());
    MemoryDc memory(&gdi, screen ? gdi.createCompatibleDc(screen.get()) : nullptr);
    if (!screen || !memory) {
        return nullptr;
    }
    OwnedBitmap bitmap(&gdi, gdi.createCompatibleBitmap(screen.get(), width, height));
    if (!bitmap) {
        return nullptr;
    }
    std::unique_ptr<GdiGrab> grab(
        new (std::nothrow) GdiGrab(gdi, std::move(screen), std::move(memory), std::move(bitmap)));
    if (!grab || !grab->fill(gdi, x, y, width, height)) {
        return nullptr;
    }
    return grab;
}

}  // namespace frametake::gdi
