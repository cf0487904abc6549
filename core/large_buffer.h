// Memory for the blocks a search reads: one region, backed by huge pages
// where the system allows it. Copying a file's pages into 4 KiB pages costs
// a page-table walk every 4 KiB, which on a virtual machine can halve the
// speed of read() itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace quarnel {

struct LargeBufferDelete {
    void operator()(std::uint8_t* p) const;
};
using LargeBuffer = std::unique_ptr<std::uint8_t[], LargeBufferDelete>;

// `size` bytes aligned to 2 MiB; throws std::bad_alloc when there is no memory.
[[nodiscard]] LargeBuffer AllocateLargeBuffer(std::size_t size);

}  // namespace quarnel
