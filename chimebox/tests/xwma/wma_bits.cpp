#include "wma_bits.h"

namespace xwma {

void BitWriter::put(std::uint32_t value, unsigned count) {
    for (unsigned i = count; i-- > 0;) {
        if (bits_ % 8 == 0) {
            bytes_.push_back(0);
        }
        if ((value >> i) & 1u) {
            bytes_.back() |= static_cast<std::uint8_t>(0x80u >> (bits_ % 8));
        }
        ++bits_;
    }
}

void BitWriter::copy(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t count) {
    for (std::size_t bit = from; bit < from + count; ++bit) {
        put((bytes[bit / 8] >> (7 - bit % 8)) & 1u, 1);
    }
}

namespace {
constexpr unsigned kHeaderBits = 8;  // packet number and frame count
constexpr unsigned kBlockCodes = 3;  // the first frame of a packet: previous, this, next
}  // namespace

Packed pack(const std::vector<Frame>& frames, const Layout& layout) {
    const std::size_t payloadBits = layout.packetBytes * 8 - kHeaderBits - layout.offsetBits;
    Packed out;
    std::uint32_t number = 0;
    for (const Frame& frame : frames) {
        const std::size_t frameBits = kBlockCodes * layout.codeBits + frame.bits;
        if (frameBits > payloadBits) {
            return {{}, "a frame too long for its packet"};
        }
        const std::size_t skipped = payloadBits - frameBits;
        if (skipped >> layout.offsetBits != 0) {
            return {{}, "a frame too short for the offset's width"};
        }
        BitWriter packet;
        packet.put(number++ & 0xFu, 4);
        packet.put(2, 4);  // one frame
        packet.put(static_cast<std::uint32_t>(skipped), layout.offsetBits);
        for (std::size_t i = 0; i < skipped; ++i) {
            packet.put(0, 1);
        }
        packet.put(0, kBlockCodes * layout.codeBits);
        packet.copy(frame.bytes, 0, frame.bits);
        out.packets.insert(out.packets.end(), packet.bytes().begin(), packet.bytes().end());
    }
    return out;
}

}  // namespace xwma
