// A drawing too large for the memory left must come back as an error, with everything
// allocated for it released, and the next drawing must open normally. Allocation
// failure is simulated by this program's own operator new, which refuses large
// requests while `refuseAbove` is set.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "dwgviewx/dwg/Decoder.h"
#include "dwgviewx/tools/dwggen/DemoDrawings.h"
#include "dwgviewx/writer/DwgWriter.h"

namespace {
std::atomic<std::size_t> refuseAbove{0};  // 0: allocate everything
}  // namespace

// The replacement pair allocates with malloc and frees with free; GCC cannot see that
// the two belong together once they are inlined into callers.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t n) {
    const std::size_t limit = refuseAbove.load();
    if (limit != 0 && n > limit) throw std::bad_alloc();
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    const std::size_t limit = refuseAbove.load();
    if (limit != 0 && n > limit) return nullptr;
    return std::malloc(n ? n : 1);
}
void* operator new[](std::size_t n) {
    return operator new(n);
}
void* operator new[](std::size_t n, const std::nothrow_t& tag) noexcept {
    return operator new(n, tag);
}
// Every plain form is replaced, so whatever the library allocates (the temporary
// buffers of std::stable_sort use the nothrow form) is freed by the matching function.
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

TEST(DecoderMemory, ADrawingLargerThanTheMemoryLeftIsAnErrorAndTheNextOneOpens) {
    auto file = dwg::writer::writeR2000(dwggen::synthetic(20'000, 3));
    ASSERT_TRUE(file.ok()) << file.error();
    // The entities of 20 000 objects need several megabytes in one piece; the file's
    // own sections need less than that.
    refuseAbove = 4u << 20;
    auto refused = dwg::readBytes(file.value());
    refuseAbove = 0;
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error(), "not enough memory to open the drawing");

    auto opened = dwg::readBytes(file.value());
    ASSERT_TRUE(opened.ok()) << opened.error();
    const dwg::Block* ms = opened.value().modelSpace();
    ASSERT_NE(ms, nullptr);
    EXPECT_EQ(ms->entities.size(), 20'000u);
}
