// The owner gives each handle back exactly once, through the right release function and
// object, and never gives back Null.

#include <gtest/gtest.h>

#include <vector>

#include "ownkit/owned.h"

namespace ownkit {
namespace {

std::vector<int> freed;
void freeHandle(int handle) {
    freed.push_back(handle);
}

struct Platform {
    std::vector<int> closed;
    void close(int handle) { closed.push_back(handle); }
};

using Plain = Owned<int, &freeHandle, -1>;
using OfPlatform = Owned<int, &Platform::close>;

TEST(Owned, GivesEachHandleBackOnceAndNeverNull) {
    freed.clear();
    {
        Plain none;
        Plain kept(-1);
        Plain first(1);
        Plain second(2);
        Plain moved(std::move(first));
        second = std::move(moved);  // 2 goes back here, 1 now lives in `second`
        EXPECT_EQ(freed, std::vector<int>{2});
        Plain handedOver(3);
        EXPECT_EQ(handedOver.release(), 3);
        second.reset(4);  // 1 goes back
        EXPECT_FALSE(none);
        EXPECT_TRUE(second);
    }
    EXPECT_EQ(freed, (std::vector<int>{2, 1, 4}));
}

TEST(Owned, MemberReleaseGoesToTheObjectThatMadeTheHandle) {
    Platform a;
    Platform b;
    {
        const OfPlatform fromA(&a, 7);
        OfPlatform fromB(&b, 8);
        OfPlatform later(std::move(fromB));
        EXPECT_EQ(later.get(), 8);
        const OfPlatform zero(&a, 0);  // 0 is Null for int
    }
    EXPECT_EQ(a.closed, std::vector<int>{7});
    EXPECT_EQ(b.closed, std::vector<int>{8});
}

}  // namespace
}  // namespace ownkit
