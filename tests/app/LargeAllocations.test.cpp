#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "app/LargeAllocations.hpp"

#ifdef __GLIBC__
#include <malloc.h>

// GCC announces the address sanitizer with a macro, clang only through __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define VORLUNE_ADDRESS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VORLUNE_ADDRESS_SANITIZED 1
#endif
#endif

namespace {
// Bytes the allocator holds in blocks mapped on their own (given back when freed).
size_t mappedApart() {
    return mallinfo2().hblkhd;
}

void* touched(size_t bytes) {
    void* block = std::malloc(bytes);
    if (block) {
        std::memset(block, 1, bytes);
    }
    return block;
}
} // namespace

// After loading frees a large picture, the next pictures must still be
// mapped apart, so that freeing them gives their memory back.
TEST(LargeAllocations, BlocksOfAMegabyteOrMoreStayMappedApartAfterALargerOneIsFreed) {
#ifdef VORLUNE_ADDRESS_SANITIZED
    GTEST_SKIP() << "the address sanitizer brings its own allocator";
#endif
    returnLargeAllocationsWhenFreed();
    void* picture = touched(24u << 20);
    ASSERT_TRUE(picture);
    std::free(picture);
    const size_t before = mappedApart();
    void* next = touched(4u << 20);
    ASSERT_TRUE(next);
    EXPECT_GE(mappedApart(), before + (4u << 20));
    std::free(next);
    EXPECT_EQ(mappedApart(), before);
}
#endif
