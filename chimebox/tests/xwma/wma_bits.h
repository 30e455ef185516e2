#pragma once
// Bit-level pieces of the WMA v2 packet layout that xWMA readers expect (encoder options
// 0x001F): a bit writer, and the packing of whole frames into fixed-size packets.
//
// In that layout a packet opens with a header: 4 bits of packet number, 4 bits holding one more
// than the number of frames that start and end in the packet, then `offsetBits` bits giving how
// many bits at the payload's start finish the frame the previous packet began (when it left one
// unfinished; otherwise the decoder skips them). Each frame opens with its block-size codes:
// three of `codeBits` bits (previous, this and next block) for the first frame to start in a
// packet, one (the next block) for the others; the value 0 means a block as long as the frame,
// the only kind written here.
//
// The packets written here hold one frame each, placed so that it ends on the packet's last bit:
// the decoder then carries nothing over to the next packet, and the bits before the frame are
// skipped as an offset. A frame's exact length in bits is needed for that.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace xwma {

class BitWriter {
public:
    void put(std::uint32_t value, unsigned count);
    // The first `count` bits of `bytes`, most significant bit first.
    void copy(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t count);
    [[nodiscard]] std::size_t size() const { return bits_; }
    // The bits written so far, the last byte filled with zero bits.
    [[nodiscard]] const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t bits_ = 0;
};

// One frame of the encoder's stream: its bytes and how many of their bits it uses.
struct Frame {
    std::vector<std::uint8_t> bytes;
    std::size_t bits = 0;
};

struct Layout {
    std::size_t packetBytes = 0;
    unsigned offsetBits = 0;  // width of the header's bit offset
    unsigned codeBits = 0;    // width of one block-size code
};

// The frames packed one a packet, each packet layout.packetBytes long, or a reason why they
// cannot be: a frame too long for a packet, or too short for the offset's width.
struct Packed {
    std::vector<std::uint8_t> packets;
    std::string error;
};
[[nodiscard]] Packed pack(const std::vector<Frame>& frames, const Layout& layout);

}  // namespace xwma
