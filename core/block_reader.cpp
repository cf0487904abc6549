// The read-ahead thread. A slot belongs to the reader until it is published
// and to the scanner from then until it is released.
#include "block_reader.h"

#include "large_buffer.h"

#include <algorithm>
#include <mutex>

namespace quarnel {

struct BlockReader::Slot {
    Block block;
    std::uint8_t* a = nullptr;
    std::uint8_t* b = nullptr;
};

// All slots' buffers in one region, so that they can share huge pages.
struct BlockReader::Slots {
    LargeBuffer memory = AllocateLargeBuffer(std::size_t{2} * kSlots * kBlockSize);
    Slot slot[kSlots];

    Slots()
    {
        for (std::uint32_t i = 0; i < kSlots; ++i) {
            slot[i].a = memory.get() + std::size_t{2} * i * kBlockSize;
            slot[i].b = slot[i].a + kBlockSize;
        }
    }
};

namespace {

// The slots of the last search, kept for the next: fresh buffers cost a page
// fault per page, which shows next to a search of a few hundred MiB.
std::mutex g_spareMutex;
std::unique_ptr<BlockReader::Slots> g_spare;

}  // namespace

BlockReader::BlockReader(SearchFile& a, SearchFile* b, std::uint64_t length, bool skipHoles)
    : m_a(a), m_b(b), m_length(length), m_skipHoles(skipHoles)
{
    {
        const std::lock_guard lock(g_spareMutex);
        m_slots = std::move(g_spare);
    }
    if (!m_slots) m_slots = std::make_unique<Slots>();
    m_thread = std::thread([this] { ReadAhead(); });
}

BlockReader::~BlockReader()
{
    m_handoff.Stop();
    m_thread.join();
    const std::lock_guard lock(g_spareMutex);
    g_spare = std::move(m_slots);
}

bool BlockReader::Next(Block& block)
{
    block = m_slots->slot[m_handoff.AcquireFilled()].block;
    return block.want != 0;
}

void BlockReader::Release()
{
    m_handoff.Release();
}

void BlockReader::ReadAhead()
{
    std::uint64_t base = 0;
    std::uint64_t noHoleUntil = 0;  // no file has a hole before this offset
    for (;;) {
        const std::optional<std::uint32_t> free = m_handoff.AcquireFree();
        if (!free) return;
        if (m_skipHoles && base < m_length && base >= noHoleUntil) {
            std::uint64_t dataFrom = m_a.DataFrom(base);
            if (m_b) dataFrom = std::min(dataFrom, m_b->DataFrom(base));
            base = std::max(base, std::min(dataFrom, m_length));
            noHoleUntil = m_a.HoleFrom(base);
            if (m_b) noHoleUntil = std::min(noHoleUntil, m_b->HoleFrom(base));
        }
        Slot& slot = m_slots->slot[*free];
        Block& block = slot.block;
        block = Block{};
        block.base = base;
        block.want = static_cast<std::size_t>(std::min<std::uint64_t>(m_length - base, kBlockSize));
        if (block.want == 0) {  // the end
            m_handoff.Publish();
            return;
        }
        block.a = slot.a;
        block.b = m_b ? slot.b : nullptr;
        block.gotA = m_a.ReadAt(base, slot.a, block.want);
        block.gotB = m_b ? m_b->ReadAt(base, slot.b, block.want) : block.want;
        m_handoff.Publish();
        if (block.gotA < block.want || block.gotB < block.want) return;  // the last block
        base += block.want;
    }
}

}  // namespace quarnel
