// Large buffers, asking for huge pages.
#include "large_buffer.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace quarnel {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

void LargeBufferDelete::operator()(std::uint8_t* p) const
{
    std::free(p);
}

LargeBuffer AllocateLargeBuffer(std::size_t size)
{
    const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
    void* memory = std::aligned_alloc(kHugePage, rounded);
    if (!memory) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    // Only advice: without huge pages the buffer works the same, more slowly.
    ::madvise(memory, rounded, MADV_HUGEPAGE);
#endif
    return LargeBuffer(static_cast<std::uint8_t*>(memory));
}

}  // namespace quarnel
